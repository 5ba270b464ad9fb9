// The outputs page and the remote-control page: records to rows and back, the pulse
// length limits, a function the rows cannot show, the phone grid and its editing, and
// the question when an output that phones switch stops being "Manual".
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeEdit>

namespace {

class OutputsPageTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        NormalMode = true;
        form = new TForm1();
        ASSERT_TRUE(sim::WaitUntil([&] { return form->ComboBox28->count() > 0; }));
        ui::ClearRecord();
    }

    void TearDown() override
    {
        NormalMode = true;
        ui::ClearRecord();
        WindowTestBase::TearDown();
    }

    TOutputRecord ApplyThenBuild(int i, std::uint8_t cr, std::uint16_t len)
    {
        StoreOutputSetting(i, cr, len);
        form->ApplyOutputRecord(i);
        return form->BuildOutputRecord(i);
    }

    void SetPhone(int slot, const char* number, std::uint8_t mask)
    {
        StoreRemotePhone(slot, mask, QByteArray(number));
    }

    // The user picks an item of an output's function combo.
    void PickFunction(int output, int item)
    {
        QComboBox* c = form->OutputCombo[output];
        c->setCurrentIndex(item);
        emit c->activated(item);
    }

    int Messages(const QString& text) const
    {
        int n = 0;
        for (const auto& d : ui::Record())
            if (d.kind == QLatin1String("message") && d.text == text)
                ++n;
        return n;
    }

    QString Cell(int row, int col) const { return form->StringGrid2->item(row, col)->text(); }
};

TEST_F(OutputsPageTest, EveryOfferedFunctionAndLengthSurvivesApplyAndBuild)
{
    for (int i = 0; i < OutputCount; ++i)
        for (std::uint8_t code = 0; code <= 3; ++code)
            for (bool pulse : {true, false})
                for (std::uint16_t len : {std::uint16_t(1), std::uint16_t(59), std::uint16_t(3661),
                                          std::uint16_t(65535)}) {
                    const std::uint8_t cr = static_cast<std::uint8_t>(code | (pulse ? OutputCRPulse : 0));
                    const TOutputRecord r = ApplyThenBuild(i, cr, len);
                    EXPECT_EQ(r.CR, cr) << i << " " << int(code) << " " << pulse << " " << len;
                    EXPECT_EQ(r.ImpLength, len) << i << " " << int(code) << " " << pulse << " " << len;
                    EXPECT_EQ(form->SecondRadio[i]->isChecked(), !pulse);
                }
}

TEST_F(OutputsPageTest, RefreshForcesPulseForAutomaticFunctionsAndShowsPulseControls)
{
    ApplyThenBuild(0, 0x00, 10); // Manual, Biswitch
    ApplyThenBuild(1, 0x02, 10); // Disarm, Biswitch
    form->RefreshOutputRows();
    EXPECT_TRUE(form->SecondRadio[0]->isChecked());
    EXPECT_TRUE(ctl::Enabled(form->SecondRadio[0]));
    EXPECT_TRUE(form->DaTiDuration[0]->isHidden());
    EXPECT_TRUE(form->DurationLabel[0]->isHidden());
    EXPECT_TRUE(form->PulseRadio[1]->isChecked());
    EXPECT_FALSE(ctl::Enabled(form->SecondRadio[1]));
    EXPECT_FALSE(form->DaTiDuration[1]->isHidden());
    EXPECT_EQ(form->BuildOutputRecord(1).CR, 0x0A);
}

TEST_F(OutputsPageTest, ChoosingAFunctionThatForcesPulseShowsThePulseLength)
{
    for (int i = 0; i < OutputCount; ++i) {
        for (int item = 1; item <= 3; ++item) {
            SCOPED_TRACE(testing::Message() << "output " << i << " item " << item);
            ApplyThenBuild(i, 0x00, 10); // Manual, Biswitch: no pulse length shown
            form->RefreshOutputRows();
            ASSERT_TRUE(form->DaTiDuration[i]->isHidden());
            PickFunction(i, item);
            EXPECT_TRUE(form->PulseRadio[i]->isChecked());
            EXPECT_FALSE(form->SecondRadio[i]->isChecked());
            for (QWidget* w : std::initializer_list<QWidget*>{form->DaTiDuration[i], form->DurationLabel[i],
                                                              form->TimeFormatLabel[i]})
                EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
            EXPECT_EQ(form->BuildOutputRecord(i).CR, 0x08 | item);
        }
    }
}

