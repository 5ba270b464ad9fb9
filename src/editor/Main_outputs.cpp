// The outputs page (what each of the four outputs does, pulse or bistable, pulse length)
// and the remote-control page (the phones that may switch outputs from a distance).
//
// The rows edit the controls only; the output table changes when settings arrive or a
// template is applied, and the phone table when the user saves, deletes or removes.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "widgets/Colors.h"
#include "widgets/PageWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextCursor>
#include <QTimeEdit>

#include <array>

using ctl::Make;

namespace {

// The longest pulse the duration pickers accept, in seconds (18:12:15).
constexpr int kPulseLimit = 65535;

// The design texts of the output functions, in code order (the language replaces them).
const char* const kFunctionTexts[4] = {"Manual", "Arm", "Disarm", "Clear Alarm"};

// What the function combo of a row whose function the page does not offer says, until
// the language gives its own.
constexpr int kHeldRowMessage = 133;
const char* const kHeldRowText = "Not editable here";

// The examples shown until a language gives its own (one entry per memo line).
const char* const kExampleLines[] = {
    "Control of an output by a call:",
    "     1. Enter the phone number and tick the outputs it controls.",
    "     2. Call the module from that phone.",
    "     3. The module switches the outputs and rejects the call.",
    "",
    "Control of an output by SMS:",
    "     1. Enter the phone number and tick the outputs it controls.",
    "     2. Send the output command by SMS from that phone.",
    "     3. The module switches the output and confirms it by SMS.",
    "",
    "Calls and SMS from numbers that are not in the list are ignored."};

// Grid columns: slot number, phone number, outputs.
constexpr int kGridColumnWidths[3] = {30, 139, 128};

QLabel* caption(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    return ctl::MakeText<QLabel>(parent, name, text, x, y, w, 20);
}

// "Reads as a whole number": an optional sign followed by decimal digits only.
bool IsWholeNumber(const QByteArray& s)
{
    int i = 0;
    if (!s.isEmpty() && (s[0] == '+' || s[0] == '-'))
        i = 1;
    if (i >= s.size())
        return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

// A box's own enabled state. The toolkit marks every child of a disabled parent as
// disabled too, and the main window is disabled while settings are read: a phone's
// outputs must not be read as "not ticked" only because the window was busy.
bool OwnEnabled(const QWidget* w)
{
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

} // namespace

QString TForm1::HeldRowText()
{
    const QString held = LangMessage(kHeldRowMessage);
    return held.isEmpty() ? QString::fromLatin1(kHeldRowText) : held;
}

// ---- building ---------------------------------------------------------------------------------

void TForm1::BuildOutputsPage(QWidget* page, int top)
{
    const char* groups[4] = {"TntGroupBox4", "TntGroupBox11", "TntGroupBox12", "TntGroupBox13"};
    const char* groupCaptions[4] = {"OC 1", "OC 2", "Relay 1", "Relay 2"};
    const char* combos[4] = {"ComboBox24", "ComboBox25", "ComboBox26", "ComboBox27"};
    const char* pulses[4] = {"TntRadioButton1", "TntRadioButton3", "TntRadioButton5", "TntRadioButton7"};
    const char* seconds[4] = {"TntRadioButton2", "TntRadioButton4", "TntRadioButton6", "TntRadioButton8"};
    const char* pickers[4] = {"DaTiDuration1", "DaTiDuration2", "DaTiDuration3", "DaTiDuration4"};
    const char* durations[4] = {"Label64", "Label67", "Label70", "Label73"};
    const char* formats[4] = {"Label65", "Label68", "Label71", "Label74"};
    const char* params[4] = {"TntLabel69", "TntLabel70", "TntLabel71", "TntLabel72"};
    const char* nameLabels[4] = {"TntLabel14", "TntLabel15", "TntLabel16", "TntLabel17"};
    const char* nameEdits[4] = {"Edit21", "Edit22", "Edit23", "Edit24"};
    const char* sirens[4] = {"TntCheckBox34", "TntCheckBox35", "TntCheckBox36", "TntCheckBox37"};
    const char* spins[4] = {"SpinEdit41", "SpinEdit42", "SpinEdit43", "SpinEdit44"};

    constexpr int rowHeight = 100;
    constexpr int rowGap = 8;
    for (int i = 0; i < OutputCount; ++i) {
        auto* g = Make<QGroupBox>(page, groups[i], 16, top + 4 + i * (rowHeight + rowGap), 722, rowHeight);
        g->setTitle(QString::fromLatin1(groupCaptions[i]));

        OutputCombo[i] = Make<QComboBox>(g, combos[i], 16, 30, 190, 24);
        ParametersLabel[i] = caption(g, params[i], QStringLiteral("Parameters:"), 230, 32, 100);
        PulseRadio[i] = Make<QRadioButton>(g, pulses[i], 336, 32, 150, 20);
        PulseRadio[i]->setText(QStringLiteral("Pulse"));
        PulseRadio[i]->setChecked(true);
        SecondRadio[i] = Make<QRadioButton>(g, seconds[i], 496, 32, 200, 20);
        SecondRadio[i]->setText(QStringLiteral("Biswitch"));

        DurationLabel[i] = caption(g, durations[i], QStringLiteral("Duration:"), 336, 64, 100);
        DaTiDuration[i] = Make<QTimeEdit>(g, pickers[i], 440, 62, 90, 24);
        DaTiDuration[i]->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        DaTiDuration[i]->setTime(QTime(0, 0, 1));
        ctl::SetTag(DaTiDuration[i], kPulseLimit);
        TimeFormatLabel[i] = caption(g, formats[i], QStringLiteral("val:min:sec"), 540, 64, 170);

        // Controls of functions this page does not offer: they stay hidden.
        OutputNameLabel[i] = caption(g, nameLabels[i], QStringLiteral("Output name:"), 16, 64, 90);
        OutputNameEdit[i] = Make<QLineEdit>(g, nameEdits[i], 110, 62, 120, 22);
        SirenBox[i] = Make<QCheckBox>(g, sirens[i], 16, 64, 200, 20);
        SirenBox[i]->setText(QStringLiteral("Siren confirmation"));
        OutputSpin[i] = Make<TSpinEdit>(g, spins[i], 240, 62, 70, 22);
        OutputSpin[i]->setRange(0, kPulseLimit);
        for (QWidget* w : std::initializer_list<QWidget*>{OutputNameLabel[i], OutputNameEdit[i], SirenBox[i],
                                                          OutputSpin[i]})
            w->hide();

        QComboBox* c = OutputCombo[i];
        connect(c, &QComboBox::activated, this, [this, c, i] {
            Guard([this, c, i] {
                outputRowHeld_[i] = false;
                AskToRemoveOutputFromPhones(i);
                ComboBox24Change(c);
            });
        });
        for (QRadioButton* r : {PulseRadio[i], SecondRadio[i]})
            connect(r, &QRadioButton::clicked, this, [this, r, i] {
                Guard([this, r, i] {
                    outputRowHeld_[i] = false;
                    TntRadioButton1Click(r);
                });
            });
        QTimeEdit* t = DaTiDuration[i];
        connect(t, &QTimeEdit::timeChanged, this, [this, t, i] {
            Guard([this, t, i] {
                // Only the user changes a picker while its row shows a function the row
                // cannot offer (the record then left the row as it was).
                outputRowHeld_[i] = false;
                DaTiDuration1Change(t);
            });
        });
    }
    TntGroupBox4 = findChild<QGroupBox*>(QStringLiteral("TntGroupBox4"));
    TntGroupBox11 = findChild<QGroupBox*>(QStringLiteral("TntGroupBox11"));
    TntGroupBox12 = findChild<QGroupBox*>(QStringLiteral("TntGroupBox12"));
    TntGroupBox13 = findChild<QGroupBox*>(QStringLiteral("TntGroupBox13"));

    FillOutputFunctionCombos(true);
    InitOutputTable();
    // The row references point into this page: forget them when it goes.
    // (Compared by address only: the controls may be gone already.)
    const std::array<const void*, 4> rowCombos{OutputCombo[0], OutputCombo[1], OutputCombo[2], OutputCombo[3]};
    connect(page, &QObject::destroyed, [rowCombos] {
        for (int i = 0; i < OutputCount; ++i)
            if (OutputTable[i].Row.FunctionCombo == rowCombos[i])
                OutputTable[i].Row = TOutputRowControls();
    });
}

void TForm1::BuildRemoteControlPage(QWidget* page, int top)
{
    TntPanel16 = Make<QFrame>(page, "TntPanel16", 8, top, 738, 434);

    StringGrid2 = Make<QTableWidget>(TntPanel16, "StringGrid2", 8, 8, 322, 418);
    StringGrid2->setColumnCount(3);
    StringGrid2->setRowCount(RemotePhonesOnModule);
    StringGrid2->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("Phone number"),
                                            QStringLiteral("Outputs")});
    for (int c = 0; c < 3; ++c)
        StringGrid2->setColumnWidth(c, kGridColumnWidths[c]);
    StringGrid2->verticalHeader()->hide();
    StringGrid2->verticalHeader()->setDefaultSectionSize(20);
    StringGrid2->horizontalHeader()->setStretchLastSection(true);
    StringGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < RemotePhonesOnModule; ++r)
        for (int c = 0; c < 3; ++c)
            StringGrid2->setItem(r, c, new QTableWidgetItem());
    connect(StringGrid2, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        Guard([this, row] { StringGrid2SelectCell(row + 1); });
    });

    TntLabel97 = caption(TntPanel16, "TntLabel97", QStringLiteral("Phone number:"), 346, 8, 200);
    Edit12 = Make<QLineEdit>(TntPanel16, "Edit12", 346, 30, 180, 24);
    fields::Install(Edit12, TField::OutputNumber);

    TntGroupBox18 = Make<QGroupBox>(TntPanel16, "TntGroupBox18", 346, 62, 380, 84);
    TntGroupBox18->setTitle(QStringLiteral("Outputs"));
    TntCheckBox2 = Make<QCheckBox>(TntGroupBox18, "TntCheckBox2", 12, 24, 170, 20);
    TntCheckBox2->setText(QStringLiteral("OC1 (1)"));
    TntCheckBox4 = Make<QCheckBox>(TntGroupBox18, "TntCheckBox4", 12, 52, 170, 20);
    TntCheckBox4->setText(QStringLiteral("OC2 (2)"));
    TntCheckBox11 = Make<QCheckBox>(TntGroupBox18, "TntCheckBox11", 196, 24, 170, 20);
    TntCheckBox11->setText(QStringLiteral("Relay 1 (3)"));
    TntCheckBox14 = Make<QCheckBox>(TntGroupBox18, "TntCheckBox14", 196, 52, 170, 20);
    TntCheckBox14->setText(QStringLiteral("Relay 2 (4)"));

    TntButton16 = Make<QPushButton>(TntPanel16, "TntButton16", 346, 156, 110, 28);
    TntButton16->setText(QStringLiteral("Save"));
    TntButton17 = Make<QPushButton>(TntPanel16, "TntButton17", 466, 156, 110, 28);
    TntButton17->setText(QStringLiteral("Delete"));
    connect(TntButton16, &QPushButton::clicked, this, [this] { Guard([this] { TntButton16Click(); }); });
    connect(TntButton17, &QPushButton::clicked, this, [this] { Guard([this] { TntButton17Click(); }); });

    TntLabel9 = caption(TntPanel16, "TntLabel9", QStringLiteral("Examples of output control"), 346, 198, 380);
    QFont f = TntLabel9->font();
    f.setUnderline(true);
    TntLabel9->setFont(f);
    TntMemo1 = Make<QPlainTextEdit>(TntPanel16, "TntMemo1", 346, 220, 384, 206);
    TntMemo1->setReadOnly(true);
    QStringList examples;
    for (const char* line : kExampleLines)
        examples << QString::fromLatin1(line);
    TntMemo1->setPlainText(examples.join(QLatin1Char('\n')));
    ctl::SetHint(TntLabel9, examples.join(QLatin1Char('\n')));
    ctl::SetShowHint(TntLabel9, true);
    TntMemo1->moveCursor(QTextCursor::Start);

    FillPGMGrid();
    ShowPGMRow(0);
    ApplyOutputsRuntimeTexts();
}

