#include "editor/CIDCatalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/AppPaths.h"

namespace {

TContactIDCode Bytes(std::initializer_list<int> v)
{
    TContactIDCode r;
    for (int b : v)
        r.push_back(static_cast<std::uint8_t>(b));
    return r;
}

TCIDDescription Entry(const QByteArray& line)
{
    bool valid = false;
    TCIDDescription e = ParseCIDLine(line, valid);
    EXPECT_TRUE(valid) << line.constData();
    return e;
}

// The message files of the event names live in the sources, beside the shipped data.
QMap<int, QString> ReadMessages(const QString& language)
{
    const QString path = QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(
        QStringLiteral("../../data/lang/cid/") + language + QStringLiteral(".txt"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    QMap<int, QString> messages;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        EXPECT_GT(tab, 0) << line.toStdString();
        bool ok = false;
        const int n = line.left(tab).toInt(&ok);
        EXPECT_TRUE(ok) << line.toStdString();
        EXPECT_FALSE(messages.contains(n)) << n;
        messages.insert(n, line.mid(tab + 1));
    }
    return messages;
}

} // namespace

TEST(CIDCatalogShipped, LoadsCleanlyWithUsableEntries)
{
    platform::SetProgramDirForTests(QString());
    TCIDDescriptions cat;
    const TCIDLoadReport r = LoadCIDDescriptions(cat);
    ASSERT_TRUE(r.Loaded);
    EXPECT_FALSE(r.MustEnd()) << r.BadLines.size();
    ASSERT_GE(cat.size(), 30u);

    QSet<QByteArray> descriptions;
    QSet<QByteArray> codes;
    for (const TCIDDescription& e : cat) {
        EXPECT_FALSE(descriptions.contains(e.Description)) << e.Description.constData();
        EXPECT_FALSE(codes.contains(e.Code)) << e.Code.constData();
        descriptions.insert(e.Description);
        codes.insert(e.Code);
        TCIDParamKind k;
        EXPECT_TRUE(LookupCIDParamKind(e.ParamKind1, k)) << e.Code.constData();
        EXPECT_TRUE(LookupCIDParamKind(e.ParamKind2, k)) << e.Code.constData();
        EXPECT_GE(e.TextNumber, 141);
    }
    // Every code the SMS hint knows is offered.
    for (const char* c : {"1100", "1101", "1110", "1115", "1131", "1132", "1134", "1120", "1121",
                          "1145", "1401", "3401"})
        EXPECT_TRUE(codes.contains(c)) << c;
}

TEST(CIDCatalogShipped, EveryEventIsNamedInEveryLanguage)
{
    platform::SetProgramDirForTests(QString());
    TCIDDescriptions cat;
    ASSERT_TRUE(LoadCIDDescriptions(cat).Loaded);
    for (const QString& language : {QStringLiteral("English"), QStringLiteral("Russian")}) {
        const QMap<int, QString> messages = ReadMessages(language);
        QSet<QString> names;
        for (const TCIDDescription& e : cat) {
            ASSERT_TRUE(messages.contains(e.TextNumber)) << language.toStdString() << " " << e.TextNumber;
            const QString name = messages.value(e.TextNumber).section(QLatin1Char('\\'), 0, 0);
            EXPECT_FALSE(name.isEmpty());
            EXPECT_LE(name.size(), CIDDescriptionWidth) << name.toStdString();
            // The event lists find the chosen entry by its name: names must differ.
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names.insert(name);
        }
        EXPECT_EQ(messages.size(), static_cast<int>(cat.size())) << language.toStdString();
    }
}

TEST(CIDCatalogLoad, SkipsCommentsAndEmptyLinesAndReadsFields)
{
    TCIDDescriptions cat;
    const TCIDLoadReport r = ParseCIDDescriptions(
        "/ comment\r\n\r\nBurglary\t1130\tpartition\tzone\t1\t0\t-1\n"
        "Medical\t1100\tPARTITION\tZone\t2\tTRUE\t150\textra\tfields\rOpen\t3401\tpartition\tuser\tyes\tfalse\tx\n",
        cat);
    EXPECT_FALSE(r.MustEnd());
    ASSERT_EQ(cat.size(), 3u);

    const TCIDDescription& b = cat[0];
    EXPECT_EQ(b.Description, "Burglary");
    EXPECT_EQ(b.FileDescription, "Burglary");
    EXPECT_EQ(b.Code, "1130");
    EXPECT_EQ(b.Qualifier, 6);
    EXPECT_EQ(b.EventDigits[0], 1);
    EXPECT_EQ(b.EventDigits[1], 3);
    EXPECT_EQ(b.EventDigits[2], 0);
    EXPECT_EQ(b.ParamKind1, "partition");
    EXPECT_EQ(b.ParamKind2, "zone");
    EXPECT_TRUE(b.RestoreAvailable);
    EXPECT_FALSE(b.Preset24H);
    EXPECT_EQ(b.TextNumber, -1);

    EXPECT_EQ(cat[1].ParamKind1, "partition");
    EXPECT_EQ(cat[1].ParamKind2, "zone");
    EXPECT_TRUE(cat[1].RestoreAvailable); // 2 is true
    EXPECT_TRUE(cat[1].Preset24H);        // words in any case
    EXPECT_EQ(cat[1].TextNumber, 150);

    EXPECT_EQ(cat[2].Qualifier, 7);
    EXPECT_FALSE(cat[2].RestoreAvailable); // "yes" is no flag
    EXPECT_EQ(cat[2].TextNumber, -1);
}

TEST(CIDCatalogLoad, MissingFieldsAndLongTextsNeverStopTheLoad)
{
    TCIDDescriptions cat;
    const QByteArray longText(80, 'x');
    const TCIDLoadReport r = ParseCIDDescriptions(longText + "\t11305\n" + "Short\t1602", cat);
    EXPECT_FALSE(r.MustEnd());
    ASSERT_EQ(cat.size(), 2u);
    EXPECT_EQ(cat[0].Description, longText.left(50));
    EXPECT_EQ(cat[0].Code, "1130"); // five characters cut to four and accepted
    EXPECT_TRUE(cat[1].ParamKind1.isEmpty());
    EXPECT_TRUE(cat[1].ParamKind2.isEmpty());
    EXPECT_FALSE(cat[1].RestoreAvailable);
    EXPECT_FALSE(cat[1].Preset24H);
    EXPECT_EQ(cat[1].TextNumber, -1);
}

TEST(CIDCatalogLoad, EachBadCodeReportsOnceAndTheLoadRunsToTheEnd)
{
    TCIDDescriptions cat;
    const TCIDLoadReport r = ParseCIDDescriptions(
        "\t\n"                 // line 1: only a TAB, empty code
        "Short\t113\n"         // line 2: three characters
        "Good\t1130\n"         // line 3
        "Qualifier\t2130\n"    // line 4: qualifier neither 1 nor 3
        "Letter\t1A3x\n"       // line 5: event digits not decimal
        "/ 9999\n"
        "Last\t3401\n",
        cat);
    EXPECT_TRUE(r.MustEnd());
    EXPECT_EQ(r.Messages, QList<int>({33, 33, 33, 33}));
    EXPECT_EQ(r.BadLines, QList<int>({1, 2, 4, 5}));
    ASSERT_EQ(cat.size(), 6u); // bad entries stay, as read
    EXPECT_TRUE(cat[0].Description.isEmpty());
    EXPECT_EQ(cat[3].Qualifier, 0);
    EXPECT_EQ(cat[3].EventDigits[0], 1);
    EXPECT_EQ(cat[5].Code, "3401");
}

TEST(CIDCatalogLoad, MissingFileReportsAndKeepsTheCatalogue)
{
    QTemporaryDir dir;
    TCIDDescriptions cat(1);
    cat[0].Code = "1130";
    const TCIDLoadReport r = LoadCIDDescriptions(dir.filePath("CID_Descriptions.txt"), cat);
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ(r.Messages, QList<int>({34}));
    ASSERT_EQ(cat.size(), 1u);

    // A folder of that name cannot be read as the file either.
    ASSERT_TRUE(QDir(dir.path()).mkdir("CID_Descriptions.txt"));
    platform::SetProgramDirForTests(dir.path());
    EXPECT_EQ(LoadCIDDescriptions(cat).Messages, QList<int>({34}));
    platform::SetProgramDirForTests(QString());
    EXPECT_EQ(cat.size(), 1u);
}

TEST(CIDCatalogLoad, ByteOrderMarkOfAnEditorIsNotPartOfTheFirstLine)
{
    TCIDDescriptions cat;
    EXPECT_FALSE(ParseCIDDescriptions("\xEF\xBB\xBF/ comment\nFire\t1110", cat).MustEnd());
    ASSERT_EQ(cat.size(), 1u);
    EXPECT_EQ(cat[0].Description, "Fire");
}

TEST(ContactIDCode, PacksAsTheModuleStoresIt)
{
    EXPECT_EQ(EncodeContactID(Entry("Burglary\t1130"), 1, 5), Bytes({6, 0x13, 0x00, 0x10, 0x05}));
    EXPECT_EQ(EncodeContactID(Entry("Armed\t3401"), 1, 7), Bytes({7, 0x40, 0x10, 0x10, 0x07}));
    EXPECT_EQ(EncodeContactID(Entry("x\t1602"), 99, 999), Bytes({6, 0x60, 0x29, 0x99, 0x99}));
    // An absent parameter leaves the nibble F.
    EXPECT_EQ(EncodeContactID(Entry("Burglary\t1130"), -1, 5), Bytes({6, 0x13, 0x00, 0xF0, 0x05}));
    EXPECT_EQ(EncodeContactID(Entry("Burglary\t1137"), 2, -1), Bytes({6, 0x13, 0x70, 0x20, 0xFF}));
}

TEST(ContactIDCode, UnpacksWhatItPacks)
{
    const TCIDDescription entries[] = {Entry("a\t1130"), Entry("b\t3401"), Entry("c\t1999")};
    for (const TCIDDescription& e : entries) {
        for (int group = 0; group < 100; group += 7) {
            for (int zone = 0; zone < 1000; zone += 37) {
                QByteArray key;
                int g = -5, z = -5;
                DecodeContactID(EncodeContactID(e, group, zone), key, g, z);
                EXPECT_EQ(key, e.Code);
                EXPECT_EQ(g, group);
                EXPECT_EQ(z, zone);
            }
        }
    }
}

TEST(ContactIDCode, UnpackingOddBytes)
{
    QByteArray key = "keep";
    int g = 11, z = 22;
    DecodeContactID(Bytes({6, 0x13, 0x00, 0x10}), key, g, z);
    EXPECT_EQ(key, "keep");
    EXPECT_EQ(g, 11);
    EXPECT_EQ(z, 22);

    DecodeContactID(Bytes({0, 0x13, 0x00, 0x10, 0x05}), key, g, z);
    EXPECT_EQ(key, "1130");
    // Nibbles above 9 become two-digit numbers: a longer key that no entry has.
    DecodeContactID(Bytes({9, 0xAB, 0xC0, 0xF0, 0xFF}), key, g, z);
    EXPECT_EQ(key, "1101112");
    EXPECT_EQ(g, 15);
    EXPECT_EQ(z, 0 * 100 + 15 * 10 + 15);
}

TEST(CIDCatalogLookup, ByCodeAndByDescription)
{
    TCIDDescriptions cat;
    ParseCIDDescriptions("Fire\t1110\nBurglary\t1130\tpartition\tzone\nBurglary\t1131\tpartition\tuser\n", cat);
    int index = -7;
    EXPECT_EQ(FindCIDByCode(cat, "1130", index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(FindCIDByCode(cat, "1101112", index), 2);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(FindCIDByCode(cat, "113", index), 0);
    EXPECT_EQ(index, 2);
    TCIDDescriptions empty;
    EXPECT_EQ(FindCIDByCode(empty, "1130", index), 2);
    EXPECT_EQ(index, -1);

    TCIDDescription e;
    ASSERT_EQ(FindCIDByDescription(cat, "Burglary", e), 1);
    EXPECT_EQ(e.Code, "1130"); // the first of two equal descriptions
    EXPECT_EQ(FindCIDByDescription(cat, "burglary", e), 0);
    EXPECT_EQ(e.Code, "1130");
    EXPECT_EQ(IndexOfCIDDescription(cat, "Fire"), 0);
    EXPECT_EQ(IndexOfCIDDescription(cat, "Smoke"), -1);
}

TEST(CIDCatalogLookup, ParameterKinds)
{
    TCIDParamKind k;
    ASSERT_TRUE(LookupCIDParamKind("Zone", k));
    EXPECT_TRUE(k.Active);
    EXPECT_EQ(k.GridNumber, 3);
    EXPECT_EQ(k.NumberOffset, 1);
    EXPECT_EQ(k.ItemCount, 32);
    EXPECT_EQ(CIDParamInitialIndex(k, 4), 4);

    ASSERT_TRUE(LookupCIDParamKind("partition", k));
    EXPECT_EQ(k.GridNumber, 4);
    EXPECT_EQ(k.ItemCount, 8);
    EXPECT_EQ(CIDParamInitialIndex(k, 4), 0);
    ASSERT_TRUE(LookupCIDParamKind("USER", k));
    EXPECT_EQ(k.GridNumber, 5);
    EXPECT_EQ(k.NumberOffset, 0);
    ASSERT_TRUE(LookupCIDParamKind("module", k));
    EXPECT_EQ(k.GridNumber, 6);
    EXPECT_EQ(k.ItemCount, 16);
    ASSERT_TRUE(LookupCIDParamKind("null", k));
    EXPECT_FALSE(k.Active);
    EXPECT_EQ(CIDParamInitialIndex(k, 4), -1);

    k.GridNumber = 9;
    EXPECT_FALSE(LookupCIDParamKind("area", k));
    EXPECT_FALSE(LookupCIDParamKind("", k));
    EXPECT_EQ(k.GridNumber, 9); // an unknown kind leaves the parameter as it was
}

TEST(CIDCatalogLookup, SmsTextOfTheListedCodes)
{
    const auto phrase = [](int n) { return "P" + QByteArray::number(n); };
    QByteArray text = "unchanged";
    EXPECT_TRUE(BuildCIDSmsText("1100", "Area", "Kitchen", phrase, text));
    EXPECT_EQ(text, "P33 P39 Kitchen");
    EXPECT_TRUE(BuildCIDSmsText("1134", "Area", "Door", phrase, text));
    EXPECT_EQ(text, "P33 Door");
    EXPECT_TRUE(BuildCIDSmsText("1120", "", "Button", phrase, text));
    EXPECT_EQ(text, "P33 P41 Button");
    EXPECT_TRUE(BuildCIDSmsText("1121", "", "Ann", phrase, text));
    EXPECT_EQ(text, "P33 P42 Ann");
    EXPECT_TRUE(BuildCIDSmsText("1145", "", "Keypad", phrase, text));
    EXPECT_EQ(text, "P33 P43 Keypad");
    EXPECT_TRUE(BuildCIDSmsText("1401", "Home", "Ann", phrase, text));
    EXPECT_EQ(text, "Ann P35 Home");
    EXPECT_TRUE(BuildCIDSmsText("3401", "Home", "Ann", phrase, text));
    EXPECT_EQ(text, "Ann P34 Home");

    text = "unchanged";
    EXPECT_FALSE(BuildCIDSmsText("1130", "a", "b", phrase, text));
    EXPECT_FALSE(BuildCIDSmsText("11 0", "a", "b", phrase, text));
    EXPECT_FALSE(BuildCIDSmsText("", "a", "b", phrase, text));
    EXPECT_EQ(text, "unchanged");
}

TEST(CIDCatalogLanguage, TranslationsReplaceTheFileTextsEachTime)
{
    TCIDDescriptions cat;
    ParseCIDDescriptions("Fire\t1110\t\t\t\t\t5\nPanic\t1120\t\t\t\t\t6\nTest\t1602\t\t\t\t\t-1\n"
                         "Gas\t1151\t\t\t\t\t7\n",
                         cat);
    const QString longName(60, QLatin1Char('y'));
    const auto messages = [&](std::int32_t n) -> QString {
        switch (n) {
        case 5: return QStringLiteral("Gaisras\\Explanation");
        case 6: return QStringLiteral("\\only an explanation");
        case 7: return longName;
        default: return QStringLiteral("never");
        }
    };
    const auto toAnsi = [](const QString& s) { return s.toLatin1(); };
    ApplyCIDTranslations(cat, messages, toAnsi);
    EXPECT_EQ(cat[0].Description, "Gaisras");
    EXPECT_EQ(cat[1].Description, "Panic");
    EXPECT_EQ(cat[2].Description, "Test");
    EXPECT_EQ(cat[3].Description, QByteArray(50, 'y'));
    EXPECT_EQ(cat[0].FileDescription, "Fire");

    // A language without these messages brings the file texts back.
    ApplyCIDTranslations(cat, [](std::int32_t) { return QString(); }, toAnsi);
    EXPECT_EQ(cat[0].Description, "Fire");
    EXPECT_EQ(cat[3].Description, "Gas");
}
