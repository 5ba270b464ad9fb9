// The inputs page: record to row and back for every function and a range of Contact ID
// events, what a row cannot show (unlisted events, functions, numbers), the parameter
// trees with their menu and renaming, the "!" warning and the refresh by firmware.
#include "editor/CIDCatalog.h"
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/TemplateFile.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTableWidget>
#include <QTreeView>

#include <array>

namespace {

tduomenys Cid(std::initializer_list<int> bytes)
{
    tduomenys c;
    for (int b : bytes)
        c.push_back(std::uint8_t(b));
    return c;
}

class InputsPageTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        ASSERT_FALSE(LoadCIDDescriptions(CIDDescriptions).MustEnd());
        form = new TForm1();
        form->Timer5->stop(); // no language switch in the middle of a test
        Form2 = new TForm2(form);
    }

    void TearDown() override
    {
        Form2 = nullptr;
        CIDDescriptions.clear();
        WindowTestBase::TearDown();
    }

    int EventIndex(const char* code)
    {
        for (std::size_t k = 0; k < CIDDescriptions.size(); ++k)
            if (CIDDescriptions[k].Code == code)
                return int(k);
        ADD_FAILURE() << code;
        return -1;
    }

    void SetInput(int i, std::uint8_t cr, const tduomenys& cid, std::uint8_t sens = 4,
                  std::uint8_t viol = 0, std::uint16_t noSense = 0)
    {
        ASSERT_TRUE(StoreInputSetting(i, cr, viol, sens, noSense, cid));
    }

    void ExpectBuiltEqualsTable(int i)
    {
        const TInputRecord b = form->BuildInputRecord(i);
        EXPECT_EQ(b.CR, InputTable[i].CR);
        EXPECT_EQ(b.Violations, InputTable[i].Violations);
        EXPECT_EQ(b.Sensivity, InputTable[i].Sensivity);
        EXPECT_EQ(b.NoSenseInterval, InputTable[i].NoSenseInterval);
        EXPECT_EQ(b.CID, InputTable[i].CID);
    }

    // The user picks event k in the event combo of input i.
    void ChooseEvent(QComboBox* ev, int k)
    {
        ev->setCurrentIndex(k);
        emit ev->activated(k);
    }

    // Boxes whose text starts so (the English message goes on after it).
    int PlainMessages(const QString& start)
    {
        int n = 0;
        for (const auto& d : ui::Record())
            if (d.text.startsWith(start))
                ++n;
        return n;
    }

    const QString corrupted = QStringLiteral("The list of Contact ID events (CID_Descriptions.txt) has no event");
};

TEST_F(InputsPageTest, RowsAreBoundAndBuiltOnThePage)
{
    for (int i = 0; i < InputCount; ++i) {
        const TInputRowControls& r = InputTable[i].Row;
        ASSERT_NE(r.FunctionCombo, nullptr);
        EXPECT_EQ(r.FunctionCombo->count(), 3);
        EXPECT_EQ(r.TypeCombo->count(), 2);
        EXPECT_EQ(r.SensitivitySpin->minimum(), 400);
        EXPECT_EQ(r.SensitivitySpin->maximum(), 2500);
        EXPECT_TRUE(r.ViolationsSpin->isHidden());
        EXPECT_TRUE(r.ContactIDPanel->isHidden()); // the "24H" panel is never shown
        EXPECT_EQ(r.NameEdit->maxLength(), 50);
        EXPECT_TRUE(form->WPage[3]->isAncestorOf(r.RowGroupBox));
    }
    EXPECT_EQ(InputTable[0].Row.FunctionCombo, form->ComboBox5);
    EXPECT_EQ(InputTable[5].Row.CIDParamTree, form->VTIN6);
    EXPECT_EQ(InputTable[0].Row.RowGroupBox, form->TntGroupBox8);
    EXPECT_EQ(ctl::FindByName(form, "combobox11"), form->ComboBox11);
    EXPECT_EQ(form->FindInputTree(form->VTIN4), 3);
    EXPECT_EQ(form->FindInputTree(form->ComboBox5), -1);
    EXPECT_EQ(form->FindInputNumberByFunctionCombobox(form->ComboBox9, false), 3);
    EXPECT_EQ(form->FindInputNumberByFunctionCombobox(form->ComboBox20, true), 3);
    EXPECT_EQ(form->FindInputNumberByFunctionCombobox(form->ComboBox20, false), 5);
}

