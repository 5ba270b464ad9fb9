// The SMS phrases, additional SMS texts and help text dialogs against the simulated module:
// what they request when shown, what arrives in their edits, the exact packets they write,
// and which of them gives the main window back.
#include "NamesWindowFixture.h"

#include "editor/Controls.h"
#include "editor/ModuleText.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <functional>
#include <utility>

namespace {

class SmsDialogsTest : public NamesWindowFixture {
protected:
    // The packets with the given code, in order.
    std::vector<QByteArray> PacketsOf(quint8 code) const
    {
        std::vector<QByteArray> out;
        for (const QByteArray& p : module->Packets())
            if (static_cast<quint8>(p[0]) == code)
                out.push_back(p);
        return out;
    }
};

TEST_F(SmsDialogsTest, PhrasesAreRequestedOnShowAndArriveInTheEdits)
{
    ConnectAndRead();
    module->Config().smsPhrases[0] = "Armed";
    module->Config().smsPhrases[14] = "Last one";
    for (int i = 0; i < TForm2::PhraseCount; ++i)
        Form2->PhraseEdit(i)->clear();
    form->TntButton8->click();
    EXPECT_FALSE(form->isEnabled());
    EXPECT_TRUE(Form2->isEnabled());
    const auto codes = module->Codes();
    ASSERT_EQ(codes.size(), 16u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(codes[i], 0x8D);
        EXPECT_EQ(static_cast<int>(module->Packets()[i][1]), i);
    }
    EXPECT_EQ(codes[15], 0x41);
    ASSERT_TRUE(sim::WaitUntil([&] { return Form2->PhraseEdit(14)->text() == "Last one"; }));
    EXPECT_EQ(Form2->PhraseEdit(0)->text(), "Armed");
    EXPECT_EQ(ctl::Find<QLineEdit>(Form2, "edit47"), Form2->PhraseEdit(14));

    // An index without an edit changes nothing.
    Form2->OnSMSPhraseArrive(nullptr, 15, "ghost");
    for (int i = 0; i < TForm2::PhraseCount; ++i)
        EXPECT_NE(Form2->PhraseEdit(i)->text(), "ghost");
    Form2->TntButton1->click();
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(SmsDialogsTest, PhrasesWriteEncodedWithPausesThenEndTheBatch)
{
    ConnectAndRead();
    form->ComboBox28->setCurrentText(QStringLiteral("Russian"));
    form->ComboBox28Change(form->ComboBox28);
    Form2->TntButton2Click();
    for (int i = 0; i < TForm2::PhraseCount; ++i)
        EXPECT_EQ(Form2->PhraseEdit(i)->text(), LangMessage(i + 1));
    Form2->PhraseEdit(1)->setText(QStringLiteral("Снято, очень длинная фраза"));
    module->ClearLog();
    Form2->TntButton53Click();
    const auto& log = module->Log();
    ASSERT_EQ(log.size(), 16u);
    for (int i = 0; i < 15; ++i) {
        const QByteArray& p = log[i].packet;
        EXPECT_EQ(static_cast<quint8>(p[0]), 0x0D);
        EXPECT_EQ(static_cast<int>(p[1]), i);
        const QByteArray text = ModuleText::FromLangText(LangFromUnicode(Form2->PhraseEdit(i)->text()));
        EXPECT_EQ(p.mid(2, 16), (text + QByteArray(16, ' ')).left(16)) << i;
        if (i > 0) {
            EXPECT_GE(log[i].atNs - log[i - 1].atNs, 5'000'000);
        }
    }
    EXPECT_EQ(static_cast<quint8>(log[15].packet[0]), 0x41);
    // The Russian text really went through the module's character set.
    EXPECT_NE(log[1].packet.mid(2, 5), LangFromUnicode(QStringLiteral("Снято")));
}

TEST_F(SmsDialogsTest, AdditionalTextsAreRequestedOnShowAndFillTheEdits)
{
    ConnectAndRead();
    module->Config().additionalSmsTexts[0] = "GPRS down";
    module->Config().additionalSmsTexts[1] = "Stats";
    form->TntButton33->click();
    EXPECT_FALSE(form->isEnabled());
    const auto codes = module->Codes();
    ASSERT_EQ(codes.size(), 3u);
    EXPECT_EQ(codes[0], 0x96);
    EXPECT_EQ(static_cast<int>(module->Packets()[0][1]), 0);
    EXPECT_EQ(codes[1], 0x96);
    EXPECT_EQ(static_cast<int>(module->Packets()[1][1]), 1);
    EXPECT_EQ(codes[2], 0x41);
    ASSERT_TRUE(sim::WaitUntil([&] { return Form6->AdSMSEdit1->text() == "Stats"; }));
    EXPECT_EQ(Form6->AdSMSEdit0->text(), "GPRS down");
    EXPECT_EQ(AdditionalSMSTexts[0], QByteArray("GPRS down"));

    // Set default fills the edits only.
    Form6->TntButton4->click();
    EXPECT_EQ(Form6->AdSMSEdit0->text(), LangMessage(16));
    EXPECT_EQ(Form6->AdSMSEdit1->text(), LangMessage(17));
    EXPECT_EQ(AdditionalSMSTexts[0], QByteArray("GPRS down"));
    Form6->TntButton5->click();
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_TRUE(form->isEnabled());
    sim::Pump(20);
    EXPECT_EQ(module->Codes().size(), 3u);
}

TEST_F(SmsDialogsTest, AdditionalTextsWriteCutToFiftyWithPausesAndClose)
{
    ConnectAndRead();
    form->TntButton33Click();
    ASSERT_TRUE(sim::WaitUntil([&] { return module->Codes().size() >= 3; }));
    sim::Pump(20);
    const QString sixty = QString(QStringLiteral("0123456789")).repeated(6);
    Form6->AdSMSEdit0->setText(sixty);
    Form6->AdSMSEdit1->setText(QStringLiteral("short"));
    module->ClearLog();
    Form6->TntButton53->click();
    EXPECT_EQ(AdditionalSMSTexts[0], sixty.left(50).toLatin1());
    EXPECT_EQ(AdditionalSMSTexts[1], QByteArray("short"));
    const auto& log = module->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(static_cast<quint8>(log[0].packet[0]), 0x16);
    EXPECT_EQ(static_cast<int>(log[0].packet[1]), 0);
    EXPECT_EQ(log[0].packet.mid(2, 50), sixty.left(50).toLatin1());
    EXPECT_EQ(static_cast<quint8>(log[0].packet[52]), 0);
    EXPECT_EQ(static_cast<int>(log[1].packet[1]), 1);
    EXPECT_EQ(log[1].packet.mid(2, 50), QByteArray("short").leftJustified(50, ' '));
    EXPECT_GE(log[1].atNs - log[0].atNs, 50'000'000);
    EXPECT_GE(log[2].atNs - log[1].atNs, 50'000'000);
    EXPECT_EQ(static_cast<quint8>(log[2].packet[0]), 0x41);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(module->Config().additionalSmsTexts[0], sixty.left(50).toLatin1());
}

TEST_F(SmsDialogsTest, AdditionalTextsWriteWithoutModuleDoesNothing)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    Form6->show();
    EXPECT_FALSE(form->isEnabled());
    Form6->AdSMSEdit0->setText(QStringLiteral("not stored"));
    Form6->TntButton53->click();
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_TRUE(AdditionalSMSTexts[0].isEmpty());
    EXPECT_FALSE(form->isEnabled());
    Form6->close();
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(SmsDialogsTest, HelpTextArrivalShowsControlCharactersAndTrimsOnlyTheEnd)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    Form3->SetText("old text");
    const QByteArray part0 = QByteArray("Line one\nwith\ttab and \xFF end").leftJustified(47, ' ');
    const QByteArray part1 = QByteArray("second part").leftJustified(47, ' ');
    const QByteArray part2 = QByteArray("third").leftJustified(47, ' ');
    Form3->OnHelpTextArrive(nullptr, 0, part0);
    EXPECT_EQ(Form3->Text(), QByteArray("Line one.with.tab and . end").leftJustified(47, ' '));
    Form3->OnHelpTextArrive(nullptr, 1, part1);
    EXPECT_EQ(Form3->Text().size(), 94);
    Form3->OnHelpTextArrive(nullptr, 2, part2);
    EXPECT_EQ(Form3->Text(), QByteArray("Line one.with.tab and . end").leftJustified(47, ' ') + part1 + "third");
    EXPECT_EQ(Form3->Label2->text(), QString::number(Form3->Text().size()));

    // Of part 2 only 46 characters count; spaces at the end of the whole text go.
    Form3->OnHelpTextArrive(nullptr, 0, QByteArray(47, 'a'));
    Form3->OnHelpTextArrive(nullptr, 1, QByteArray("b").leftJustified(47, ' '));
    Form3->OnHelpTextArrive(nullptr, 2, QByteArray(47, 'c'));
    EXPECT_EQ(Form3->Text(), QByteArray(47, 'a') + QByteArray("b").leftJustified(47, ' ') + QByteArray(46, 'c'));
    Form3->OnHelpTextArrive(nullptr, 0, QByteArray(47, 'a'));
    Form3->OnHelpTextArrive(nullptr, 1, QByteArray("b").leftJustified(47, ' '));
    Form3->OnHelpTextArrive(nullptr, 2, QByteArray(47, ' '));
    EXPECT_EQ(Form3->Text(), QByteArray(47, 'a') + "b");

    // The memo never holds more than 140 characters.
    Form3->Memo1->setPlainText(QString(150, QLatin1Char('x')));
    EXPECT_EQ(Form3->Memo1->toPlainText().size(), 140);
    EXPECT_EQ(Form3->Label2->text(), QStringLiteral("140"));
}

TEST_F(SmsDialogsTest, HelpTextIsSentInThreePartsAndReadsBackTheSame)
{
    ConnectAndRead();
    QByteArray text;
    for (int i = 0; i < 100; ++i)
        text += static_cast<char>('A' + i % 26);
    Form3->SetText(text);
    Form3->TntButton1Click();
    const auto& log = module->Log();
    ASSERT_EQ(log.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(static_cast<quint8>(log[i].packet[0]), 0x0E);
        EXPECT_EQ(static_cast<int>(log[i].packet[1]), i);
        if (i > 0) {
            EXPECT_GE(log[i].atNs - log[i - 1].atNs, 50'000'000);
        }
    }
    EXPECT_EQ(log[0].packet.mid(2, 47), text.mid(0, 47));
    EXPECT_EQ(log[1].packet.mid(2, 47), text.mid(47, 47));
    EXPECT_EQ(log[2].packet.mid(2, 47), text.mid(94, 6).leftJustified(47, ' '));
    EXPECT_EQ(static_cast<quint8>(log[3].packet[0]), 0x41);
    EXPECT_GE(log[3].atNs - log[2].atNs, 50'000'000);

    Form3->SetText("something else");
    for (int i = 0; i < 3; ++i)
        form->Link()->ReadHelpText(static_cast<quint8>(i));
    ASSERT_TRUE(sim::WaitUntil([&] { return Form3->Text() == text; })) << Form3->Text().constData();
}

TEST_F(SmsDialogsTest, OnlyTheDialogThatTookTheMainWindowGivesItBack)
{
    ConnectAndRead();
    // The write-all holds the main window (its wait dialog) and runs the hidden dialogs'
    // writers for a loaded template's texts: their closing must not give the window back
    // while packets still go out.
    TemplateLoaded = true;
    form->setEnabled(false);
    Form6->TntButton53Click();
    EXPECT_FALSE(form->isEnabled());
    Form3->TntButton1Click();
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(module->Codes().size(), 7u);
    TemplateLoaded = false;

    // A dialog shown while the window is already held leaves it held on closing.
    Form2->show();
    Form2->close();
    EXPECT_FALSE(form->isEnabled());
    Form6->show();
    Form6->close();
    EXPECT_FALSE(form->isEnabled());
    form->setEnabled(true);

    // A dialog that took the window gives it back once, however it is closed.
    Form6->show();
    EXPECT_FALSE(form->isEnabled());
    Form6->reject(); // Esc
    EXPECT_TRUE(form->isEnabled());
    form->setEnabled(false);
    Form6->close();
    EXPECT_FALSE(form->isEnabled());
    form->setEnabled(true);
}

TEST_F(SmsDialogsTest, ClosingWhileTheRequestsGoOutLeavesTheWindowFree)
{
    ConnectAndRead();
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x8D && p[1] == 3)
            QTimer::singleShot(0, Form2, [] { Form2->close(); });
    };
    Form2->show();
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

