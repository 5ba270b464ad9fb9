// The users page: flag bytes shown and committed, numbers edited in the list, the rules
// of the "SMS backup" box and its warning mark, the access PIN edit, and clearing a user
// or sending all users to the simulated module.
#include "editor/Controls.h"
#include "editor/Envelope.h"
#include "support/WindowTestBase.h"
#include "widgets/Colors.h"
#include "widgets/PageWizard.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <tuple>

namespace {

class UsersPageTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(300, 100); }

    // A window with a module of the given firmware (below 2000 nothing is read on connect).
    void CreateWithModule(int firmware)
    {
        PlugModule(firmware);
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(sim::WaitUntil([&] { return form->Link() && form->Link()->Connected; }, 10000));
        ASSERT_EQ(form->Link()->FirmwareVersion, firmware);
        sim::Pump(200);
        module->ClearLog();
    }

    QModelIndex Cell(int row, int column) { return form->VStringTree1Model->index(row, column); }

    // The user's row made current the way a click on it does.
    void Pick(int row)
    {
        form->VStringTree1->selectionModel()->setCurrentIndex(
            Cell(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // A window that has read a module of this type holding these users, and this channel
    // word with channel 2's address and the APN; the access PIN lets a write-all through.
    void ReadModule(const char* type, const std::vector<sim::SimModuleConfig::Phone>& users, int firmware = 2035,
                    quint32 channelWord = 0)
    {
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(firmware, QLatin1String(type));
        module = std::make_unique<sim::SimModule>(*hid, o);
        auto& c = module->Config();
        c.accessPin = AccessPINToWord("1234");
        std::copy(users.begin(), users.end(), c.phones.begin());
        c.tcpCR = channelWord;
        c.connectionString2 = "rx2.example.lt:6002";
        c.apn = "internet";
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
    }

    // The number typed into the list's in-place editor of the row, or pasted there, and taken
    // with Enter; what the editor showed.
    QString EnterNumber(int row, const QString& text, bool paste = false)
    {
        Pick(row);
        form->VStringTree1ColumnClick(1);
        const auto editors = form->VStringTree1->viewport()->findChildren<QLineEdit*>();
        if (editors.isEmpty())
            return QStringLiteral("(no editor)");
        QLineEdit* editor = editors.last(); // (earlier ones wait for their deletion)
        editor->selectAll();
        paste ? Paste(editor, text) : QTest::keyClicks(editor, text);
        const QString shown = editor->text();
        QTest::keyClick(editor, Qt::Key_Return);
        sim::Pump(20);
        return shown;
    }

    int MessagesShown()
    {
        int n = 0;
        for (const auto& d : ui::Record())
            if (d.kind == "message")
                ++n;
        return n;
    }

};

TEST_F(UsersPageTest, FlagsShowAndCommitBackUnchanged)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    // A user without SMS backup: every bit that such a user can carry.
    UserPhones[2] = {"37060000002", 0xE7, 0x0F};
    form->SelectUserNode(2);
    EXPECT_EQ(form->SelectedUserNode, 2);
    EXPECT_EQ(form->SelectedUserIndex(), 2);
    EXPECT_TRUE(form->TntCheckBox5->isChecked());
    EXPECT_TRUE(form->TntCheckBox7->isChecked());
    EXPECT_TRUE(form->TntCheckBox31->isChecked());
    EXPECT_FALSE(form->TntCheckBox38->isChecked());
    UserPhones[2].PnCR = 0;
    UserPhones[2].PnAddCR = 0;
    EXPECT_TRUE(form->CommitUserFlags(2));
    EXPECT_EQ(UserPhones[2].PnCR, 0xE7);
    EXPECT_EQ(UserPhones[2].PnAddCR, 0x0F);

    // An SMS-backup user shows the forced states whatever its other bits say.
    UserPhones[5] = {"37060000005", 0x40 | 0x20 | 0x04, 0x10 | 0x20 | 0x04};
    form->SelectUserNode(5);
    EXPECT_FALSE(form->TntCheckBox7->isChecked());
    EXPECT_FALSE(form->TntCheckBox9->isChecked());
    EXPECT_FALSE(form->TntCheckBox31->isChecked());
    EXPECT_TRUE(form->TntCheckBox8->isChecked());
    EXPECT_TRUE(form->TntCheckBox39->isChecked());
    EXPECT_TRUE(form->CommitUserFlags(5));
    EXPECT_EQ(UserPhones[5].PnCR, 0x40 | 0x08);
    EXPECT_EQ(UserPhones[5].PnAddCR, 0x10 | 0x20);

    // An empty slot commits flags 0; an index outside the table changes nothing.
    UserPhones[7] = {"", 0x41, 0x10};
    EXPECT_FALSE(form->CommitUserFlags(7));
    EXPECT_EQ(UserPhones[7].PnCR, 0);
    EXPECT_EQ(UserPhones[7].PnAddCR, 0);
    const auto before = UserPhones;
    EXPECT_FALSE(form->CommitUserFlags(10));
    EXPECT_FALSE(form->CommitUserFlags(-1));
    for (int i = 0; i < UserPhoneCount; ++i)
        EXPECT_EQ(UserPhones[i].PnCR, before[i].PnCR);

    // Outside 0..9 the first user is selected.
    form->SelectUserNode(42);
    EXPECT_EQ(form->SelectedUserIndex(), 0);
}

TEST_F(UsersPageTest, MovingTheSelectionCommitsTheUserShownSoFar)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    UserPhones[0] = {"111", 0, 0};
    UserPhones[1] = {"222", PnCRTroubleSMS, 0};
    Pick(0);
    EXPECT_EQ(form->SelectedUserNode, 0);
    form->TntCheckBox23->click(); // "Alarm SMS"
    Pick(1);
    EXPECT_EQ(UserPhones[0].PnCR, PnCRAlarmSMS);
    EXPECT_EQ(form->SelectedUserNode, 1);
    EXPECT_FALSE(form->TntCheckBox23->isChecked());
    EXPECT_TRUE(form->TntCheckBox24->isChecked());

    // Selecting by program (after a read) never commits: the table keeps what arrived.
    form->TntCheckBox5->click();
    UserPhones[1].PnCR = PnCRDisarmingSMS;
    form->SelectUserNode(0);
    EXPECT_EQ(UserPhones[1].PnCR, PnCRDisarmingSMS);
    EXPECT_EQ(form->SelectedUserNode, 0);
    EXPECT_TRUE(form->TntCheckBox23->isChecked());
}