TEST_F(InputsPageTest, EveryFunctionAndEventComesBackAsApplied)
{
    struct Case {
        const char* code;
        int group, zone;
    };
    // Groups and zones within the names each kind offers; "null" parameters carry F.
    const Case cases[] = {{"1100", 1, 5},  {"1130", 8, 32}, {"1121", 3, 0},  {"3401", 2, 31},
                          {"1145", 1, 15}, {"1305", -1, -1}, {"1300", -1, 4}, {"1461", 7, -1}};
    int n = 0;
    for (const Case& c : cases) {
        const int k = EventIndex(c.code);
        ASSERT_GE(k, 0);
        const TCIDDescription& e = CIDDescriptions[std::size_t(k)];
        const tduomenys cid = EncodeContactID(e, c.group, c.zone);
        for (int function = 0; function < 3; ++function) {
            for (int type = 0; type < 2; ++type) {
                const int i = n++ % InputCount;
                std::uint8_t cr = std::uint8_t(function | type << 3);
                if (e.Preset24H)
                    cr |= 0x20;
                if (e.RestoreAvailable && (n & 1))
                    cr |= 0x40;
                SetInput(i, cr, cid, std::uint8_t(4 + n % 22), std::uint8_t(n & 1),
                         std::uint16_t(n * 997));
                form->ApplyInputRecord(i);
                SCOPED_TRACE(QStringLiteral("%1 fn %2 type %3").arg(c.code).arg(function).arg(type).toStdString());
                EXPECT_EQ(InputTable[i].Row.CIDFunctionCombo->currentIndex(), k);
                EXPECT_FALSE(form->InputKeepCID[i]); // the row itself gives the code back
                ExpectBuiltEqualsTable(i);
            }
        }
    }
    EXPECT_EQ(PlainMessages(corrupted), 0);
}

TEST_F(InputsPageTest, SmsFunctionWithTwentyFourHourRestoringEvent)
{
    // 0x6A: send SMS, "NC", 24H, restore; 1100 presets 24H and offers restore.
    SetInput(1, 0x6A, EncodeContactID(CIDDescriptions[std::size_t(EventIndex("1100"))], 1, 2));
    InputTable[1].SMSText = "Door open";
    form->ApplyInputRecord(1);
    form->RefreshInputFunctions();
    EXPECT_FALSE(form->TntPanel2->isHidden());
    EXPECT_TRUE(form->Panel19->isHidden());
    EXPECT_EQ(form->ComboBox13->currentText(), QStringLiteral("NC"));
    EXPECT_EQ(form->Edit16->text(), QStringLiteral("Door open"));
    EXPECT_EQ(form->BuildInputRecord(1).CR, 0x6A);
    EXPECT_EQ(form->BuildInputRecord(1).SMSText, QByteArray("Door open"));
}

TEST_F(InputsPageTest, SensitivityViolationsAndNoReactionKeepTheirLimits)
{
    const tduomenys cid = EncodeContactID(CIDDescriptions[0], 1, 1);
    SetInput(0, 0x01 | 0x20, cid, /*sens*/ 2, /*viol*/ 3, /*noSense*/ 3661);
    form->ApplyInputRecord(0);
    EXPECT_EQ(form->SpinEdit10->value(), 400);
    EXPECT_EQ(form->DaTiNoReaction1->time(), QTime(1, 1, 1));
    TInputRecord b = form->BuildInputRecord(0);
    EXPECT_EQ(b.Sensivity, 4);
    EXPECT_EQ(b.Violations, 1);
    EXPECT_EQ(b.NoSenseInterval, 3661);

    SetInput(0, 0x01 | 0x20, cid, 30, 0, 65535);
    form->ApplyInputRecord(0);
    EXPECT_EQ(form->SpinEdit10->value(), 2500);
    EXPECT_EQ(form->DaTiNoReaction1->time(), QTime(18, 12, 15));

    form->DaTiNoReaction1->setTime(QTime(20, 0, 0)); // beyond 16 bits of seconds
    EXPECT_EQ(form->DaTiNoReaction1->time(), QTime(18, 12, 15));
    EXPECT_EQ(form->BuildInputRecord(0).NoSenseInterval, 65535);
}