void TForm1::InitOutputTable()
{
    for (int i = 0; i < OutputCount; ++i) {
        TOutputRowControls& r = OutputTable[i].Row;
        r.FunctionCombo = OutputCombo[i];
        r.FunctionItems.clear();
        for (const char* t : kFunctionTexts)
            r.FunctionItems << QString::fromLatin1(t);
        r.PulseRadio = PulseRadio[i];
        r.SecondRadio = SecondRadio[i];
        r.Spin = OutputSpin[i];
        r.Labels = {DurationLabel[i], TimeFormatLabel[i], OutputNameLabel[i]};
        r.NameEdit = OutputNameEdit[i];
        r.SirenBox = SirenBox[i];
        r.RowGroupBox = qobject_cast<QGroupBox*>(OutputCombo[i] ? OutputCombo[i]->parentWidget() : nullptr);
        r.Label = ParametersLabel[i];
        r.DurationPicker = DaTiDuration[i];
    }
}

void TForm1::FillOutputFunctionCombos(bool reset)
{
    for (int i = 0; i < OutputCount; ++i) {
        QComboBox* c = OutputCombo[i];
        if (!c)
            continue;
        // A row showing no function (one the page does not offer) keeps showing none.
        const int keep = outputRowHeld_[i] ? -1 : reset ? 0 : c->currentIndex();
        QSignalBlocker block(c);
        c->clear();
        c->setPlaceholderText(HeldRowText());
        QStringList items;
        for (int k = 0; k < 4; ++k) {
            QString text = LangMessage(97 + k);
            if (text.isEmpty())
                text = QString::fromLatin1(kFunctionTexts[k]);
            c->addItem(text, k);
            items << text;
        }
        c->setCurrentIndex(keep);
        OutputTable[i].Row.FunctionItems = items;
    }
}