TEST_F(UsersPageTest, EditedNumbersKeepDigitsAndStayUnique)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    QAbstractItemModel* m = form->VStringTree1Model;
    EXPECT_EQ(m->rowCount(), 10);
    EXPECT_EQ(m->data(Cell(9, 0)).toString(), QStringLiteral("10"));
    EXPECT_FALSE(m->flags(Cell(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(Cell(0, 1)) & Qt::ItemIsEditable);

    // Digits only, and a "+" in front of them.
    const std::pair<const char*, const char*> typed[] = {
        {"3+70+", "370"}, {"++370", "+370"}, {"+", ""}, {" +370 (612) 345-67x", "+37061234567"}};
    for (const auto& [text, stored] : typed) {
        ASSERT_TRUE(m->setData(Cell(3, 1), QString::fromLatin1(text)));
        EXPECT_EQ(UserPhones[3].PhoneNr, QByteArray(stored)) << text;
    }
    EXPECT_EQ(m->data(Cell(3, 1)).toString(), QStringLiteral("+37061234567"));

    // Another slot's number: message 81, the old number stays.
    UserPhones[4].PhoneNr = "555";
    ASSERT_TRUE(m->setData(Cell(4, 1), QStringLiteral("+370-612-34567")));
    EXPECT_EQ(UserPhones[4].PhoneNr, QByteArray("555"));
    ASSERT_EQ(MessagesShown(), 1);
    EXPECT_EQ(ui::Record().back().text, form->GetLangText(81));
    // The slot's own number again, and an empty text, are accepted.
    ASSERT_TRUE(m->setData(Cell(3, 1), QStringLiteral("+37061234567")));
    EXPECT_EQ(UserPhones[3].PhoneNr, QByteArray("+37061234567"));
    ASSERT_TRUE(m->setData(Cell(4, 1), QStringLiteral(" - ")));
    EXPECT_TRUE(UserPhones[4].PhoneNr.isEmpty());
    EXPECT_EQ(MessagesShown(), 1);

    // Long numbers are cut to 15 digits, and compared as they would be stored.
    ASSERT_TRUE(m->setData(Cell(5, 1), QStringLiteral("12345678901234567890")));
    EXPECT_EQ(UserPhones[5].PhoneNr, QByteArray("123456789012345"));
    ASSERT_TRUE(m->setData(Cell(6, 1), QStringLiteral("1234567890123459999")));
    EXPECT_TRUE(UserPhones[6].PhoneNr.isEmpty());
    EXPECT_EQ(MessagesShown(), 2);
    // The digits alone decide: the blanks of a number the module sent make no other phone.
    UserPhones[7].PhoneNr = "+370 600 00011";
    ASSERT_TRUE(m->setData(Cell(6, 1), QStringLiteral("37060000011")));
    EXPECT_TRUE(UserPhones[6].PhoneNr.isEmpty());
    EXPECT_EQ(MessagesShown(), 3);

    // A click in the number column opens the inline editor of the selected user.
    Pick(2);
    form->VStringTree1ColumnClick(1);
    auto* editor = form->VStringTree1->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "+44 20 7946");
    QTest::keyClick(editor, Qt::Key_Return);
    sim::Pump(20);
    EXPECT_EQ(UserPhones[2].PhoneNr, QByteArray("+44207946"));
}

