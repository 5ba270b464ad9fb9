// The summary page: a read-only, formatted account of the configuration the window
// holds (users, channels, inputs, outputs, remote control, security, modem), built anew
// from the tables and the pages' controls each time the page is entered, and printed on
// request. Labels are the controls' own captions, so the summary follows the language.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "platform/UiDialogs.h"
#include "widgets/Colors.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextEdit>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr colors::TColor kItemColor = 0xFF0000; // blue in $00BBGGRR
const QString kTab = QStringLiteral("\t");
const QString kTab2 = QStringLiteral("\t\t");
const QString kTab3 = QStringLiteral("\t\t\t");
// Opens each section.
const QByteArray kSeparator(114, '_');

// Every paragraph of the summary carries its tab stops: 50, 100 and 350 pixels.
QTextBlockFormat paragraphFormat()
{
    QList<QTextOption::Tab> tabs;
    for (int px : {50, 100, 350})
        tabs << QTextOption::Tab(px, QTextOption::LeftTab);
    QTextBlockFormat f;
    f.setTabPositions(tabs);
    return f;
}

QString caption(const QWidget* w)
{
    if (!w)
        return QString();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return QString();
}

// A label ends in one colon, whether or not its caption already has it.
QString withColon(const QString& label)
{
    return label.endsWith(QLatin1Char(':')) ? label : label + QLatin1Char(':');
}

QString text(const QLineEdit* e) { return e ? e->text() : QString(); }
// A combo without a choice says what its placeholder says.
QString text(const QComboBox* c) { return c ? (c->currentIndex() < 0 ? c->placeholderText() : c->currentText()) : QString(); }
bool ticked(const QAbstractButton* b) { return b && b->isChecked(); }
int indexOf(const QComboBox* c) { return c ? c->currentIndex() : 0; }

// The wheel over the summary scrolls the summary alone.
class SummaryWheelFilter : public QObject {
public:
    SummaryWheelFilter(TForm1* form, QObject* parent) : QObject(parent), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::Wheel)
            return QObject::eventFilter(watched, e);
        auto* we = static_cast<QWheelEvent*>(e);
        bool handled = false;
        form_->Guard([&] {
            form_->Memo_SummMouseWheel(we->modifiers(), we->angleDelta().y(), we->position().toPoint(), handled);
        });
        if (handled)
            we->accept();
        return handled;
    }

private:
    TForm1* form_;
};

// The output steps of the summary. Lines added as plain text start a new line of their
// own; styled segments either start a new line or go on the current one.
class SummaryWriter {
public:
    explicit SummaryWriter(TForm1& form) : f_(form) {}

    void Line(const QString& s)
    {
        QTextCursor c(f_.Memo_Summ->document());
        c.movePosition(QTextCursor::End);
        if (!f_.Memo_Summ->document()->isEmpty())
            c.insertBlock(paragraphFormat());
        QTextCharFormat plain;
        plain.setForeground(colors::ToQColor(colors::clBlack));
        c.insertText(s, plain);
    }
    void Blank() { Line(QStringLiteral(" ")); }
    void Separator() { Line(QString::fromLatin1(kSeparator)); }
    void Heading(const QString& s) { f_.AppendSummaryText(TForm1::fsUnderline, colors::clBlack, s, true); }
    void Item(const QString& s) { f_.AppendSummaryText(0, kItemColor, s, true); }
    void Label(const QString& s) { f_.AppendSummaryText(TForm1::fsBold, colors::clBlack, s, true); }
    void Value(const QString& s) { f_.AppendSummaryText(0, colors::clBlack, s, false); }
    void PlainLine(const QString& s) { f_.AppendSummaryText(0, colors::clBlack, s, true); }
    void LabelValue(const QString& label, const QString& value)
    {
        Label(label);
        Value(value);
    }
    // A section's first three steps.
    void Open(const QString& heading)
    {
        Separator();
        Blank();
        Heading(heading);
    }

private:
    TForm1& f_;
};

} // namespace

// ---- the page ---------------------------------------------------------------------------

