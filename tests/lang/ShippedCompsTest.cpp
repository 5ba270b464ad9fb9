// The comps.txt that the build puts beside the program: it loads, its languages agree,
// and every message that the program shows is there in every language, fitting its field.
#include <gtest/gtest.h>

#include "lang/Kalbos.h"
#include "lang/SmsCharset.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>

namespace {

QString besideProgram(const char* name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// Message numbers the program shows.
QList<int> usedMessages()
{
    QList<int> n;
    auto range = [&n](int from, int to) {
        for (int i = from; i <= to; ++i)
            n.append(i);
    };
    range(1, 42);
    range(44, 52);
    range(54, 73);
    range(75, 79);
    range(81, 85);
    range(87, 88);
    range(90, 95);
    range(97, 100);
    range(103, 109);
    n.append(140);
    return n;
}

// The language text numbers of the Contact ID catalogue (7th TAB field, -1 for none).
QSet<int> catalogueMessages()
{
    QSet<int> numbers;
    QFile f(besideProgram("CID_Descriptions.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return numbers;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (line.isEmpty() || line.startsWith('/'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        bool ok = false;
        const int n = fields.size() > 6 ? fields[6].trimmed().toInt(&ok) : -1;
        if (ok && n >= 0)
            numbers.insert(n);
    }
    return numbers;
}

class ShippedCompsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearLanguages();
        QByteArray err;
        ASSERT_TRUE(LoadLanguageFile(besideProgram("comps.txt"), err)) << err.constData();
    }
    void TearDown() override { ClearLanguages(); }
};

TEST_F(ShippedCompsTest, LoadsWithTwoConsistentLanguages)
{
    ASSERT_EQ(Languages.size(), 2);
    EXPECT_EQ(Languages[0].Name, "English");
    EXPECT_EQ(Languages[0].Charset, 0);
    EXPECT_EQ(Languages[0].SmsTable, 0);
    EXPECT_EQ(Languages[1].Name, "Russian");
    EXPECT_EQ(Languages[1].Charset, 204);
    EXPECT_EQ(Languages[1].SmsTable, 1);
    EXPECT_TRUE(CheckLanguageTable().isEmpty());
    for (const QByteArray& m : Languages[0].Messages)
        for (char c : m)
            EXPECT_LT(static_cast<unsigned char>(c), 0x80) << m.constData();
}

TEST_F(ShippedCompsTest, EveryUsedMessageIsThereInEveryLanguage)
{
    QList<int> numbers = usedMessages();
    for (int n : catalogueMessages())
        numbers.append(n);
    for (int lang = 0; lang < Languages.size(); ++lang) {
        SelectLanguage(lang);
        for (int n : numbers) {
            const QByteArray m = GetLangMessage(n);
            EXPECT_FALSE(m.isEmpty() || m == "-")
                << Languages[lang].Name.constData() << " message " << n;
        }
    }
}

TEST_F(ShippedCompsTest, TextsForTheModuleFitTheirFields)
{
    for (int lang = 0; lang < Languages.size(); ++lang) {
        SelectLanguage(lang);
        auto width = [](int n) { return EncodeSmsText(GetLangMessage(n)).size(); };
        for (int n = 1; n <= 15; ++n)
            EXPECT_LE(width(n), 16) << "SMS phrase " << n;
        EXPECT_LE(width(16), 50);
        EXPECT_LE(width(17), 50);
        EXPECT_LE(width(18), 140);
        // Default names: the word and a number of up to two digits in a 16-character field.
        for (int n = 19; n <= 22; ++n)
            EXPECT_LE(width(n), 14) << "name word " << n;
        EXPECT_LE(width(23), 49); // followed by the input number 1..6
        for (int n : {83, 84, 85, 19, 20, 21, 22})
            EXPECT_FALSE(GetLangMessage(n).contains('\\'));
    }
}

} // namespace
