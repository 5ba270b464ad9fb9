// Navigation, events, button bar and keys of the page wizard.
#include "widgets/PageWizard.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QTest>

#include <memory>
#include <vector>

using BK = TPageWizardButtonKind;

namespace {

class PageWizardTest : public ::testing::Test {
protected:
    // A form of 600 x 400 holding a wizard with n welcome pages; the pages are built
    // while the wizard loads, as a form does.
    void Build(int n, bool show = false)
    {
        form = std::make_unique<QWidget>();
        form->resize(600, 400);
        wz = new TPageWizard(form.get());
        wz->setLoading(true);
        for (int i = 0; i < n; ++i) {
            auto* p = new TPageWizardWelcomePage(wz);
            p->setObjectName(QStringLiteral("WPage%1").arg(i + 1));
            pages.push_back(p);
        }
        if (show)
            form->show();
        wz->loaded();
    }
    TPageWizardButtonControl* Ctrl(BK k) const { return wz->ButtonControl(k); }
    bool Shown(BK k) const { return !Ctrl(k)->isHidden(); }
    bool Enabled(BK k) const { return !Ctrl(k)->testAttribute(Qt::WA_Disabled); }

    std::unique_ptr<QWidget> form;
    TPageWizard* wz = nullptr;
    std::vector<TPageWizardCustomPage*> pages;
};

} // namespace

TEST_F(PageWizardTest, EmptyWizardOffersOnlyCancel)
{
    Build(0);
    EXPECT_EQ(wz->GetActivePageIndex(), -1);
    EXPECT_EQ(wz->ActivePage(), nullptr);
    EXPECT_EQ(wz->geometry(), QRect(0, 0, 600, 400)); // fills its parent
    EXPECT_TRUE(Shown(BK::bkBack));
    EXPECT_FALSE(Enabled(BK::bkBack));
    EXPECT_TRUE(Shown(BK::bkNext));
    EXPECT_FALSE(Enabled(BK::bkNext));
    EXPECT_TRUE(Shown(BK::bkCancel));
    EXPECT_TRUE(Enabled(BK::bkCancel));
    for (BK k : {BK::bkStart, BK::bkLast, BK::bkFinish, BK::bkHelp})
        EXPECT_FALSE(Shown(k));
    int raised = 0;
    wz->OnSelectNextPage = [&](QObject*, TPageWizardCustomPage*, TPageWizardCustomPage*&) { ++raised; };
    wz->OnSelectPriorPage = wz->OnSelectNextPage;
    wz->SelectNextPage();
    wz->SelectPriorPage();
    wz->SelectFirstPage();
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(wz->ActivePage(), nullptr);
    wz->UpdateButtons();
    EXPECT_FALSE(Enabled(BK::bkNext));
    EXPECT_TRUE(Enabled(BK::bkCancel));
}