void TForm1::BuildSummaryPage(QWidget* page)
{
    Memo_Summ = new QTextEdit(page);
    Memo_Summ->setObjectName(QStringLiteral("Memo_Summ"));
    Memo_Summ->setFrameShape(QFrame::NoFrame);
    Memo_Summ->setReadOnly(true);
    Memo_Summ->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_Summ->setTabChangesFocus(false);
    Memo_Summ->setLineWrapMode(QTextEdit::NoWrap);
    // Below the page's header, whatever height the header has.
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo_Summ);
    Memo_Summ->viewport()->installEventFilter(new SummaryWheelFilter(this, Memo_Summ));

    // The caption of the (hidden) mode buttons on the main screen, for the summary's
    // first line.
    TntLabel32 = ctl::MakeText<QLabel>(TntTabSheet4, "TntLabel32", QStringLiteral("VEQ Type"), 24, 220, 230, 18);
    TntLabel32->hide();
}

void TForm1::AppendSummaryText(std::uint8_t style, std::int32_t color, const QString& text, bool newLine)
{
    QTextCursor c(Memo_Summ->document());
    c.movePosition(QTextCursor::End);
    if (newLine)
        c.insertBlock(paragraphFormat());
    QTextCharFormat fmt;
    fmt.setFontWeight((style & fsBold) ? QFont::Bold : QFont::Normal);
    fmt.setFontItalic((style & fsItalic) != 0);
    fmt.setFontUnderline((style & fsUnderline) != 0);
    fmt.setFontStrikeOut((style & fsStrikeOut) != 0);
    fmt.setForeground(colors::ToQColor(color));
    c.insertText(text, fmt);
    // The summary is written in one go: no window message is handled in between, so
    // neither the user nor a timer nor the module can change what is being summarised
    // or start another summary half-way through.
}

QString TForm1::FormatDuration(const QTime& time) const
{
    const QStringList parts = time.toString(QStringLiteral("hh\tmm\tss")).split(QLatin1Char('\t'));
    auto part = [&parts](int i) {
        bool ok = false;
        const int v = i < parts.size() ? parts[i].toInt(&ok) : 0;
        return ok ? v : 0;
    };
    const int hours = part(0), minutes = part(1), seconds = part(2);
    QString result;
    if (hours > 0)
        result = QStringLiteral(" %1 ").arg(hours) + GetLangText(83);
    if (minutes > 0)
        result += QStringLiteral(" %1 ").arg(minutes) + GetLangText(84);
    result += QStringLiteral(" %1 ").arg(seconds) + GetLangText(85);
    return result;
}

// ---- building ----------------------------------------------------------------------------

