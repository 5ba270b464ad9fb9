// The wizard shell of the main window: the two ways of working, the checks before leaving
// the first two pages, skipped pages and the step column, the buttons below the wizard,
// Cancel and Esc, the attention blink, the window size, feature gating and the mode.
#include "editor/Controls.h"
#include "editor/Main.h"
#include "editor/MainTables.h"
#include "lang/LangText.h"
#include "platform/AppPaths.h"
#include "platform/UiDialogs.h"
#include "support/SimHid.h"
#include "widgets/PageWizard.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QApplication>
#include <QHelpEvent>

#include <memory>

namespace {

using K = TPageWizardButtonKind;

class WizardShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString bin = QCoreApplication::applicationDirPath();
        for (const char* f : {"comps.txt", "CID_Descriptions.txt", "APN.txt"})
            ASSERT_TRUE(QFile::copy(bin + "/" + f, dir.path() + "/" + f)) << f;
        platform::SetProgramDirForTests(dir.path());
        ResetMainTables();
        ui::ClearAnswers();
        ui::ClearRecord();
        hid = std::make_unique<sim::SimHid>();
        form = new TForm1();
        form->Timer5Timer(); // the language, at once
        ui::ClearRecord();
    }

    void TearDown() override
    {
        delete form;
        hid.reset();
        TForm1::ScreenSizeOverride = QSize();
        platform::SetProgramDirForTests(QString());
    }

    // A control of a page not built here yet, made where the shell looks for it.
    template <class T>
    T* Control(T*& member, QWidget* parent, const char* name)
    {
        if (!member)
            member = ctl::Make<T>(parent, name, 10, 100, 80, 20);
        return member;
    }
    template <class T>
    T* Named(QWidget* parent, const char* name)
    {
        if (auto* w = ctl::Find<T>(form, QLatin1String(name)))
            return w;
        return ctl::Make<T>(parent, name, 20, 120, 90, 20);
    }

    int Page() const { return form->wzrd1->GetActivePageIndex(); }
    // The send itself is tested elsewhere: here only that it is started.
    void DetachSend() { QObject::disconnect(form->TntButton1, &QPushButton::clicked, nullptr, nullptr); }
    void Next() { form->wzrd1->ButtonControl(K::bkNext)->click(); }
    void Back() { form->wzrd1->ButtonControl(K::bkBack)->click(); }
    bool Bold(int step) const { return form->Step[step]->font().bold(); }
    int Messages(int n) const
    {
        int count = 0;
        for (const auto& d : ui::Record())
            if (d.kind == QLatin1String("message") && d.text == GetLangText(n))
                ++count;
        return count;
    }

    QTemporaryDir dir;
    std::unique_ptr<sim::SimHid> hid;
    TForm1* form = nullptr;
};

TEST_F(WizardShellTest, PinCheckKeepsTheFirstPageUntilFourCharacters)
{
    QLineEdit* pin = Control(form->Edit13, form->WPage[1], "Edit13");
    form->TntButton29Click(form->TntButton29);
    ASSERT_TRUE(WizardMode);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 5);
    ASSERT_EQ(Page(), 0);
    EXPECT_TRUE(Bold(0));

    pin->setText(QStringLiteral("123"));
    Next();
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(Messages(92), 1);
    EXPECT_FALSE(GetLangText(92).isEmpty());
    EXPECT_TRUE(Bold(0));

    pin->setText(QStringLiteral("1234"));
    Next();
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Messages(92), 1);
    EXPECT_TRUE(Bold(1));
    EXPECT_FALSE(Bold(0));
    EXPECT_FALSE(form->Step[0]->font().underline()); // wizard mode: plain labels
}