TEST_F(InputsPageTest, UnlistedEventIsReportedAndSentBackUnchanged)
{
    // 1999 is not in the catalogue; CR: send CID, "NC", 24H clear, restore set.
    const tduomenys cid = Cid({6, 0x19, 0x90, 0x12, 0x34});
    SetInput(2, 0x49, cid, 7, 1, 120);
    form->ApplyInputRecord(2);
    EXPECT_EQ(PlainMessages(corrupted), 1);
    EXPECT_EQ(form->ComboBox19->currentIndex(), -1);
    EXPECT_TRUE(form->InputKeepCID[2]);
    ExpectBuiltEqualsTable(2);

    // Changing the contact type keeps the received code.
    form->ComboBox14->setCurrentIndex(0);
    EXPECT_EQ(form->BuildInputRecord(2).CR, 0x41);
    EXPECT_EQ(form->BuildInputRecord(2).CID, cid);

    // Choosing an event replaces it.
    ChooseEvent(form->ComboBox19, EventIndex("1130"));
    EXPECT_FALSE(form->InputKeepCID[2]);
    EXPECT_EQ(form->BuildInputRecord(2).CID,
              EncodeContactID(CIDDescriptions[std::size_t(EventIndex("1130"))], 1, 3));

    // Nibbles above 9 make a key no entry has.
    ui::ClearRecord();
    SetInput(1, 0x01, Cid({6, 0xAB, 0x00, 0x10, 0x01}));
    form->ApplyInputRecord(1);
    EXPECT_EQ(PlainMessages(corrupted), 1);
    ExpectBuiltEqualsTable(1);

    // Inputs applied together report an unknown code once: by the first input that has one.
    form->ApplyInputRecord(2);
    EXPECT_EQ(PlainMessages(corrupted), 1);
}

TEST_F(InputsPageTest, NumbersOutsideTheNamesAreSentBackUnchanged)
{
    const TCIDDescription& burglary = CIDDescriptions[std::size_t(EventIndex("1130"))];
    // Zone 40: the zone names offer 32.
    SetInput(0, 0x01, EncodeContactID(burglary, 1, 40));
    form->ApplyInputRecord(0);
    EXPECT_TRUE(form->InputKeepCID[0]);
    ExpectBuiltEqualsTable(0);
    // Group 0 of a partition: below the first name; shown as 0 without a name.
    SetInput(1, 0x01, EncodeContactID(burglary, 0, 2));
    form->ApplyInputRecord(1);
    EXPECT_FALSE(form->InputKeepCID[1]);
    EXPECT_EQ(form->VTIN1GetText(1, 0), QStringLiteral("0"));
    EXPECT_EQ(form->VTIN1GetText(1, 1), QString());
    EXPECT_EQ(form->VTIN1GetText(1, 4), QStringLiteral("2"));
    ExpectBuiltEqualsTable(1);
    // A zero-filled code for a "null" parameter keeps its 0 nibbles.
    SetInput(2, 0x01, Cid({6, 0x13, 0x05, 0x00, 0x00}));
    form->ApplyInputRecord(2);
    ExpectBuiltEqualsTable(2);
}

TEST_F(InputsPageTest, FunctionTheRowCannotShowLeavesTheRowAndTheValues)
{
    SetInput(4, 0x02, EncodeContactID(CIDDescriptions[0], 1, 1), 9, 0, 60);
    InputTable[4].SMSText = "Alarm";
    form->ApplyInputRecord(4);
    ASSERT_EQ(form->ComboBox10->currentIndex(), 2);

    // Function 5 with other values: the row says it is not editable here and shows no
    // parameters, a language switch keeps it so, and the values go back.
    SetInput(4, 0x0D, Cid({7, 0x99, 0x91, 0x23, 0x45}), 20, 1, 999);
    form->ApplyInputRecord(4);
    form->FillInputLists();
    EXPECT_EQ(form->ComboBox10->currentIndex(), -1);
    EXPECT_EQ(form->ComboBox10->placeholderText(), TForm1::HeldRowText());
    EXPECT_TRUE(form->PNust5->isHidden() && form->Panel22->isHidden() && form->TntPanel5->isHidden());
    EXPECT_EQ(form->SpinEdit18->value(), 900);
    EXPECT_EQ(PlainMessages(corrupted), 0);
    ExpectBuiltEqualsTable(4);

    // Once the user picks a function the row speaks again.
    form->ComboBox10->setCurrentIndex(0);
    emit form->ComboBox10->activated(0);
    const TInputRecord b = form->BuildInputRecord(4);
    EXPECT_EQ(b.CR & 0x0F, 0x00);
    EXPECT_EQ(b.Sensivity, 9);
    form->ComboBox10->setCurrentIndex(2);
    emit form->ComboBox10->activated(2);
    EXPECT_FALSE(form->PNust5->isHidden() || form->TntPanel5->isHidden());
}