void TForm1::ApplyOutputsRuntimeTexts()
{
    if (StringGrid2) {
        for (int c = 0; c < 3; ++c) {
            const QString t = LangMessage(40 + c);
            QTableWidgetItem* h = StringGrid2->horizontalHeaderItem(c);
            if (!t.isEmpty() && h && h->text() != t)
                h->setText(t);
        }
    }
    if (TntLabel9 && !LangMessage(44).isEmpty()) {
        const QString lf = QStringLiteral("\n");
        const QString in = QStringLiteral("\n   ");
        const QString hint = LangMessage(44) + in + LangMessage(45) + in + LangMessage(46) + in
                             + LangMessage(47) + lf + lf + LangMessage(48) + in + LangMessage(49) + in
                             + LangMessage(50) + in + LangMessage(51) + lf + lf + LangMessage(52);
        ctl::SetHint(TntLabel9, hint);
        ctl::SetShowHint(TntLabel9, true);
    }
    if (TntMemo1 && !LangMessage(44).isEmpty()) {
        TntMemo1->clear();
        for (int i = 0; i <= 8; ++i) {
            const bool indent = i == 1 || i == 2 || i == 3 || i == 5 || i == 6 || i == 7;
            TntMemo1->appendPlainText((indent ? QStringLiteral("     ") : QString()) + LangMessage(44 + i));
            if (i == 3 || i == 7)
                TntMemo1->appendPlainText(QString());
        }
        TntMemo1->moveCursor(QTextCursor::Start);
    }
    if (TimeFormatLabel[0] && !GetLangText(83).isEmpty())
        TimeFormatLabel[0]->setText(GetLangText(83) + QLatin1Char(':') + GetLangText(84) + QLatin1Char(':')
                                    + GetLangText(85));
    // Rows 2..4 take the texts of row 1.
    for (int i = 1; i < OutputCount; ++i) {
        if (!PulseRadio[i] || !PulseRadio[0])
            continue;
        for (auto pair : {std::pair<QRadioButton*, QRadioButton*>{PulseRadio[i], PulseRadio[0]},
                          std::pair<QRadioButton*, QRadioButton*>{SecondRadio[i], SecondRadio[0]}}) {
            pair.first->setText(pair.second->text());
            ctl::SetHint(pair.first, ctl::Hint(pair.second));
            ctl::SetShowHint(pair.first, ctl::ShowHint(pair.second));
        }
        DurationLabel[i]->setText(DurationLabel[0]->text());
        TimeFormatLabel[i]->setText(TimeFormatLabel[0]->text());
        OutputNameLabel[i]->setText(OutputNameLabel[0]->text());
        SirenBox[i]->setText(SirenBox[0]->text());
        ParametersLabel[i]->setText(ParametersLabel[0]->text());
    }
}