TEST_F(WizardShellTest, ChannelCheckBeforeLeavingTheReportingPage)
{
    Control(form->Edit13, form->WPage[1], "Edit13")->setText(QStringLiteral("0000"));
    form->TntButton29Click(form->TntButton29);
    Next();
    ASSERT_EQ(Page(), 1);

    form->ComboBox4->setCurrentIndex(1);
    form->Edit1->setText(QStringLiteral("host.example"));
    form->TntEdit2->setText(QString());
    form->Edit2->setText(QStringLiteral("internet"));
    Next();
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Messages(82), 1);

    // Channel 2 as reserve needs the APN too.
    form->TntEdit2->setText(QStringLiteral("5000"));
    form->ComboBox2->setCurrentIndex(2);
    form->Edit5->setText(QStringLiteral("backup.example"));
    form->TntEdit3->setText(QStringLiteral("5001"));
    EXPECT_TRUE(form->ValidateWizardPage(0));
    form->Edit2->setText(QString());
    EXPECT_FALSE(form->ValidateWizardPage(0));
    form->Edit5->setText(QString());
    form->Edit2->setText(QStringLiteral("internet"));
    EXPECT_FALSE(form->ValidateWizardPage(0));

    // Both channels unused: whatever the fields hold.
    form->ComboBox4->setCurrentIndex(0);
    form->ComboBox2->setCurrentIndex(0);
    form->Edit1->clear();
    form->Edit2->clear();
    Next();
    EXPECT_EQ(Page(), 2);
    EXPECT_EQ(Messages(82), 1);
    EXPECT_TRUE(form->ValidateWizardPage(7)); // no checks of other kinds
}

TEST_F(WizardShellTest, SmallerModelSkipsTheOutputPagesAndTheLabelsCloseUp)
{
    Model3mClass = true;
    form->ApplyModelFeatures();
    form->TntButton29Click(form->TntButton29);
    EXPECT_TRUE(form->Step[3]->isHidden());
    EXPECT_TRUE(form->Step[4]->isHidden());
    const QLabel* s2 = form->Step[2];
    const QLabel* s5 = form->Step[5];
    EXPECT_EQ(s5->y(), s2->y() + s2->height() + 4);
    for (int i = 6; i < 9; ++i)
        EXPECT_EQ(form->Step[i]->y(), form->Step[i - 1]->y() + form->Step[i - 1]->height() + 4) << i;

    form->GoToWizardStep(2);
    Next();
    EXPECT_EQ(Page(), 5);
    EXPECT_TRUE(Bold(5));
    Back();
    EXPECT_EQ(Page(), 2);
    EXPECT_TRUE(Bold(2));
    EXPECT_FALSE(Bold(5));

    // A disabled page is refused: the old page stays current, its label too.
    form->GoToWizardStep(3);
    EXPECT_EQ(Page(), 2);
    EXPECT_TRUE(Bold(2));
    form->GoToWizardStep(9); // beyond the pages: nothing
    EXPECT_EQ(Page(), 2);

    Model3mClass = false;
    form->ApplyModelFeatures();
    form->StackStepLabels();
    EXPECT_FALSE(form->Step[3]->isHidden());
    EXPECT_EQ(form->Step[3]->y(), s2->y() + s2->height() + 4);
}

