// Messages as Unicode text, the translated message dialog and the "Comps OK?" dialogs.
#include <gtest/gtest.h>

#include "lang/Kalbos.h"
#include "lang/LangText.h"

namespace {

class LangTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearLanguages();
        ui::ClearAnswers();
        ui::ClearRecord();
        QByteArray data = "%English\t0\t0\r\n";
        for (int n = 1; n <= 32; ++n)
            data += "$en" + QByteArray::number(n) + "\r\n";
        data += "%Russian\t204\t1\r\n";
        for (int n = 1; n <= 32; ++n)
            data += "$\xF0\xF3" + QByteArray::number(n) + "\r\n"; // "ru" in Cyrillic + n
        QByteArray err;
        ASSERT_TRUE(LoadLanguageData(data, "comps.txt", err));
    }
    void TearDown() override
    {
        ClearLanguages();
        ui::ClearAnswers();
        ui::ClearRecord();
    }
    static QString ru(int n) { return QString::fromUtf16(u"\u0440\u0443") + QString::number(n); }
};

TEST_F(LangTextTest, MessagesThroughTheCurrentCodeTable)
{
    EXPECT_EQ(GetLangText(5), "en5");
    EXPECT_EQ(GetLangText(33), "");
    SelectLanguage(1);
    EXPECT_EQ(GetLangText(5), ru(5));
    EXPECT_EQ(LangMessage(7), ru(7));
    EXPECT_EQ(GetLangText(0), "");
    EXPECT_EQ(LangFromUnicode(ru(1)), QByteArray("\xF0\xF3" "1"));
}

TEST_F(LangTextTest, DialogCaptionFollowsTheType)
{
    SelectLanguage(1);
    const struct {
        ui::MsgType type;
        int message;
    } cases[] = {{ui::MsgType::Warning, 29}, {ui::MsgType::Error, 26},
                 {ui::MsgType::Information, 27}, {ui::MsgType::Confirmation, 28}};
    for (const auto& c : cases) {
        ui::ClearRecord();
        ui::QueueButton(ui::MsgButton::OK);
        EXPECT_EQ(WideMessagedlg("text", c.type, {ui::MsgButton::OK}), ui::MsgButton::OK);
        ASSERT_EQ(ui::Record().size(), 1u);
        EXPECT_EQ(ui::Record()[0].caption, ru(c.message));
        EXPECT_EQ(ui::Record()[0].text, "text");
        EXPECT_EQ(ui::Record()[0].buttonTexts, QStringList{"OK"});
    }
}

TEST_F(LangTextTest, YesNoAndCancelAreTranslatedAndTheAnswerReturned)
{
    ui::QueueButton(ui::MsgButton::No);
    const ui::ModalResult r = WideMessagedlg("Replace?", ui::MsgType::Confirmation,
                                             {ui::MsgButton::Yes, ui::MsgButton::No,
                                              ui::MsgButton::Cancel, ui::MsgButton::Help});
    EXPECT_EQ(r, ui::MsgButton::No);
    ASSERT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(ui::Record()[0].caption, "en28");
    EXPECT_EQ(ui::Record()[0].buttons, (QStringList{"Yes", "No", "Cancel", "Help"}));
    EXPECT_EQ(ui::Record()[0].buttonTexts, (QStringList{"en30", "en31", "en32", "Help"}));
}

TEST_F(LangTextTest, WithoutTextsTheDialogKeepsItsOwnCaptions)
{
    ClearLanguages();
    ui::QueueButton(ui::MsgButton::Yes);
    EXPECT_EQ(WideMessagedlg("Not found comps.txt", ui::MsgType::Error,
                             {ui::MsgButton::Yes, ui::MsgButton::No}),
              ui::MsgButton::Yes);
    EXPECT_EQ(ui::Record()[0].caption, "Error");
    EXPECT_EQ(ui::Record()[0].buttonTexts, (QStringList{"Yes", "No"}));
}

TEST_F(LangTextTest, CheckShowsEachFindingThenDone)
{
    ShowLanguageTableCheck();
    ASSERT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(ui::Record()[0].kind, "plain");
    EXPECT_EQ(ui::Record()[0].text, "Done");

    ui::ClearRecord();
    QByteArray err;
    ASSERT_TRUE(LoadLanguageData("%Short\t0\t0\r\n$one\r\n", "comps.txt", err));
    ShowLanguageTableCheck();
    ASSERT_EQ(ui::Record().size(), 2u);
    EXPECT_EQ(ui::Record()[0].text, "Short turi skirtinga kieki zinuciu");
    EXPECT_EQ(ui::Record()[1].text, "Done");
}

} // namespace
