// The main window's layout in every language: on every page each caption and list item
// fits its control and keeps clear of the control beside it, and no two controls side by
// side cover each other or leave their box or page; the unlock panel of the GPRS-settings
// lock lies above everything else on its page and takes the mouse.
#include "editor/Controls.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"
#include "widgets/PanelStatusBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOption>

namespace {

class CaptionLayoutTest : public WindowTestBase {
protected:
    void TearDown() override
    {
        TForm1::ScreenSizeOverride = QSize();
        WindowTestBase::TearDown();
    }

    // The service mode's window, shown, over a module of a model with every page, whose
    // settings show the most controls: a user with SMS backup, a USB password.
    void Start(bool locked)
    {
        TForm1::ScreenSizeOverride = QSize(1280, 1024); // the whole client area, no scrolling
        WriteSettings("Code=48213\r\n");
        ASSERT_TRUE(CreateFormsWithLanguages());
        PlugModule(2035, false);
        module->Options().productName = sim::SimModule::ProductNameFor(2035, QStringLiteral("VEQ3"));
        module->Config().phones[0].number = "37060000001";
        module->Config().phones[0].addCR = 0x10;
        module->Config().usbPassword = "pw";
        module->SetGPRSLocked(locked);
        module->Plug();
        ASSERT_TRUE(WaitReadFinished());
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->Timer_CheckPassword->isActive() && form->isEnabled(); }));
    }

    void SwitchTo(const QString& language) { Choose(form->ComboBox28, form->ComboBox28->findText(language)); }
};

// A caption as shown: the mnemonic marks are not drawn.
QString Shown(QString caption) { return caption.remove(QLatin1Char('&')); }

// Where a control shows its caption, and the caption's width in the control's font; an
// empty room for a control without a caption of its own.
QRect Room(const QWidget* w, int& needed)
{
    const QFontMetrics fm(w->font());
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull())
            return {};
        const QRect r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (!l->wordWrap()) {
            needed = fm.horizontalAdvance(l->text());
            return r;
        }
        // A wrapped caption breaks between words and must fit the height as well.
        needed = fm.boundingRect(r, int(l->alignment()) | Qt::TextWordWrap, l->text()).width();
        return l->heightForWidth(l->width()) > l->height() ? QRect() : r;
    }
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
        QStyleOptionGroupBox o;
        o.initFrom(g);
        o.text = g->title();
        o.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g);
        needed = fm.horizontalAdvance(Shown(g->title()));
        return g->title().isEmpty() ? QRect() : QRect(label.left(), 0, g->width() - label.left(), g->height());
    }
    const auto* b = qobject_cast<const QAbstractButton*>(w);
    if (!b || b->text().isEmpty())
        return {};
    needed = fm.horizontalAdvance(Shown(b->text()));
    QStyleOptionButton o;
    o.initFrom(b);
    o.text = b->text();
    if (qobject_cast<const QCheckBox*>(b))
        return b->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, b);
    if (qobject_cast<const QRadioButton*>(b))
        return b->style()->subElementRect(QStyle::SE_RadioButtonContents, &o, b);
    if (!b->icon().isNull())
        needed += b->iconSize().width() + 4;
    return b->style()->subElementRect(QStyle::SE_PushButtonContents, &o, b);
}

// The faults of a visible control among its visible siblings: two that cover each other, a
// list item wider than the room the closed list shows its choice in, a caption its control
// cuts, a button's caption reaching its frame, a caption reaching the control beside it.
void Check(const QWidget* w, const QList<const QWidget*>& siblings, QStringList& out)
{
    constexpr int kGap = 3;
    const QString name = w->objectName();
    for (qsizetype k = siblings.indexOf(w) + 1; k < siblings.size(); ++k)
        if (w->geometry().intersects(siblings[k]->geometry()))
            out << name + QStringLiteral(" overlaps ") + siblings[k]->objectName();
    if (const auto* c = qobject_cast<const QComboBox*>(w)) {
        QStyleOptionComboBox o;
        o.initFrom(c);
        o.editable = c->isEditable();
        o.frame = c->hasFrame();
        // The choice is drawn one pixel inside the edit field on each side.
        const int room = c->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, c).width() - 2;
        for (int i = 0; i < c->count(); ++i)
            if (c->fontMetrics().horizontalAdvance(c->itemText(i)) > room)
                out << QStringLiteral("%1 cuts its item \"%2\" (%3 px)").arg(name, c->itemText(i)).arg(room);
        return;
    }
    int needed = 0;
    const QRect room = Room(w, needed);
    if (!needed)
        return;
    if (room.isNull() || needed > room.width()) {
        out << QStringLiteral("%1 cuts its caption (%2 of %3 px)").arg(name).arg(needed).arg(room.width());
        return;
    }
    if (qobject_cast<const QPushButton*>(w)) {
        if (needed + 2 * kGap > room.width())
            out << QStringLiteral("%1 has %2 px beside its caption").arg(name).arg(room.width() - needed);
        return;
    }
    if (qobject_cast<const QGroupBox*>(w))
        return;
    // Where the caption's text ends, in the parent's coordinates.
    int end = room.left() + needed;
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->alignment() & Qt::AlignRight)
            end = room.right() + 1;
        else if (l->alignment() & Qt::AlignHCenter)
            end = room.center().x() + (needed + 1) / 2;
    }
    end = w->x() + std::min(end, room.right() + 1);
    const QWidget* next = nullptr;
    for (const QWidget* s : siblings) {
        const bool sameLine = s->y() < w->y() + w->height() && w->y() < s->y() + s->height();
        if (s != w && sameLine && s->x() > w->x() && (!next || s->x() < next->x()))
            next = s;
    }
    if (next && next->x() - end < kGap)
        out << QStringLiteral("%1 ends %2 px before %3").arg(name).arg(next->x() - end).arg(next->objectName());
}