TEST_F(OutputsPageTest, PulseLengthEditsStayBetweenOneSecondAndTheLimit)
{
    // The floor is for the user's edits: a received length of 0 is shown and kept.
    EXPECT_EQ(ApplyThenBuild(0, 0x08, 0).ImpLength, 0);
    EXPECT_EQ(form->DaTiDuration[0]->time(), QTime(0, 0, 0));
    QTimeEdit* t = form->DaTiDuration[2];
    t->setTime(QTime(20, 0, 0));
    EXPECT_EQ(t->time(), QTime(18, 12, 15));
    t->setTime(QTime(0, 0, 0));
    EXPECT_EQ(t->time(), QTime(0, 0, 1));
    EXPECT_EQ(form->BuildOutputRecord(2).ImpLength, 1);
}

TEST_F(OutputsPageTest, FunctionTheRowCannotShowIsWrittenBackAsReceived)
{
    ApplyThenBuild(0, 0x0A, 30); // Disarm, pulse, 30 s
    // Function 5 arrives with 7 half seconds: the table keeps them, the row shows no function.
    form->OnOutputSettingArrive(0, 0x0D, 7);
    EXPECT_EQ(OutputTable[0].ImpLength, 7);
    EXPECT_EQ(form->OutputCombo[0]->currentIndex(), -1);
    EXPECT_EQ(form->DaTiDuration[0]->time(), QTime(0, 0, 30));
    form->RefreshOutputRows();
    TOutputRecord r = form->BuildOutputRecord(0);
    EXPECT_EQ(r.CR, 0x0D);
    EXPECT_EQ(r.ImpLength, 7);

    // Function 4 with the siren bit keeps every bit.
    form->OnOutputSettingArrive(1, 0x14, 9);
    r = form->BuildOutputRecord(1);
    EXPECT_EQ(r.CR, 0x14);
    EXPECT_EQ(r.ImpLength, 9);

    // A later record the row can show takes over again.
    r = ApplyThenBuild(1, 0x01, 5);
    EXPECT_EQ(r.CR, 0x01);
    EXPECT_EQ(r.ImpLength, 5);
}

TEST_F(OutputsPageTest, UserEditOfAHeldRowSendsWhatTheRowShows)
{
    form->OnOutputSettingArrive(0, 0x0D, 7);
    PickFunction(0, 1);
    EXPECT_EQ(form->BuildOutputRecord(0).CR, 0x09);
    EXPECT_FALSE(form->DaTiDuration[0]->isHidden()); // a row like the others again

    form->OnOutputSettingArrive(2, 0x05, 8);
    form->DaTiDuration[2]->setTime(QTime(0, 1, 0));
    TOutputRecord r = form->BuildOutputRecord(2);
    EXPECT_EQ(r.CR & 7, 0);
    EXPECT_EQ(r.ImpLength, 60);

    form->OnOutputSettingArrive(3, 0x05, 8);
    form->SecondRadio[3]->click();
    EXPECT_EQ(form->BuildOutputRecord(3).CR, 0x00);
}

TEST_F(OutputsPageTest, GridShowsTheFirst32SlotsWithTheirOutputs)
{
    SetPhone(0, "111", 0xF0);
    SetPhone(5, "222", 0xA0);
    SetPhone(31, "333", 0x10);
    SetPhone(32, "444", 0x80); // template only
    form->FillPGMGrid();
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(0, 1), "111");
    EXPECT_EQ(Cell(0, 2), "1,2,3,4,");
    EXPECT_EQ(Cell(5, 2), "1,3,");
    EXPECT_EQ(Cell(31, 0), "32");
    EXPECT_EQ(Cell(31, 2), "4,");
    EXPECT_EQ(Cell(1, 2), "");
    ASSERT_EQ(form->StringGrid2->rowCount(), 32);
    for (int r = 0; r < 32; ++r)
        EXPECT_NE(Cell(r, 1), "444");
}