// ---- rows -------------------------------------------------------------------------------------

int TForm1::OutputFunctionCode(int index) const
{
    if (index < 0 || index >= OutputCount || !OutputCombo[index])
        return 0;
    const QComboBox* c = OutputCombo[index];
    const int item = c->currentIndex();
    if (item < 0)
        return 0;
    bool ok = false;
    const int code = c->itemData(item).toInt(&ok);
    return ok ? code : item;
}

void TForm1::ApplyOutputRecord(int index)
{
    if (!IsOutputIndex(index) || !OutputCombo[index])
        return;
    const TOutputRecord& rec = OutputTable[index];
    const TOutputCRControls bits = DecodeOutputCR(rec.CR);
    QComboBox* c = OutputCombo[index];
    int item = -1;
    for (int k = 0; k < c->count(); ++k) {
        bool ok = false;
        const int v = c->itemData(k).toInt(&ok);
        if ((ok ? v : k) == bits.FunctionCode) {
            item = k;
            break;
        }
    }
    // A function the row does not offer: the row shows no function and no parameters
    // (its combo says it is not editable here), and the next write sends the record as
    // it came, not the row's.
    outputRowHeld_[index] = item < 0;
    {
        QSignalBlocker block(c);
        c->setCurrentIndex(item);
    }
    if (item >= 0) {
        PulseRadio[index]->setChecked(bits.Pulse);
        SecondRadio[index]->setChecked(!bits.Pulse);
        // The picker's one-second floor is for the user's edits: a length of 0 that the
        // module holds is shown and written back as 0.
        QSignalBlocker block(DaTiDuration[index]);
        DaTiDuration[index]->setTime(SecondsToTime(rec.ImpLength));
    }
    ShowPulseControls(index);
}