TEST_F(WizardShellTest, StepLabelsDoNothingInWizardMode)
{
    form->show();
    form->TntButton29Click(form->TntButton29);
    QLabel* s3 = form->Step[3];
    const QColor before = s3->palette().color(QPalette::WindowText);
    QTest::mouseClick(s3, Qt::LeftButton, {}, QPoint(4, 4));
    form->Step0Click(s3);
    form->Step0MouseEnter(s3);
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(s3->palette().color(QPalette::WindowText), before);
    EXPECT_FALSE(s3->testAttribute(Qt::WA_SetCursor));

    // In manual mode a real click on the label changes the page.
    form->TntButton29Click(form->TntButton30);
    ASSERT_FALSE(WizardMode);
    EXPECT_TRUE(s3->font().underline());
    QTest::mouseClick(s3, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(Page(), 3);
    EXPECT_TRUE(s3->font().bold());
    QLabel* s4 = form->Step[4];
    form->Step0MouseEnter(s4);
    EXPECT_EQ(s4->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(s4->cursor().shape(), Qt::PointingHandCursor);
    form->Step0MouseLeave(s4);
    EXPECT_EQ(s4->palette().color(QPalette::WindowText), QColor(0xE2, 0xE2, 0xE2));
    form->Step0MouseLeave(s3); // the current (bold) label keeps its white
    EXPECT_EQ(s3->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));

    // The mode name goes to the first page; the summary label shows "Print".
    form->Step0Click(form->TntLabel59);
    EXPECT_EQ(Page(), 0);
    form->Step0Click(form->Step[8]);
    EXPECT_EQ(Page(), 8);
    EXPECT_FALSE(form->TntBitBtn2->isHidden());
    form->Step0Click(form->Step[1]);
    EXPECT_TRUE(form->TntBitBtn2->isHidden());
}

TEST_F(WizardShellTest, WaysOfWorkingSetTheHeadersButtonsAndContent)
{
    // The wizard keeps its place beside the step column once the window is laid out.
    form->show();
    form->PageControl1->show();
    QCoreApplication::processEvents();

    QGroupBox* content = form->TntGroupBox14; // first row of the reporting page
    const int designed = content->y();
    form->TntButton29Click(form->TntButton30);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->wzrd1->mapTo(form->TntTabSheet3, QPoint(0, 0)), QPoint(150, 0));
    EXPECT_EQ(form->wzrd1->size(), QSize(754, 556));
    EXPECT_TRUE(form->TntPanel11->isVisible());
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(form->WPage[i]->Header()->Height(), 30) << i;
        EXPECT_FALSE(form->WPage[i]->Header()->Subtitle()->Visible()) << i;
        EXPECT_EQ(form->WPage[i]->VisibleButtons(), TPageWizardButtonSet({K::bkCancel})) << i;
    }
    EXPECT_EQ(content->y(), designed - 43);
    EXPECT_EQ(form->TntButton1->x(), 538);
    EXPECT_FALSE(form->TntButton1->isHidden());
    EXPECT_FALSE(form->TntButton26->isHidden());
    EXPECT_TRUE(form->TntBitBtn1->isHidden());
    form->TntButton29Click(form->TntButton30); // again: the content stays put
    EXPECT_EQ(content->y(), designed - 43);

    form->TntButton29Click(form->TntButton29);
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(form->WPage[i]->Header()->Height(), 73) << i;
        EXPECT_TRUE(form->WPage[i]->Header()->Subtitle()->Visible()) << i;
        EXPECT_EQ(form->WPage[i]->VisibleButtons(), TPageWizardButtonSet({K::bkBack, K::bkNext, K::bkCancel}));
    }
    EXPECT_EQ(content->y(), designed);
    EXPECT_EQ(form->TntButton1->x(), 378);
    EXPECT_TRUE(form->TntButton1->isHidden());
    EXPECT_TRUE(form->TntButton26->isHidden());
}

TEST_F(WizardShellTest, SummaryByNextSendsAndBackHidesTheButtons)
{
    form->TntButton29Click(form->TntButton29);
    DetachSend();
    QSignalSpy sent(form->TntButton1, &QPushButton::clicked);
    form->GoToWizardStep(7);
    Next();
    EXPECT_EQ(Page(), 8);
    EXPECT_EQ(sent.count(), 1);
    EXPECT_FALSE(form->TntButton1->isHidden());
    EXPECT_FALSE(form->TntButton26->isHidden());
    EXPECT_FALSE(form->TntBitBtn2->isHidden());
    Back();
    EXPECT_EQ(Page(), 7);
    EXPECT_TRUE(form->TntButton1->isHidden());
    EXPECT_TRUE(form->TntButton26->isHidden());
    EXPECT_TRUE(form->TntBitBtn2->isHidden());
    EXPECT_EQ(sent.count(), 1);
}

