#include "editor/Controls.h"

#include "widgets/Colors.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVariant>
#include <QWheelEvent>

#include <algorithm>

namespace ctl {

namespace {
constexpr const char* kTag = "veqTag";
constexpr const char* kHint = "veqHint";
constexpr const char* kShowHint = "veqShowHint";

void applyToolTip(QWidget* w)
{
    w->setToolTip(ShowHint(w) ? Hint(w) : QString());
}
} // namespace

int Tag(const QObject* w)
{
    return w ? w->property(kTag).toInt() : 0;
}

void SetTag(QObject* w, int tag)
{
    if (w)
        w->setProperty(kTag, tag);
}

QString Hint(const QWidget* w)
{
    return w ? w->property(kHint).toString() : QString();
}

void SetHint(QWidget* w, const QString& hint)
{
    if (!w)
        return;
    w->setProperty(kHint, hint);
    applyToolTip(w);
}

bool ShowHint(const QWidget* w)
{
    return w && w->property(kShowHint).toBool();
}

void SetShowHint(QWidget* w, bool on)
{
    if (!w)
        return;
    w->setProperty(kShowHint, on);
    applyToolTip(w);
}

QWidget* FindByName(const QWidget* root, const QString& name)
{
    if (!root)
        return nullptr;
    const auto all = root->findChildren<QWidget*>();
    for (QWidget* w : all)
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return w;
    return nullptr;
}

int CaptionBoxWidth(const QWidget* box)
{
    const auto* b = qobject_cast<const QAbstractButton*>(box);
    if (!b)
        return box ? box->width() : 0;
    const bool radio = qobject_cast<const QRadioButton*>(b) != nullptr;
    const QStyle* s = b->style();
    const int mark = s->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, b);
    const int spacing =
        s->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
    return mark + spacing + b->fontMetrics().horizontalAdvance(b->text());
}

} // namespace ctl

// ---- TSpinEdit ----------------------------------------------------------------------

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setKeyboardTracking(true);
}

void TSpinEdit::SetValue(int v)
{
    setValue(qBound(minimum(), v, maximum()));
}

int TSpinEdit::valueFromText(const QString& text) const
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        return minimum();
    return qBound(minimum(), v, maximum());
}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const
{
    Q_UNUSED(pos);
    const QString t = input.trimmed();
    if (t.isEmpty() || t == QLatin1String("-"))
        return QValidator::Intermediate;
    bool ok = false;
    t.toInt(&ok);
    return ok ? QValidator::Acceptable : QValidator::Invalid;
}

// ---- TPageControl -------------------------------------------------------------------

TPageControl::TPageControl(QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), stack_(new QStackedWidget(this))
{
    tabs_->setObjectName(QStringLiteral("PageTabs"));
    tabs_->setExpanding(false);
    stack_->setObjectName(QStringLiteral("PageStack"));
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int tab) {
        const int page = tabOfPage_.indexOf(tab);
        if (page >= 0)
            SetActivePageIndex(page);
    });
    layoutChildren();
}

QWidget* TPageControl::AddPage(const char* name, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    stack_->addWidget(page);
    captions_ << caption;
    tabVisible_ << true;
    tabOfPage_ << -1;
    rebuildTabs();
    return page;
}

int TPageControl::PageCount() const
{
    return stack_->count();
}

QWidget* TPageControl::Page(int index) const
{
    return stack_->widget(index);
}

int TPageControl::ActivePageIndex() const
{
    return stack_->currentIndex();
}

void TPageControl::SetActivePageIndex(int index)
{
    if (index < 0 || index >= stack_->count() || index == stack_->currentIndex())
        return;
    stack_->setCurrentIndex(index);
    {
        const QSignalBlocker block(tabs_);
        if (tabOfPage_[index] >= 0)
            tabs_->setCurrentIndex(tabOfPage_[index]);
    }
    emit Changed(index);
}

bool TPageControl::TabVisible(int index) const
{
    return index >= 0 && index < tabVisible_.size() && tabVisible_[index];
}

void TPageControl::SetTabVisible(int index, bool visible)
{
    if (index < 0 || index >= tabVisible_.size() || tabVisible_[index] == visible)
        return;
    tabVisible_[index] = visible;
    rebuildTabs();
}