TEST_F(InputsPageTest, ChoosingAnEventSetsItsPresetsAndStartingParameters)
{
    SetInput(2, 0x01, EncodeContactID(CIDDescriptions[std::size_t(EventIndex("1130"))], 1, 1));
    form->ApplyInputRecord(2);
    form->RefreshInputFunctions();
    EXPECT_FALSE(form->TntCheckBox46->isChecked());
    // Medical alarm presets 24H; the zone of input 3 starts at zone 3.
    ChooseEvent(form->ComboBox19, EventIndex("1100"));
    EXPECT_TRUE(form->TntCheckBox46->isChecked());
    EXPECT_EQ(form->VTIN1GetText(2, 4), QStringLiteral("3"));
    EXPECT_EQ(form->VTIN1GetText(2, 0), QStringLiteral("1"));
    EXPECT_EQ(form->BuildInputRecord(2).CR & 0x20, 0x20);
    // Duress offers no restore: unticked and hidden; users start at 0.
    form->TntCheckBox18->setChecked(true);
    ChooseEvent(form->ComboBox19, EventIndex("1121"));
    EXPECT_FALSE(form->TntCheckBox18->isChecked());
    EXPECT_TRUE(form->TntCheckBox18->isHidden());
    EXPECT_EQ(form->VTIN1GetText(2, 4), QStringLiteral("0"));
    // System reset has no parameters: nothing shown, no arrows.
    ChooseEvent(form->ComboBox19, EventIndex("1305"));
    EXPECT_EQ(form->VTIN1GetText(2, 0), QString());
    EXPECT_EQ(form->VTIN1GetImageIndexEx(2, 2), -1);
    EXPECT_EQ(form->BuildInputRecord(2).CID[3], 0xF0);
    EXPECT_EQ(form->BuildInputRecord(2).CID[4], 0xFF);
}

TEST_F(InputsPageTest, NameMenuChoosesAParameter)
{
    for (int k = 0; k < ZoneNameCount; ++k)
        StoreItemName(1, k, "Zone " + QByteArray::number(k + 1));
    form->FillNameGrids();
    SetInput(0, 0x01, EncodeContactID(CIDDescriptions[std::size_t(EventIndex("1130"))], 1, 1));
    form->ApplyInputRecord(0);
    EXPECT_EQ(form->VTIN1GetText(0, 5), QStringLiteral("Zone 1"));

    form->FillNamePopup(0, 1);
    const QList<QAction*> items = form->Popup1->actions();
    ASSERT_EQ(items.size(), 32);
    EXPECT_EQ(items[4]->text(), QStringLiteral("5: Zone 5"));
    EXPECT_EQ(ctl::Tag(items[4]), 4 * 16 + 8 + 0);
    items[4]->trigger();
    EXPECT_EQ(form->VTIN1GetText(0, 4), QStringLiteral("5"));
    EXPECT_EQ(form->VTIN1GetText(0, 5), QStringLiteral("Zone 5"));
    EXPECT_EQ(form->BuildInputRecord(0).CID[4], 0x05);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Popup1->actions().isEmpty());

    // Partitions: 8 names numbered from 1.
    form->FillNamePopup(0, 0);
    EXPECT_EQ(form->Popup1->actions().size(), 8);
    EXPECT_TRUE(form->Popup1->actions()[0]->text().startsWith(QStringLiteral("1: ")));
}

