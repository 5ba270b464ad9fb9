// The window against a module that misbehaves on the bus: a write series cut off in every
// way a module can be lost, and the unlock panel of the GPRS settings from one module to the
// next.
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int kNoAnswerMs = 500; // above the link's own loss detection (three failed reads)

struct CutCase;

class ModuleLinkFaultsTest : public WindowTestBase {
protected:
    // Runs each case of a write series cut off, on a module of its own.
    void RunCuts(std::initializer_list<CutCase> cases);

    void SetUp() override
    {
        WindowTestBase::SetUp();
        SetLinkTiming(1000, 300);
        TForm1::LinkTiming.NoAnswerMs = kNoAnswerMs;
        TForm1::LinkTiming.GapMs = 0;
        TForm1::LinkTiming.SeriesPauseMaxMs = 0;
    }

    void TearDown() override
    {
        ui::SetOnRecorded(nullptr);
        WindowTestBase::TearDown();
    }

    // A module read whole, its lock applied; its log and the dialogs recorded so far cleared.
    void Connect()
    {
        PlugModule(2035);
        module->Config().accessPin = AccessPINToWord("4321");
        module->Config().phones[0] = {"+37060000100", 0x03, 0};
        for (int i = 0; i < 15; ++i)
            module->Config().smsPhrases[static_cast<std::size_t>(i)] = "P" + QByteArray::number(i);
        module->Config().additionalSmsTexts = {"A0", "A1"};
        module->Config().pgmPhones[0] = {"600700", 0x80}; // a remote-control phone of output 1, "Manual"
        module->Config().outputs[0].cr = 0x08;
        ASSERT_TRUE(CreateFormsWithLanguages());
        // The timers that lead to a read and to the lock check come round sooner.
        form->Timer2->setInterval(5);
        form->Timer7->setInterval(5);
        form->Timer_CheckPassword->setInterval(20);
        ASSERT_TRUE(WaitReadFinished());
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->Timer_CheckPassword->isActive(); })); // the lock check
        module->ClearLog();
        ui::ClearRecord();
    }
};

// ConnectRead, no write: the module is plugged in again, and its read is cut.
enum class Operation { WriteAll, WizardWriteAll, WriteAllTexts, FactoryReset, ProductionTest, PhrasesWrite,
                       AdditionalTextsWrite, ClearNumber, ConnectRead };

// Starts the operation as the user does; returns once it has ended.
void Start(TForm1* form, Operation op)
{
    switch (op) {
    case Operation::WriteAllTexts:
        TemplateLoaded = true; // its texts go out through the text dialogs' own series
        [[fallthrough]];
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
    case Operation::ClearNumber: // user 1's, shown after the read
        form->TntButton7->click();
        break;
    case Operation::ConnectRead: // the caller plugs the module in again
        break;
    }
}

// How the module is lost: it stops answering (silent, or busy for good), it goes (the
// device manager tells, or only the link finds out), it is plugged in again at once, another
// module takes its place while a packet waits for its busy bit, or it goes while the reset's
// question is open. BusyReporting: busy for good while it keeps sending its state.
enum class Cut { Silent, StaysBusy, BusyReporting, Unplugged, LinkLost, Replugged, Swapped, GoneAtQuestion };

// A write series cut off is told once with what to do now (write again, or run the reset
// again), sends nothing more to any module, reads nothing back and gives the window back;
// a later write to an answering module goes out whole.
struct CutCase {
    Operation op;
    Cut cut;
    quint8 code; // cut at the nth packet of this code (a read: in the read-back after the write)
    int nth;
};