void TPageControl::SetTabCaption(int index, const QString& caption)
{
    if (index < 0 || index >= captions_.size())
        return;
    captions_[index] = caption;
    if (tabOfPage_[index] >= 0)
        tabs_->setTabText(tabOfPage_[index], caption);
}

QString TPageControl::TabCaption(int index) const
{
    return index >= 0 && index < captions_.size() ? captions_[index] : QString();
}

void TPageControl::rebuildTabs()
{
    const QSignalBlocker block(tabs_);
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    for (int i = 0; i < captions_.size(); ++i) {
        tabOfPage_[i] = tabVisible_[i] ? tabs_->addTab(captions_[i]) : -1;
    }
    const int cur = stack_->currentIndex();
    if (cur >= 0 && tabOfPage_[cur] >= 0)
        tabs_->setCurrentIndex(tabOfPage_[cur]);
    layoutChildren();
}

void TPageControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutChildren();
}

void TPageControl::layoutChildren()
{
    const bool anyTab = tabs_->count() > 0;
    const int h = anyTab ? tabs_->sizeHint().height() : 0;
    tabs_->setVisible(anyTab);
    tabs_->setGeometry(0, 0, width(), h);
    stack_->setGeometry(0, h, width(), height() - h);
}

// ---- key filters and field colours ---------------------------------------------------

namespace ctl {

namespace {

// Whether an edit would put the key's text in: a printable text, unless Ctrl (alone or
// with Shift) makes the key a shortcut. Alt, AltGr and Meta type their characters as
// plain keys do.
bool TypesText(const QKeyEvent* ke)
{
    const QString text = ke->text();
    if (text.isEmpty())
        return false;
    const Qt::KeyboardModifiers mods = ke->modifiers();
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    // Backspace, Delete, Enter, Tab and Escape carry control codes: editing keys.
    const char16_t u = text.at(0).unicode();
    return u >= 0x20 && u != 0x7F;
}

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(QObject* parent, KeyFilter f) : QObject(parent), filter_(std::move(f)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* le = qobject_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress) {
            const auto* ke = static_cast<QKeyEvent*>(event);
            if (!TypesText(ke))
                return false; // an editing key: the edit handles it as usual
            const QString text = ke->text();
            const QString out = Filtered(text);
            if (out == text)
                return false; // let the edit type it
            if (le && !out.isEmpty() && !le->isReadOnly())
                le->insert(out);
            return true;
        }
        if (event->type() == QEvent::InputMethod && !resending_) {
            // Text composed by an input method is typed text as well.
            const auto* ime = static_cast<QInputMethodEvent*>(event);
            const QString out = Filtered(ime->commitString());
            if (out == ime->commitString())
                return false;
            QInputMethodEvent copy(ime->preeditString(), ime->attributes());
            copy.setCommitString(out, ime->replacementStart(), ime->replacementLength());
            resending_ = true;
            QCoreApplication::sendEvent(watched, &copy);
            resending_ = false;
            return true;
        }
        return false;
    }

private:
    // Each printable character through the filter; control characters never enter.
    QString Filtered(const QString& text) const
    {
        QString out;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u == 0x7F)
                continue;
            const char key = static_cast<char>(u < 256 ? u : '?');
            char kept = 0;
            try {
                kept = filter_(key);
            } catch (...) {
                kept = 0;
            }
            if (kept == key)
                out += c;
            else if (kept != 0)
                out += QChar(static_cast<unsigned char>(kept));
        }
        return out;
    }

    KeyFilter filter_;
    bool resending_ = false;
};

bool IsControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

bool IsBreakOrTab(QChar c)
{
    return c == u'\r' || c == u'\n' || c == u'\t';
}

const QString* g_testSelection = nullptr;

// Closes the edit's current undo step, as its own paste does: the edit starts a new step
// whenever its cursor moves, so the cursor steps aside and comes back, selection and all.
void SeparateUndoStep(QLineEdit* e)
{
    const QSignalBlocker block(e);
    const bool selected = e->hasSelectedText();
    const int start = e->selectionStart(), length = e->selectionLength(), pos = e->cursorPosition();
    const int aside = pos > 0 ? pos - 1 : (e->text().isEmpty() ? -1 : pos + 1);
    if (aside < 0)
        return; // an empty edit: no step to close
    e->setCursorPosition(aside);
    if (!selected)
        e->setCursorPosition(pos);
    else if (pos == start)
        e->setSelection(start + length, -length);
    else
        e->setSelection(start, length);
}