bool IsContainer(const QWidget* w)
{
    const QMetaObject* m = w->metaObject();
    return m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject || qobject_cast<const QGroupBox*>(w) ||
           qobject_cast<const TPageControl*>(w) || qobject_cast<const TPageWizard*>(w) ||
           qobject_cast<const TPageWizardCustomPage*>(w) || qobject_cast<const TPanelStatusBar*>(w) ||
           m->className() == QByteArray("QStackedWidget");
}

// Every visible control below the parent, each checked among its visible siblings.
void Walk(const QWidget* parent, QStringList& out)
{
    QList<const QWidget*> shown;
    for (const QObject* o : parent->children())
        if (const auto* w = qobject_cast<const QWidget*>(o); w && !w->isWindow() && w->isVisible())
            shown << w;
    for (const QWidget* w : shown) {
        Check(w, shown, out);
        if (!parent->rect().contains(w->geometry())) // cut by its box or page: a scrolled area's content scrolls
            out << QStringLiteral("%1 leaves %2").arg(w->objectName(), parent->objectName());
        if (const auto* a = qobject_cast<const QScrollArea*>(w); a && a->widget())
            Walk(a->widget(), out);
        else if (IsContainer(w))
            Walk(w, out);
    }
}

QStringList Faults(std::initializer_list<const QWidget*> roots, const QString& where)
{
    QStringList out;
    for (const QWidget* root : roots)
        Walk(root, out);
    for (QString& f : out)
        f.prepend(where + QStringLiteral(": "));
    return out;
}

TEST_F(CaptionLayoutTest, CaptionsAndListItemsFitAndKeepClearOfTheirControlsOnEveryPageInEveryLanguage)
{
    Start(false);
    // The settings whose controls show only in some states, chosen as a user does.
    Choose(form->ComboBox4, 1);
    Choose(form->ComboBox1, 2);
    QTest::mouseClick(form->TntCheckBox42, Qt::LeftButton);
    Choose(form->ComboBox2, 2);
    Choose(form->ComboBox3, 2);
    QTest::mouseClick(form->TntCheckBox43, Qt::LeftButton);
    Choose(form->ComboBox5, 1); // Contact ID
    Choose(form->ComboBox7, 2); // SMS
    for (QComboBox* c : {form->ComboBox8, form->ComboBox9, form->ComboBox10, form->ComboBox11})
        Choose(c, 1);
    for (int i = 0; i < 4; ++i)
        Choose(ctl::Find<QComboBox>(form, QStringLiteral("ComboBox%1").arg(24 + i)), (i + 1) % 4);
    QTest::mouseClick(form->Btn_Search, Qt::LeftButton); // the APN lists
    // Every page as a user reaches it: the pages and the status bar (the notices behind
    // the pages are covered by design).
    const auto window = {static_cast<const QWidget*>(form->PageControl1),
                         static_cast<const QWidget*>(form->PanelStatusBar1)};
    QStringList faults;
    for (const QString& language : {QStringLiteral("Russian"), QStringLiteral("English")}) {
        SwitchTo(language);
        form->PageControl1->SetActivePageIndex(0);
        faults << Faults(window, language + QStringLiteral(" log page"));
        form->PageControl1->SetActivePageIndex(4);
        faults << Faults(window, language + QStringLiteral(" main screen"));
        QTest::mouseClick(form->TntButton29, Qt::LeftButton);
        faults << Faults(window, language + QStringLiteral(" wizard"));
        QTest::mouseClick(form->TntButton30, Qt::LeftButton);
        for (int step = 0; step < 9; ++step) {
            QTest::mouseClick(form->Step[step], Qt::LeftButton);
            faults << Faults(window, language + QStringLiteral(" page %1").arg(step));
        }
    }
    // The APN lists with every location's operators and every operator's names in turn.
    for (int loc = 0; loc < form->TntComboBox5->count(); ++loc) {
        Choose(form->TntComboBox5, loc);
        for (int op = 0; op < form->TntComboBox6->count(); ++op) {
            Choose(form->TntComboBox6, op);
            faults << Faults({form->TntGroupBox16}, form->TntComboBox5->currentText());
        }
    }
    faults.removeDuplicates();
    EXPECT_TRUE(faults.isEmpty()) << qPrintable(faults.join(QLatin1Char('\n')));
}