TEST_F(UsersPageTest, SMSBackupHidesTheCallBoxesAndLocksSmartphone)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    UserPhones[0] = {"111", PnCRCallOnAlarm | PnCRMandatoryCall | PnCRPeriodicSMSTest, PnAddCRForwardUnknownSMS};
    form->SelectUserNode(0);
    form->TntCheckBox38->click();
    for (QCheckBox* b : {form->TntCheckBox7, form->TntCheckBox22, form->TntCheckBox9, form->TntCheckBox31,
                         form->TntCheckBox32}) {
        EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
    }
    EXPECT_TRUE(form->se1->isHidden());
    EXPECT_TRUE(form->Label40->isHidden());
    EXPECT_TRUE(form->TntCheckBox8->isChecked());
    EXPECT_FALSE(ctl::Enabled(form->TntCheckBox8));
    EXPECT_FALSE(form->TntCheckBox39->isHidden());

    form->TntCheckBox38->click();
    for (QWidget* w : std::initializer_list<QWidget*>{form->TntCheckBox7, form->TntCheckBox22, form->TntCheckBox9,
                                                      form->TntCheckBox31, form->TntCheckBox32, form->se1,
                                                      form->Label40})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(form->TntCheckBox8->isChecked());
    EXPECT_TRUE(ctl::Enabled(form->TntCheckBox8));
    EXPECT_TRUE(form->TntCheckBox39->isHidden());
    EXPECT_TRUE(ctl::Enabled(form->TntCheckBox7));

    // A 3m-class module: the call boxes stay hidden whatever "SMS backup" does.
    Model3mClass = true;
    form->ApplyModelFeatures();
    form->TntCheckBox38->click();
    form->TntCheckBox38->click();
    EXPECT_TRUE(form->TntCheckBox7->isHidden());
    EXPECT_TRUE(form->TntCheckBox22->isHidden());
    EXPECT_FALSE(form->TntCheckBox31->isHidden());
}

TEST_F(UsersPageTest, BoxRulesOfTheSelectedUser)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    UserPhones[0] = {"111", 0, 0};
    form->SelectUserNode(0);
    // "Mandatory Call" takes "Call on Alarm" away.
    form->TntCheckBox7->click();
    form->TntCheckBox22->click();
    EXPECT_FALSE(form->TntCheckBox7->isChecked());
    EXPECT_FALSE(ctl::Enabled(form->TntCheckBox7));
    form->TntCheckBox22->click();
    EXPECT_TRUE(ctl::Enabled(form->TntCheckBox7));
    // "Periodic SMS test" unlocks its period.
    EXPECT_FALSE(ctl::Enabled(form->se1));
    EXPECT_EQ(ctl::FieldColor(form->se1), colors::clMenu);
    form->TntCheckBox9->click();
    EXPECT_TRUE(ctl::Enabled(form->se1));
    EXPECT_EQ(ctl::FieldColor(form->se1), colors::clWindow);
    // "Trouble SMS" shows "Limited trouble SMS", unless the firmware has hidden it.
    form->ApplyFirmwareFeatures(1024);
    form->TntCheckBox24->click();
    EXPECT_FALSE(form->TntCheckBox27->isHidden());
    form->TntCheckBox24->click();
    EXPECT_TRUE(form->TntCheckBox27->isHidden());
    form->ApplyFirmwareFeatures(1023);
    form->TntCheckBox24->click();
    EXPECT_TRUE(form->TntCheckBox27->isHidden());
}