class InputCleaner : public QObject {
public:
    InputCleaner(QLineEdit* edit, TextFilter filter) : QObject(edit), edit_(edit), filter_(std::move(filter))
    {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != edit_)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
                return false;
            Paste(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
            return true;
        case QEvent::ContextMenu:
            if (edit_->contextMenuPolicy() != Qt::DefaultContextMenu)
                return false;
            ContextMenu(static_cast<QContextMenuEvent*>(event));
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() != Qt::MiddleButton || edit_->isReadOnly() || !edit_->rect().contains(me->position().toPoint()))
                return false;
            const QClipboard* clipboard = QGuiApplication::clipboard();
            if (!g_testSelection && !clipboard->supportsSelection())
                return false;
            // The press has put the cursor where the user clicked.
            edit_->deselect();
            Paste(g_testSelection ? *g_testSelection : clipboard->text(QClipboard::Selection));
            return true;
        }
        case QEvent::Drop:
            return !resending_ && Drop(static_cast<QDropEvent*>(event));
        default:
            return false;
        }
    }

private:
    QString Clean(QString s) const
    {
        // A line break or tab inside the text parts two words: a space. At the ends (the
        // line end a copied line brings along) it parts nothing.
        qsizetype from = 0, to = s.size();
        while (from < to && IsBreakOrTab(s[from]))
            ++from;
        while (to > from && IsBreakOrTab(s[to - 1]))
            --to;
        s = s.mid(from, to - from);
        s.replace(QLatin1String("\r\n"), QLatin1String(" "));
        for (QChar& c : s)
            if (IsBreakOrTab(c))
                c = u' ';
        s.removeIf(IsControl);
        if (filter_) {
            try {
                s = filter_(s);
            } catch (...) {
                s.clear();
            }
        }
        return s;
    }

    // The cleaned text replaces the selection, as a step of the edit's undo of its own; the
    // edit cuts what does not fit.
    void Paste(const QString& text)
    {
        if (edit_->isReadOnly() || (text.isEmpty() && !edit_->hasSelectedText()))
            return;
        SeparateUndoStep(edit_);
        edit_->insert(Clean(text));
        SeparateUndoStep(edit_);
    }

    // The edit's own menu, whose Paste pastes cleaned text.
    void ContextMenu(const QContextMenuEvent* e)
    {
        QMenu* menu = edit_->createStandardContextMenu();
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            if (QObject::disconnect(a, SIGNAL(triggered()), edit_, SLOT(paste())) ||
                QObject::disconnect(a, &QAction::triggered, edit_, &QLineEdit::paste))
                connect(a, &QAction::triggered, this,
                        [this] { Paste(QGuiApplication::clipboard()->text(QClipboard::Clipboard)); });
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(e->globalPos());
    }

    // The edit drops the cleaned text instead, where and how it would have dropped the
    // original (a move within the edit included), as a step of its undo of its own.
    bool Drop(QDropEvent* e)
    {
        const QMimeData* data = e->mimeData();
        if (!data || !data->hasText())
            return false;
        // Text from elsewhere goes in where it is dropped, in place of nothing: the filter
        // sees the edit as it will take the text.
        if (e->source() != edit_)
            edit_->setCursorPosition(edit_->cursorPositionAt(e->position().toPoint()));
        QMimeData cleaned;
        cleaned.setText(Clean(data->text()));
        QDropEvent copy(e->position(), e->possibleActions(), &cleaned, e->buttons(), e->modifiers(), e->type());
        copy.setDropAction(e->dropAction());
        resending_ = true;
        SeparateUndoStep(edit_);
        QCoreApplication::sendEvent(edit_, &copy);
        SeparateUndoStep(edit_);
        resending_ = false;
        e->setDropAction(copy.dropAction());
        e->setAccepted(copy.isAccepted());
        return true;
    }

    QLineEdit* edit_;
    TextFilter filter_;
    bool resending_ = false;
};

} // namespace