// The two dialogs that read their texts when shown, as the tests drive them.
struct TextDialog {
    const char* name;
    std::function<TSmsDialog*()> dialog;
    std::function<QPushButton*(TForm1&)> opener;
    std::function<void()> write, setDefault;
    std::function<QLineEdit*(int)> edit;
    int count;
    quint8 writeCode;
    std::function<QByteArray(const sim::SimModuleConfig&, int)> stored;
};

std::vector<TextDialog> TextDialogs()
{
    return {{"SMS Phrases", [] { return static_cast<TSmsDialog*>(Form2); }, [](TForm1& f) { return f.TntButton8; },
             [] { Form2->TntButton53->click(); }, [] { Form2->TntButton2->click(); },
             [](int i) { return Form2->PhraseEdit(i); }, TForm2::PhraseCount, 0x0D,
             [](const sim::SimModuleConfig& c, int i) { return c.smsPhrases[size_t(i)]; }},
            {"Additional SMS Texts", [] { return static_cast<TSmsDialog*>(Form6); },
             [](TForm1& f) { return f.TntButton33; }, [] { Form6->TntButton53->click(); },
             [] { Form6->TntButton4->click(); },
             [](int i) { return i == 0 ? Form6->AdSMSEdit0 : Form6->AdSMSEdit1; }, 2, 0x16,
             [](const sim::SimModuleConfig& c, int i) { return c.additionalSmsTexts[size_t(i)]; }}};
}

