#include "editor/SettingsFile.h"

#include "editor/MainTables.h"
#include "platform/AppPaths.h"
#include "platform/UiDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace settings;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetProgramDirForTests(dir.path());
        ResetMainTables();
        ui::ClearAnswers();
        ui::ClearRecord();
    }
    void TearDown() override
    {
        platform::SetProgramDirForTests(QString());
        ResetMainTables();
        ui::ClearAnswers();
        ui::ClearRecord();
    }
    void WriteSettings(const QByteArray& text)
    {
        QFile f(dir.filePath("Settings.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray ReadFile(const QString& rel)
    {
        QFile f(dir.filePath(rel));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SettingsFileTest, NoSettingsFileGivesTheDefaults)
{
    ReadServiceCode();
    EXPECT_TRUE(NormalMode);
    EXPECT_FALSE(ShowPagesAtStart);
    EXPECT_FALSE(ReadPSTNOption());
    const TTestNumberList l = LoadTestNumbers();
    EXPECT_TRUE(l.Items.isEmpty());
    EXPECT_EQ(l.ItemIndex, -1);
    QByteArray lang;
    IniReadString(SettingsSection, "Language", lang, "English");
    EXPECT_EQ(lang, "English");
    EXPECT_FALSE(QFile::exists(dir.filePath("Settings.ini")));
}

TEST_F(SettingsFileTest, ServiceCodeReadings)
{
    struct Case {
        QByteArray code;
        bool normal;
        bool pages;
    };
    for (const Case& c : {Case{"2", true, true}, Case{"48213", false, false},
                          Case{"0048213", false, false}, Case{"abc", true, false},
                          Case{"48213x", true, false}, Case{"", true, false},
                          Case{"99999999999", true, false}, Case{"-2", true, false}}) {
        WriteSettings("[Settings]\r\nCode=" + c.code + "\r\n");
        NormalMode = !c.normal;
        ShowPagesAtStart = !c.pages;
        ReadServiceCode();
        EXPECT_EQ(NormalMode, c.normal) << c.code.constData();
        EXPECT_EQ(ShowPagesAtStart, c.pages) << c.code.constData();
    }
}

TEST_F(SettingsFileTest, PstnOptionOnlyForOne)
{
    for (const QByteArray v : {"1", " 1 ", "+1"}) {
        WriteSettings("[settings]\npstn=" + v + "\n");
        EXPECT_TRUE(ReadPSTNOption()) << v.constData();
    }
    for (const QByteArray v : {"0", "2", "yes", "1.0", ""}) {
        WriteSettings("[Settings]\nPSTN=" + v + "\n");
        EXPECT_FALSE(ReadPSTNOption()) << v.constData();
    }
}

TEST_F(SettingsFileTest, TestNumbersLoadOnlyElevenCharactersAndSaveKeepsSkippedKeys)
{
    WriteSettings("[Settings]\r\nPhoneNumber1=37060000001\r\nPhoneNumber2=3706000000\r\n"
                  "PhoneNumber3=37060000003\r\n");
    const TTestNumberList l = LoadTestNumbers();
    ASSERT_EQ(l.Items, (QList<QByteArray>{"37060000001", "37060000003"}));
    EXPECT_EQ(l.ItemIndex, 0);

    SaveTestNumbers(l.Items);
    EXPECT_EQ(ReadFile("Settings.ini"),
              "[Settings]\r\nPhoneNumber1=37060000001\r\nPhoneNumber2=37060000003\r\n"
              "PhoneNumber3=37060000003\r\n");

    // Only the first three items are kept; an invalid one leaves its key as it was.
    SaveTestNumbers({"37060000011", "short", "37060000033", "37060000044"});
    EXPECT_EQ(ReadFile("Settings.ini"),
              "[Settings]\r\nPhoneNumber1=37060000011\r\nPhoneNumber2=37060000003\r\n"
              "PhoneNumber3=37060000033\r\n");
}

TEST_F(SettingsFileTest, AddingATestNumber)
{
    WriteSettings("[Settings]\r\nPhoneNumber=37000000000\r\n");
    TTestNumberList l;
    l.Items = {"37060000001"};
    l.ItemIndex = 0;

    ui::QueueText(QStringLiteral("370600000012")); // 12 characters
    EXPECT_FALSE(TntButton28Click(l));
    ASSERT_EQ(ui::Record().size(), 2u);
    EXPECT_EQ(ui::Record()[0].kind, "input");
    EXPECT_EQ(ui::Record()[0].caption, "Iveskite testavimo numeri");
    EXPECT_EQ(ui::Record()[0].text, "Numeris (pvz: 37060000000)");
    EXPECT_EQ(ui::Record()[1].kind, "plain");
    EXPECT_EQ(ui::Record()[1].text, "Numeris neteisingas");
    EXPECT_EQ(l.Items.size(), 1);

    ui::ClearRecord();
    ui::QueueText(std::nullopt);
    EXPECT_FALSE(TntButton28Click(l));
    EXPECT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(l.Items.size(), 1);

    ui::QueueText(QStringLiteral("37060000002"));
    EXPECT_TRUE(TntButton28Click(l));
    EXPECT_EQ(l.Items, (QList<QByteArray>{"37060000001", "37060000002"}));
    EXPECT_EQ(l.ItemIndex, 1);
    // Nothing is written until the list is saved.
    EXPECT_EQ(ReadFile("Settings.ini"), "[Settings]\r\nPhoneNumber=37000000000\r\n");
}

TEST_F(SettingsFileTest, DebugLinesAreAppended)
{
    const std::uint32_t request = 0x90u | (2u << 12) | (5u << 20);
    ASSERT_TRUE(AppendDebugCode(request));
    EXPECT_EQ(ReadFile("Debug/Debug.txt"), "00502090\r\n");
    ASSERT_TRUE(AppendDebugCode(0x8F));
    ASSERT_TRUE(AppendDebugCode(static_cast<std::uint32_t>(-2)));
    EXPECT_EQ(ReadFile("Debug/Debug.txt"), "00502090\r\n0000008F\r\nFFFFFFFE\r\n");
}

TEST_F(SettingsFileTest, DebugLineAfterAnUnterminatedLastLine)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("Debug"));
    {
        QFile f(dir.filePath("Debug/Debug.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier run\r\n00000080");
    }
    ASSERT_TRUE(AppendDebugCode(0x81));
    EXPECT_EQ(ReadFile("Debug/Debug.txt"), "earlier run\r\n00000080\r\n00000081\r\n");
}

TEST_F(SettingsFileTest, FilesThatCannotBeWrittenDoNotStopTheProgram)
{
    // "Debug" is a file, so neither the folder nor Debug.txt can be made.
    {
        QFile f(dir.filePath("Debug"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(AppendDebugCode(0x80));
    // Settings.ini is a folder: the write fails, the read gives the default.
    ASSERT_TRUE(QDir(dir.path()).mkpath("Settings.ini"));
    EXPECT_FALSE(IniWriteString(SettingsSection, "Language", "English"));
    SaveTestNumbers({"37060000001"});
    QByteArray v;
    IniReadString(SettingsSection, "Language", v, "English");
    EXPECT_EQ(v, "English");
}