TEST_F(PageWizardTest, NavigationSkipsDisabledPagesAndStopsAtTheEnds)
{
    Build(5);
    pages[1]->setEnabled(false);
    pages[3]->setEnabled(false);
    ASSERT_EQ(wz->GetActivePageIndex(), 0);
    EXPECT_FALSE(pages[0]->isHidden());

    int nextRaised = 0, priorRaised = 0;
    wz->OnSelectNextPage = [&](QObject* s, TPageWizardCustomPage* from, TPageWizardCustomPage*& to) {
        EXPECT_EQ(s, wz);
        EXPECT_EQ(from, wz->ActivePage());
        EXPECT_TRUE(to->IsPageEnabled());
        ++nextRaised;
    };
    wz->OnSelectPriorPage = [&](QObject*, TPageWizardCustomPage*, TPageWizardCustomPage*&) { ++priorRaised; };

    wz->SelectNextPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 2);
    EXPECT_TRUE(pages[0]->isHidden());
    EXPECT_FALSE(pages[2]->isHidden());
    wz->SelectNextPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 4);
    wz->SelectNextPage(); // last enabled page: nothing, no event
    EXPECT_EQ(wz->GetActivePageIndex(), 4);
    EXPECT_EQ(nextRaised, 2);

    wz->SelectPriorPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 2);
    wz->SelectPriorPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    wz->SelectPriorPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    EXPECT_EQ(priorRaised, 2);

    wz->SelectLastPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 4);
    wz->SelectFirstPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);

    // The setter refuses disabled pages, pages of other wizards and out-of-range indexes.
    wz->SetActivePageIndex(3);
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    wz->SetActivePageIndex(9);
    wz->SetActivePageIndex(-1);
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    TPageWizard other;
    auto* foreign = new TPageWizardWelcomePage(&other);
    wz->SetActivePage(foreign);
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    EXPECT_EQ(foreign->GetPageIndex(), 0);
    EXPECT_THROW(wz->IsForward(pages[0], foreign), EPageWizard);
    EXPECT_TRUE(wz->IsForward(nullptr, pages[2]));
    EXPECT_FALSE(wz->IsForward(pages[2], nullptr));
    EXPECT_FALSE(wz->IsForward(pages[2], pages[0]));

    EXPECT_EQ(wz->FindNextPage(0, +1, false), pages[1]);
    EXPECT_EQ(wz->FindNextPage(0, +1, true), pages[2]);
    EXPECT_EQ(wz->FindNextPage(0, 0, true), nullptr);

    // Showing a control that lies on a page makes that page active.
    auto* edit = new QLineEdit(pages[4]);
    wz->ShowControl(edit);
    EXPECT_EQ(wz->GetActivePageIndex(), 4);
}

TEST_F(PageWizardTest, ActivePageCannotBeSetWhileLoading)
{
    Build(3);
    wz->setLoading(true);
    wz->SetActivePageIndex(2);
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    wz->loaded(); // selects the first enabled page again
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
}

TEST_F(PageWizardTest, SelectHandlerStopsOrRedirectsTheMove)
{
    Build(4);
    pages[2]->setEnabled(false);
    TPageWizardCustomPage* target = nullptr;
    wz->OnSelectNextPage = [&](QObject*, TPageWizardCustomPage*, TPageWizardCustomPage*& to) { to = target; };

    target = nullptr; // stop
    wz->SelectNextPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    target = pages[2]; // a disabled page keeps the current one
    wz->SelectNextPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
    target = pages[3]; // redirect
    wz->SelectNextPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 3);
    target = pages[3]; // the current page: nothing changes
    wz->OnSelectPriorPage = wz->OnSelectNextPage;
    wz->SelectPriorPage();
    EXPECT_EQ(wz->GetActivePageIndex(), 3);
}

TEST_F(PageWizardTest, EnterExitAndPageEventsCarryTheOtherPage)
{
    Build(3, true);
    struct Seen {
        QString what;
        QObject* sender;
        TPageWizardCustomPage* page;
    };
    std::vector<Seen> log;
    for (auto* p : pages) {
        p->OnEnterPage = [&](QObject* s, TPageWizardCustomPage* const pg) { log.push_back({"enter", s, pg}); };
        p->OnExitPage = [&](QObject* s, TPageWizardCustomPage* const pg) { log.push_back({"exit", s, pg}); };
        p->OnPage = [&](QObject* s) { log.push_back({"page", s, nullptr}); };
    }
    auto* edit = new QLineEdit(pages[1]);
    edit->setObjectName("edit");

    wz->SelectNextPage();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].what, "exit");
    EXPECT_EQ(log[0].sender, pages[0]);
    EXPECT_EQ(log[0].page, pages[1]); // the page being entered
    EXPECT_EQ(log[1].what, "enter");
    EXPECT_EQ(log[1].sender, pages[1]);
    EXPECT_EQ(log[1].page, pages[0]); // the page being left
    EXPECT_EQ(log[2].what, "page");
    EXPECT_EQ(log[2].sender, pages[1]);
    // After the page event the focus goes to the first control of the page.
    EXPECT_EQ(form->focusWidget(), edit);

    // A disabled page raises no events of its own: page 1 is left without its exit event.
    log.clear();
    pages[1]->setEnabled(false); // active page disabled: the wizard moves on
    EXPECT_EQ(wz->GetActivePageIndex(), 2);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].what, "enter");
    EXPECT_EQ(log[0].page, pages[1]);
}