void ModuleLinkFaultsTest::RunCuts(std::initializer_list<CutCase> cases)
{
    using Op = Operation;
    for (const CutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "operation " << int(c.op) << ", cut " << int(c.cut) << " at 0x"
                                        << std::hex << int(c.code));
        const bool stall = c.cut == Cut::Silent || c.cut == Cut::StaysBusy || c.cut == Cut::BusyReporting;
        const bool back = c.cut == Cut::Replugged || c.cut == Cut::Swapped;
        const bool readBack = c.code >= 0x80;
        const bool reads = readBack || c.op == Op::ConnectRead; // a read goes on after the operation has returned
        // What is told, naming the module that was cut by its serial.
        const int told = c.cut == Cut::GoneAtQuestion ? 131 : c.op == Op::ConnectRead ? 39
                         : c.op == Op::ProductionTest ? 125 : readBack ? 136
                         : c.cut == Cut::Swapped ? 124 : c.op == Op::FactoryReset ? (stall ? 123 : 117)
                         : c.op != Op::PhrasesWrite && c.op != Op::AdditionalTextsWrite ? (stall ? 122 : 111)
                         : stall ? 138 : 134;
        // The production test lives on the service page, with a test number in its list.
        WriteSettings(c.op == Op::ProductionTest ? "Code=48213\r\nPhoneNumber1=37060000001\r\n" : "");
        Connect();
        ASSERT_FALSE(GetLangText(told).isEmpty());
        const QString toldText = GetLangText(told).replace(QLatin1String("%1"), QLatin1String("VQ00012345"));
        std::unique_ptr<sim::SimModule> other;
        if (c.cut == Cut::Swapped) {
            sim::SimModuleOptions o;
            o.productName = sim::SimModule::ProductNameFor(2035);
            o.serialNumber = QStringLiteral("VQ00099999");
            other = std::make_unique<sim::SimModule>(*hid, o, false);
        }
        sim::SimModule* const first = module.get();
        bool cut = false;
        std::size_t cutAt = 0; // the packets the first module had then
        QElapsedTimer sinceCut;
        if (c.cut == Cut::GoneAtQuestion)
            ui::SetOnRecorded([&](const ui::ShownDialog& d) {
                if (d.text != GetLangText(24))
                    return;
                cut = true;
                first->Unplug();
                sim::WaitUntil([&] { return !form->Link()->Connected; }, 5000);
            });
        int seen = 0;
        first->OnPacket = [&](const QByteArray& p) {
            if (cut || quint8(p[0]) != c.code || ++seen != c.nth)
                return;
            cut = true;
            cutAt = first->Packets().size();
            sinceCut.start();
            if (c.cut == Cut::Silent)
                first->SetSilent(true);
            if (c.cut == Cut::StaysBusy || c.cut == Cut::BusyReporting || c.cut == Cut::Swapped)
                first->SetStayBusy(true);
            if (c.cut == Cut::BusyReporting)
                first->SetMonitoring(60); // its state, well within the limit
            if (stall) { // bounded: a write past the limit ends once the module answers again
                QTimer::singleShot(kNoAnswerMs + 2500, form, [first] { first->SetSilent(false), first->SetStayBusy(false); });
                return;
            }
            QTimer::singleShot(c.cut == Cut::Swapped ? 20 : 0, form, [&] {
                if (c.cut == Cut::Replugged)
                    return first->Replug();
                first->Unplug(c.cut != Cut::LinkLost);
                if (other)
                    other->Plug();
            });
        };
        c.op == Op::ConnectRead ? first->Replug() : Start(form, c.op);
        ui::SetOnRecorded(nullptr);
        if (reads)
            sim::WaitUntil([&] { return Shown(toldText); }, 5000);
        ASSERT_TRUE(cut);
        if (stall) {
            EXPECT_GE(sinceCut.elapsed(), kNoAnswerMs - 15);
            EXPECT_LT(sinceCut.elapsed(), kNoAnswerMs + 2500);
        }
        if (c.cut == Cut::Swapped)
            std::swap(module, other); // the newcomer is the module from now on
        if (back) {
            ASSERT_TRUE(WaitReadFinished()); // by its own connection
        } else {
            sim::Pump(stall ? 100 : 300); // a stalled module is watched again once it answers
        }

        // A module back on the bus gets only its own connection's requests.
        if (c.cut != Cut::Replugged) {
            EXPECT_EQ(first->Packets().size(), cutAt);
        }
        const auto packets = module->Packets();
        for (std::size_t i = c.cut == Cut::Swapped ? 0 : cutAt; i < packets.size(); ++i)
            EXPECT_GE(quint8(packets[i][0]), 0x40) << "packet " << i;
        EXPECT_TRUE(Shown(toldText));
        EXPECT_EQ(ui::Record().size(), c.op == Op::FactoryReset ? 2u : 1u); // after the reset's question
        EXPECT_FALSE(form->Timer2->isActive());
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_FALSE(Form2->isVisible());
        EXPECT_FALSE(Form6->isVisible());
        EXPECT_TRUE(form->isEnabled());
        for (const QLineEdit* e : {form->Edit1, form->TntEdit2}) // read before the read stopped: channel 1's state
            EXPECT_TRUE(!readBack || e->isEnabled() == (form->ComboBox4->currentIndex() > 0))
                << qPrintable(e->objectName());
        if (c.op == Op::WizardWriteAll) { // the summary does not say that the settings were written
            EXPECT_EQ(form->WPage[9]->Header()->Subtitle()->Text(), GetLangText(137));
        }

        // The module answers again, or is plugged in again: a later write reaches it whole.
        module->OnPacket = nullptr;
        if (stall) {
            module->SetSilent(false);
            module->SetStayBusy(false);
            module->SetMonitoring(0);
            sim::Pump(100); // it finishes what it held, without a word of its own
            EXPECT_EQ(module->Packets().size(), cutAt); // nothing of the cut write went out meanwhile
            // What it holds is unread: a write and a template save wait for a read.
            if (c.op == Op::ProductionTest || c.op == Op::FactoryReset || reads) {
                ui::ClearRecord();
                form->TntButton1->click(), form->TntButton26->click();
                EXPECT_TRUE(ui::Record().size() == 2u && Shown(GetLangText(110)) && Shown(GetLangText(114)));
                EXPECT_EQ(module->Packets().size(), cutAt);
                module->SendStatus(); // a read left unanswered holds the link busy
                form->TntButton19Click(); // "Read VEQ3 Settings"
                ASSERT_TRUE(WaitReadFinished());
            }
        } else if (!back) {
            module->Plug();
            ASSERT_TRUE(WaitReadFinished());
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
        if (c.op == Op::WizardWriteAll) {
            EXPECT_EQ(form->WPage[9]->Header()->Subtitle()->Text(), GetLangText(70));
        }
        if (c.op == Op::ClearNumber && stall) { // a clear the module did not take goes out with the write
            EXPECT_EQ(module->Config().phones[0].number, QByteArray(15, ' '));
        }
        CloseWindow();
    }
}