bool TForm1::OutputRowShown(int index) const
{
    return IsOutputIndex(index) && !GatedOff(WPage[4]) && !GatedOff(OutputTable[index].Row.RowGroupBox);
}

TOutputRecord TForm1::BuildOutputRecord(int index)
{
    TOutputRecord r;
    if (!IsOutputIndex(index))
        return r;
    // A row nobody sees or can edit goes back as it came: what its controls were made to
    // hold (the forced pulse of functions 1 to 3) is for rows the user sees.
    if (!OutputCombo[index] || outputRowHeld_[index] || !OutputRowShown(index)) {
        r.CR = OutputTable[index].CR;
        r.ImpLength = OutputTable[index].ImpLength;
        return r;
    }
    r.CR = BuildOutputCR({OutputFunctionCode(index), PulseRadio[index]->isChecked(), false}, OutputTable[index].CR);
    r.ImpLength = static_cast<std::uint16_t>(TimeToSeconds(DaTiDuration[index]->time()));
    return r;
}

void TForm1::RefreshOutputRows()
{
    for (int i = 0; i < OutputCount; ++i) {
        if (!OutputCombo[i])
            continue;
        ComboBox24Change(OutputCombo[i]);
        TntRadioButton1Click(PulseRadio[i]);
    }
}

void TForm1::ComboBox24Change(QObject* sender)
{
    OutputFunctionChanged(FindOutputByCombo(sender));
}

void TForm1::TntRadioButton1Click(QObject* sender)
{
    bool second = false;
    ShowPulseControls(FindOutputByRadio(sender, second));
}

int TForm1::FindOutputByCombo(const QObject* combo) const
{
    for (int i = 0; i < OutputCount; ++i)
        if (OutputCombo[i] == combo)
            return i;
    return OutputCount - 1;
}

int TForm1::FindOutputByRadio(const QObject* radio, bool& isSecond) const
{
    isSecond = false;
    for (int i = 0; i < OutputCount; ++i) {
        if (PulseRadio[i] == radio)
            return i;
        if (SecondRadio[i] == radio) {
            isSecond = true;
            return i;
        }
    }
    return OutputCount - 1;
}