void InstallKeyFilter(QWidget* edit, KeyFilter filter)
{
    if (edit)
        edit->installEventFilter(new KeyFilterObject(edit, std::move(filter)));
}

void InstallInputCleaner(QLineEdit* edit, TextFilter filter)
{
    if (edit)
        new InputCleaner(edit, std::move(filter));
}

void SetPrimarySelectionForTests(const QString* text)
{
    g_testSelection = text;
}

void SetFieldColor(QWidget* edit, std::int32_t color)
{
    if (!edit)
        return;
    edit->setProperty("veqFieldColor", color);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, colors::ToQColor(color));
    edit->setPalette(pal);
}

std::int32_t FieldColor(const QWidget* edit)
{
    if (!edit)
        return 0;
    const QVariant v = edit->property("veqFieldColor");
    return v.isValid() ? v.toInt() : colors::clWindow;
}

} // namespace ctl

// ---- TRadioGroup ----------------------------------------------------------------------

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent), group_(new QButtonGroup(this))
{
    group_->setExclusive(true);
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (const QRadioButton* b : buttons_)
        items << b->text();
    return items;
}

void TRadioGroup::SetItems(const QStringList& items)
{
    qDeleteAll(buttons_);
    buttons_.clear();
    constexpr int top = 18, step = 22, margin = 8;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setGeometry(margin, top + i * step, std::max(0, width() - 2 * margin), 20);
        group_->addButton(b, i);
        b->show();
        buttons_.append(b);
    }
}

int TRadioGroup::ItemIndex() const
{
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < buttons_.size()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // No choice: an exclusive group keeps one button checked unless it lets go for a moment.
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_)
        b->setChecked(false);
    group_->setExclusive(true);
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && index < buttons_.size() ? buttons_[index] : nullptr;
}

// ---- the wheel scrolls the page ----------------------------------------------------------

namespace ctl {

namespace {

// The controls whose value a turn of the wheel would change.
bool ValueFollowsWheel(const QObject* o)
{
    return qobject_cast<const QComboBox*>(o) || qobject_cast<const QAbstractSpinBox*>(o);
}

// Clicking or tabbing still gives the focus; passing over with the wheel does not.
void NoFocusByWheel(QWidget* w)
{
    if (w->focusPolicy() == Qt::WheelFocus)
        w->setFocusPolicy(Qt::StrongFocus);
}

// The turn goes to each scroll area around the control, innermost first, until one moves
// (an area already at its end passes it on, as Qt passes on a wheel nobody takes).
void ScrollAroundControl(QWidget* control, const QWheelEvent* e)
{
    for (QWidget* p = control->parentWidget(); p && !p->isWindow(); p = p->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget());
        if (!area || area->viewport() != p)
            continue;
        QWheelEvent turn(control->mapTo(p, e->position()), e->globalPosition(), e->pixelDelta(), e->angleDelta(),
                         e->buttons(), e->modifiers(), e->phase(), e->inverted(), e->source());
        QCoreApplication::sendEvent(p, &turn);
        if (turn.isAccepted())
            return;
    }
}

class TWheelScrollsPage : public QObject {
public:
    explicit TWheelScrollsPage(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const QEvent::Type t = e->type();
        if ((t != QEvent::Wheel && t != QEvent::Polish) || !ValueFollowsWheel(watched))
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() != window_)
            return false;
        if (t == QEvent::Polish) { // a control made after the rule was installed
            NoFocusByWheel(w);
            return false;
        }
        if (w->hasFocus())
            return false;
        try {
            ScrollAroundControl(w, static_cast<QWheelEvent*>(e));
        } catch (...) {
        }
        e->accept();
        return true;
    }

private:
    QWidget* window_;
};

} // namespace

void InstallWheelScrollsPage(QWidget* window)
{
    auto* rule = new TWheelScrollsPage(window);
    for (QWidget* w : window->findChildren<QWidget*>())
        if (ValueFollowsWheel(w))
            NoFocusByWheel(w);
    QCoreApplication::instance()->installEventFilter(rule);
}

} // namespace ctl