TEST_F(WizardShellTest, SendThatSendsTheWizardBackKeepsThatPage)
{
    form->TntButton29Click(form->TntButton29);
    DetachSend();
    // The send finds a page to mend and goes there.
    QObject::connect(form->TntButton1, &QPushButton::clicked, form, [this] { form->GoToWizardStep(0); });
    form->GoToWizardStep(7);
    Next();
    EXPECT_EQ(Page(), 0);
    EXPECT_TRUE(Bold(0));
    EXPECT_FALSE(Bold(8));
}

TEST_F(WizardShellTest, LockedTemplateButtonStaysHidden)
{
    DetachSend();
    ctl::SetTag(form->TntButton26, 1);
    form->TntButton26->hide();
    form->TntButton29Click(form->TntButton30);
    EXPECT_TRUE(form->TntButton26->isHidden());
    form->Step0Click(form->Step[8]);
    EXPECT_TRUE(form->TntButton26->isHidden());
    form->TntButton29Click(form->TntButton29);
    form->GoToWizardStep(7);
    Next();
    ASSERT_EQ(Page(), 8);
    EXPECT_TRUE(form->TntButton26->isHidden());
    EXPECT_FALSE(form->TntButton1->isHidden());
    Back();
    EXPECT_TRUE(form->TntButton26->isHidden());
}

TEST_F(WizardShellTest, CancelLeavesTheTabUnlessEscWasPressed)
{
    form->show();
    form->PageControl1->show(); // as when a module is there
    form->TntButton29Click(form->TntButton29);
    auto* cancel = form->wzrd1->ButtonControl(K::bkCancel);
    cancel->click();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);

    // Esc inside the wizard reaches Cancel, which stays on the tab.
    form->PageControl1->SetActivePageIndex(5);
    form->GoToWizardStep(1);
    ASSERT_TRUE(form->ComboBox4->isVisible());
    QTest::keyClick(form->ComboBox4, Qt::Key_Escape);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 5);
    EXPECT_EQ(UIStateBits & UIStateEscPressed, 0u);

    // An Esc pressed elsewhere makes the next Cancel stay, once.
    QTest::keyClick(form->ComboBox28, Qt::Key_Escape);
    EXPECT_NE(UIStateBits & UIStateEscPressed, 0u);
    cancel->click();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 5);
    cancel->click();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);
}

TEST_F(WizardShellTest, BlinkRunsSixTicksAndJoinsLaterRequests)
{
    QCheckBox* backup = Named<QCheckBox>(form->WPage[1], "TntCheckBox38");
    backup->setText(QStringLiteral("SMS backup"));
    QLabel* mark = Control(form->TntLabel44, form->WPage[1], "TntLabel44");
    form->TntButton29Click(form->TntButton30);
    form->GoToWizardStep(3);

    form->TntButton3Click();
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(BlinkSelector, 1);
    ASSERT_TRUE(form->Timer_Blink->isActive());
    EXPECT_EQ(form->Timer_Blink->interval(), 500);
    const int textWidth = QFontMetrics(form->font()).horizontalAdvance(backup->text());
    const bool expected[6] = {true, false, true, false, true, false};
    for (int t = 0; t < 6; ++t) {
        ASSERT_TRUE(form->Timer_Blink->isActive()) << t;
        form->Timer_BlinkTimer();
        EXPECT_EQ(backup->font().bold(), expected[t]) << t;
        EXPECT_EQ(backup->width(), textWidth + (expected[t] ? 25 : 19)) << t;
        EXPECT_EQ(mark->x(), backup->x() + backup->width() + 5) << t;
    }
    EXPECT_FALSE(form->Timer_Blink->isActive());
    EXPECT_EQ(BlinkCounter, 0);
    EXPECT_EQ(BlinkSelector, 0);

    // A second request two ticks in keeps the count: four more ticks end the run.
    form->TntButton3Click();
    form->Timer_BlinkTimer();
    form->Timer_BlinkTimer();
    form->TntButton3Click();
    EXPECT_EQ(BlinkCounter, 2);
    for (int t = 0; t < 4; ++t) {
        ASSERT_TRUE(form->Timer_Blink->isActive()) << t;
        form->Timer_BlinkTimer();
    }
    EXPECT_FALSE(form->Timer_Blink->isActive());

    // Requests 1 and 2 in one run blink the mode button.
    form->TntButton3Click();
    BlinkSelector |= 2;
    form->Timer_BlinkTimer();
    EXPECT_TRUE(form->TntRadioButton10->font().bold());
    form->Timer_BlinkTimer();
    EXPECT_FALSE(form->TntRadioButton10->font().bold());
}