TEST_F(ModuleLinkFaultsTest, AWriteSeriesToAModuleThatStopsAnsweringEndsAtTheLimit)
{
    using Op = Operation;
    RunCuts({
        {Op::WriteAll, Cut::Silent, 0x0B, 1},
        {Op::WizardWriteAll, Cut::StaysBusy, 0x10, 20},
        {Op::FactoryReset, Cut::Silent, 0x0D, 3},
        {Op::FactoryReset, Cut::StaysBusy, 0x1B, 1},
        {Op::ProductionTest, Cut::Silent, 0x0B, 2},
        {Op::ProductionTest, Cut::StaysBusy, 0x0F, 8},
        {Op::PhrasesWrite, Cut::Silent, 0x0D, 4},
        {Op::AdditionalTextsWrite, Cut::StaysBusy, 0x16, 2},
        {Op::WriteAll, Cut::BusyReporting, 0x11, 3},
        {Op::ClearNumber, Cut::Silent, 0x0B, 1},
        {Op::WriteAll, Cut::Silent, 0x81, 1}, // written whole, its reading back stops
        {Op::FactoryReset, Cut::Silent, 0x81, 1},
        {Op::ConnectRead, Cut::BusyReporting, 0x43, 1}, // the walk's first request waits behind the hour
    });
}

TEST_F(ModuleLinkFaultsTest, AWriteSeriesToAModuleThatLeavesOrIsSwappedEndsThere)
{
    using Op = Operation;
    RunCuts({
        {Op::WriteAll, Cut::Unplugged, 0x10, 5},
        {Op::WriteAll, Cut::LinkLost, 0x13, 3},
        {Op::WriteAll, Cut::Replugged, 0x0B, 1},
        {Op::WriteAll, Cut::Swapped, 0x10, 5},
        {Op::WriteAllTexts, Cut::Unplugged, 0x0D, 3},
        {Op::WriteAllTexts, Cut::Replugged, 0x0D, 3},
        {Op::FactoryReset, Cut::LinkLost, 0x0B, 1},
        {Op::FactoryReset, Cut::Replugged, 0x0D, 3},
        {Op::FactoryReset, Cut::Swapped, 0x0D, 5},
        {Op::FactoryReset, Cut::GoneAtQuestion, 0, 0},
        {Op::PhrasesWrite, Cut::Unplugged, 0x0D, 3},
        {Op::PhrasesWrite, Cut::Replugged, 0x0D, 3},
        {Op::AdditionalTextsWrite, Cut::LinkLost, 0x16, 1},
        {Op::ProductionTest, Cut::Swapped, 0x0F, 3},
        {Op::ClearNumber, Cut::Unplugged, 0x0B, 1},
    });
}

