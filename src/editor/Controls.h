#pragma once
// Small pieces of control behaviour the windows rely on and the toolkit does not give
// as such: per-control Tag, Hint and ShowHint, "visible" and "enabled" read from the
// control's own state, lookup of numbered controls by name, spin edits that keep their
// value inside the range, and a page control whose tab buttons can be hidden while
// their pages stay selectable.
#include <QGroupBox>
#include <QSpinBox>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QButtonGroup;
class QRadioButton;
class QStackedWidget;
class QTabBar;

namespace ctl {

// Tag: an integer per control (0 when never set).
int Tag(const QObject* w);
void SetTag(QObject* w, int tag);

// Hint and ShowHint: the tooltip is the hint only while ShowHint is on.
QString Hint(const QWidget* w);
void SetHint(QWidget* w, const QString& hint);
bool ShowHint(const QWidget* w);
void SetShowHint(QWidget* w, bool on);

// The control's own visibility and enabled state, whatever its parents are.
inline bool Visible(const QWidget* w) { return w && !w->isHidden(); }
// (A control disabled only through a disabled parent, such as the main window while the
// wait dialog is up, still reads as enabled.)
inline bool Enabled(const QWidget* w) { return w && !w->testAttribute(Qt::WA_ForceDisabled); }

// A control of the window found by its name, without regard to ASCII case; nullptr
// when the window holds none of that name (or none of that class).
QWidget* FindByName(const QWidget* root, const QString& name);
template <class T>
T* Find(const QWidget* root, const QString& name)
{
    return dynamic_cast<T*>(FindByName(root, name));
}

// The width a check box or radio button needs to show its whole caption in its own font:
// the mark, the style's spacing after it, and the text.
int CaptionBoxWidth(const QWidget* box);

// Creates a child control with its designed name and geometry.
template <class T>
T* Make(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left, top, width, height);
    return w;
}

// Creates a child control with its designed name, geometry and caption text.
template <class T>
T* MakeText(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
            int height)
{
    T* w = Make<T>(parent, name, left, top, width, height);
    w->setText(text);
    return w;
}

} // namespace ctl

// A spin edit whose value always lies inside its range: a value set outside becomes the
// nearest bound, and text that cannot be read gives the minimum.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);
    int Value() const { return value(); }
    void SetValue(int v);

protected:
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
};

// Page control: a row of tabs above a stack of pages. A tab can be hidden while its page
// stays selectable by index, as the main window hides all its tabs and switches pages
// itself.
class TPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // Adds a page with its tab caption; returns the page (a plain container).
    QWidget* AddPage(const char* name, const QString& caption);
    int PageCount() const;
    QWidget* Page(int index) const;

    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

    bool TabVisible(int index) const;
    void SetTabVisible(int index, bool visible);
    void SetTabCaption(int index, const QString& caption);
    QString TabCaption(int index) const;

    // The tab row and the page stack (tests and layout read them).
    QTabBar* Tabs() const { return tabs_; }

signals:
    void Changed(int index);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutChildren();
    QTabBar* tabs_;
    QStackedWidget* stack_;
    QList<int> tabOfPage_; // tab index of each page, -1 while its tab is hidden
    QStringList captions_;
    QList<bool> tabVisible_;
    void rebuildTabs();
};

namespace ctl {

// A key filter in the manner of an edit's key-press handler: for each printable character
// that a key (or an input method) would put into the edit, whatever the modifiers held with
// it, the filter returns the character to insert, possibly changed, or 0 to drop it. The
// characters come as 8-bit codes (one outside Latin-1 as "?"). The editing keys type
// nothing and are never filtered: Backspace, Delete, the arrows, Home/End, Enter, Tab and
// the shortcuts with Ctrl (copy, paste, cut, undo, select all) work as in any edit.
using KeyFilter = std::function<char(char key)>;
void InstallKeyFilter(QWidget* edit, KeyFilter filter);

// Cleans what the user pastes or drops into an edit, where it comes in: Paste from the
// context menu, the paste keys (Ctrl+V, Shift+Insert), the middle click and a drop. Line
// breaks and tabs inside the text become spaces (those at its ends are dropped), other
// control characters go, then the text passes through `filter` when one is given, and only
// then the edit cuts it to its maxLength. The filter runs while the edit's cursor and
// selection stand where the text goes in (a drop from elsewhere puts the cursor at the
// drop point first). It goes in as one edit operation, so undo works. Typed text is left
// to the key filter; text the program sets stays as set.
using TextFilter = std::function<QString(const QString& inserted)>;
void InstallInputCleaner(class QLineEdit* edit, TextFilter filter = {});

// What a middle click pastes where the platform keeps no primary selection (tests);
// nullptr again for the platform's own.
void SetPrimarySelectionForTests(const QString* text);

// The colour of an edit's field ($00BBGGRR).
void SetFieldColor(QWidget* edit, std::int32_t color);
std::int32_t FieldColor(const QWidget* edit);

} // namespace ctl

// Radio group: a group box holding one radio button per item, stacked from the top. The
// chosen item is ItemIndex (-1 when none); replacing the items drops the choice.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);
    QStringList Items() const;
    void SetItems(const QStringList& items);
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;

private:
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};

namespace ctl {

// The mouse wheel scrolls the page under the pointer. Over a list, spin box or time picker
// of the window that the user has not clicked into, it changes nothing: it goes to the
// nearest scroll area around the control that can still move, the window's own last. A
// control that has the focus keeps its wheel, and the wheel never gives the focus. Installed
// once for the window; it holds for the controls made later too.
void InstallWheelScrollsPage(QWidget* window);

} // namespace ctl
