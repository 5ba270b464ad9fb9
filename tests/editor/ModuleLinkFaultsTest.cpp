// The window against a module that misbehaves on the bus: one that stops answering in the
// middle of a write series while it stays plugged in, one that is swapped for another in
// the middle of a write, and the unlock panel of the GPRS settings from one module to the
// next.
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVariant>

#include <algorithm>

namespace {

constexpr int kNoAnswerMs = 400;

class ModuleLinkFaultsTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        TVEQ2Timing t;
        t.ReplyTimeoutMs = 1000;
        t.FirstReplyMs = 300;
        t.NoAnswerMs = kNoAnswerMs;
        TForm1::LinkTiming = t;
    }

    // A module of this firmware, read whole, its lock applied; its log and the dialogs
    // recorded so far cleared.
    void Connect(int firmware = 2035)
    {
        PlugModule(firmware);
        module->Config().accessPin = AccessPINToWord("4321");
        module->Config().phones[0] = {"+37060000100", 0x03, 0};
        for (int i = 0; i < 15; ++i)
            module->Config().smsPhrases[static_cast<std::size_t>(i)] = "P" + QByteArray::number(i);
        module->Config().additionalSmsTexts = {"A0", "A1"};
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
        sim::Pump(700); // the lock check after connect
        module->ClearLog();
        ui::ClearRecord();
    }

    static int Shown(const QStringList& texts)
    {
        return static_cast<int>(std::count_if(ui::Record().begin(), ui::Record().end(), [&](const ui::ShownDialog& d) {
            return texts.contains(d.text);
        }));
    }

    // The codes of these packets, as text for a failure message.
    static std::string Codes(const std::vector<QByteArray>& packets, std::size_t from = 0)
    {
        std::string s;
        for (std::size_t i = from; i < packets.size(); ++i)
            s += QByteArray(1, packets[i][0]).toHex().toStdString() + " ";
        return s;
    }
};

enum class Operation { WriteAll, WizardWriteAll, FactoryReset, ProductionTest, PhrasesWrite, AdditionalTextsWrite };

// Starts the operation as the user does; returns once it has ended.
void Start(TForm1* form, Operation op)
{
    switch (op) {
    case Operation::WriteAll:
        form->TntButton1->click();
        break;
    case Operation::WizardWriteAll:
        // Next on the last page before the summary sends as well.
        form->TntButton29Click(form->TntButton29);
        form->GoToWizardStep(7);
        form->wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
        break;
    case Operation::FactoryReset:
        ui::QueueButton(ui::MsgButton::Yes);
        form->TntButton1911->click();
        break;
    case Operation::ProductionTest:
        form->TntButton25->click();
        break;
    case Operation::PhrasesWrite:
        // The dialog reads its texts when it opens; Write sends them back.
        form->TntButton8->click();
        ASSERT_TRUE(sim::WaitUntil([] { return Form2->PhraseEdit(14)->text() == QStringLiteral("P14"); }));
        Form2->TntButton53->click();
        break;
    case Operation::AdditionalTextsWrite:
        form->TntButton33->click();
        ASSERT_TRUE(sim::WaitUntil([] { return Form6->AdSMSEdit1->text() == QStringLiteral("A1"); }));
        Form6->TntButton53->click();
        break;
    }
}