// A question or file dialog belongs to the module it was opened for: when another one has been
// plugged in and read meanwhile, the answer does nothing and names the module it was for (none:
// 132); the newcomer keeps its settings, also through the next Send.
TEST_F(ModuleLinkFaultsTest, AnAnswerOutlivingItsModuleDoesNothing)
{
    const QString other = dir.path() + "/other.tpl", saved = dir.path() + "/saved.tpl";
    const ui::Answer yes{ui::MsgButton::Yes, {}};
    const struct Row {
        const char* settings;
        const char* kind; // of the dialog answered
        ui::Answer answer;
        std::function<void(TForm1&)> ask;
        int firmware; // of the newcomer
        bool locked;
        int told; // 125: the production test had reset its module before its prompt
    } rows[] = {
        {"", "message", yes, [](TForm1& f) { f.TntButton1911Click(); }, 2035, false, 131}, // the reset's question
        {"", "message", yes, [](TForm1& f) { f.TntButton1911Click(); }, 1999, false, 131},
        {"", "message", yes, [](TForm1& f) { Choose(f.OutputCombo[0], 1); }, 2035, false, 131}, // "Arm": off the phone?
        {"", "open", {{}, other}, [](TForm1& f) { f.TntButton27Click(); }, 2035, true, 131},
        {"", "save", {{}, saved}, [](TForm1& f) { f.TntButton26Click(); }, 2035, false, 131},
        {"Code=2\r\n", "save", {{}, saved}, [](TForm1& f) { f.TntButton26Click(); }, 2035, false, 132},
        {"Code=48213\r\n", "input", {{}, "37069999999"}, [](TForm1& f) { f.TntButton25Click(); }, 2035, false, 125},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &r - rows);
        WriteSettings(r.settings);
        Connect();
        ui::QueueAnswer({{}, other}); // a template of the first module's settings
        form->TntButton26Click();
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(r.firmware, QStringLiteral("VEQ3"));
        o.serialNumber = QStringLiteral("VQ00099999");
        auto newcomer = std::make_unique<sim::SimModule>(*hid, o, false);
        newcomer->Config() = module->Config();
        newcomer->Config().connectionString = "newcomer.example:6000";
        newcomer->Config().phones[0].number = "+37060000200";
        newcomer->SetGPRSLocked(r.locked);
        if (r.told == 132) { // the dialog comes up with no module
            module->Unplug();
            ASSERT_TRUE(sim::WaitUntil([&] { return !form->Link()->Connected; }));
        }
        ui::ClearRecord();
        bool swapped = false; // while the dialog is up: the newcomer is read, its lock applied
        ui::SetOnRecorded([&](const ui::ShownDialog& d) {
            if (swapped || d.kind != r.kind)
                return;
            swapped = true;
            module->Unplug();
            std::swap(module, newcomer);
            module->Plug();
            sim::WaitUntil([&] {
                return form->Link()->SerialNumber == o.serialNumber && (r.firmware < FwReadOnConnect ||
                       (ReadFinished() && !form->Timer2->isActive() && !form->Timer_CheckPassword->isActive()));
            }, 10000);
        });
        ui::QueueAnswer(r.answer);
        r.ask(*form);
        ui::SetOnRecorded(nullptr);
        ASSERT_TRUE(swapped);
        EXPECT_TRUE(Shown(GetLangText(r.told).replace(QLatin1String("%1"), QLatin1String("VQ00012345"))));
        // Nothing was written to the newcomer, loaded into its window or saved of it.
        EXPECT_TRUE(std::ranges::none_of(module->Codes(), [](quint8 c) { return c < 0x40; }));
        EXPECT_FALSE(QFile::exists(saved));
        EXPECT_FALSE(TemplateLoaded);
        if (r.firmware >= FwReadOnConnect) { // the window holds the newcomer's settings: a Send gives them back
            EXPECT_EQ(UserPhones[0].PhoneNr.trimmed(), QByteArray("+37060000200"));
            ASSERT_TRUE(sim::WaitUntil([&] { return form->isEnabled(); })); // the read's wait dialog has gone
            WriteAllSettings();
            EXPECT_EQ(module->Config().connectionString.trimmed(), QByteArray("newcomer.example:6000"));
            EXPECT_EQ(module->Config().pgmPhones[0].mask, 0x80);
        }
        CloseWindow();
        QFile::remove(saved);
    }
}