TEST_F(WizardShellTest, WindowSizeFollowsTheScreen)
{
    TForm1::ScreenSizeOverride = QSize(1024, 600);
    form->SetFormSize();
    EXPECT_EQ(form->ClientSize, QSize(924, 450));
    EXPECT_EQ(form->ClientScroll->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->ClientScroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(form->TntButton1->y(), 562);

    TForm1::ScreenSizeOverride = QSize(800, 600);
    form->SetFormSize();
    EXPECT_EQ(form->ClientSize, QSize(780, 470));
    EXPECT_EQ(form->ClientScroll->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->ClientScroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    TForm1::ScreenSizeOverride = QSize(1920, 1080);
    form->SetFormSize();
    EXPECT_EQ(form->ClientSize, QSize(904, 644));

    // The wheel scrolls the client area by 30: vertically, or sideways with Shift/Ctrl.
    TForm1::ScreenSizeOverride = QSize(800, 600);
    form->SetFormSize();
    form->show();
    QCoreApplication::processEvents();
    QScrollBar* v = form->ClientScroll->verticalScrollBar();
    QScrollBar* h = form->ClientScroll->horizontalScrollBar();
    ASSERT_GT(v->maximum(), 60);
    ASSERT_GT(h->maximum(), 60);
    bool handled = false;
    form->TntFormMouseWheel(Qt::NoModifier, -120, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(v->value(), 30);
    form->TntFormMouseWheel(Qt::ShiftModifier, -120, handled);
    form->TntFormMouseWheel(Qt::ControlModifier, -120, handled);
    EXPECT_EQ(h->value(), 60);
    form->TntFormMouseWheel(Qt::NoModifier, 120, handled);
    EXPECT_EQ(v->value(), 0);

    // A wheel that no control takes reaches the client area's viewport, then the handler.
    QWidget* over = form->ClientScroll->viewport();
    const QPointF at(2, 2);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
    EXPECT_EQ(v->value(), 30);
}

TEST_F(WizardShellTest, FirmwareAndModelGating)
{
    QCheckBox* limited = Control(form->TntCheckBox27, form->WPage[1], "TntCheckBox27");
    form->ApplyFirmwareFeatures(2029);
    EXPECT_EQ(form->ComboBox1->count(), 2);
    EXPECT_EQ(form->ComboBox3->count(), 2);
    EXPECT_EQ(form->ComboBox1->itemText(1), QStringLiteral("Vozevud KSP"));
    form->ApplyFirmwareFeatures(2030);
    ASSERT_EQ(form->ComboBox1->count(), 3);
    EXPECT_EQ(form->ComboBox3->itemText(2), QStringLiteral("Fibro"));
    EXPECT_FALSE(form->TntGroupBox2->isHidden());
    EXPECT_FALSE(limited->isHidden());
    EXPECT_EQ(ctl::Tag(limited), 0);
    form->ApplyFirmwareFeatures(1023);
    EXPECT_TRUE(form->TntGroupBox2->isHidden());
    EXPECT_TRUE(limited->isHidden());
    EXPECT_EQ(ctl::Tag(limited), 1);

    QCheckBox* call = Control(form->TntCheckBox7, form->WPage[1], "TntCheckBox7");
    Model3mClass = true;
    form->ApplyModelFeatures();
    EXPECT_TRUE(call->isHidden());
    EXPECT_EQ(ctl::Tag(call), 1);
    EXPECT_FALSE(form->WPage[4]->IsPageEnabled());
    EXPECT_FALSE(form->WPage[5]->IsPageEnabled());
}

TEST_F(WizardShellTest, CommunicatorModeNamesItselfAndDescribesItself)
{
    QCheckBox* shortCall = Named<QCheckBox>(form->WPage[1], "TntCheckBox32");
    shortCall->setChecked(true);
    form->Step[7]->hide();
    form->WPage[8]->setEnabled(false);
    form->SetAlarmSystemMode(false);
    EXPECT_TRUE(form->TntRadioButton10->isChecked());
    EXPECT_EQ(form->TntLabel59->text(), form->TntRadioButton10->text());
    EXPECT_FALSE(form->TntLabel59->text().isEmpty());
    EXPECT_FALSE(shortCall->isChecked());
    EXPECT_TRUE(shortCall->isHidden());
    EXPECT_EQ(ctl::Tag(shortCall), 1);
    EXPECT_FALSE(form->Step[7]->isHidden());
    EXPECT_TRUE(form->WPage[8]->IsPageEnabled());

    QString expected = GetLangText(54);
    ASSERT_TRUE(expected.contains(QLatin1Char('\\')));
    expected.replace(QLatin1Char('\\'), QLatin1Char('\n'));
    EXPECT_EQ(form->TntMemo2->toPlainText(), expected);
}

TEST_F(WizardShellTest, HintsAreNarrowExceptTheOutputExamples)
{
    auto* examples = Named<QLabel>(form->WPage[4], "TntLabel9");
    QString hint = QStringLiteral("x");
    bool canShow = true;
    TForm1::THintInfo info;
    info.HintControl = examples;
    form->ApplicationShowHint(hint, canShow, info);
    EXPECT_EQ(info.HintMaxWidth, 0);
    info.HintControl = form->Edit1;
    form->ApplicationShowHint(hint, canShow, info);
    EXPECT_EQ(info.HintMaxWidth, 500);
    EXPECT_TRUE(canShow);

    // A long hint shown on a control of the window is broken into lines of 500 at most.
    form->show();
    auto* label = ctl::Make<QLabel>(form->TntTabSheet4, "HintProbe", 10, 300, 100, 20);
    QString longHint;
    for (int i = 0; i < 80; ++i)
        longHint += QStringLiteral("word%1 ").arg(i);
    longHint = longHint.trimmed();
    label->setToolTip(longHint);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(label, &help);
    const QString shown = QToolTip::text();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_GT(shown.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')), longHint);
    const QFontMetrics fm(QToolTip::font());
    for (const QString& line : shown.split(QLatin1Char('\n')))
        EXPECT_LE(fm.horizontalAdvance(line), 500) << line.toStdString();
    // The output examples keep their own lines.
    examples->setToolTip(longHint);
    QHelpEvent help2(QEvent::ToolTip, QPoint(2, 2), examples->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(examples, &help2);
    EXPECT_EQ(QToolTip::text(), longHint);
    QToolTip::hideText();
}

TEST(ReplaceAllTest, RescansAndEndsWhenTheNewTextHoldsTheOld)
{
    QString s = QStringLiteral("Title\\Line one\\Line two");
    TForm1::ReplaceAll(s, QStringLiteral("\\"), QStringLiteral("\r\n"));
    EXPECT_EQ(s, QStringLiteral("Title\r\nLine one\r\nLine two"));
    // A replacement that forms a new occurrence with the text before it is replaced too.
    s = QStringLiteral("aabb");
    TForm1::ReplaceAll(s, QStringLiteral("ab"), QStringLiteral("a"));
    EXPECT_EQ(s, QStringLiteral("aa"));
    // New text holding the old: one pass, no endless loop.
    s = QStringLiteral("xax");
    TForm1::ReplaceAll(s, QStringLiteral("a"), QStringLiteral("aa"));
    EXPECT_EQ(s, QStringLiteral("xaax"));
    s = QStringLiteral("abc");
    TForm1::ReplaceAll(s, QString(), QStringLiteral("z"));
    EXPECT_EQ(s, QStringLiteral("abc"));
}

} // namespace