TEST_F(UsersPageTest, WarningMarkForAnSMSBackupUserWithoutSMS)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    UserPhones[0] = {"111", 0, 0};
    form->SelectUserNode(0);
    form->ComboBox4->setCurrentIndex(1);
    form->TntCheckBox38->click();
    EXPECT_TRUE(form->CheckSMSBackupWarning());
    EXPECT_FALSE(form->TntLabel44->isHidden());
    form->TntCheckBox23->click(); // "Alarm SMS"
    EXPECT_FALSE(form->CheckSMSBackupWarning());
    EXPECT_TRUE(form->TntLabel44->isHidden());
    // Channel 1 not used: the mark comes back.
    form->ComboBox4->setCurrentIndex(0);
    form->TntCheckBox5->click();
    EXPECT_TRUE(form->CheckSMSBackupWarning());
    EXPECT_FALSE(form->TntLabel44->isHidden());
    // Without "SMS backup" there is nothing to warn about.
    form->TntCheckBox38->click();
    EXPECT_FALSE(form->CheckSMSBackupWarning());
    EXPECT_TRUE(form->TntLabel44->isHidden());
}

TEST_F(UsersPageTest, AccessPINKeepsDigitsAndWarnsWhenShort)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    QTest::keyClicks(form->Edit13, "1a2-3");
    EXPECT_EQ(form->Edit13->text(), QStringLiteral("123"));
    EXPECT_EQ(ctl::FieldColor(form->Edit13), 0xEAEAFF);
    form->Edit13->clear();
    Paste(form->Edit13, QStringLiteral("12x34"));
    EXPECT_EQ(form->Edit13->text(), QStringLiteral("1234"));
    EXPECT_EQ(ctl::FieldColor(form->Edit13), colors::clWindow);
}

TEST_F(UsersPageTest, Firmware1025ClearsAndSendsWithoutAdditionalFlags)
{
    CreateWithModule(1025);
    UserPhones[3] = {"37060000003", 0xFF, 0x3F};
    form->SelectUserNode(3);
    form->TntButton7->click();
    ASSERT_TRUE(sim::WaitUntil([&] { return module->Codes().size() >= 2; }));
    sim::Pump(50);
    EXPECT_EQ(module->Codes(), (std::vector<quint8>{0x0B, 0x41}));
    const QByteArray p = module->Packets()[0];
    EXPECT_EQ(p[1], 3);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p.mid(3, 15), QByteArray(15, ' '));
    EXPECT_TRUE(UserPhones[3].PhoneNr.isEmpty());
    EXPECT_EQ(UserPhones[3].PnCR, 0);
    EXPECT_EQ(UserPhones[3].PnAddCR, 0);
    EXPECT_FALSE(form->TntCheckBox5->isChecked());
    EXPECT_TRUE(form->VStringTree1Model->data(Cell(3, 1)).toString().isEmpty());

    // Sending all users: numbers only, below 1026.
    module->ClearLog();
    UserPhones[9] = {"999", 0x80, 0x10};
    form->SendUserPhones();
    ASSERT_TRUE(sim::WaitUntil([&] { return !module->Codes().empty(); }));
    sim::Pump(50);
    EXPECT_EQ(module->Codes(), (std::vector<quint8>{0x0B}));
    EXPECT_EQ(module->Packets()[0][1], 9);
}