void TForm1::OutputFunctionChanged(int o)
{
    if (o < 0 || o >= OutputCount || !OutputCombo[o])
        return;
    const int code = OutputFunctionCode(o);
    ctl::SetTag(DaTiDuration[o], kPulseLimit);

    if (code == 0) {
        SecondRadio[o]->setEnabled(true);
    } else if (code >= 1 && code <= 3) {
        SecondRadio[o]->setEnabled(false);
        SecondRadio[o]->setChecked(false);
        PulseRadio[o]->setChecked(true);
        // Choosing "Pulse" runs its click handler, which shows the pulse length.
        TntRadioButton1Click(PulseRadio[o]);
    }
    SirenBox[o]->hide();
    OutputNameLabel[o]->hide();
    OutputNameEdit[o]->hide();

    QCheckBox* remote[4] = {TntCheckBox2, TntCheckBox4, TntCheckBox11, TntCheckBox14};
    for (int i = 0; i < OutputCount; ++i)
        if (remote[i] && OutputCombo[i])
            remote[i]->setEnabled(OutputCombo[i]->currentIndex() == 0);

    ShowPGMRow(SelectedPGMSlot());
    ShowPulseControls(o); // a row that shows a function again shows its parameters
}

void TForm1::AskToRemoveOutputFromPhones(int o)
{
    if (o < 0 || o >= OutputCount || !OutputCombo[o] || OutputFunctionCode(o) == 0)
        return;
    QByteArray list;
    if (!ListOutputControlPhones(o, list) || (Link() && Link()->ReadingAll))
        return;
    const QString text = GetLangText(109) + QStringLiteral("\r\n\r\n") + LangToUnicode(list);
    // The phones listed are those of the module connected now.
    const TModuleAtHand asked = ModuleAtHand();
    if (WideMessagedlg(text, ui::MsgType::Warning, {ui::MsgButton::Yes, ui::MsgButton::No}) == ui::MsgButton::Yes &&
        AnswerMayAct(asked, TAnswerUse::RemoveOutput))
        RemoveOutputFromPhones(o);
}

void TForm1::ShowPulseControls(int o)
{
    if (o < 0 || o >= OutputCount || !PulseRadio[o])
        return;
    // A row whose function the page does not offer shows no parameters.
    const bool editable = !outputRowHeld_[o];
    for (QWidget* w : std::initializer_list<QWidget*>{ParametersLabel[o], PulseRadio[o], SecondRadio[o]})
        w->setVisible(editable);
    const bool pulse = editable && PulseRadio[o]->isChecked();
    DaTiDuration[o]->setVisible(pulse);
    DurationLabel[o]->setVisible(pulse);
    TimeFormatLabel[o]->setVisible(pulse);
}

void TForm1::DaTiDuration1Change(QObject* sender)
{
    try {
        auto* t = qobject_cast<QTimeEdit*>(sender);
        if (!t)
            return;
        const QTime v = t->time();
        const int s = v.hour() * 3600 + v.minute() * 60 + v.second();
        const int limit = ctl::Tag(t);
        if (s > limit)
            t->setTime(SecondsToTime(limit));
        if (s == 0)
            t->setTime(QTime(0, 0, 1));
    } catch (...) {
        // A picker that cannot be read keeps what it shows.
    }
}

// ---- phones that switch outputs -------------------------------------------------------------

QByteArray TForm1::TrimRightBlanks(const QByteArray& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return s.left(n);
}

int TForm1::SelectedPGMSlot() const
{
    if (!StringGrid2)
        return -1;
    const int r = StringGrid2->currentRow();
    return r >= 0 && r < RemotePhonesOnModule ? r : -1;
}

void TForm1::FillPGMGrid()
{
    if (!StringGrid2)
        return;
    for (int s = 0; s < RemotePhonesOnModule; ++s) {
        const TRemotePhoneRecord& p = RemotePhones[s];
        QString outputs;
        for (int o = 0; o < OutputCount; ++o)
            if (p.PGMPnCR & PGMOutputBit(o))
                outputs += QString::number(o + 1) + QLatin1Char(',');
        const QString cells[3] = {QString::number(s + 1), LangToUnicode(p.Number), outputs};
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* it = StringGrid2->item(s, c);
            if (!it) {
                it = new QTableWidgetItem();
                StringGrid2->setItem(s, c, it);
            }
            if (it->text() != cells[c])
                it->setText(cells[c]);
        }
    }
}