TEST_F(InputsPageTest, RenamingAZoneRenamesItEverywhere)
{
    const TCIDDescription& burglary = CIDDescriptions[std::size_t(EventIndex("1130"))];
    SetInput(0, 0x01, EncodeContactID(burglary, 1, 2));
    SetInput(3, 0x01, EncodeContactID(burglary, 1, 2));
    SetInput(4, 0x01, EncodeContactID(burglary, 1, 3));
    for (int i : {0, 3, 4})
        form->ApplyInputRecord(i);
    form->VTIN1NewText(0, 5, QStringLiteral("Hall"));
    EXPECT_EQ(form->VTIN1GetText(0, 5), QStringLiteral("Hall"));
    EXPECT_EQ(form->VTIN1GetText(3, 5), QStringLiteral("Hall"));
    EXPECT_NE(form->VTIN1GetText(4, 5), QStringLiteral("Hall"));
    EXPECT_EQ(ItemNameAt(1, 1), QByteArray("Hall"));
    auto* zones = ctl::Find<QTableWidget>(form, QStringLiteral("StringGrid3"));
    ASSERT_NE(zones, nullptr);
    EXPECT_EQ(zones->item(1, 1)->text(), QStringLiteral("Hall"));
    // The name is all that changed.
    ExpectBuiltEqualsTable(0);
    // Columns other than the names edit nothing.
    form->VTIN1NewText(0, 4, QStringLiteral("x"));
    EXPECT_EQ(ItemNameAt(1, 1), QByteArray("Hall"));
}

TEST_F(InputsPageTest, RefilledListsKeepChosenEventsAndParameters)
{
    const TCIDDescription& burglary = CIDDescriptions[std::size_t(EventIndex("1130"))];
    SetInput(0, 0x09, EncodeContactID(burglary, 2, 7));
    SetInput(1, 0x01, Cid({6, 0x19, 0x90, 0x12, 0x34})); // not in the catalogue
    form->ApplyInputRecord(0);
    form->ApplyInputRecord(1);
    ui::ClearRecord();
    form->FillInputLists(); // as after a language switch
    EXPECT_EQ(PlainMessages(corrupted), 0);
    ExpectBuiltEqualsTable(0);
    ExpectBuiltEqualsTable(1);
    EXPECT_EQ(form->ComboBox5->count(), 3);
}

TEST_F(InputsPageTest, SmsHintForEventsTheModuleDescribes)
{
    Form2->PhraseEdit(0)->setText(QStringLiteral("ALARM"));  // Edit33
    Form2->PhraseEdit(6)->setText(QStringLiteral("MEDIC"));  // Edit39
    StoreItemName(1, 4, "Kitchen");
    form->FillNameGrids();
    SetInput(0, 0x01, EncodeContactID(CIDDescriptions[std::size_t(EventIndex("1100"))], 1, 5));
    form->ApplyInputRecord(0);
    form->RefreshInputFunctions();
    EXPECT_FALSE(form->TntLabel21->isHidden());
    EXPECT_EQ(ctl::Hint(form->TntLabel21), QStringLiteral("ALARM MEDIC Kitchen"));
    EXPECT_TRUE(ctl::ShowHint(form->TntLabel21));
    // Burglary has no such SMS.
    ChooseEvent(form->ComboBox6, EventIndex("1130"));
    EXPECT_TRUE(form->TntLabel21->isHidden());
    // Not shown for a row that sends its own SMS.
    ChooseEvent(form->ComboBox6, EventIndex("1100"));
    form->ComboBox5->setCurrentIndex(2);
    emit form->ComboBox5->activated(2);
    EXPECT_TRUE(form->TntLabel21->isHidden());
}

TEST_F(InputsPageTest, ExclamationWhenNobodyGetsAlarmSms)
{
    SetInput(5, 0x02, EncodeContactID(CIDDescriptions[0], 1, 1));
    form->ApplyInputRecord(5);
    form->RefreshInputFunctions();
    form->WPage3EnterPage();
    EXPECT_FALSE(form->TntLabel79->isHidden());
    EXPECT_TRUE(form->TntLabel74->isHidden());

    StoreUserPhone(3, 0x40, "37060000000");
    form->WPage3EnterPage();
    EXPECT_TRUE(form->TntLabel79->isHidden());

    // Clicking "!" goes to the users page and makes "Alarm SMS" blink there.
    form->wzrd1->SetActivePageIndex(2);
    BlinkSelector = 1;
    form->TntLabel74Click(form->TntLabel79);
    EXPECT_EQ(BlinkSelector, 3);
    EXPECT_EQ(form->wzrd1->GetActivePageIndex(), 0);
    EXPECT_TRUE(form->Timer_Blink->isActive());
    form->Timer_Blink->stop();
    BlinkSelector = 0;
}

