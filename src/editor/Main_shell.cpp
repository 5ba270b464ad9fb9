// The wizard shell: the two ways of working (guided wizard and manual configuration),
// the column of step labels, page navigation with its checks, the operating mode, the
// attention blink and the window-level handlers (wheel, Esc, hints).
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "lang/LangText.h"
#include "widgets/Colors.h"
#include "widgets/PageWizard.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

namespace {

using K = TPageWizardButtonKind;

constexpr int kWizardHeaderHeight = 73;
constexpr int kManualHeaderHeight = 30;
// Where the page builders put the first content row: right under a wizard-mode header.
constexpr int kDesignedContentTop = 73;
constexpr const char* kContentTopProperty = "veqContentTop";
constexpr int kHintMaxWidth = 500;
constexpr int kHintDisplayMs = 30000;
constexpr int kBlinkTicks = 6;

constexpr colors::TColor kStepColor = 0xE2E2E2;
constexpr colors::TColor kCurrentStepColor = 0xFFFFFF;

void setTextColor(QWidget* w, colors::TColor c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colors::ToQColor(c));
    w->setPalette(pal);
}

// The font of a step label in one of its styles; the current step's adds bold to what
// the label has.
QFont stepFont(const QLabel* l, bool current, bool underline)
{
    QFont f = l->font();
    f.setBold(current);
    if (!current)
        f.setUnderline(underline);
    f.setPointSize(current ? 9 : 8);
    return f;
}

// A step label keeps its width and takes the height its caption needs in the largest of
// its styles (bold, as the current step), whatever style it has now: a caption that wraps
// only when bold must not move the labels below it when its step is selected, or a click
// where one step was would open another.
void fitStepHeight(QLabel* l)
{
    const QMargins m = l->contentsMargins();
    const int width = l->width() - m.left() - m.right() - 2 * l->margin();
    int h = 0;
    for (bool current : {true, false}) {
        const QFontMetrics fm(stepFont(l, current, false));
        const int flags = int(Qt::AlignLeft | Qt::AlignTop) | (l->wordWrap() ? int(Qt::TextWordWrap) : 0);
        h = std::max(h, fm.boundingRect(QRect(0, 0, std::max(width, 1), 2000), flags, l->text()).height());
    }
    h += m.top() + m.bottom() + 2 * l->margin();
    if (h > 0 && h != l->height())
        l->resize(l->width(), h);
}

void styleLabel(QLabel* l, bool current, bool underline)
{
    l->setFont(stepFont(l, current, underline));
    setTextColor(l, current ? kCurrentStepColor : kStepColor);
    fitStepHeight(l);
}

void setBold(QWidget* w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

// Breaks a plain hint into lines no wider than maxWidth (a single word wider than that
// keeps its own line).
QString wrapHint(const QString& text, const QFontMetrics& fm, int maxWidth)
{
    QStringList out;
    for (const QString& para : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : para.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && fm.horizontalAdvance(candidate) > maxWidth) {
                out << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        out << line;
    }
    return out.join(QLatin1Char('\n'));
}

// Mouse on the step labels, wheel over the client area.
class ShellWidgetFilter : public QObject {
public:
    ShellWidgetFilter(TForm1* form, QObject* parent) : QObject(parent), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::Wheel:
            break;
        default:
            return false;
        }
        bool eat = false;
        form_->Guard([&] {
            switch (e->type()) {
            case QEvent::MouseButtonRelease: {
                auto* me = static_cast<QMouseEvent*>(e);
                auto* l = qobject_cast<QLabel*>(watched);
                if (l && me->button() == Qt::LeftButton && l->rect().contains(me->position().toPoint()))
                    form_->Step0Click(watched);
                break;
            }
            case QEvent::Enter:
                if (qobject_cast<QLabel*>(watched))
                    form_->Step0MouseEnter(watched);
                break;
            case QEvent::Leave:
                if (qobject_cast<QLabel*>(watched))
                    form_->Step0MouseLeave(watched);
                break;
            case QEvent::Wheel:
                if (form_->ClientScroll && watched == form_->ClientScroll->viewport()) {
                    auto* we = static_cast<QWheelEvent*>(e);
                    bool handled = false;
                    form_->TntFormMouseWheel(we->modifiers(), we->angleDelta().y(), handled);
                    if (handled) {
                        we->accept();
                        eat = true;
                    }
                }
                break;
            default:
                break;
            }
        });
        return eat || QObject::eventFilter(watched, e);
    }

