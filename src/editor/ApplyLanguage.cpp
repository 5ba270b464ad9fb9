#include "editor/ApplyLanguage.h"

#include "editor/Controls.h"
#include "lang/Kalbos.h"
#include "lang/asciiTOunicode.h"
#include "link/UnitEil.h"
#include "widgets/IndControls.h"
#include "widgets/IndLeds.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>

#include <functional>

namespace {

template <class T>
bool is(const QObject* o)
{
    return qobject_cast<const T*>(o) != nullptr;
}

// A page of a page control: the control keeps its pages in a stack.
TPageControl* pageControlOf(const QObject* o, int& index)
{
    const auto* page = qobject_cast<const QWidget*>(o);
    const QWidget* stack = page ? page->parentWidget() : nullptr;
    auto* pc = stack && is<QStackedWidget>(stack) ? qobject_cast<TPageControl*>(stack->parentWidget()) : nullptr;
    if (!pc)
        return nullptr;
    for (int i = 0; i < pc->PageCount(); ++i) {
        if (pc->Page(i) == page) {
            index = i;
            return pc;
        }
    }
    return nullptr;
}

bool isTabSheet(const QObject* o)
{
    int index = 0;
    return pageControlOf(o, index) != nullptr;
}

bool isLed(const QObject* o) { return dynamic_cast<const TIndCustomLed*>(o) != nullptr; }
bool isMemo(const QObject* o) { return is<QPlainTextEdit>(o) || is<QTextEdit>(o); }

using K = TLangTextKind;

const TLangClassRow kRows[] = {
    {"TToolButton", false, K::CaptionHint, "QToolButton", &is<QToolButton>},
    {"TSpeedButton", false, K::CaptionHint, "QToolButton", &is<QToolButton>},
    {"TPanel", false, K::CaptionHint, "QFrame", &is<QFrame>},
    {"TGroupBox", false, K::CaptionHint, "QGroupBox", &is<QGroupBox>},
    {"TLabel", false, K::CaptionHint, "QLabel", &is<QLabel>},
    {"TCheckBox", false, K::CaptionHint, "QCheckBox", &is<QCheckBox>},
    {"TButton", false, K::CaptionHint, "QPushButton", &is<QPushButton>},
    {"TRadioButton", false, K::CaptionHint, "QRadioButton", &is<QRadioButton>},
    {"TIndLed", false, K::CaptionHint, "TIndLed", &isLed},
    {"TTabSheet", false, K::CaptionHint, "page of TPageControl", &isTabSheet},
    {"TLabeledEdit", false, K::LabeledEdit, "QLineEdit with a buddy label", &is<QLineEdit>},
    {"TTntTabSheet", false, K::CaptionHint, "page of TPageControl", &isTabSheet},
    {"TTntButton", false, K::CaptionHint, "QPushButton", &is<QPushButton>},
    {"TTntBitBtn", false, K::CaptionHint, "QPushButton", &is<QPushButton>},
    {"TTntRadioButton", false, K::CaptionHint, "QRadioButton", &is<QRadioButton>},
    {"TTntLabel", false, K::CaptionHint, "QLabel", &is<QLabel>},
    {"TTntCheckBox", false, K::CaptionHint, "QCheckBox", &is<QCheckBox>},
    {"ttntgroupbox", true, K::CaptionHint, "QGroupBox", &is<QGroupBox>},
    {"TMenuItem", false, K::MenuItem, "QAction", &is<QAction>},
    {"TComboBox", false, K::ComboItems, "QComboBox", &is<QComboBox>},
    {"ttntcombobox", true, K::ComboItems, "QComboBox", &is<QComboBox>},
    {"TRadioGroup", false, K::RadioGroup, "TRadioGroup", &is<TRadioGroup>},
    {"ttntradiogroup", true, K::RadioGroup, "TRadioGroup", &is<TRadioGroup>},
    // Lines of these classes name their control and set nothing.
    {"TEdit", false, K::None, "QLineEdit", &is<QLineEdit>},
    {"TTntEdit", false, K::None, "QLineEdit", &is<QLineEdit>},
    {"TMemo", false, K::None, "QPlainTextEdit", &isMemo},
    {"TTntMemo", false, K::None, "QPlainTextEdit", &isMemo},
};

void setCaption(QObject* o, const QString& text)
{
    int page = 0;
    if (auto* l = qobject_cast<QLabel*>(o))
        l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(o))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(o))
        g->setTitle(text);
    else if (TPageControl* pc = pageControlOf(o, page))
        pc->SetTabCaption(page, text);
    else if (auto* c = dynamic_cast<TIndGraphicControl*>(o))
        c->SetCaption(text);
    // A plain panel shows no caption of its own.
}

void setHint(QObject* o, const QString& hint, bool shown)
{
    if (auto* w = qobject_cast<QWidget*>(o)) {
        ctl::SetHint(w, hint);
        ctl::SetShowHint(w, shown);
    }
}