TEST_F(PageWizardTest, ButtonClicksRaisePageEventWithStop)
{
    Build(3);
    int wizardNext = 0, wizardCancel = 0, pageNext = 0;
    bool stopNext = true;
    wz->OnNextButtonClick() = [&](QObject* s) {
        EXPECT_EQ(s, Ctrl(BK::bkNext));
        ++wizardNext;
    };
    wz->OnCancelButtonClick() = [&](QObject*) { ++wizardCancel; };
    EXPECT_TRUE(static_cast<bool>(Ctrl(BK::bkNext)->OnClick)); // the event lives in the control
    pages[0]->OnNextButtonClick = [&](QObject* s, bool& Stop) {
        EXPECT_EQ(s, pages[0]);
        EXPECT_FALSE(Stop);
        Stop = stopNext;
        ++pageNext;
    };
    pages[0]->OnCancelButtonClick = [&](QObject*, bool& Stop) { Stop = true; };

    Ctrl(BK::bkNext)->click();
    EXPECT_EQ(pageNext, 1);
    EXPECT_EQ(wizardNext, 0);
    EXPECT_EQ(wz->GetActivePageIndex(), 0);

    stopNext = false;
    Ctrl(BK::bkNext)->click();
    EXPECT_EQ(wizardNext, 1);
    EXPECT_EQ(wz->GetActivePageIndex(), 1);

    Ctrl(BK::bkBack)->click();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);

    Ctrl(BK::bkCancel)->click();
    EXPECT_EQ(wizardCancel, 0); // stopped by the page
    pages[0]->OnCancelButtonClick = nullptr;
    Ctrl(BK::bkCancel)->click();
    EXPECT_EQ(wizardCancel, 1);
    EXPECT_EQ(wz->GetActivePageIndex(), 0); // cancel never navigates

    pages[0]->SetVisibleButtons({BK::bkStart, BK::bkLast, BK::bkNext});
    Ctrl(BK::bkLast)->click();
    EXPECT_EQ(wz->GetActivePageIndex(), 2);
    pages[2]->SetVisibleButtons({BK::bkStart});
    Ctrl(BK::bkStart)->click();
    EXPECT_EQ(wz->GetActivePageIndex(), 0);

    int helped = 0;
    TPageWizard::ContextHelp = [&](int ctx) { helped = ctx; };
    pages[0]->SetHelpContext(17);
    Ctrl(BK::bkHelp)->setEnabled(true);
    Ctrl(BK::bkHelp)->click();
    TPageWizard::ContextHelp = nullptr;
    EXPECT_EQ(helped, 17);
}

TEST_F(PageWizardTest, FirstEnabledPageDropsBackForGood)
{
    Build(3);
    pages[0]->setEnabled(false);
    wz->SelectFirstPage();
    ASSERT_EQ(wz->ActivePage(), pages[1]);
    EXPECT_FALSE(pages[1]->EnabledButtons().Contains(BK::bkBack));
    EXPECT_FALSE(Enabled(BK::bkBack));
    EXPECT_TRUE(Enabled(BK::bkNext));
    EXPECT_TRUE(Ctrl(BK::bkNext)->isDefault());

    pages[0]->setEnabled(true);
    wz->SelectNextPage();
    wz->SelectPriorPage();
    ASSERT_EQ(wz->ActivePage(), pages[1]);
    EXPECT_FALSE(pages[1]->EnabledButtons().Contains(BK::bkBack)); // the change persists
    EXPECT_FALSE(Enabled(BK::bkBack));
    EXPECT_TRUE(pages[2]->EnabledButtons().Contains(BK::bkBack));
}