void TForm1::BuildSummary()
{
    if (!Memo_Summ || SummaryBuilding)
        return;
    SummaryBuilding = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{SummaryBuilding};

    SummaryWriter w(*this);
    const bool locked = VEQ2 && VEQ2->GPRSLocked;
    // The inputs' "SMS" hints with the names and phrases as they now read.
    RefreshInputNames();

    // Start.
    Memo_Summ->clear();
    QTextCursor(Memo_Summ->document()).setBlockFormat(paragraphFormat());
    w.PlainLine(QStringLiteral(" "));
    w.Line(kTab + withColon(caption(TntLabel32)) + kTab + caption(TntRadioButton10));

    // Users.
    if (std::any_of(UserPhones.begin(), UserPhones.end(), [](const TUserPhoneRecord& u) { return !u.PhoneNr.isEmpty(); })) {
        struct Flag {
            bool additional;
            std::uint8_t mask;
            QCheckBox* box;
        };
        const Flag flags[] = {
            {false, 0x01, TntCheckBox5},  {false, 0x02, TntCheckBox6},  {false, 0x04, TntCheckBox7},
            {false, 0x08, TntCheckBox8},  {false, 0x10, TntCheckBox22}, {false, 0x20, TntCheckBox9},
            {false, 0x40, TntCheckBox23}, {false, 0x80, TntCheckBox24}, {true, 0x01, TntCheckBox29},
            {true, 0x02, TntCheckBox30},  {true, 0x04, TntCheckBox31},  {true, 0x08, TntCheckBox32},
            {true, 0x10, TntCheckBox38},  {true, 0x20, TntCheckBox39},
        };
        w.Open(LangMessage(75));
        for (const TUserPhoneRecord& u : UserPhones) {
            if (u.PhoneNr.isEmpty())
                continue;
            w.Blank();
            w.Label(kTab2 + LangToUnicode(u.PhoneNr) + QStringLiteral(":") + kTab);
            bool first = true;
            for (const Flag& fl : flags) {
                if (!((fl.additional ? u.PnAddCR : u.PnCR) & fl.mask))
                    continue;
                QString t = caption(fl.box);
                if (fl.box == TntCheckBox24 && ticked(TntCheckBox27))
                    t += QStringLiteral(" (") + caption(TntCheckBox27) + QStringLiteral(");");
                else
                    t += QStringLiteral(";");
                if (first)
                    w.Value(t);
                else
                    w.Line(kTab3 + t);
                first = false;
            }
        }
        w.Blank();
        w.Line(kTab2 + caption(Label97) + kTab + text(Edit13));
    }

    // Reporting channels.
    if (indexOf(ComboBox4) != 0 || indexOf(ComboBox2) != 0) {
        w.Open(withColon(LangMessage(57)));
        if (locked) {
            w.Blank();
            w.Label(kTab2 + caption(TntGroupBox14) + kTab);
            w.LabelValue(kTab2 + caption(Label45) + kTab, text(Edit11));
            w.Blank();
            w.Label(kTab2 + caption(TntGroupBox15) + kTab);
            w.LabelValue(kTab2 + caption(TntLabel57) + kTab, text(Edit6));
        } else {
            struct Channel {
                QComboBox* use;
                QGroupBox* box;
                QLineEdit* address;
                QLineEdit* port;
                QLabel* protocolLabel;
                QComboBox* protocol;
                QLabel* accountLabel;
                QLineEdit* account;
            };
            const Channel channels[] = {
                {ComboBox4, TntGroupBox14, Edit1, TntEdit2, Label44, ComboBox1, Label45, Edit11},
                {ComboBox2, TntGroupBox15, Edit5, TntEdit3, TntLabel56, ComboBox3, TntLabel57, Edit6},
            };
            for (const Channel& ch : channels) {
                if (indexOf(ch.use) == 0)
                    continue;
                w.Blank();
                w.LabelValue(kTab2 + caption(ch.box) + kTab, text(ch.use));
                w.LabelValue(kTab2 + withColon(LangMessage(76)) + kTab,
                             text(ch.address) + QStringLiteral(":") + text(ch.port));
                w.LabelValue(kTab2 + caption(ch.protocolLabel) + kTab, text(ch.protocol));
                w.LabelValue(kTab2 + caption(ch.accountLabel) + kTab, text(ch.account));
            }
            w.Blank();
            w.LabelValue(kTab2 + caption(Label6) + kTab, text(Edit2));
            w.LabelValue(kTab2 + caption(Label7) + kTab, text(Edit3));
            w.LabelValue(kTab2 + caption(Label8) + kTab, text(Edit4));
            if (ticked(TntCheckBox13)) {
                w.Blank();
                w.Line(kTab2 + withColon(caption(TntCheckBox13)) + kTab + QString::number(SpinEdit3->Value()) +
                       QStringLiteral(" ") + caption(Label46));
            }
            if (ticked(TntCheckBox33)) {
                w.Blank();
                w.Line(kTab2 + withColon(caption(TntCheckBox33)) + kTab + text(TntEdit4));
            }
        }
    }

    // Inputs.
    const auto inputUsed = [](const TInputRecord& in) { return indexOf(in.Row.FunctionCombo) != 0; };
    if (std::any_of(InputTable.begin(), InputTable.end(), inputUsed)) {
        w.Open(withColon(LangMessage(59)));
        for (const TInputRecord& in : InputTable) {
            const TInputRowControls& r = in.Row;
            const int function = indexOf(r.FunctionCombo);
            if (function == 0)
                continue;
            w.Blank();
            w.Item(kTab + caption(r.RowGroupBox) + QStringLiteral(" - ") + text(r.FunctionCombo));
            QLabel* smsLabel = r.HintLabel; // the row's "SMS" label
            if (function == 1) {
                w.Label(kTab2 + QStringLiteral("CID:") + kTab);
                w.Value(text(r.CIDFunctionCombo) +
                        (ticked(r.RestoreBox) ? QStringLiteral(" ") + LangMessage(77) : QString()));
                if (smsLabel && ctl::ShowHint(smsLabel))
                    w.LabelValue(kTab2 + caption(smsLabel) + kTab, ctl::Hint(smsLabel));
            } else if (function == 2) {
                // The text the module holds, as its edit shows it once committed.
                if (!in.SMSText.isEmpty())
                    w.LabelValue(kTab2 + caption(smsLabel) + kTab, ModuleText::Shown(in.SMSText));
            } else {
                continue;
            }
            w.LabelValue(kTab2 + withColon(LangMessage(78)) + kTab,
                         caption(r.Labels[0]) + QStringLiteral(" ") + text(r.TypeCombo) + QStringLiteral(";"));
            w.PlainLine(kTab3 + caption(r.Labels[1]) + QStringLiteral(" ") +
                        QString::number(r.SensitivitySpin ? r.SensitivitySpin->Value() : 0) + QStringLiteral(" ") +
                        caption(r.Labels[2]) + QStringLiteral(";"));
            w.PlainLine(kTab3 + caption(r.Labels[3]) + QStringLiteral(" ") +
                        FormatDuration(r.NoSenseTimePicker ? r.NoSenseTimePicker->time() : QTime(0, 0)) +
                        QStringLiteral(";"));
        }
    }

    // Outputs.
    if (!Model3mClass) {
        const int count = ModelVeq4mFrom3000 ? 2 : 4;
        w.Open(withColon(LangMessage(61)));
        for (int i = 0; i < count; ++i) {
            const TOutputRowControls& r = OutputTable[size_t(i)].Row;
            w.Blank();
            w.Item(kTab + caption(r.RowGroupBox) + QStringLiteral(" - ") + text(r.FunctionCombo));
            if (OutputRowHeld(i))
                continue; // its parameters are the module's, which the row does not show
            QString value;
            if (ticked(r.PulseRadio))
                value = caption(r.PulseRadio) + QStringLiteral(" ") + caption(r.Labels[0]) + QStringLiteral(" ") +
                        FormatDuration(r.DurationPicker ? r.DurationPicker->time() : QTime(0, 0)) + QStringLiteral(";");
            else
                value = caption(r.SecondRadio) + QStringLiteral(";");
            w.LabelValue(kTab2 + withColon(LangMessage(78)) + kTab, value);
        }
    }

    // Output control from a distance.
    if (std::any_of(RemotePhones.begin(), RemotePhones.end(),
                    [](const TRemotePhoneRecord& p) { return !p.Number.isEmpty(); })) {
        const std::pair<std::uint8_t, QCheckBox*> outputs[] = {
            {0x80, TntCheckBox2}, {0x40, TntCheckBox4}, {0x20, TntCheckBox11}, {0x10, TntCheckBox14}};
        w.Open(withColon(LangMessage(79)));
        for (const TRemotePhoneRecord& p : RemotePhones) {
            if (p.Number.isEmpty())
                continue;
            w.Blank();
            w.Label(kTab2 + LangToUnicode(p.Number) + QStringLiteral(":") + kTab);
            QString value;
            for (const auto& [mask, box] : outputs)
                if (p.PGMPnCR & mask)
                    value += caption(box) + QStringLiteral("; ");
            w.Value(value);
        }
    }

    // Security (its passwords are written as they stand).
    if ((!text(Edit8).isEmpty() || ticked(TntCheckBox3) || ticked(TntCheckBox41)) && !locked) {
        w.Open(LangMessage(65));
        if (!text(Edit8).isEmpty()) {
            w.Blank();
            w.Line(kTab2 + caption(Label38) + kTab + text(Edit8));
        }
        if (ticked(TntCheckBox3)) {
            w.Blank();
            w.Line(kTab2 + withColon(caption(TntCheckBox3)) + kTab + text(Edit9));
        }
        if (ticked(TntCheckBox41)) {
            w.Blank();
            w.Line(kTab2 + withColon(caption(TntCheckBox41)) + kTab + text(Edit9));
        }
    }

    // GSM modem.
    w.Open(LangMessage(67));
    if (ticked(TntCheckBox28)) {
        w.Blank();
        w.Line(kTab2 + withColon(caption(TntCheckBox28)) + kTab + text(TntEdit1));
    }
    w.Blank();
    w.Line(kTab2 + caption(Label127) + kTab + QString::number(SpinEdit40->Value()));
    w.Blank();
    w.Line(kTab2 + withColon(caption(TntCheckBox40)) + kTab +
           LangMessage(ticked(TntCheckBox40) ? 30 : 31));

    // The page shows the top of the summary.
    QTextCursor top(Memo_Summ->document());
    top.movePosition(QTextCursor::Start);
    Memo_Summ->setTextCursor(top);
    Memo_Summ->verticalScrollBar()->setValue(0);
}