// The items of a TAB-separated list: an item list that ends in one TAB has no empty item
// after it; one that ends in two has.
QStringList items(QByteArray rest, const std::function<QString(const QByteArray&)>& text)
{
    QStringList out;
    while (!rest.isEmpty()) {
        QByteArray item;
        SplitAt(rest, QByteArrayLiteral("\t"), item);
        out << text(item);
    }
    return out;
}

void refillCombo(QComboBox* c, const QStringList& list)
{
    // No change handler may run for a refill.
    const QSignalBlocker block(c);
    const int was = c->currentIndex();
    c->clear();
    for (int i = 0; i < list.size(); ++i)
        c->addItem(list[i], i);
    // The choice stays where the new list still has it; -1 (no choice) stays -1.
    c->setCurrentIndex(c->count() >= was + 1 ? was : 0);
}

void ownedBelow(const QObject* parent, QHash<QString, QObject*>& out)
{
    for (QObject* c : parent->children()) {
        if (const auto* w = qobject_cast<const QWidget*>(c); w && w->isWindow() && !is<QMenu>(w))
            continue; // another window: its controls are its own
        if (const QString name = c->objectName(); !name.isEmpty()) {
            const QString key = name.toLower();
            if (!out.contains(key))
                out.insert(key, c);
        }
        ownedBelow(c, out);
    }
}

} // namespace

const TLangClassRow* FindLangClassRow(const QByteArray& className)
{
    const QByteArray lower = className.toLower();
    for (const TLangClassRow& row : kRows)
        if (row.LowerCase ? lower == row.Name : className == row.Name)
            return &row;
    return nullptr;
}

QWidget* FindLanguageForm(const QByteArray& name)
{
    const QString wanted = QString::fromLatin1(name);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->objectName().isEmpty() && w->objectName().compare(wanted, Qt::CaseInsensitive) == 0)
            return w;
    return nullptr;
}

QHash<QString, QObject*> OwnedComponents(const QWidget* form)
{
    QHash<QString, QObject*> out;
    if (form)
        ownedBelow(form, out);
    return out;
}

bool SetLanguage(const QByteArray& name)
{
    int32_t index = -1;
    for (int32_t i = 0; i < Languages.size(); ++i) {
        if (Languages[i].Name == name) {
            index = i;
            break;
        }
    }
    if (index < 0 || !SelectLanguage(index))
        return false;
    const TLanguage& lang = Languages[index];
    for (const TLangForm& f : lang.Forms) {
        QWidget* form = FindLanguageForm(f.Name);
        if (!form)
            continue;
        // (Fonts need no character set: every text is Unicode.)
        form->setWindowTitle(AnsiToUnicode(f.Caption, CurrentCodeTable));
        const QHash<QString, QObject*> owned = OwnedComponents(form);
        for (const TLangComponent& c : f.Components) {
            if (QObject* control = owned.value(QString::fromLatin1(c.Name).toLower()))
                ApplyComponentText(index, control, c.ClassName, c.Caption, c.Hint);
        }
    }
    return true;
}

void ApplyComponentText(std::int32_t language, QObject* component, const QByteArray& className,
                        const QByteArray& caption, const QByteArray& hint)
{
    try {
        const TLangClassRow* row = FindLangClassRow(className);
        if (!row || row->Kind == K::None || !component || !row->Matches(component))
            return;
        const int32_t table = language >= 0 && language < Languages.size()
                                  ? CharsetToCodeTable(Languages[language].Charset)
                                  : CurrentCodeTable;
        auto text = [table](const QByteArray& s) { return AnsiToUnicode(s, table); };
        switch (row->Kind) {
        case K::CaptionHint:
            setCaption(component, text(caption));
            setHint(component, text(hint), !hint.isEmpty());
            break;
        case K::LabeledEdit: {
            auto* edit = qobject_cast<QLineEdit*>(component);
            QLabel* label = nullptr;
            for (QLabel* l : edit->window()->findChildren<QLabel*>())
                if (l->buddy() == edit)
                    label = l;
            if (!label)
                return;
            label->setText(text(caption));
            setHint(edit, text(hint), !hint.isEmpty());
            break;
        }
        case K::MenuItem: {
            auto* a = qobject_cast<QAction*>(component);
            a->setText(text(caption));
            a->setStatusTip(text(hint));
            a->setToolTip(text(hint));
            break;
        }
        case K::ComboItems:
            refillCombo(qobject_cast<QComboBox*>(component), items(caption, text));
            break;
        case K::RadioGroup: {
            auto* g = qobject_cast<TRadioGroup*>(component);
            g->setTitle(text(caption));
            g->SetItems(items(hint, text));
            break;
        }
        case K::None:
            break;
        }
    } catch (...) {
        // The control keeps what was set before the fault; the next line goes on.
    }
}