TEST_F(OutputsPageTest, ShowingASlotTicksOnlyEnabledBoxesAndWholeNumbers)
{
    SetPhone(2, "37061234567890", 0xC0);
    SetPhone(3, "12a", 0x80);
    PickFunction(1, 1); // output 2 no longer Manual: its box is disabled
    form->ShowPGMRow(2);
    EXPECT_EQ(form->StringGrid2->currentRow(), 2);
    EXPECT_EQ(form->Edit12->text(), "37061234567890");
    EXPECT_TRUE(form->TntCheckBox2->isChecked());
    EXPECT_FALSE(ctl::Enabled(form->TntCheckBox4));
    EXPECT_FALSE(form->TntCheckBox4->isChecked());
    // A disabled window (as during a read) does not untick the boxes.
    form->setEnabled(false);
    form->TntCheckBox2->setChecked(false);
    form->ShowPGMRow(2);
    EXPECT_TRUE(form->TntCheckBox2->isChecked());
    form->setEnabled(true);
    form->ShowPGMRow(3);
    EXPECT_EQ(form->Edit12->text(), "");
    // Selecting a row in the grid shows its slot.
    form->StringGrid2->setCurrentCell(2, 1);
    EXPECT_EQ(form->Edit12->text(), "37061234567890");
}

TEST_F(OutputsPageTest, SavingStoresNumberAndTickedOutputs)
{
    form->ShowPGMRow(4);
    Paste(form->Edit12, "+555 12-34"); // digits stay, and the "+" in front, as in the users list
    EXPECT_EQ(form->Edit12->text(), "+5551234");
    form->Edit12->home(false); // nothing goes in front of the "+", typed or pasted
    QTest::keyClicks(form->Edit12, "0");
    Paste(form->Edit12, "0");
    EXPECT_EQ(form->Edit12->text(), "+5551234");
    form->TntCheckBox2->setChecked(true);
    form->TntCheckBox11->setChecked(true);
    form->TntButton16->click();
    EXPECT_EQ(RemotePhones[4].Number, "+5551234");
    EXPECT_EQ(RemotePhones[4].PGMPnCR, 0xA0);
    EXPECT_EQ(Cell(4, 2), "1,3,");

    // A number with no output is refused.
    form->ShowPGMRow(6);
    form->Edit12->setText("777");
    form->TntButton16->click();
    EXPECT_EQ(Messages(GetLangText(108)), 1);
    EXPECT_TRUE(RemotePhones[6].Number.isEmpty());

    // Saving an empty number clears the slot; so does Delete.
    form->ShowPGMRow(4);
    form->Edit12->clear();
    form->TntButton16->click();
    EXPECT_TRUE(RemotePhones[4].Number.isEmpty());
    EXPECT_EQ(RemotePhones[4].PGMPnCR, 0);
    SetPhone(7, "888", 0x40);
    form->ShowPGMRow(7);
    form->TntButton17->click();
    EXPECT_TRUE(RemotePhones[7].Number.isEmpty());
    EXPECT_EQ(RemotePhones[7].PGMPnCR, 0);
    EXPECT_EQ(form->StringGrid2->currentRow(), 7);
    EXPECT_EQ(form->Edit12->text(), "");

    // Bits no box shows (of no output, or of an output whose function disables its box) go back as held.
    PickFunction(1, 1);
    SetPhone(8, "600800", 0xCF);
    form->ShowPGMRow(8);
    form->TntButton16->click();
    EXPECT_EQ(RemotePhones[8].PGMPnCR, 0xCF);
}