TEST_F(UsersPageTest, Firmware1026ClearsAndSendsWithAdditionalFlags)
{
    CreateWithModule(1026);
    UserPhones[3] = {"37060000003", 0xFF, 0x3F};
    form->SelectUserNode(3);
    form->TntButton7->click();
    ASSERT_TRUE(sim::WaitUntil([&] { return module->Codes().size() >= 3; }));
    sim::Pump(50);
    EXPECT_EQ(module->Codes(), (std::vector<quint8>{0x0B, 0x1A, 0x41}));
    EXPECT_EQ(module->Packets()[1][1], 3);
    EXPECT_EQ(module->Packets()[1][2], 0);

    // Nothing is cleared while a read of all settings runs.
    UserPhones[3].PhoneNr = "999";
    module->ClearLog();
    form->Link()->ReadingAll = true;
    form->TntButton7->click();
    form->Link()->ReadingAll = false;
    sim::Pump(50);
    EXPECT_EQ(UserPhones[3].PhoneNr, QByteArray("999"));
    EXPECT_TRUE(module->Codes().empty());

    // Sending all users: a slot without a number sends nothing; each sent user is
    // followed by its additional flags.
    UserPhones[3].PhoneNr.clear();
    UserPhones[0] = {"111", 0x41, 0x10};
    UserPhones[4] = {"444", 0x02, 0x20};
    UserPhones[6] = {"", 0xFF, 0xFF}; // not committed yet: sent by no writer
    form->SendUserPhones();
    ASSERT_TRUE(sim::WaitUntil([&] { return module->Codes().size() >= 4; }));
    sim::Pump(50);
    EXPECT_EQ(module->Codes(), (std::vector<quint8>{0x0B, 0x1A, 0x0B, 0x1A}));
    const auto packets = module->Packets();
    EXPECT_EQ(packets[0].mid(1, 5), QByteArray("\x00\x41" "111", 5));
    EXPECT_EQ(packets[1].mid(1, 2), QByteArray("\x00\x10", 2));
    EXPECT_EQ(packets[2].mid(1, 5), QByteArray("\x04\x02" "444", 5));
    EXPECT_EQ(packets[3].mid(1, 2), QByteArray("\x04\x20", 2));
}

// What the list's editor shows is what the module gets at the next write-all: digits and a
// leading "+", at most 15 characters, a paste cleaned before it is cut. A number is the same
// with or without its "+" (message 81, the slot keeps its number). An emptied number is
// cleared once, as "Clear selected number" does; a slot the user left keeps what it holds.
TEST_F(UsersPageTest, NumbersEditedInTheListAreWhatTheModuleGets)
{
    SetLinkTiming(2000, 500);
    ReadModule("VEQ3", {{"+37060000001", 0x43, 0x02}, {"37060000002", 0x41, 0x01}, {"37060000003", 0x40, 0x00},
                        {"", 0x41, 0x10}});
    auto& phones = module->Config().phones;
    const auto before = phones;
    for (const auto& [row, typed] : {std::pair{0, "+37060000002"}, std::pair{1, "37060000001"}}) {
        EnterNumber(row, QLatin1String(typed));
        EXPECT_EQ(UserPhones[row].PhoneNr, before[row].number);
    }
    ASSERT_EQ(MessagesShown(), 2);
    EXPECT_EQ(ui::Record().back().text, form->GetLangText(81));
    const std::tuple<int, const char*, bool> entries[] = { // row, text, pasted
        {0, "+3706123456789012", false}, {8, "37+06a", false}, {9, "+370 699 345 678 901 234\r\n", true}};
    const QByteArray numbers[] = {"+37061234567890", "", "37060000003", "", "", "", "", "", "3706", "+37069934567890"};
    for (const auto& [row, text, paste] : entries)
        EXPECT_EQ(EnterNumber(row, QLatin1String(text), paste), QLatin1String(numbers[row])) << text;
    ASSERT_TRUE(form->VStringTree1Model->setData(Cell(1, 1), QString())); // emptied
    WriteAllSettings();
    for (int i = 0; i < UserPhoneCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(phones[i].number.trimmed(), numbers[i]);
        if (i < 8) {
            EXPECT_EQ(phones[i].cr, i == 1 ? 0 : before[i].cr);
            EXPECT_EQ(phones[i].addCR, i == 1 ? 0 : before[i].addCR);
        }
    }
    phones[1].cr = 0x41; // cleared once: the next write-all leaves the slot alone
    WriteAllSettings();
    EXPECT_EQ(phones[1].cr, 0x41);
}