TEST_F(InputsPageTest, SmsTextEditWritesTheTable)
{
    form->Edit18->setText(QString(60, QLatin1Char('x')).left(60));
    EXPECT_EQ(InputTable[3].SMSText.size(), 50); // the edit holds 50 at most
    form->Edit18->setText(QStringLiteral("Gate"));
    EXPECT_EQ(InputTable[3].SMSText, QByteArray("Gate"));
    EXPECT_EQ(form->BuildInputRecord(3).SMSText, QByteArray("Gate"));
}

TEST_F(InputsPageTest, OldFirmwareRefreshesRowsAsTextsArrive)
{
    const tduomenys cid = EncodeContactID(CIDDescriptions[0], 1, 1);
    ASSERT_NE(form->Link(), nullptr);

    form->Link()->FirmwareVersion = 1024;
    form->OnInputSettingArrive(0, 0x02, 0, 5, 10, cid);
    EXPECT_EQ(form->ComboBox5->currentIndex(), 0); // settings alone touch no control
    form->OnInputSMSTextArrive(0, "Smoke");
    EXPECT_EQ(form->ComboBox5->currentIndex(), 2);
    EXPECT_EQ(form->Edit15->text(), QStringLiteral("Smoke"));
    EXPECT_EQ(form->SpinEdit10->value(), 500);

    form->Link()->FirmwareVersion = 2030;
    form->OnInputSettingArrive(1, 0x02, 0, 6, 10, cid);
    form->OnInputSMSTextArrive(1, "Water");
    EXPECT_EQ(form->ComboBox7->currentIndex(), 0); // waits for the mode word
    EXPECT_EQ(form->SpinEdit12->value(), 400);
    form->OnCPCRArrive(0);
    EXPECT_EQ(form->ComboBox7->currentIndex(), 2);
    EXPECT_EQ(form->Edit16->text(), QStringLiteral("Water"));
    EXPECT_FALSE(form->TntPanel2->isHidden());
    EXPECT_EQ(form->SpinEdit12->value(), 600);
}

// Reading a module and writing its inputs back changes nothing, even where the page cannot
// show what the module holds.
class InputsPageModuleTest : public WindowTestBase {
protected:
    void TearDown() override
    {
        WindowTestBase::TearDown();
        CIDDescriptions.clear();
    }
};

TEST_F(InputsPageModuleTest, ReadThenWriteLeavesTheInputsAsTheyWere)
{
    SetLinkTiming(300, 100);
    PlugModule(2035);
    auto& in = module->Config().inputs;
    in[0] = {0x49, 1, 7, 120, {6, 0x19, 0x90, 0x12, 0x34}}; // an event the catalogue lacks
    in[1] = {0x0D, 0, 20, 999, {7, 0x99, 0x91, 0x23, 0x45}}; // function 5
    in[2] = {0x01, 0, 4, 3661, {6, 0x13, 0x00, 0x14, 0x00}}; // burglary, zone 40 of 32
    in[3] = {0x0A, 1, 25, 65535, {6, 0x13, 0x00, 0x10, 0x05}}; // SMS, burglary g1 z5
    in[4] = {0x21, 0, 5, 0, {6, 0x10, 0x00, 0x10, 0x02}};    // medical g1 z2, 24H
    in[5] = {0x00, 0, 4, 0, {6, 0x13, 0x05, 0xF0, 0xFF}};    // not used, system reset
    const auto before = module->Config().inputs;

    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinished(); }, 15000));
    sim::Pump(50);
    EXPECT_EQ(form->ComboBox5->currentIndex(), 1);
    // Function 5: not editable here and no parameters, in the summary too; a template keeps its values.
    EXPECT_EQ(form->ComboBox7->currentIndex(), -1);
    const QString held = form->GetLangText(133);
    EXPECT_EQ(form->ComboBox7->placeholderText(), held);
    EXPECT_TRUE(form->PNust2->isHidden() && form->Panel19->isHidden());
    form->BuildSummary();
    EXPECT_TRUE(form->Memo_Summ->toPlainText().contains("\n\tInput 2 - " + held + "\n \n"));
    QList<QByteArray> lines;
    form->BuildTemplateLines(lines);
    for (const QByteArray& line : {tpl::NumberLine("InputSettingsCR1", 0x0D), tpl::NumberLine("Sensivity1", 20),
                                   tpl::NumberLine("NoSenseInterval1", 999)})
        EXPECT_TRUE(lines.contains(line)) << line.constData();
    module->ClearLog();
    form->TntButton114Click();
    ASSERT_TRUE(sim::WaitUntil([&] {
        const auto c = module->Codes();
        return std::count(c.begin(), c.end(), 0x13) == 6;
    }, 10000));
    sim::Pump(50);
    const auto after = module->Config().inputs;
    for (int i = 0; i < InputCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(after[i].cr, before[i].cr);
        EXPECT_EQ(after[i].violations, before[i].violations);
        EXPECT_EQ(after[i].sensitivity, before[i].sensitivity);
        EXPECT_EQ(after[i].noSenseInterval, before[i].noSenseInterval);
        EXPECT_EQ(after[i].cid, before[i].cid);
    }
}