// A write cut by a newcomer that asks for its password: the prompt comes once the message about
// the cut write (124) has been closed, and then the newcomer is read.
TEST_F(ModuleLinkFaultsTest, ANewModulesPromptComesOnceTheCutWriteIsTold)
{
    Connect();
    sim::SimModuleOptions o;
    o.serialNumber = QStringLiteral("VQ00099999");
    auto other = std::make_unique<sim::SimModule>(*hid, o, false);
    other->Config().usbPassword = "secret";
    other->RequirePassword(true);
    module->OnPacket = [&](const QByteArray& p) { // another takes its place while a write packet waits
        if (quint8(p[0]) == 0x10)
            module->SetStayBusy(true), QTimer::singleShot(20, form, [&] { module->Unplug(), other->Plug(); });
    };
    ui::SetOnRecorded([&](const ui::ShownDialog& d) {
        if (d.kind != "message")
            return;
        ui::SetNonInteractive(false); // the message really comes up, and stays a while
        QTimer::singleShot(400, form, [&] {
            EXPECT_EQ(ui::Record().size(), 1u); // no prompt over it
            ui::SetNonInteractive(true);
            ui::QueueText(QStringLiteral("secret"));
            while (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                box->reject();
        });
    });
    form->TntButton1->click();
    ui::SetOnRecorded(nullptr);
    std::swap(module, other);
    ASSERT_TRUE(WaitReadFinished());
    ASSERT_EQ(ui::Record().size(), 2u);
    EXPECT_EQ(ui::Record()[0].text, GetLangText(124).replace(QLatin1String("%1"), QLatin1String("VQ00012345")));
    EXPECT_EQ(ui::Record()[1].kind, QStringLiteral("input"));
}

// The unlock panel of locked GPRS settings: Return in its password edit unlocks rather
// than moving the wizard on, and a module plugged in next starts with an empty edit and no
// word of an earlier try. The page's boxes lie below the panel while it is shown and go
// back where they were built when it goes, under the header of either mode.
TEST_F(ModuleLinkFaultsTest, UnlockPanelReturnKeyAndANewModule)
{
    const struct Case {
        const char* typed;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool wizard; // the wizard mode, else the pages one by one
    } cases[] = {
        {"secret", Qt::Key_Return, Qt::NoModifier, true},
        {"secret", Qt::Key_Enter, Qt::KeypadModifier, false},
        {"guess", Qt::Key_Return, Qt::NoModifier, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed << (c.wizard ? ", wizard" : ", pages"));
        const bool unlocks = QByteArray(c.typed) == "secret";
        PlugModule(2035, false);
        module->Config().usbPassword = "secret";
        module->SetGPRSLocked(true);
        module->Plug();
        CreateForms();
        // Where the boxes stand as built, from the first one.
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

        form->TntButton29Click(c.wizard ? form->TntButton29 : form->TntButton30);
        form->GoToWizardStep(1);
        const int page = form->wzrd1->GetActivePageIndex();
        module->ClearLog();
        QTest::keyClicks(form->TntEdit5, QString::fromLatin1(c.typed));
        QTest::keyClick(form->TntEdit5, c.key, c.mods);
        ASSERT_TRUE(sim::WaitUntil([&] { return !module->Packets().empty(); }));
        EXPECT_EQ(module->Packets().front().left(17), QByteArray("\x42") + QByteArray(c.typed).leftJustified(16, ' '));
        EXPECT_EQ(form->wzrd1->GetActivePageIndex(), page);
        if (unlocks) {
            ASSERT_TRUE(sim::WaitUntil([&] { return form->TntPanel18->isHidden(); }));
            const int contentTop = form->WPage[2]->ClientMargins().top();
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(boxes[i]->y() - contentTop, built[i]) << boxes[i]->objectName().toStdString();
        } else {
            ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntLabel82->isHidden(); }));
        }

        // From the moment the module has gone the edit is empty and the red line gone; the
        // next one, locked as well, gets nothing of the earlier password.
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