private:
    TForm1* form_;
};

// Keys and hints reach the window through whichever control has them.
class ShellAppFilter : public QObject {
public:
    ShellAppFilter(TForm1* form, QObject* parent) : QObject(parent), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const QEvent::Type t = e->type();
        if (t != QEvent::KeyPress && t != QEvent::ToolTip)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != form_)
            return false;
        bool eat = false;
        form_->Guard([&] {
            if (t == QEvent::KeyPress) {
                auto* ke = static_cast<QKeyEvent*>(e);
                const QString text = ke->text();
                const int key = ke->key() == Qt::Key_Escape ? 27
                                : text.size() == 1 ? text.at(0).unicode() : 0;
                bool handled = false;
                form_->TntFormShortCut(key, handled);
                eat = handled;
                return;
            }
            auto* he = static_cast<QHelpEvent*>(e);
            QString hint = w->toolTip();
            if (hint.isEmpty())
                return;
            bool canShow = true;
            TForm1::THintInfo info;
            info.HintControl = w;
            form_->ApplicationShowHint(hint, canShow, info);
            if (!canShow) {
                QToolTip::hideText();
            } else {
                if (info.HintMaxWidth > 0 && !Qt::mightBeRichText(hint))
                    hint = wrapHint(hint, QFontMetrics(QToolTip::font()), info.HintMaxWidth);
                QToolTip::showText(he->globalPos(), hint, w, QRect(), kHintDisplayMs);
            }
            eat = true;
        });
        return eat;
    }

private:
    TForm1* form_;
};

} // namespace

// ---- set-up ---------------------------------------------------------------------------

void TForm1::WireWizardShell()
{
    // The mode buttons: only the communicator exists; the pair stays hidden and lends
    // its caption to the mode name above the step labels.
    TntRadioButton9 = ctl::Make<QRadioButton>(TntTabSheet4, "TntRadioButton9", 24, 240, 230, 20);
    TntRadioButton9->setText(QStringLiteral("Alarm System"));
    TntRadioButton9->hide();
    TntRadioButton10 = ctl::Make<QRadioButton>(TntTabSheet4, "TntRadioButton10", 24, 262, 230, 20);
    TntRadioButton10->setText(QStringLiteral("Communicator"));
    TntRadioButton10->hide();

    Timer_Blink = new QTimer(this);
    Timer_Blink->setObjectName(QStringLiteral("Timer_Blink"));
    Timer_Blink->setInterval(500);
    connect(Timer_Blink, &QTimer::timeout, this, [this] { Guard([this] { Timer_BlinkTimer(); }); });

    connect(TntButton29, &QPushButton::clicked, this, [this] { Guard([this] { TntButton29Click(TntButton29); }); });
    connect(TntButton30, &QPushButton::clicked, this, [this] { Guard([this] { TntButton29Click(TntButton30); }); });
    connect(TntButton3, &QPushButton::clicked, this, [this] { Guard([this] { TntButton3Click(); }); });
    connect(TntBitBtn3, &QPushButton::clicked, this, [this] { Guard([this] { TntBitBtn3Click(); }); });

    wzrd1->OnSelectNextPage = [this](QObject* s, TPageWizardCustomPage* from, TPageWizardCustomPage*& to) {
        Guard([&] { wzrd1SelectNextPage(s, from, to); });
    };
    wzrd1->OnSelectPriorPage = [this](QObject* s, TPageWizardCustomPage* from, TPageWizardCustomPage*& to) {
        Guard([&] { wzrd1SelectPriorPage(s, from, to); });
    };
    wzrd1->OnCancelButtonClick() = [this](QObject* s) { Guard([&] { wzrd1CancelButtonClick(s); }); };

    ShellEventFilters = std::make_unique<QObject>();
    auto* filter = new ShellWidgetFilter(this, ShellEventFilters.get());
    TntLabel59->installEventFilter(filter);
    for (int i = 0;; ++i) {
        auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(i));
        if (!l)
            break;
        l->installEventFilter(filter);
    }
    ClientScroll->viewport()->installEventFilter(filter);
    qApp->installEventFilter(new ShellAppFilter(this, ShellEventFilters.get()));
}