TEST_F(PageWizardTest, ButtonLayoutFollowsTheVisibleSet)
{
    Build(2);
    const int y = 400 - 42 + 10;
    // Default set: Back, 1, Next, 10, Cancel at the right edge less 8.
    EXPECT_EQ(Ctrl(BK::bkCancel)->geometry(), QRect(600 - 8 - 75, y, 75, 25));
    EXPECT_EQ(Ctrl(BK::bkNext)->geometry().right() + 1 + 10, Ctrl(BK::bkCancel)->x());
    EXPECT_EQ(Ctrl(BK::bkBack)->geometry().right() + 1 + 1, Ctrl(BK::bkNext)->x());

    // Next and Finish: Back, 1, Next, 10, Finish, 1, Cancel.
    pages[0]->SetVisibleButtons({BK::bkBack, BK::bkNext, BK::bkFinish, BK::bkCancel});
    EXPECT_TRUE(Shown(BK::bkFinish));
    const QRect back = Ctrl(BK::bkBack)->geometry(), next = Ctrl(BK::bkNext)->geometry(),
                fin = Ctrl(BK::bkFinish)->geometry(), can = Ctrl(BK::bkCancel)->geometry();
    EXPECT_EQ(can.x() + can.width(), 592);
    EXPECT_EQ(can.x() - (fin.x() + fin.width()), 1);
    EXPECT_EQ(fin.x() - (next.x() + next.width()), 10);
    EXPECT_EQ(next.x() - (back.x() + back.width()), 1);
    EXPECT_EQ(back.y(), y);
    EXPECT_EQ(fin.height(), 25);

    // Finish without Next: Finish, 10, Cancel.
    pages[0]->SetVisibleButtons({BK::bkFinish, BK::bkCancel});
    EXPECT_FALSE(Shown(BK::bkNext));
    EXPECT_EQ(Ctrl(BK::bkCancel)->x() - (Ctrl(BK::bkFinish)->geometry().right() + 1), 10);

    // Left group: Help, 10, Start, 1, Last from the left edge plus 8.
    pages[0]->SetVisibleButtons({BK::bkHelp, BK::bkStart, BK::bkLast, BK::bkCancel});
    EXPECT_EQ(Ctrl(BK::bkHelp)->geometry(), QRect(8, y, 75, 25));
    EXPECT_EQ(Ctrl(BK::bkStart)->geometry(), QRect(93, y, 85, 25));
    EXPECT_EQ(Ctrl(BK::bkLast)->geometry(), QRect(179, y, 85, 25));

    // A new width through the wrapper lays out again; resizing the wizard too.
    wz->ButtonCancel()->SetWidth(95);
    EXPECT_EQ(wz->ButtonCancel()->Width(), 95);
    EXPECT_EQ(Ctrl(BK::bkCancel)->geometry(), QRect(600 - 8 - 95, y, 95, 25));
    form->show();
    form->resize(700, 500);
    EXPECT_EQ(Ctrl(BK::bkCancel)->geometry(), QRect(700 - 8 - 95, 500 - 32, 95, 25));
    EXPECT_EQ(pages[0]->geometry(), QRect(0, 0, 700, 500 - 42));

    // Wrapper properties read and write the control.
    wz->ButtonNext()->SetCaption(QStringLiteral("&Next"));
    EXPECT_EQ(Ctrl(BK::bkNext)->text(), QStringLiteral("&Next"));
    EXPECT_EQ(wz->ButtonFinish()->ModalResult(), 0);
    EXPECT_EQ(wz->ButtonCancel()->ModalResult(), 2);
    wz->ButtonNext()->SetGlyph(TPageWizardButtonControl::StandardGlyph(BK::bkNext));
    EXPECT_FALSE(Ctrl(BK::bkNext)->icon().isNull());
    wz->ButtonNext()->SetNumGlyphs(0x81);
    EXPECT_EQ(wz->ButtonNext()->NumGlyphs(), 1);
    TPageWizardNavigateButton none(nullptr);
    EXPECT_EQ(none.Width(), 0);
    EXPECT_TRUE(none.Caption().isEmpty());
}