TEST_F(OutputsPageTest, DuplicateNumbersAreRefusedOutsideTheServiceMode)
{
    SetPhone(40, "600100", 0x80); // template-only slot
    SetPhone(3, "600200", 0x40);
    form->ShowPGMRow(3);
    form->Edit12->setText("600100");
    form->TntButton16->click();
    EXPECT_EQ(Messages(GetLangText(81)), 1);
    EXPECT_EQ(RemotePhones[3].Number, "600200");
    EXPECT_EQ(form->Edit12->selectedText(), "600100");

    // The slot's own number is no duplicate.
    form->ShowPGMRow(3);
    form->TntButton16->click();
    EXPECT_EQ(Messages(GetLangText(81)), 1);
    EXPECT_EQ(RemotePhones[3].Number, "600200");

    NormalMode = false;
    form->Edit12->setText("600100");
    form->TntButton16->click();
    EXPECT_EQ(Messages(GetLangText(81)), 1);
    EXPECT_EQ(RemotePhones[3].Number, "600100");

    // The same digits are the same phone, with or without the "+" and the blanks the module sent.
    NormalMode = true;
    SetPhone(41, "+600300", 0x80);
    form->Edit12->setText("600300");
    form->TntButton16->click();
    EXPECT_EQ(Messages(GetLangText(81)), 2);
    SetPhone(42, "+370 600 00011", 0x80);
    form->Edit12->setText("37060000011");
    form->TntButton16->click();
    EXPECT_EQ(Messages(GetLangText(81)), 3);
}

TEST_F(OutputsPageTest, LeavingManualAsksOnceAndRemovesTheOutputFromPhones)
{
    SetPhone(1, "1001", 0x40);       // output 2 only
    SetPhone(2, "1002", 0xC0);       // outputs 1 and 2
    SetPhone(45, "1045", 0x20);      // output 3 only
    QByteArray list;
    ASSERT_TRUE(form->ListOutputControlPhones(1, list));
    EXPECT_EQ(list, "1001; 1002; ");
    EXPECT_FALSE(form->ListOutputControlPhones(3, list));
    EXPECT_EQ(list, "");

    ui::QueueButton(ui::MsgButton::Yes);
    PickFunction(1, 1);
    int asked = 0;
    for (const auto& d : ui::Record())
        if (d.kind == QLatin1String("message")) {
            ++asked;
            EXPECT_TRUE(d.text.startsWith(GetLangText(109) + "\r\n\r\n"));
            EXPECT_TRUE(d.text.endsWith("1001; 1002; "));
        }
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(RemotePhones[1].Number.isEmpty());
    EXPECT_EQ(RemotePhones[1].PGMPnCR, 0);
    EXPECT_EQ(RemotePhones[2].Number, "1002");
    EXPECT_EQ(RemotePhones[2].PGMPnCR, 0x80);
    EXPECT_EQ(Cell(2, 2), "1,");
    EXPECT_EQ(RemotePhones[45].PGMPnCR, 0x20);
}

TEST_F(OutputsPageTest, AnsweringNoOrReadingAllKeepsThePhones)
{
    SetPhone(1, "1001", 0x40);
    ui::QueueButton(ui::MsgButton::No);
    PickFunction(1, 2);
    EXPECT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(RemotePhones[1].PGMPnCR, 0x40);

    PickFunction(1, 0);
    ui::ClearRecord();
    ASSERT_NE(form->Link(), nullptr);
    form->Link()->ReadingAll = true;
    PickFunction(1, 3);
    form->Link()->ReadingAll = false;
    EXPECT_TRUE(ui::Record().empty());
    EXPECT_EQ(RemotePhones[1].Number, "1001");
    EXPECT_EQ(RemotePhones[1].PGMPnCR, 0x40);
}

TEST_F(OutputsPageTest, RemovalClearsOnlyPhonesThatLoseTheirLastOutput)
{
    SetPhone(0, "1", 0x10);
    SetPhone(49, "49", 0x10);
    SetPhone(10, "10", 0x30);
    SetPhone(11, "11", 0x00); // no output at all: not touched
    form->RemoveOutputFromPhones(3);
    EXPECT_TRUE(RemotePhones[0].Number.isEmpty());
    EXPECT_TRUE(RemotePhones[49].Number.isEmpty());
    EXPECT_EQ(RemotePhones[10].Number, "10");
    EXPECT_EQ(RemotePhones[10].PGMPnCR, 0x20);
    EXPECT_EQ(RemotePhones[11].Number, "11");
    EXPECT_EQ(Cell(0, 1), "");
}