void TForm1::TntButton29Click(QObject* sender)
{
    WizardMode = sender == TntButton29;
    SetupWizardPages(WizardMode);
    ResetStepFonts();
    styleLabel(Step[0], true, false);
    StackStepLabels();
    PageControl1->SetActivePageIndex(5);
    wzrd1->SetActivePageIndex(0);
    TntBitBtn2->hide();
}

void TForm1::SetupWizardPages(bool wizardMode)
{
    if (wizardMode) {
        TntButton1->move(378, TntButton1->y());
        TntButton1->hide();
        if (ctl::Tag(TntButton26) != 1)
            TntButton26->hide();
    } else {
        TntButton1->move(538, TntButton1->y());
        TntButton1->show();
        if (ctl::Tag(TntButton26) != 1)
            TntButton26->show();
    }
    TntBitBtn1->hide();

    const int headerHeight = wizardMode ? kWizardHeaderHeight : kManualHeaderHeight;
    for (int n = 1;; ++n) {
        auto* page = ctl::Find<TPageWizardCustomPage>(wzrd1, QStringLiteral("WPage%1").arg(n));
        if (!page)
            break;
        page->Header()->Subtitle()->SetVisible(wizardMode);
        if (wizardMode)
            page->SetVisibleButtons({K::bkBack, K::bkNext, K::bkCancel});
        else
            page->SetVisibleButtons({K::bkCancel});
        page->Header()->SetHeight(headerHeight);
        // The content sits right under the header: move it by the change of height. A
        // control that the page's layout places (the summary) follows the header by itself;
        // moved by hand as well, it would stay moved, as the layout sees no change.
        const QVariant stored = page->property(kContentTopProperty);
        const int contentTop = stored.isValid() ? stored.toInt() : kDesignedContentTop;
        const int dy = headerHeight - contentTop;
        if (dy != 0) {
            const QLayout* laidOut = page->layout();
            for (QObject* o : page->children())
                if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !(laidOut && laidOut->indexOf(w) >= 0))
                    w->move(w->x(), w->y() + dy);
        }
        page->setProperty(kContentTopProperty, headerHeight);
        page->update();
    }
}

// ---- step labels ----------------------------------------------------------------------

void TForm1::ResetStepFonts()
{
    for (int i = 0;; ++i) {
        auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(i));
        if (!l)
            break;
        styleLabel(l, false, !WizardMode);
    }
}

void TForm1::StackStepLabels()
{
    QLabel* above = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step0"));
    if (!above)
        return;
    // The heights follow the captions (a language switch changes them), never the style.
    for (int i = 0;; ++i) {
        auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(i));
        if (!l)
            break;
        fitStepHeight(l);
    }
    for (int i = 1;; ++i) {
        auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(i));
        if (!l)
            break;
        if (!ctl::Visible(l))
            continue;
        l->move(l->x(), above->y() + above->height() + 4);
        above = l;
    }
}

void TForm1::GoToWizardStep(int step)
{
    if (step >= wzrd1->GetPageCount())
        return;
    wzrd1->SetActivePageIndex(step);
    auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(wzrd1->GetActivePageIndex()));
    ResetStepFonts();
    if (l)
        styleLabel(l, true, false);
}

void TForm1::Step0Click(QObject* sender)
{
    auto* label = qobject_cast<QLabel*>(sender);
    if (WizardMode || !label)
        return;
    const int tag = ctl::Tag(label);
    const int current = wzrd1->GetActivePageIndex();
    if (current == 0 && CommitShownUserFlags() && tag == 1)
        ShowSMSBackupNumbers();
    if (tag == 8) {
        if (current != 8)
            BuildSummary();
        TntBitBtn2->show();
    } else {
        TntBitBtn2->hide();
    }
    GoToWizardStep(tag);
    StackStepLabels();
}

void TForm1::Step0MouseEnter(QObject* sender)
{
    auto* label = qobject_cast<QLabel*>(sender);
    if (WizardMode || !label)
        return;
    setTextColor(label, kCurrentStepColor);
    label->setCursor(Qt::PointingHandCursor);
}