void TForm1::ShowPGMRow(int slot)
{
    if (!StringGrid2 || slot < 0 || slot >= RemotePhonesOnModule)
        return;
    {
        QSignalBlocker block(StringGrid2);
        StringGrid2->setCurrentCell(slot, 0);
        StringGrid2->selectRow(slot);
    }
    const TRemotePhoneRecord& p = RemotePhones[slot];
    QCheckBox* remote[4] = {TntCheckBox2, TntCheckBox4, TntCheckBox11, TntCheckBox14};
    for (int o = 0; o < OutputCount; ++o)
        if (remote[o])
            remote[o]->setChecked((p.PGMPnCR & PGMOutputBit(o)) != 0 && OwnEnabled(remote[o]));
    const QByteArray number = p.Number;
    Edit12->setText(!number.isEmpty() && IsWholeNumber(number) ? LangToUnicode(number) : QString());
}

void TForm1::StringGrid2SelectCell(int row)
{
    ShowPGMRow(row - 1);
    if (Edit12)
        Edit12->setFocus();
}

std::uint8_t TForm1::PGMBitsGatedOff() const
{
    const QCheckBox* remote[4] = {TntCheckBox2, TntCheckBox4, TntCheckBox11, TntCheckBox14};
    std::uint8_t bits = 0;
    for (int o = 0; o < OutputCount; ++o)
        if (GatedOff(remote[o]))
            bits |= PGMOutputBit(o);
    return bits;
}

void TForm1::TntButton16Click()
{
    const int s = SelectedPGMSlot();
    if (s < 0)
        return;
    QCheckBox* remote[4] = {TntCheckBox2, TntCheckBox4, TntCheckBox11, TntCheckBox14};
    std::uint8_t mask = 0;
    // The bits no box shows (a hidden or disabled box, and those of no output) go back as
    // the slot holds them.
    std::uint8_t shown = 0;
    for (int o = 0; o < OutputCount; ++o) {
        if (!remote[o] || !ctl::Visible(remote[o]) || !OwnEnabled(remote[o]))
            continue;
        shown |= PGMOutputBit(o);
        if (remote[o]->isChecked())
            mask |= PGMOutputBit(o);
    }
    // The number as the rule of every phone number takes it, as the users list does.
    const QByteArray number = LangFromUnicode(fields::Typed(TField::OutputNumber, Edit12->text()));

    if (!number.isEmpty() && mask == 0) {
        WideMessagedlg(GetLangText(108), ui::MsgType::Error, {ui::MsgButton::OK});
        return;
    }
    // One phone in two slots: the same digits, whatever stands between them.
    if (NormalMode && !number.isEmpty()) {
        for (int j = 0; j < RemotePhoneCount; ++j) {
            if (j != s && SamePhoneNumber(RemotePhones[j].Number, number)) {
                WideMessagedlg(GetLangText(81), ui::MsgType::Error, {ui::MsgButton::OK});
                setEnabled(true);
                if (Edit12) {
                    Edit12->setFocus();
                    Edit12->selectAll();
                }
                return;
            }
        }
    }
    if (!number.isEmpty())
        StoreRemotePhone(s, static_cast<std::uint8_t>(mask | (RemotePhones[s].PGMPnCR & ~shown)), number);
    else
        StoreRemotePhone(s, 0, QByteArray());
    FillPGMGrid();
}

void TForm1::TntButton17Click()
{
    const int s = SelectedPGMSlot();
    if (s < 0)
        return;
    StoreRemotePhone(s, 0, QByteArray());
    FillPGMGrid();
    ShowPGMRow(s);
}

bool TForm1::ListOutputControlPhones(int output, QByteArray& list) const
{
    list.clear();
    const std::uint8_t bit = PGMOutputBit(output);
    bool any = false;
    for (const TRemotePhoneRecord& p : RemotePhones) {
        if (bit && (p.PGMPnCR & bit)) {
            list += p.Number + "; ";
            any = true;
        }
    }
    return any;
}

void TForm1::RemoveOutputFromPhones(int output)
{
    const std::uint8_t bit = PGMOutputBit(output);
    for (int j = 0; j < RemotePhoneCount; ++j) {
        const TRemotePhoneRecord p = RemotePhones[j];
        if (!bit || !(p.PGMPnCR & bit))
            continue;
        const std::uint8_t mask = static_cast<std::uint8_t>(p.PGMPnCR & ~bit);
        StoreRemotePhone(j, mask, mask == 0 ? QByteArray() : p.Number);
    }
    FillPGMGrid();
}