TEST_F(OutputsPageTest, ReadFromTheModuleFillsRowsAndGrid)
{
    // A fresh window against a module with stored outputs and phones.
    CloseWindow();
    PlugModule(2035, false);
    auto& c = module->Config();
    c.outputs[0] = {0x0A, 30};  // Disarm, pulse, 30 s
    c.outputs[1] = {0x0D, 7};   // function 5: 7 half seconds
    c.outputs[2] = {0x00, 100}; // Manual, Biswitch
    c.outputs[3] = {0x0B, 0};
    // Phones only on the "Manual" output, so the refresh after the read asks nothing.
    c.pgmPhones[0] = {"600700", 0x20};
    c.pgmPhones[31] = {"600731", 0x20};
    // The catalogues and the language first, as at a real start.
    ASSERT_TRUE(CreateFormsWithLanguages());
    module->Plug();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinished(); }, 15000));
    sim::Pump(300); // the rows refresh 100 ms after the last output

    TOutputRecord r = form->BuildOutputRecord(0);
    EXPECT_EQ(r.CR, 0x0A);
    EXPECT_EQ(r.ImpLength, 30);
    r = form->BuildOutputRecord(1);
    EXPECT_EQ(r.CR, 0x0D);
    EXPECT_EQ(r.ImpLength, 7);
    // A function the page does not offer: the row says it is not editable, with no parameters.
    EXPECT_EQ(form->OutputCombo[1]->currentIndex(), -1);
    EXPECT_EQ(form->OutputCombo[1]->placeholderText(), GetLangText(133));
    EXPECT_TRUE(form->PulseRadio[1]->isHidden() && form->DaTiDuration[1]->isHidden());
    EXPECT_EQ(form->BuildOutputRecord(2).CR, 0x00);
    EXPECT_TRUE(form->DaTiDuration[2]->isHidden());
    EXPECT_EQ(form->BuildOutputRecord(3).ImpLength, 0);

    EXPECT_EQ(Cell(0, 1), "600700");
    EXPECT_EQ(Cell(0, 2), "3,");
    EXPECT_EQ(Cell(31, 1), "600731");
    // Shown while the window was disabled for the read (and this model's page is
    // disabled too): the box of the "Manual" output is still ticked.
    EXPECT_TRUE(form->TntCheckBox11->isChecked());
    EXPECT_FALSE(form->TntCheckBox2->isChecked());
    EXPECT_EQ(form->StringGrid2->currentRow(), 0);
    EXPECT_EQ(form->Edit12->text(), "600700");
}

// A language switch and a template load refresh the rows of outputs that phones switch:
// neither asks message 109, only the user's choice of a function does.
TEST_F(OutputsPageTest, RefreshingTheRowsNeverAsksToRemoveOutputsFromPhones)
{
    for (int i = 0; i < 3; ++i)
        ApplyThenBuild(i, std::uint8_t(0x09 + i), 5); // Arm, Disarm, Clear Alarm
    SetPhone(0, "600700", 0xF0);
    const QString file = dir.path() + "/outputs.tpl";
    QList<QByteArray> lines;
    form->BuildTemplateLines(lines);
    ASSERT_TRUE(SaveStringsEncrypted(file, TemplatePassPhrase, lines));
    auto noQuestion = [](const char* after) {
        sim::Pump(300); // the rows refresh 100 ms later
        for (const auto& d : ui::Record())
            EXPECT_FALSE(d.buttons.contains(QLatin1String("Yes"))) << after << ": " << d.text.toStdString();
        ui::ClearRecord();
    };
    Choose(form->ComboBox28, 1);
    noQuestion("language switch");
    ui::QueueText(file);
    form->TntButton27->click();
    EXPECT_TRUE(TemplateLoaded);
    noQuestion("template load");
}

} // namespace