void TForm1::Step0MouseLeave(QObject* sender)
{
    auto* label = qobject_cast<QLabel*>(sender);
    if (WizardMode || !label)
        return;
    label->unsetCursor();
    if (!label->font().bold())
        setTextColor(label, kStepColor);
}

// ---- wizard navigation ----------------------------------------------------------------

void TForm1::wzrd1SelectNextPage(QObject*, TPageWizardCustomPage* currentPage, TPageWizardCustomPage*& toPage)
{
    const int from = wzrd1->Pages().IndexOf(currentPage);
    if (from == 0 && !ValidateWizardPage(1)) {
        WideMessagedlg(GetLangText(92), ui::MsgType::Error, {ui::MsgButton::OK});
        toPage = currentPage;
        return;
    }
    if (from == 1 && !ValidateWizardPage(0)) {
        WideMessagedlg(GetLangText(82), ui::MsgType::Error, {ui::MsgButton::OK});
        toPage = currentPage;
        return;
    }
    // Values of this page that must not go to the module as they stand.
    if (const TUnsendable refused = UnsendableValue(from)) {
        WideMessagedlg(refused.text, ui::MsgType::Error, {ui::MsgButton::OK});
        toPage = currentPage;
        return;
    }
    ResetStepFonts();
    if (!toPage)
        return;
    const int to = wzrd1->Pages().IndexOf(toPage);
    auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(to));
    if (!l)
        return;
    styleLabel(l, true, false);
    StackStepLabels();
    if (from == 0)
        CommitShownUserFlags();
    if (to != 8) {
        TntButton1->hide();
        if (ctl::Tag(TntButton26) != 1)
            TntButton26->hide();
        TntBitBtn2->hide();
    } else {
        BuildSummary();
        TntButton1->show();
        if (ctl::Tag(TntButton26) != 1)
            TntButton26->show();
        TntBitBtn2->show();
        // Arriving at the summary sends the configuration.
        TntButton1->click();
        // When the send's own checks took the wizard to a page to mend, it stays there
        // (and so does the step column) instead of being moved on to the summary.
        if (TPageWizardCustomPage* now = wzrd1->ActivePage(); now && now != currentPage)
            toPage = now;
    }
}

void TForm1::wzrd1SelectPriorPage(QObject*, TPageWizardCustomPage*, TPageWizardCustomPage*& toPage)
{
    ResetStepFonts();
    if (!toPage)
        return;
    auto* l = ctl::Find<QLabel>(TntPanel11, QStringLiteral("Step%1").arg(wzrd1->Pages().IndexOf(toPage)));
    if (!l)
        return;
    styleLabel(l, true, false);
    StackStepLabels();
    TntButton1->hide();
    if (ctl::Tag(TntButton26) != 1)
        TntButton26->hide();
    TntBitBtn2->hide();
}

void TForm1::wzrd1CancelButtonClick(QObject*)
{
    if (!(UIStateBits & UIStateEscPressed))
        PageControl1->SetActivePageIndex(4);
    UIStateBits &= ~UIStateEscPressed;
}

bool TForm1::ValidateWizardPage(int kind)
{
    auto empty = [](const QLineEdit* e) { return e && e->text().isEmpty(); };
    switch (kind) {
    case 0:
        if (ComboBox4 && ComboBox4->currentIndex() > 0) {
            if (empty(Edit1) || empty(TntEdit2) || empty(Edit2))
                return false;
        }
        if (ComboBox2 && (ComboBox2->currentIndex() == 1 || ComboBox2->currentIndex() == 2)) {
            if (empty(Edit5) || empty(TntEdit3) || empty(Edit2))
                return false;
        }
        return true;
    case 1: {
        const QLineEdit* pin = Edit13 ? Edit13 : ctl::Find<QLineEdit>(this, QStringLiteral("Edit13"));
        return !pin || !fields::TooShort(TField::AccessPIN, LangFromUnicode(pin->text()));
    }
    default:
        return true;
    }
}

void TForm1::TntButton3Click()
{
    GoToWizardStep(0);
    BlinkSelector |= 1;
    // A request during a run joins it: the run keeps its count.
    if (!Timer_Blink->isActive())
        Timer_Blink->start();
}