// ---- wheel and printing -------------------------------------------------------------------

void TForm1::Memo_SummMouseWheel(Qt::KeyboardModifiers, int wheelDelta, const QPoint&, bool& handled)
{
    // Touchpads open and close a swipe with events that do not move vertically.
    if (wheelDelta == 0)
        return;
    // One line per wheel event, whatever the size of the turn.
    Memo_Summ->verticalScrollBar()->triggerAction(wheelDelta < 0 ? QAbstractSlider::SliderSingleStepAdd
                                                                 : QAbstractSlider::SliderSingleStepSub);
    handled = true;
}

std::unique_ptr<QTextDocument> TForm1::SummaryOnPaper(const QPrinter& printer) const
{
    // Paper is narrower than the summary's longest lines (a translated caption after the
    // third tab stop, a long address or SMS text): there a line wraps, at a word where it
    // can, so nothing printed is cut. The tab stops are the paragraphs' own and stay.
    std::unique_ptr<QTextDocument> doc(Memo_Summ->document()->clone());
    QTextOption wrap = doc->defaultTextOption();
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(wrap);
    // Laid out in the screen's units on the printable area, with 2 cm of margin, page by
    // page; printing scales the pages to the paper as they are.
    const qreal screenDpi = Memo_Summ->logicalDpiX();
    doc->setPageSize(QSizeF(printer.width(), printer.height()) * (screenDpi / printer.logicalDpiX()));
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setMargin(2 / 2.54 * screenDpi);
    doc->rootFrame()->setFrameFormat(frame);
    // The separators are rules, not text to read: drawn closer together they span the
    // page instead of breaking into a rule and a stub.
    const QString separator = QString::fromLatin1(kSeparator);
    const qreal room = doc->pageSize().width() - 2 * frame.margin();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.text() != separator)
            continue;
        QTextCharFormat f = b.begin().fragment().charFormat();
        const qreal width = QFontMetricsF(f.font().resolve(doc->defaultFont())).horizontalAdvance(separator);
        if (width <= room)
            continue;
        f.setFontLetterSpacingType(QFont::PercentageSpacing);
        f.setFontLetterSpacing(std::floor(100 * room / width) - 1);
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.setCharFormat(f);
    }
    // A wrapped line goes on under the text after its last tab (the value beside its
    // label) while that leaves a third of the line at least; the screen's lines tell
    // where that text starts.
    QTextDocument* screen = Memo_Summ->document();
    screen->documentLayout()->documentSize(); // laid out
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const int lastTab = b.text().lastIndexOf(QLatin1Char('\t'));
        const QTextBlock shown = screen->findBlockByNumber(b.blockNumber());
        if (lastTab < 0 || !shown.layout() || shown.layout()->lineCount() == 0)
            continue;
        const qreal x = shown.layout()->lineAt(0).cursorToX(lastTab + 1);
        if (x > room * 2 / 3)
            continue;
        QTextBlockFormat hanging = b.blockFormat();
        hanging.setLeftMargin(x);
        hanging.setTextIndent(-x);
        QTextCursor(b).setBlockFormat(hanging);
    }
    return doc;
}

void TForm1::TntBitBtn2Click()
{
    QPrinter printer;
    if (!ui::PrintDialog(printer, this))
        return;
    // Each copy is a job of its own.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    printer.setDocName((VEQ2 ? VEQ2->ProductName : QString()) + QStringLiteral(" settings"));
    try {
        for (int i = 0; i < copies; ++i) {
            if (!ui::PrintJob(printer, [this](QPrinter& p) { SummaryOnPaper(p)->print(&p); })) {
                // A failed printout is not reported to the user.
                std::fprintf(stderr, "Printing the settings failed: the printer reported an error\n");
                return;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Printing the settings failed: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Printing the settings failed\n");
    }
}