TEST_F(CaptionLayoutTest, UnlockPanelLiesAboveTheChannelsAndTakesTheMouse)
{
    Start(true);
    ASSERT_FALSE(form->TntPanel18->isHidden());
    QTest::mouseClick(form->TntButton30, Qt::LeftButton);
    QTest::mouseClick(form->Step[1], Qt::LeftButton);
    QStringList faults;
    for (const QString& language : {QStringLiteral("Russian"), QStringLiteral("English")}) {
        SwitchTo(language);
        faults << Faults({form->WPage[2]}, language);
    }
    // A click where the user sees the control reaches whatever lies on top there: the edit
    // and the button; a wrong password, then the right one.
    auto clickOn = [&](const QWidget* w) {
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, w->mapTo(form, w->rect().center()));
    };
    for (const QByteArray& password : {QByteArray("xx"), QByteArray("pw")}) {
        clickOn(form->TntEdit5);
        ASSERT_TRUE(form->TntEdit5->hasFocus());
        form->TntEdit5->selectAll();
        QTest::keyClicks(form->TntEdit5, QString::fromLatin1(password));
        module->ClearLog();
        clickOn(form->TntButton34);
        ASSERT_TRUE(sim::WaitUntil([&] { return !module->Packets().empty(); }));
        EXPECT_EQ(module->Packets()[0].left(3), QByteArray("\x42") + password);
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->Timer_CheckPassword->isActive(); }));
        faults << Faults({form->WPage[2]}, QString::fromLatin1(password));
    }
    EXPECT_TRUE(faults.isEmpty()) << qPrintable(faults.join(QLatin1Char('\n')));
    EXPECT_TRUE(form->TntPanel18->isHidden());
    EXPECT_FALSE(form->Edit1->isHidden());
    EXPECT_EQ(form->TntGroupBox14->y(), form->WPage[2]->ClientMargins().top());
}

// Locked or not, in both languages, with the APN search open: every page, in the wizard and page by page.
TEST_F(CaptionLayoutTest, EveryControlLiesInsideItsPageLockedOrNotWithTheAPNSearchOpen)
{
    QStringList faults;
    for (const bool locked : {false, true}) {
        Start(locked);
        ASSERT_EQ(form->TntPanel18->isHidden(), !locked);
        for (const QString& language : {QStringLiteral("English"), QStringLiteral("Russian")}) {
            SwitchTo(language);
            QTest::mouseClick(form->TntButton29, Qt::LeftButton);
            form->GoToWizardStep(1);
            QTest::mouseClick(form->Btn_Search, Qt::LeftButton);
            Choose(form->TntComboBox5, 0);
            Choose(form->TntComboBox6, 0);
            ASSERT_TRUE(form->TntComboBox7->isVisible() && form->Btn_Cancel->isVisible()); // its last list
            for (QWidget* mode : std::initializer_list<QWidget*>{form->TntButton29, form->TntButton30}) {
                QTest::mouseClick(mode, Qt::LeftButton); // the wizard, then the pages
                const QString where = language + QLatin1String(locked ? " locked " : " ") + mode->objectName();
                for (int step = 0; step < 9; ++step) { // a page the model has not stays hidden
                    form->GoToWizardStep(step);
                    QApplication::processEvents(); // laid out as the user sees it
                    faults << Faults({form->WPage[step + 1]}, where + QStringLiteral(" page %1").arg(step));
                }
            }
        }
        CloseWindow();
    }
    faults.removeDuplicates();
    EXPECT_TRUE(faults.isEmpty()) << qPrintable(faults.join(QLatin1Char('\n')));
}

} // namespace
