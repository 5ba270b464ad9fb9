#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::IniFindValue;
using platform::IniSetValue;
using platform::ReadProfileString;
using platform::WriteProfileString;

namespace {

QByteArray ReadAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& name, const QByteArray& data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(IniText, SectionAndKeyIgnoreAsciiCaseAndBlanks)
{
    const QByteArray ini = "[other]\r\nCode=7\r\n  [ SETTINGS ]  \r\n  cOdE  =  48213  \r\nPSTN=1\r\n";
    bool found = false;
    EXPECT_EQ(IniFindValue(ini, "Settings", "Code", &found), "48213");
    EXPECT_TRUE(found);
    EXPECT_EQ(IniFindValue(ini, "settings", "pstn"), "1");
    EXPECT_EQ(IniFindValue(ini, "Other", "CODE"), "7");
    // A key of another section is not seen.
    IniFindValue(ini, "Other", "PSTN", &found);
    EXPECT_FALSE(found);
    IniFindValue(ini, "Missing", "Code", &found);
    EXPECT_FALSE(found);
}

TEST(IniText, ValuesQuotesEmptyAndFirstOccurrence)
{
    const QByteArray ini = "[s]\nA=\"quoted text\"\nB='x'\nC=\nC=second\nD=a=b\n;E=comment\nF=\"unbalanced\n";
    bool found = false;
    EXPECT_EQ(IniFindValue(ini, "s", "A"), "quoted text");
    EXPECT_EQ(IniFindValue(ini, "s", "B"), "x");
    EXPECT_EQ(IniFindValue(ini, "s", "C", &found), "");
    EXPECT_TRUE(found); // an empty value is a value, not a missing key
    EXPECT_EQ(IniFindValue(ini, "s", "D"), "a=b");
    IniFindValue(ini, "s", ";E", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(IniFindValue(ini, "s", "F"), "\"unbalanced");
}

TEST(IniText, EightBitValuesAndLineEnds)
{
    const QByteArray ini = "\xEF\xBB\xBF[Settings]\rLanguage=Lietuvi\xF8\r";
    EXPECT_EQ(IniFindValue(ini, "Settings", "Language"), QByteArray("Lietuvi\xF8"));
}

TEST(IniText, ReplaceKeepsEveryOtherByte)
{
    const QByteArray ini = "; top\n[Settings]\nLanguage = English\nCode=0\n\n[Other]\nx=1";
    EXPECT_EQ(IniSetValue(ini, "settings", "LANGUAGE", "Deutsch"),
              "; top\n[Settings]\nLanguage =Deutsch\nCode=0\n\n[Other]\nx=1");
}

TEST(IniText, NewKeyGoesAtTheEndOfItsSectionWithTheFilesLineEnd)
{
    const QByteArray ini = "[Settings]\nCode=0\n\n[Other]\nx=1\n";
    EXPECT_EQ(IniSetValue(ini, "Settings", "PhoneNumber1", "37060000000"),
              "[Settings]\nCode=0\nPhoneNumber1=37060000000\n\n[Other]\nx=1\n");
    // Into a section that closes the text without a final line end.
    EXPECT_EQ(IniSetValue("[Settings]\r\nCode=0", "Settings", "PSTN", "1"),
              "[Settings]\r\nCode=0\r\nPSTN=1");
    // Into an empty section.
    EXPECT_EQ(IniSetValue("[Settings]\r\n[b]\r\n", "Settings", "k", "v"),
              "[Settings]\r\nk=v\r\n[b]\r\n");
}

TEST(IniText, NewSectionAndNewText)
{
    EXPECT_EQ(IniSetValue("", "Settings", "Language", "English"), "[Settings]\r\nLanguage=English\r\n");
    EXPECT_EQ(IniSetValue("[a]\nx=1", "Settings", "k", "v"), "[a]\nx=1\n[Settings]\nk=v\n");
}

TEST(IniText, ValueWithLineBreakStaysOneLine)
{
    const QByteArray out = IniSetValue("", "Settings", "Language", "English\r\nCode=48213");
    EXPECT_EQ(out, "[Settings]\r\nLanguage=English\r\n");
    EXPECT_EQ(IniFindValue(out, "Settings", "Code"), "");
}

TEST(IniFile, MissingFileGivesDefaultAndWriteCreatesIt)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("Settings.ini");
    EXPECT_EQ(ReadProfileString(name, "Settings", "Language", "English"), "English");
    EXPECT_FALSE(QFile::exists(name)); // reading creates nothing

    ASSERT_TRUE(WriteProfileString(name, "Settings", "Language", "Fran\xE7" "ais"));
    EXPECT_EQ(ReadAll(name), QByteArray("[Settings]\r\nLanguage=Fran\xE7" "ais\r\n"));
    EXPECT_EQ(ReadProfileString(name, "SETTINGS", "language", "English"),
              QByteArray("Fran\xE7" "ais"));
    EXPECT_EQ(ReadProfileString(name, "Settings", "Code", "0"), "0");
}

TEST(IniFile, WriteKeepsOtherLinesAndUnixLineEnds)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("Settings.ini");
    WriteAll(name, "# kept\n[Settings]\nCode=2\nLanguage=English\n");
    ASSERT_TRUE(WriteProfileString(name, "Settings", "PhoneNumber1", "37060000000"));
    ASSERT_TRUE(WriteProfileString(name, "Settings", "language", "Polski"));
    EXPECT_EQ(ReadAll(name), "# kept\n[Settings]\nCode=2\nLanguage=Polski\nPhoneNumber1=37060000000\n");
}

TEST(IniFile, WriteThatCannotHappenReportsFalse)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("no/such/folder/Settings.ini");
    EXPECT_FALSE(WriteProfileString(name, "Settings", "Language", "English"));
    // A folder where the file should be: cannot be read, so it is not replaced.
    const QString folder = dir.filePath("Settings.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(WriteProfileString(folder, "Settings", "Language", "English"));
    EXPECT_EQ(ReadProfileString(folder, "Settings", "Language", "dflt"), "dflt");
}