TEST_F(SmsDialogsTest, WriteSendsOnlyTextsTheDialogKnows)
{
    enum State { Unanswered, Answered, UnansweredThenDefaults, TemplateTexts, AnsweredInAReport };
    ConnectAndRead();
    std::function<void()> openInReport; // run by the next report of the module, inside its handling
    const auto onState = form->Link()->OnState;
    form->Link()->OnState = [&](auto... a) {
        onState(a...);
        if (openInReport)
            std::exchange(openInReport, nullptr)();
    };
    // While asked to, the module takes the dialog's requests and sends back only its
    // status, so that the next request can go.
    bool dropReads = false;
    module->OnPacket = [&](const QByteArray& p) {
        if (!dropReads || (quint8(p[0]) != 0x8D && quint8(p[0]) != 0x96))
            return;
        module->SetSilent(true);
        QTimer::singleShot(0, form, [&] {
            module->SetSilent(false);
            module->SendStatus();
        });
    };
    for (const TextDialog& d : TextDialogs())
        for (State st : {Unanswered, Answered, UnansweredThenDefaults, TemplateTexts, AnsweredInAReport}) {
            SCOPED_TRACE(testing::Message() << d.name << ", state " << st);
            dropReads = st != Answered && st != AnsweredInAReport;
            TemplateLoaded = st == TemplateTexts;
            ui::ClearRecord();
            openInReport = [&] { d.opener(*form)->click(); };
            st == AnsweredInAReport ? module->SendState({}) : std::exchange(openInReport, nullptr)();
            ASSERT_TRUE(sim::WaitUntil([&] { return !openInReport; }));
            sim::Pump(150);
            ASSERT_TRUE(d.dialog()->isVisible());
            // A read left unanswered is told (126) before the write's own word.
            EXPECT_EQ(Shown(GetLangText(126)), st == Unanswered || st == UnansweredThenDefaults);
            ui::ClearRecord();
            dropReads = false;
            if (st == UnansweredThenDefaults)
                d.setDefault();
            d.edit(0)->setText(QStringLiteral("Typed"));
            module->ClearLog();
            QTest::keyClick(d.edit(0), Qt::Key_Return); // finishes the field, writes nothing
            EXPECT_TRUE(module->Packets().empty() && ui::Record().empty());
            d.write();
            sim::Pump(150);
            if (st == Unanswered) {
                ASSERT_FALSE(GetLangText(121).isEmpty());
                ASSERT_EQ(ui::Record().size(), 1u);
                EXPECT_EQ(ui::Record().front().text, GetLangText(121));
                EXPECT_TRUE(module->Packets().empty());
                EXPECT_TRUE(d.dialog()->isVisible());
            } else {
                EXPECT_TRUE(ui::Record().empty());
                EXPECT_EQ(PacketsOf(d.writeCode).size(), std::size_t(d.count));
                EXPECT_EQ(d.stored(module->Config(), 0).trimmed(), QByteArray("Typed"));
            }
            d.dialog()->close();
            TemplateLoaded = false;
        }
    form->Link()->OnState = onState;
}

