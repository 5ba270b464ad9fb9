// The file envelope (known vectors, size, round trip, no partial file), the log file
// names, and the template reader's lookups and value forms.
#include "editor/Envelope.h"
#include "editor/TemplateFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(Envelope, KnownVectors)
{
    EXPECT_EQ(PassPhraseKey(TemplatePassPhrase).toHex(), QByteArray("ed3649d3bfadd3269bfd1394c67ed61c42edfce7"));
    EXPECT_EQ(PassPhraseKey(LogPassPhrase).toHex(), QByteArray("0645421210cc92a2a4b2eb0617cdd9fc32c4bfb3"));
    EXPECT_EQ(RC4WithPassPhrase("Language=English\r\n", TemplatePassPhrase).toHex(),
              QByteArray("ed306c94158c7281cf95c407c7bc128e154d"));
}

TEST(Envelope, FileIsTheCipherOfTheLinesAndReadsBack)
{
    QTemporaryDir dir;
    const QString name = dir.path() + "/new/folder/a.tpl";
    const QList<QByteArray> lines = {"Language=English", "", QByteArray("nul\0byte", 8), "last"};
    ASSERT_TRUE(SaveStringsEncrypted(name, TemplatePassPhrase, lines));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray plain = JoinEnvelopeLines(lines);
    EXPECT_EQ(plain, QByteArray("Language=English\r\n\r\nnul\0byte\r\nlast\r\n", 36));
    const QByteArray file = f.readAll();
    EXPECT_EQ(file.size(), plain.size());
    EXPECT_EQ(file, RC4WithPassPhrase(plain, TemplatePassPhrase));
    QList<QByteArray> back = {"kept?"};
    ASSERT_TRUE(LoadEncryptedStrings(name, TemplatePassPhrase, back));
    EXPECT_EQ(back, lines);

    // A file that does not exist: false, the lines as they were.
    EXPECT_FALSE(LoadEncryptedStrings(dir.path() + "/none.tpl", TemplatePassPhrase, back));
    EXPECT_EQ(back, lines);
}

TEST(Envelope, LinesEndAtCRLFOrCROrLF)
{
    EXPECT_EQ(SplitEnvelopeLines("a\r\nb\rc\nd"), (QList<QByteArray>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitEnvelopeLines("a\r\n\r\n"), (QList<QByteArray>{"a", ""}));
    EXPECT_TRUE(SplitEnvelopeLines("").isEmpty());
}

TEST(Envelope, FailedWriteTellsWhyAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    // A plain file where the folder should be: nothing can be made below it.
    QFile blocker(dir.path() + "/Logs");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString why;
    EXPECT_FALSE(SaveStringsEncrypted(dir.path() + "/Logs/x.ktl", LogPassPhrase, {"line"}, &why));
    EXPECT_FALSE(why.isEmpty());

    // A target that is a folder cannot be replaced; nothing else is left beside it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("busy.tpl"));
    why.clear();
    EXPECT_FALSE(SaveStringsEncrypted(dir.path() + "/busy.tpl", TemplatePassPhrase, {"line"}, &why));
    EXPECT_FALSE(why.isEmpty());
    QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, (QStringList{"Logs", "busy.tpl"}));
}