TEST_F(UsersPageTest, CtrlClickThatDeselectsTheShownUserStillCommitsItsBoxes)
{
    PlugModule(2035);
    module->Config().accessPin = AccessPINToWord("1234");
    module->Config().phones[0] = {"37060000001", 0, 0};
    module->Config().phones[2] = {"37060000003", 0, 0};
    ASSERT_TRUE(CreateFormsWithLanguages());
    auto readDone = [&] { return sim::WaitUntil([&] { return ReadFinishedDialogGone(); }, 15000); };
    ASSERT_TRUE(readDone());
    form->show();
    form->PageControl1->show();
    form->wzrd1->SetActivePageIndex(0);
    QWidget* rows = form->VStringTree1->viewport();
    auto click = [&](int row, Qt::KeyboardModifiers m) {
        QTest::mouseClick(rows, Qt::LeftButton, m, form->VStringTree1->visualRect(Cell(row, 0)).center());
        sim::Pump(20);
    };
    // Each place that stores the boxes before leaving the page or writing.
    const struct {
        const char* name;
        std::function<void()> leave;
        bool written;
    } commits[] = {
        {"wizard Next", [&] { form->wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click(); }, false},
        {"step label", [&] { form->Step0Click(form->Step[1]); }, false},
        {"template save", [&] { ui::QueueText(dir.filePath("shown.tpl")); form->TntButton26->click(); }, false},
        {"write-all", [&] {
             module->ClearLog();
             form->TntButton1->click();
             ASSERT_TRUE(readDone());
         }, true},
    };
    for (const auto& c : commits) {
        SCOPED_TRACE(c.name);
        form->wzrd1->SetActivePageIndex(0);
        UserPhones[2].PnCR = 0;
        click(2, Qt::NoModifier);
        ASSERT_EQ(form->SelectedUserNode, 2);
        ASSERT_FALSE(form->TntCheckBox23->isChecked());
        form->TntCheckBox23->click(); // "Alarm SMS"
        click(2, Qt::ControlModifier);
        ASSERT_EQ(form->SelectedUserIndex(), -1);
        EXPECT_EQ(form->SelectedUserNode, 2);
        c.leave();
        EXPECT_EQ(UserPhones[2].PnCR, PnCRAlarmSMS);
        if (c.written) {
            EXPECT_EQ(module->Config().phones[2].cr, PnCRAlarmSMS);
        }
        form->SelectUserNode(0);
    }
}

TEST_F(UsersPageTest, AfterTheReadTheFirstUserIsShownWithItsArrivedFlags)
{
    PlugModule(2035);
    module->Config().phones[0] = {"37060000001", PnCRAlarmSMS | PnCRSmartphone, PnAddCRSMSBackup};
    module->Config().phones[1] = {"37060000002", PnCRTroubleSMS, PnAddCRShortCallArm};
    ASSERT_TRUE(CreateFormsWithLanguages());
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinished(); }, 15000));
    // The additional flags arrive after the numbers and are kept.
    EXPECT_EQ(UserPhones[0].PnAddCR, PnAddCRSMSBackup);
    EXPECT_EQ(UserPhones[1].PnAddCR, PnAddCRShortCallArm);
    EXPECT_EQ(form->SelectedUserIndex(), 0);
    EXPECT_EQ(form->SelectedUserNode, 0);
    EXPECT_TRUE(form->TntCheckBox23->isChecked());
    EXPECT_TRUE(form->TntCheckBox38->isChecked());
    EXPECT_EQ(form->VStringTree1Model->data(Cell(1, 1)).toString(), QStringLiteral("37060000002"));
    // The channels page lists the SMS-backup user.
    EXPECT_EQ(form->TntLabel50->text(), QStringLiteral("37060000001"));
}