// A read the module does not answer (silent, busy for good), and one while it still owes it: told (126).
TEST_F(SmsDialogsTest, ReadOfAModuleThatDoesNotAnswerIsToldAfterTheWait)
{
    TForm1::LinkTiming.NoAnswerMs = 400;
    for (const bool staysBusy : {false, true}) {
        ConnectAndRead();
        const TextDialog d = TextDialogs()[staysBusy ? 1 : 0];
        module->OnPacket = [&](const QByteArray&) {
            module->OnPacket = nullptr;
            (staysBusy ? module->SetStayBusy(true) : module->SetSilent(true));
        };
        for (const bool owing : {false, true}) {
            SCOPED_TRACE(testing::Message() << d.name << ", owing " << owing);
            QTimer::singleShot(200, form, [] { EXPECT_TRUE(Form5->isVisible()); }); // the wait dialog
            QElapsedTimer clock;
            clock.start();
            d.opener(*form)->click();
            EXPECT_TRUE(clock.elapsed() >= 385 && clock.elapsed() < 2900) << clock.elapsed();
            EXPECT_TRUE(sim::WaitUntil([] { return Shown(GetLangText(126)); }, 2000));
            EXPECT_EQ(module->Packets().size(), 1u); // the first request only, once the module was free
            d.dialog()->close();
            ui::ClearRecord();
        }
        CloseWindow();
    }
}