// A module that hangs in the middle of a write series while it stays on the bus: the
// series gives up after the no-answer limit, sends nothing more, says so once and gives
// the window back; once the module answers again a write reaches it whole.
TEST_F(ModuleLinkFaultsTest, ModuleThatStopsAnsweringEndsAWriteSeriesWithinTheLimit)
{
    // What each operation says when it is cut off: a reset is run again, not written.
    const QVariantList cutOff = {111};
    const QVariantList resetCutOff = {117};
    const QVariantList testCutOff = {117};
    const struct Case {
        const char* name;
        Operation op;
        quint8 code;     // the module hangs on the nth packet of this code
        int nth;
        bool staysBusy;  // it reports busy for that packet, then nothing; else nothing at all
        QVariantList told;
        int questions;   // dialogs the operation asks before it writes
    } cases[] = {
        {"write-all, in the users", Operation::WriteAll, 0x0B, 1, false, cutOff, 0},
        {"write-all, in the inputs", Operation::WriteAll, 0x13, 3, true, cutOff, 0},
        {"wizard's send, in the names", Operation::WizardWriteAll, 0x10, 20, true, cutOff, 0},
        {"factory reset, in the phrases", Operation::FactoryReset, 0x0D, 3, false, resetCutOff, 1},
        {"factory reset, at its first packet", Operation::FactoryReset, 0x1B, 1, true, resetCutOff, 1},
        {"production test, its reset", Operation::ProductionTest, 0x0B, 2, false, testCutOff, 0},
        {"production test, its inputs", Operation::ProductionTest, 0x0F, 8, true, testCutOff, 0},
        {"SMS phrases dialog's write", Operation::PhrasesWrite, 0x0D, 4, false, cutOff, 0},
        {"additional texts dialog's write", Operation::AdditionalTextsWrite, 0x16, 2, true, cutOff, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The production test lives on the service page, with a test number in its list.
        WriteSettings(c.op == Operation::ProductionTest ? "Code=48213\r\nPhoneNumber1=37060000001\r\n" : "");
        Connect();
        QStringList told;
        for (const QVariant& t : c.told)
            told << (t.typeId() == QMetaType::Int ? GetLangText(t.toInt()) : t.toString());
        ASSERT_FALSE(told.contains(QString()));

        int seen = 0;
        std::size_t hungAt = 0;
        QElapsedTimer sinceHang;
        module->OnPacket = [&](const QByteArray& p) {
            if (hungAt || quint8(p[0]) != c.code || ++seen != c.nth)
                return;
            hungAt = module->Packets().size();
            sinceHang.start();
            if (c.staysBusy)
                module->SetStayBusy(true);
            else
                module->SetSilent(true);
        };
        Start(form, c.op);
        const qint64 waited = sinceHang.isValid() ? sinceHang.elapsed() : -1;
        ASSERT_GT(hungAt, 0u);
        EXPECT_GE(waited, kNoAnswerMs - 15);
        EXPECT_LT(waited, kNoAnswerMs + 2500);
        sim::Pump(2 * kNoAnswerMs);

        // The packet it hung on was the last; no read-back follows.
        EXPECT_EQ(module->Packets().size(), hungAt) << Codes(module->Packets(), hungAt);
        EXPECT_FALSE(form->Timer2->isActive());
        EXPECT_EQ(Shown(told), 1);
        EXPECT_EQ(ui::Record().size(), static_cast<std::size_t>(c.questions + 1));
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_FALSE(Form2->isVisible());
        EXPECT_FALSE(Form6->isVisible());
        EXPECT_TRUE(form->isEnabled());
        EXPECT_TRUE(form->Link()->Connected);

        // The module comes to without a word of its own: a later write reaches it whole
        // and is read back, with nothing more said.
        module->OnPacket = nullptr;
        module->SetSilent(false);
        if (c.staysBusy) {
            module->SetStayBusy(false);
            sim::Pump(100); // it finishes what it held
        }
        module->ClearLog();
        ui::ClearRecord();
        form->Edit8->setText(QStringLiteral("Later"));
        form->Edit13->setText(QStringLiteral("8765"));
        form->TntButton1->click();
        ASSERT_TRUE(WaitReadEnded());
        EXPECT_EQ(module->Config().ownerName, QByteArray("Later").leftJustified(16, ' '));
        EXPECT_EQ(module->Config().accessPin, AccessPINToWord("8765"));
        EXPECT_TRUE(ui::Record().empty()) << ui::Record().front().text.toStdString();
        EXPECT_TRUE(form->isEnabled());
        CloseWindow();
    }
}

// Unplugged in the middle of a write-all and another module plugged in while a packet
// waits for the first one's busy bit: the newcomer gets none of the write, only its own
// connection's requests, and the cut-off write is told once.
TEST_F(ModuleLinkFaultsTest, ModulePluggedInDuringAWriteGetsNoneOfIt)
{
    const struct Case {
        const char* name;
        quint8 code; // the first module's last packet is the nth of this code
        int nth;
    } cases[] = {
        {"a user's phone waits", 0x0B, 1},
        {"a name waits", 0x10, 5},
        {"the PIN waits", 0x11, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect();
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(2035);
        o.serialNumber = QStringLiteral("VQ00099999");
        sim::SimModule other(*hid, o, false);
        other.Config().ownerName = "Other";

        int seen = 0;
        std::size_t lastOfFirst = 0;
        module->OnPacket = [&](const QByteArray& p) {
            if (lastOfFirst || quint8(p[0]) != c.code || ++seen != c.nth)
                return;
            lastOfFirst = module->Packets().size();
            // It takes this packet and never clears its busy bit; the next packet waits for
            // it, and meanwhile the module is swapped.
            module->SetStayBusy(true);
            QTimer::singleShot(20, form, [&] {
                module->Unplug();
                other.Plug();
            });
        };
        form->TntButton1->click();
        ASSERT_GT(lastOfFirst, 0u);
        // The newcomer is read anew by its own connection.
        ASSERT_TRUE(sim::WaitUntil(
            [&] {
                const auto codes = other.Codes();
                return std::find(codes.begin(), codes.end(), 0x41) != codes.end() && !Form5->isVisible();
            },
            10000));
        const auto packets = other.Packets();
        for (std::size_t i = 0; i < packets.size(); ++i)
            EXPECT_GE(quint8(packets[i][0]), 0x40) << "packet " << i << ": " << Codes(packets);
        EXPECT_EQ(other.Config().ownerName, QByteArray("Other"));
        EXPECT_EQ(module->Packets().size(), lastOfFirst);
        EXPECT_EQ(Shown(QStringList{GetLangText(111)}), 1);
        EXPECT_EQ(form->Link()->SerialNumber, QStringLiteral("VQ00099999"));
        CloseWindow();
    }
}

// The unlock panel of locked GPRS settings: Return in its password edit unlocks rather
// than moving the wizard on, and a module plugged in next starts with an empty edit and no
// word of an earlier try. The page's boxes lie below the panel while it is shown and go
// back where they were built when it goes, under the header of either mode.
TEST_F(ModuleLinkFaultsTest, UnlockPanelReturnKeyAndANewModule)
{
    const struct Case {
        const char* name;
        const char* typed;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool wizard;  // the wizard mode, else the pages one by one
        bool unlocks;
    } cases[] = {
        {"right password, Return, wizard", "secret", Qt::Key_Return, Qt::NoModifier, true, true},
        {"right password, Return, pages", "secret", Qt::Key_Return, Qt::NoModifier, false, true},
        {"right password, keypad Enter, wizard", "secret", Qt::Key_Enter, Qt::KeypadModifier, true, true},
        {"wrong password, Return, wizard", "guess", Qt::Key_Return, Qt::NoModifier, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlugModule(2035, false);
        module->Config().usbPassword = "secret";
        module->SetGPRSLocked(true);
        module->Plug();
        CreateForms();
        // Where the boxes stand as built: the first at the top of the page's content (right
        // under the header once a mode is chosen), the others from it.
        QGroupBox* boxes[3] = {form->TntGroupBox14, form->TntGroupBox15, form->TntGroupBox16};
        int built[3];
        for (int i = 0; i < 3; ++i)
            built[i] = boxes[i]->y() - boxes[0]->y();
        ASSERT_TRUE(WaitReadFinished());
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntPanel18->isHidden(); }));
        const auto expectBelowPanel = [&] {
            const int panelBottom = form->TntPanel18->y() + form->TntPanel18->height();
            for (QGroupBox* b : boxes)
                EXPECT_GT(b->y(), panelBottom) << b->objectName().toStdString();
        };
        expectBelowPanel();

        // The reporting page; the password typed and Return pressed.
        form->TntButton29Click(c.wizard ? form->TntButton29 : form->TntButton30);
        form->GoToWizardStep(1);
        const int page = form->wzrd1->GetActivePageIndex();
        module->ClearLog();
        QTest::keyClicks(form->TntEdit5, QString::fromLatin1(c.typed));
        QTest::keyClick(form->TntEdit5, c.key, c.mods);
        ASSERT_TRUE(sim::WaitUntil([&] { return !module->Packets().empty(); }));
        EXPECT_EQ(module->Packets().front().left(17), QByteArray("\x42") + QByteArray(c.typed).leftJustified(16, ' '));
        EXPECT_EQ(form->wzrd1->GetActivePageIndex(), page);
        if (c.unlocks) {
            ASSERT_TRUE(sim::WaitUntil([&] { return form->TntPanel18->isHidden(); }));
            const int contentTop = form->WPage[2]->ClientMargins().top();
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(boxes[i]->y() - contentTop, built[i]) << boxes[i]->objectName().toStdString();
            EXPECT_TRUE(form->TntLabel82->isHidden());
        } else {
            ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntLabel82->isHidden(); }));
            EXPECT_FALSE(form->TntPanel18->isHidden());
        }

        // The module goes, and the next one, locked as well, comes: from the moment the first
        // one has gone the edit is empty and the red line gone, and Unlock sends the next one
        // nothing of the earlier password.
        module->Unplug();
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->Link()->Connected; }));
        EXPECT_TRUE(form->TntEdit5->text().isEmpty());
        EXPECT_TRUE(form->TntLabel82->isHidden());
        module->SetGPRSLocked(true);
        module->Plug();
        ASSERT_TRUE(WaitReadFinished());
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->Timer_CheckPassword->isActive(); }));
        EXPECT_FALSE(form->TntPanel18->isHidden());
        EXPECT_TRUE(form->TntEdit5->text().isEmpty());
        EXPECT_TRUE(form->TntLabel82->isHidden());
        expectBelowPanel();
        module->ClearLog();
        form->TntButton34->click();
        ASSERT_TRUE(sim::WaitUntil([&] { return !module->Packets().empty(); }));
        EXPECT_EQ(module->Packets().front().left(17), QByteArray("\x42") + QByteArray(16, ' '));
        CloseWindow();
    }
}

} // namespace