TEST_F(PageWizardTest, EmptyVisibleButtonsCollapseTheBar)
{
    Build(2);
    pages[1]->SetVisibleButtons({});
    wz->SelectNextPage();
    EXPECT_EQ(wz->ButtonBarHeight(), 0);
    for (int k = 0; k < kPageWizardButtonKinds; ++k) {
        EXPECT_EQ(Ctrl(static_cast<BK>(k))->height(), 0);
        EXPECT_TRUE(Ctrl(static_cast<BK>(k))->isHidden());
    }
    EXPECT_EQ(pages[1]->geometry(), QRect(0, 0, 600, 400)); // reaches the bottom
    wz->SelectPriorPage();
    EXPECT_EQ(wz->ButtonBarHeight(), 42);
    EXPECT_EQ(pages[0]->geometry(), QRect(0, 0, 600, 358));
    EXPECT_EQ(Ctrl(BK::bkNext)->height(), 25);
}

TEST_F(PageWizardTest, EnterAndEscWorkInAMainWindow)
{
    QMainWindow win;
    auto* central = new QWidget;
    win.setCentralWidget(central);
    win.resize(600, 400);
    auto* w = new TPageWizard(central);
    w->setLoading(true);
    auto* p1 = new TPageWizardWelcomePage(w);
    auto* p2 = new TPageWizardWelcomePage(w);
    auto* edit = new QLineEdit(p1);
    auto* edit2 = new QLineEdit(p2);
    win.show();
    w->loaded();
    int cancelled = 0;
    w->OnCancelButtonClick() = [&](QObject*) { ++cancelled; };
    ASSERT_EQ(w->ActivePage(), p1);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(w->ActivePage(), p2); // Next is the default button

    QTest::keyClick(edit2, Qt::Key_Escape);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(w->ActivePage(), p2);

    // On the last page Next is disabled: Enter does nothing; keypad Enter is Enter too.
    p2->SetEnabledButtons({BK::bkBack, BK::bkCancel});
    QTest::keyClick(edit2, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w->ActivePage(), p2);
    // With a modifier the keys are not the dialog keys.
    QTest::keyClick(edit2, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(cancelled, 1);

    // Enter on a focused navigation button clicks that button.
    w->ButtonControl(BK::bkBack)->setFocus();
    QTest::keyClick(w->ButtonControl(BK::bkBack), Qt::Key_Return);
    EXPECT_EQ(w->ActivePage(), p1);
}

TEST_F(PageWizardTest, RemovingOrFreeingTheActivePageMovesOn)
{
    Build(4);
    wz->SetActivePageIndex(1);
    // Removing a page that is not active keeps the active one.
    pages[3]->SetWizard(nullptr);
    EXPECT_EQ(wz->ActivePage(), pages[1]);
    EXPECT_EQ(wz->GetPageCount(), 3);
    EXPECT_EQ(pages[3]->Wizard(), nullptr);
    EXPECT_TRUE(pages[3]->isHidden());

    // Freeing the active page: the next enabled page becomes active.
    delete pages[1];
    EXPECT_EQ(wz->ActivePage(), pages[2]);
    EXPECT_FALSE(pages[2]->isHidden());
    EXPECT_EQ(wz->GetActivePageIndex(), 1);

    // Removing the active last page: the previous enabled page.
    pages[2]->SetWizard(nullptr);
    EXPECT_EQ(wz->ActivePage(), pages[0]);
    EXPECT_TRUE(pages[2]->isHidden());

    // Freeing the only page left: no active page at all.
    delete pages[0];
    EXPECT_EQ(wz->ActivePage(), nullptr);
    EXPECT_EQ(wz->GetActivePageIndex(), -1);
    EXPECT_EQ(wz->GetPageCount(), 0);
    EXPECT_TRUE(Enabled(BK::bkCancel));
    EXPECT_FALSE(Enabled(BK::bkNext));
    wz->SelectNextPage(); // nothing to reach, nothing dangling
    EXPECT_EQ(wz->ActivePage(), nullptr);

    // A removed page joins another wizard and can be shown there.
    TPageWizard other;
    pages[2]->SetWizard(&other);
    EXPECT_EQ(pages[2]->parentWidget(), &other);
    other.SelectFirstPage();
    EXPECT_EQ(other.ActivePage(), pages[2]);
}

TEST_F(PageWizardTest, DisablingTheActivePageMovesOnOrClears)
{
    Build(3);
    wz->SetActivePageIndex(2);
    pages[2]->setEnabled(false); // no next: the prior one
    EXPECT_EQ(wz->ActivePage(), pages[1]);
    pages[0]->setEnabled(false);
    pages[1]->setEnabled(false);
    EXPECT_EQ(wz->ActivePage(), nullptr);
    EXPECT_TRUE(pages[1]->isHidden());
}

// A page disabled while its window is disabled gets no change event of its own: the
// wizard leaves it once enabled again, unless the page was enabled again first.
TEST_F(PageWizardTest, PageDisabledWhileTheWindowIsDisabledIsLeftOnceEnabled)
{
    for (bool reenabled : {false, true}) {
        pages.clear();
        Build(3, true);
        wz->SetActivePageIndex(1);
        form->setEnabled(false);
        pages[1]->setEnabled(false);
        if (reenabled)
            pages[1]->setEnabled(true);
        form->setEnabled(true);
        EXPECT_EQ(wz->ActivePage(), pages[reenabled ? 1 : 2]) << reenabled;
        EXPECT_EQ(pages[1]->isHidden(), !reenabled);
    }
}

TEST_F(PageWizardTest, DestroyingTheWizardReleasesItsPages)
{
    Build(2);
    auto* outside = new TPageWizardWelcomePage(wz);
    outside->OnExitPage = [](QObject*, TPageWizardCustomPage* const) { FAIL() << "no events while freed"; };
    delete wz; // deletes its child pages without touching the freed wizard (checked by the sanitizer build)
    pages.clear();
}

TEST(PageWizardParts, TitleAlignmentFollowsTheValue)
{
    TPageWizardWelcomePage page;
    auto* t = page.Header()->Title();
    EXPECT_EQ(t->Text(), QStringLiteral("Welcome"));
    EXPECT_EQ(page.Header()->Subtitle()->Text(), QStringLiteral("Subtitle"));
    EXPECT_FALSE(page.Header()->ShowDivider());
    EXPECT_EQ(page.Color(), colors::clWindow);
    EXPECT_EQ(t->TextAlignment(), Qt::AlignLeft);
    t->SetAlignment(TPageWizardPageTitle::TAlignment::taRightJustify);
    EXPECT_EQ(t->TextAlignment(), Qt::AlignRight);
    t->SetAlignment(TPageWizardPageTitle::TAlignment::taCenter);
    EXPECT_EQ(t->TextAlignment(), Qt::AlignHCenter);
}

TEST(PageWizardParts, TitleRectFollowsAnchorsAndIndent)
{
    TPageWizardCustomPage page;
    auto* sub = page.Header()->Subtitle(); // anchored on all four sides
    QImage img(10, 10, QImage::Format_ARGB32);
    QPainter p(&img);
    QRect tr;
    sub->GetTextRect(p, QRect(0, 0, 300, 70), tr);
    EXPECT_EQ(tr, QRect(4, 4, 292, 62));
    sub->SetIndent(10);
    sub->GetTextRect(p, QRect(0, 0, 300, 70), tr);
    EXPECT_EQ(tr, QRect(14, 4, 272, 62));
    auto* title = page.Header()->Title(); // left, top, right: one line high
    title->GetTextRect(p, QRect(0, 0, 300, 70), tr);
    EXPECT_EQ(tr.left(), 4);
    EXPECT_EQ(tr.top(), 4);
    EXPECT_EQ(tr.right() + 1, 296);
    EXPECT_EQ(tr.height(), QFontMetrics(title->Font()).height());
}

TEST(PageWizardParts, ClientAreaLosesHeaderAndWatermark)
{
    TPageWizardWelcomePage page;
    EXPECT_EQ(page.contentsMargins(), QMargins(164, 70, 0, 0));
    page.WaterMark()->SetAlign(TPageWizardLeftRight::alRight);
    EXPECT_EQ(page.contentsMargins(), QMargins(0, 70, 164, 0));
    page.WaterMark()->SetVisible(false);
    page.Header()->SetHeight(30);
    EXPECT_EQ(page.contentsMargins(), QMargins(0, 30, 0, 0));
    page.Header()->SetVisible(false);
    EXPECT_EQ(page.contentsMargins(), QMargins(0, 0, 0, 0));
    // The title font follows the page's family while ParentFont is on.
    QFont f = page.font();
    f.setFamily(QStringLiteral("Serif"));
    page.setFont(f);
    EXPECT_EQ(page.Header()->Title()->Font().family(), page.font().family());
    EXPECT_TRUE(page.Header()->Title()->Font().bold());
    // A font is assigned only when the header does not take the page's font.
    QFont big = page.Header()->Title()->Font();
    big.setPixelSize(16);
    page.Header()->Title()->SetFont(big);
    EXPECT_NE(page.Header()->Title()->Font().pixelSize(), 16);
    page.Header()->SetParentFont(false);
    page.Header()->Title()->SetFont(big);
    EXPECT_EQ(page.Header()->Title()->Font().pixelSize(), 16);
}

TEST_F(PageWizardTest, EnterHandlerThatSwitchesLeavesOnePageShown)
{
    Build(4);
    pages[1]->OnEnterPage = [&](QObject*, TPageWizardCustomPage* const) { wz->SetActivePageIndex(3); };
    wz->SelectNextPage();
    EXPECT_EQ(wz->ActivePage(), pages[3]);
    int shown = 0;
    for (auto* p : pages)
        shown += p->isHidden() ? 0 : 1;
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(pages[3]->isHidden());
}

TEST_F(PageWizardTest, EnterReachesFinishWhenNextIsNotOffered)
{
    Build(2, true);
    int finished = 0;
    wz->OnFinishButtonClick() = [&](QObject*) { ++finished; };
    auto* edit = new QLineEdit(pages[0]);
    edit->show();
    pages[0]->SetVisibleButtons({BK::bkFinish, BK::bkCancel});
    EXPECT_TRUE(Ctrl(BK::bkFinish)->Default());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(wz->GetActivePageIndex(), 0);
}

TEST(PageWizardDialog, KeysAndModalResultInADialog)
{
    QDialog dlg;
    dlg.resize(500, 350);
    auto* w = new TPageWizard(&dlg);
    w->setLoading(true);
    auto* p1 = new TPageWizardWelcomePage(w);
    auto* p2 = new TPageWizardWelcomePage(w);
    auto* edit = new QLineEdit(p1);
    dlg.open(); // modal, without a nested loop
    w->loaded();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(w->ActivePage(), p2);
    EXPECT_TRUE(dlg.isVisible());
    // Esc clicks Cancel, whose modal result 2 ends the dialog.
    QTest::keyClick(p2, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 2);
}