// A dialog goes with its module, taking what it told along and leaving nothing on screen, also
// when the module goes during its read; shown without one, Write says so (118) and the module's coming closes it.
TEST_F(SmsDialogsTest, DialogGoesWithItsModule)
{
    enum How { Replugged, LinkLost, Unplugged, ReplugDuringRead, ReplugUnderItsMessage };
    TForm1::LinkTiming.NoAnswerMs = 400;
    ConnectAndRead();
    for (const How how : {Replugged, LinkLost, Unplugged, ReplugDuringRead, ReplugUnderItsMessage}) {
        const TextDialog d = TextDialogs()[how == LinkLost || how == ReplugUnderItsMessage ? 1 : 0];
        SCOPED_TRACE(testing::Message() << d.name << ", how " << how);
        if (how >= ReplugDuringRead) // at the read's first request: replugged, or left unanswered (126)
            module->OnPacket = [&, how](const QByteArray&) {
                module->OnPacket = nullptr;
                how == ReplugDuringRead ? QTimer::singleShot(0, form, [&] { module->Replug(); }) : module->SetSilent(true);
            };
        if (how == ReplugUnderItsMessage) { // 126 comes up for real, and the module comes back under it
            ui::SetNonInteractive(false);
            ui::SetOnRecorded([&](const ui::ShownDialog&) {
                QTimer::singleShot(100, form, [&] {
                    ui::SetNonInteractive(true); // no later dialog may block
                    ui::SetOnRecorded(nullptr);
                    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    ASSERT_TRUE(box && box->text() == GetLangText(126));
                    module->SetSilent(false);
                    module->Replug();
                    EXPECT_TRUE(sim::WaitUntil([&] { return !box->isVisible(); })) << "the message outlived its dialog";
                    if (box->isVisible())
                        box->reject();
                });
            });
        }
        d.opener(*form)->click();
        if (how < ReplugDuringRead)
            (how == Replugged ? module->Replug() : module->Unplug(how == Unplugged));
        ASSERT_TRUE(sim::WaitUntil([&] { return !d.dialog()->isVisible(); }));
        if (how == LinkLost || how == Unplugged) {
            d.dialog()->show();
            d.write();
            EXPECT_TRUE(Shown(GetLangText(118)) && d.dialog()->isVisible());
            module->Plug();
            ASSERT_TRUE(sim::WaitUntil([&] { return !d.dialog()->isVisible(); }));
        }
        ASSERT_TRUE(WaitReadFinished());
        EXPECT_TRUE(!d.dialog()->windowHandle() || !d.dialog()->windowHandle()->isVisible()); // off the screen too
        EXPECT_TRUE(form->isEnabled());
        ui::ClearRecord();
    }
}

} // namespace