// A module in its factory state holds five zero bytes as every input's Contact ID: its
// inputs show no event and raise no box.
TEST_F(InputsPageModuleTest, FactoryStateShowsNoEventAndRaisesNoBox)
{
    SetLinkTiming(2000, 500);
    PlugModule(2035, false);
    ASSERT_TRUE(CreateFormsWithLanguages());
    module->Plug();
    ASSERT_TRUE(WaitReadFinished());
    for (int i = 0; i < InputCount; ++i)
        EXPECT_EQ(InputTable[i].Row.CIDFunctionCombo->currentIndex(), -1) << i;
    for (const auto& d : ui::Record())
        EXPECT_NE(d.kind, QLatin1String("plain")) << d.text.toStdString();
    // Without an event a partition or zone would go nowhere: none is offered.
    form->VTIN1ColumnClick(0, 2); // the partition's arrow
    EXPECT_TRUE(form->Popup1->actions().isEmpty());
}

// A module in its factory state holds five zero bytes as every input's Contact ID: its
// inputs show no event and raise no box, at the read and at the read after a write-all,
// which gives the zero codes back. Codes the catalogue lacks raise one box per read, in
// the current language.
TEST_F(InputsPageModuleTest, FactoryStateShowsNoEventAndUnknownCodesOneBoxPerRead)
{
    SetLinkTiming(2000, 500);
    const std::array<quint8, 5> unknown{6, 0x19, 0x90, 0x12, 0x34};
    const struct {
        const char* language;
        std::vector<int> unknownInputs;
    } cases[] = {{"English", {}}, {"English", {1, 4}}, {"Russian", {2, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.language << " " << c.unknownInputs.size());
        WriteSettings(QByteArray("Language=") + c.language + "\r\n");
        PlugModule(2035, false);
        module->Config().accessPin = AccessPINToWord("1234");
        for (int i : c.unknownInputs)
            module->Config().inputs[i] = {0x01, 0, 4, 0, unknown};
        const auto before = module->Config().inputs;
        ui::ClearRecord();
        ASSERT_TRUE(CreateFormsWithLanguages());
        module->Plug();
        ASSERT_TRUE(WaitReadFinished());
        const QString text = GetLangText(112);
        EXPECT_FALSE(text.isEmpty());
        auto boxes = [&] {
            int n = 0;
            for (const auto& d : ui::Record())
                n += d.kind == QLatin1String("plain");
            return n;
        };
        const int perRead = c.unknownInputs.empty() ? 0 : 1;
        EXPECT_EQ(boxes(), perRead);
        if (perRead) {
            EXPECT_EQ(ui::Record().back().text, text);
        }
        for (int i = 0; i < InputCount; ++i)
            EXPECT_EQ(InputTable[i].Row.CIDFunctionCombo->currentIndex(), -1) << i;

        module->ClearLog();
        form->TntButton1->click();
        ASSERT_TRUE(WaitReadFinished());
        EXPECT_EQ(boxes(), 2 * perRead);
        for (int i = 0; i < InputCount; ++i) {
            EXPECT_EQ(module->Config().inputs[i].cid, before[i].cid) << i;
            EXPECT_EQ(module->Config().inputs[i].cr, before[i].cr) << i;
        }
        CloseWindow();
    }
}

} // namespace