// ---- operating mode -------------------------------------------------------------------

void TForm1::SetAlarmSystemMode(bool)
{
    // Only the communicator mode exists.
    TntRadioButton10->setChecked(true);
    TntLabel59->setText(TntRadioButton10->text());
    setTextColor(TntRadioButton9, kStepColor);
    setTextColor(TntRadioButton10, kCurrentStepColor);

    for (int g = 3; g <= 6; ++g)
        if (QWidget* grid = ctl::FindByName(this, QStringLiteral("StringGrid%1").arg(g)))
            grid->setEnabled(true);
    Step[7]->show();
    WPage[8]->setEnabled(true);

    if (auto* cb = ctl::Find<QCheckBox>(this, QStringLiteral("TntCheckBox32"))) {
        cb->setChecked(false);
        cb->hide();
        ctl::SetTag(cb, 1);
    }

    SelectUserNode(0);
    ShowModeDescription();
    FillChoiceLists(true);
}

void TForm1::ShowModeDescription()
{
    QString text = GetLangText(54);
    ReplaceAll(text, QStringLiteral("\\"), QStringLiteral("\r\n"));
    TntMemo2->clear();
    // The memo breaks lines at LF alone.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    TntMemo2->setPlainText(text);
}

void TForm1::ReplaceAll(QString& s, const QString& oldText, const QString& newText)
{
    if (oldText.isEmpty())
        return;
    if (newText.contains(oldText)) {
        // Scanning again from the start would find the inserted text for ever: one pass.
        s.replace(oldText, newText);
        return;
    }
    // Each search starts where a new occurrence could begin: nothing before it changed.
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = s.indexOf(oldText, from);
        if (at < 0)
            break;
        s.replace(at, oldText.size(), newText);
        from = std::max<qsizetype>(0, at - oldText.size() + 1);
    }
}

// ---- attention blink ------------------------------------------------------------------

void TForm1::Timer_BlinkTimer()
{
    const bool bold = BlinkCounter % 2 == 0;
    ++BlinkCounter;
    switch (BlinkSelector) {
    case 1:
        if (auto* cb = ctl::Find<QCheckBox>(this, QStringLiteral("TntCheckBox38"))) {
            setBold(cb, bold);
            const int w = QFontMetrics(font()).horizontalAdvance(cb->text()) + (bold ? 25 : 19);
            cb->resize(w, cb->height());
            QLabel* mark = TntLabel44 ? TntLabel44 : ctl::Find<QLabel>(this, QStringLiteral("TntLabel44"));
            if (mark)
                mark->move(cb->x() + cb->width() + 5, mark->y());
        }
        break;
    case 2:
        if (auto* cb = ctl::Find<QCheckBox>(this, QStringLiteral("TntCheckBox23")))
            setBold(cb, bold);
        break;
    case 3:
        setBold(TntRadioButton10, bold);
        break;
    default:
        break;
    }
    if (BlinkCounter >= kBlinkTicks) {
        Timer_Blink->stop();
        BlinkCounter = 0;
        BlinkSelector = 0;
    }
}

// ---- window-level handlers ------------------------------------------------------------

void TForm1::TntFormMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, bool& handled)
{
    // Touchpads open and close a swipe with events that do not move vertically.
    if (wheelDelta == 0)
        return;
    QScrollBar* bar = (shift & (Qt::ShiftModifier | Qt::ControlModifier)) ? ClientScroll->horizontalScrollBar()
                                                                          : ClientScroll->verticalScrollBar();
    bar->setValue(bar->value() + (wheelDelta < 0 ? 30 : -30));
    handled = true;
}

void TForm1::TntFormShortCut(int key, bool&)
{
    // Not handled: the key goes on to the control (the wizard's Cancel reads the bit).
    if (key == 27)
        UIStateBits |= UIStateEscPressed;
}

void TForm1::ApplicationShowHint(QString&, bool&, THintInfo& hintInfo)
{
    // The examples of output control are laid out line by line: their own width.
    if (hintInfo.HintControl && hintInfo.HintControl->objectName() != QLatin1String("TntLabel9"))
        hintInfo.HintMaxWidth = kHintMaxWidth;
}

void TForm1::TntBitBtn3Click()
{
    LocateManual(true);
}
