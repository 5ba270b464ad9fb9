#include "editor/Controls.h"

#include "widgets/Colors.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVariant>

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

// The character a key types, as an edit's key-press handler receives it; 0 for a key that
// types none.
char TypedChar(const QKeyEvent* ke)
{
    if (ke->key() == Qt::Key_Backspace)
        return 8;
    const Qt::KeyboardModifiers mods =
        ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods == Qt::ControlModifier && ke->key() >= Qt::Key_A && ke->key() <= Qt::Key_Z)
        return static_cast<char>(ke->key() - Qt::Key_A + 1);
    if (mods != Qt::NoModifier)
        return 0; // other shortcuts type nothing
    const QString text = ke->text();
    if (text.size() != 1)
        return 0;
    const char16_t u = text.at(0).unicode();
    // Delete arrives as U+007F, Enter, Tab and Escape as control codes: none is typed.
    if (u < 0x20 || u == 0x7F)
        return 0;
    return static_cast<char>(u < 256 ? u : '?');
}

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(QObject* parent, KeyFilter f) : QObject(parent), filter_(std::move(f)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const char key = TypedChar(static_cast<QKeyEvent*>(event));
        if (key == 0)
            return false; // an editing key: the edit handles it as usual
        char out = 0;
        try {
            out = filter_(key);
        } catch (...) {
            out = 0;
        }
        if (out == 0)
            return true; // dropped
        if (out == key)
            return false; // let the edit handle it as typed
        // A changed character: type it ourselves.
        if (auto* le = qobject_cast<QLineEdit*>(watched)) {
            le->insert(QString(QChar(static_cast<unsigned char>(out))));
            return true;
        }
        return false;
    }

private:
    KeyFilter filter_;
};

bool IsControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

class InputCleaner : public QObject {
public:
    InputCleaner(QLineEdit* edit, TextFilter filter)
        : QObject(edit), edit_(edit), filter_(std::move(filter)), before_(edit->text())
    {
        // An edit reports its new text before its new cursor and selection, so when the
        // text changes these still tell where the insertion began.
        NoteStart();
        connect(edit, &QLineEdit::cursorPositionChanged, this, [this] { NoteStart(); });
        connect(edit, &QLineEdit::selectionChanged, this, [this] { NoteStart(); });
        connect(edit, &QLineEdit::textEdited, this, [this] { Edited(); });
        connect(edit, &QLineEdit::textChanged, this, [this] { before_ = edit_->text(); });
    }

private:
    void NoteStart() { start_ = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition(); }

    QString Clean(QString s) const
    {
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

    // The edit cuts a paste to the room left before anyone sees it. When the edit is full
    // and what came in begins a longer clipboard text, that text is what was pasted. (Had
    // it been typed, the cleaned clipboard text would begin with it too, and cutting that
    // to the same room gives the same characters.)
    static QString WholePaste(const QString& inserted)
    {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        for (const QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection}) {
            if (mode == QClipboard::Selection && !clipboard->supportsSelection())
                continue;
            const QString whole = clipboard->text(mode);
            if (whole.size() > inserted.size() && whole.startsWith(inserted))
                return whole;
        }
        return inserted;
    }

    void Edited()
    {
        const QString now = edit_->text();
        const QString& old = before_;
        // What was inserted lies between the start and the cursor, with the old text kept
        // on both sides. Anything else (an undo brings back an earlier text) is left alone.
        const qsizetype end = edit_->cursorPosition();
        const qsizetype start = std::min<qsizetype>(start_, end);
        const qsizetype kept = now.size() - end;
        if (start > old.size() || kept > old.size() - start ||
            QStringView(now).left(start) != QStringView(old).left(start) ||
            QStringView(now).right(kept) != QStringView(old).right(kept))
            return;
        QString inserted = now.mid(start, end - start);
        if (now.size() >= edit_->maxLength())
            inserted = WholePaste(inserted);
        inserted = Clean(inserted).left(std::max<qsizetype>(0, edit_->maxLength() - start - kept));
        const QString cleaned = now.left(start) + inserted + now.right(kept);
        if (cleaned == now)
            return;
        edit_->setText(cleaned); // a text set in code is no edit: no second round
        edit_->setCursorPosition(static_cast<int>(start + inserted.size()));
    }

    QLineEdit* edit_;
    TextFilter filter_;
    QString before_;
    qsizetype start_ = 0;
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