TEST(Envelope, LogFileNames)
{
    const struct {
        QDateTime start, end;
        const char* name;
    } cases[] = {
        {QDateTime(QDate(2024, 5, 3), QTime(9, 7)), QDateTime(QDate(2024, 5, 3), QTime(10, 15)),
         "2024_5_3 9_7 - 2024_5_3 10_15.ktl"},
        {QDateTime(QDate(2023, 12, 31), QTime(23, 58)), QDateTime(QDate(2024, 1, 1), QTime(0, 5)),
         "2023_12_31 23_58 - 2024_1_1 0_5.ktl"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogFileName(c.start, c.end), QString::fromLatin1(c.name));
}

TEST(TemplateLines, ValuesStayOnOneLine)
{
    EXPECT_EQ(tpl::TextLine("Help Text", "a\r\nb\rc\nd\n\re"), QByteArray("Help Text=a b c d  e"));
    EXPECT_EQ(tpl::NumberLine("CR", 0x40000000), QByteArray("CR=1073741824"));
    EXPECT_EQ(tpl::BoolLine("SIM PIN CB", true), QByteArray("SIM PIN CB=-1"));
    EXPECT_EQ(tpl::BoolLine("SIM PIN CB", false), QByteArray("SIM PIN CB=0"));
    EXPECT_EQ(tpl::ContactIDValue({6, 1, 3, 0, 1}), QByteArray("6\t1\t3\t0\t1\t"));
    EXPECT_EQ(tpl::ContactIDValue({}), QByteArray("0\t0\t0\t0\t0\t"));
}

TEST(TemplateReader, KeysIgnoreCaseAndOrderAndTheFirstLineCounts)
{
    const tpl::TTemplateReader t({"no key here", "apn=first", "APN=second", "Help Text=a=b", "=empty key",
                                  "vEq2cR=17"});
    EXPECT_EQ(t.Text("APN"), QByteArray("first"));
    EXPECT_EQ(t.Text("help text"), QByteArray("a=b"));
    EXPECT_EQ(t.Number("VEQ2CR"), 17);
    EXPECT_TRUE(t.Text("Missing").isEmpty());
    EXPECT_FALSE(t.Has("no key here"));
}

TEST(TemplateReader, NumbersAndBooleans)
{
    const struct {
        const char* value;
        bool number; // reads as a number
        int n;
        int boolean; // -1 error, else the Boolean
        std::int64_t word = -2; // as a control word: -1 error; -2 as the number, if it is one
    } cases[] = {
        {"0", true, 0, 0},          {"-1", true, -1, 1},
        {"+12", true, 12, 1},       {"2147483647", true, 2147483647, 1},
        {"-2147483648", true, INT32_MIN, 1},
        {"2147483648", false, 0, -1}, {"", false, 0, -1},
        {" 5", false, 0, -1},       {"5 ", false, 0, -1},
        {"0x10", false, 0, -1},     {"-", false, 0, -1},
        {"True", false, 0, 1},      {"fALSE", false, 0, 0},
        {"yes", false, 0, -1},
        // A control word is written unsigned; files of older versions hold its signed form.
        {"2717922066", false, 0, -1, 2717922066}, {"-1577045230", true, -1577045230, 1, 2717922066},
        {"4294967295", false, 0, -1, 0xFFFFFFFF}, {"4294967296", false, 0, -1, -1}, {"-2147483649", false, 0, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const tpl::TTemplateReader t({QByteArray("K=") + c.value});
        if (c.number)
            EXPECT_EQ(t.Number("K"), c.n);
        else
            EXPECT_THROW(t.Number("K"), tpl::ETemplateValue);
        if (c.boolean < 0)
            EXPECT_THROW(t.Boolean("K"), tpl::ETemplateValue);
        else
            EXPECT_EQ(t.Boolean("K"), c.boolean == 1);
        const std::int64_t word = c.word == -2 && c.number ? std::int64_t(std::uint32_t(c.n)) : c.word;
        if (word >= 0) {
            EXPECT_EQ(t.Word("K"), word);
        } else if (word == -1) {
            EXPECT_THROW(t.Word("K"), tpl::ETemplateValue);
        }
    }
    EXPECT_THROW(tpl::TTemplateReader({}).Number("K"), tpl::ETemplateValue);
}

TEST(TemplateReader, ContactIDs)
{
    const struct {
        const char* value;
        bool ok;
        tduomenys bytes;
    } cases[] = {
        {"6\t1\t3\t0\t1\t", true, {6, 1, 3, 0, 1}},
        {"6\t1\t3\t0\t1", true, {6, 1, 3, 0, 1}},
        {"6\t1\t3\t0\t1\t99", true, {6, 1, 3, 0, 1}},
        {"262\t-1\t3\t0\t1", true, {6, 255, 3, 0, 1}},
        {"6\t1\t3\t0", false, {}},
        {"6\t1\t3\t0\t", false, {}},
        {"6\t1\tx\t0\t1", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const tpl::TTemplateReader t({QByteArray("CID0=") + c.value});
        if (c.ok)
            EXPECT_EQ(t.ContactID("cid0"), c.bytes);
        else
            EXPECT_THROW(t.ContactID("CID0"), tpl::ETemplateValue);
    }
}

} // namespace