// A write-all sends back as the module sent them the bits no visible control shows: every
// user's flags, whichever users were shown on the way (only "SMS backup" ticked or unticked by
// the user changes the boxes it rules, "Smartphone" with it), and the channel word's bits for
// the module's firmware (the key bits below 2030, the bits no control has), into a template's
// "CR" too; a choice changes its own bit only.
TEST_F(UsersPageTest, BitsNoVisibleControlShowsGoBackAsRead)
{
    constexpr quint32 kBase = 0x3312; // protocols 2 and 1, channel 2 reserve, both PSTN bits
    constexpr quint32 kNoControl = 1u << 10 | 1u << 14 | 0xFFu << 16 | 3u << 26 | 3u << 30;
    struct Row {
        quint8 cr, addCR;
        int backupClicks; // on "SMS backup" while the user is shown
        quint8 wantCR, wantAddCR;
    };
    const struct {
        const char* type;
        int firmware;
        quint32 channelWord;
        std::vector<Row> rows;
    } modules[] = {
        // Boxes hidden without SMS backup, at design or by the mode, and bits without a box.
        // Ticked and unticked again, "SMS backup" gives the hidden "Smartphone" back.
        {"VEQ3", 2035, kBase | 1u << 29 | kNoControl,
         {{0xCB, 0xEF, 0, 0xCB, 0xEF}, {0x48, 0x3B, 0, 0x48, 0x3B}, {0x89, 0x00, 2, 0x89, 0x00},
          {0x95, 0x04, 1, 0x89, 0x10}, {0x48, 0x30, 1, 0x40, 0x00}}},
        // "Call on Alarm" and "Mandatory Call" hidden by the model.
        {"VEQ3m", 2029, kBase | 1u << 25 | 1u << 29 | kNoControl,
         {{0x5C, 0x10, 0, 0x5C, 0x10}, {0x34, 0x00, 1, 0x1C, 0x10}}},
    };
    for (const auto& m : modules) {
        SCOPED_TRACE(m.type);
        std::vector<sim::SimModuleConfig::Phone> users;
        for (const Row& r : m.rows)
            users.push_back({"3706000000" + QByteArray::number(int(users.size())), r.cr, r.addCR});
        ReadModule(m.type, users, m.firmware, m.channelWord);
        for (std::size_t i = 0; i < m.rows.size(); ++i) { // the last one stays shown
            Pick(int(i));
            for (int k = 0; k < m.rows[i].backupClicks; ++k)
                form->TntCheckBox38->click();
        }
        Choose(form->TntComboBox4, 1); // UDP for channel 2
        const quint32 word = m.channelWord | 1u << 28;
        const QString name = dir.path() + QStringLiteral("/%1.tpl").arg(m.type);
        ui::QueueText(name);
        form->TntButton26->click();
        QList<QByteArray> lines;
        ASSERT_TRUE(LoadEncryptedStrings(name, TemplatePassPhrase, lines));
        EXPECT_TRUE(lines.contains("CR=" + QByteArray::number(word)));
        WriteAllSettings();
        EXPECT_EQ(module->Config().tcpCR, word);
        for (std::size_t i = 0; i < m.rows.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(module->Config().phones[i].cr, m.rows[i].wantCR);
            EXPECT_EQ(module->Config().phones[i].addCR, m.rows[i].wantAddCR);
        }
        CloseWindow();
    }
}

// Slots a loaded template leaves empty are cleared at the next write, as the window shows them;
// a read or a template that holds them again keeps them.
TEST_F(UsersPageTest, SlotsATemplateLeavesEmptyAreClearedAtTheNextWrite)
{
    // Ten reads and four write-alls: no pauses between packets, and sooner timers before a read.
    SetLinkTiming(2000, 500);
    TForm1::LinkTiming.GapMs = 0;
    TForm1::LinkTiming.SeriesPauseMaxMs = 0;
    std::vector<sim::SimModuleConfig::Phone> ten;
    for (int i = 0; i < UserPhoneCount; ++i)
        ten.push_back({"+3706100000" + QByteArray::number(i), quint8(0x41 + i), quint8(i)});
    ReadModule("VEQ4m", ten);
    form->Timer2->setInterval(5);
    form->Timer7->setInterval(5);
    auto use = [&](QPushButton* button, char name) {
        ui::QueueText(dir.filePath(QString(QLatin1Char(name)) + ".tpl"));
        button->click();
    };
    use(form->TntButton26, 'T'); // saved with ten users
    for (int i = 3; i < UserPhoneCount; ++i)
        ASSERT_TRUE(form->VStringTree1Model->setData(Cell(i, 1), QString()));
    use(form->TntButton26, '3'); // and with three
    // R: the module read; 3, T: that template loaded. Then the users shown, and held after a write.
    const std::pair<const char*, int> flows[] = {{"R3", 3}, {"R33", 3}, {"R3R", 10}, {"R3T", 10}};
    for (const auto& [steps, users] : flows) {
        SCOPED_TRACE(steps);
        std::copy(ten.begin(), ten.end(), module->Config().phones.begin());
        for (const char* s = steps; *s; ++s) {
            module->ClearLog();
            if (*s == 'R')
                form->TntButton19Click(); // "Read VEQ3 Settings"
            else
                use(form->TntButton27, *s);
            ASSERT_TRUE(*s != 'R' || WaitReadFinished());
        }
        EXPECT_EQ(form->VStringTree1GetText(3, 1).isEmpty(), users == 3);
        WriteAllSettings();
        for (int i = 0; i < UserPhoneCount; ++i)
            EXPECT_EQ(module->Config().phones[i].number.trimmed(), i < users ? ten[i].number : "") << i;
    }
}

} // namespace
