// The wizard shell of the main window: the checks before leaving the first two pages,
// skipped pages and the step column, the two ways of working, the buttons below the
// wizard, Cancel and Esc, the attention blink, the window size, gating and the mode.
#include "editor/Controls.h"
#include "lang/LangText.h"
#include "widgets/PageWizard.h"

#include "support/WindowTestBase.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QToolTip>
#include <QWheelEvent>

namespace {

using K = TPageWizardButtonKind;

class WizardShellTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        form = new TForm1();
        form->Timer5Timer(); // the language, at once
        // The send itself is tested elsewhere: here only that it is started.
        QObject::disconnect(form->TntButton1, &QPushButton::clicked, nullptr, nullptr);
    }

    void TearDown() override
    {
        TForm1::ScreenSizeOverride = QSize();
        WindowTestBase::TearDown();
    }

    // A control of another page, made where the shell looks for it when that page has none.
    template <class T>
    T* Named(QWidget* parent, const char* name)
    {
        if (auto* w = ctl::Find<T>(form, QLatin1String(name)))
            return w;
        return ctl::Make<T>(parent, name, 20, 120, 90, 20);
    }

    int Page() const { return form->wzrd1->GetActivePageIndex(); }
    void Next() { form->wzrd1->ButtonControl(K::bkNext)->click(); }
    void Back() { form->wzrd1->ButtonControl(K::bkBack)->click(); }
    bool Bold(int step) const { return form->Step[step]->font().bold(); }
    int Messages(int n) const
    {
        int count = 0;
        for (const auto& d : ui::Record())
            count += d.kind == QLatin1String("message") && d.text == GetLangText(n);
        return count;
    }
    bool Shown(QWidget* w) const { return !w->isHidden(); }

};

TEST_F(WizardShellTest, NextChecksThePinThenTheChannels)
{
    auto* pin = Named<QLineEdit>(form->WPage[1], "Edit13");
    form->Edit13 = pin;
    form->TntButton29Click(form->TntButton29);
    ASSERT_TRUE(WizardMode);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 5);
    pin->setText(QStringLiteral("123"));
    Next();
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(Messages(92), 1);
    EXPECT_FALSE(GetLangText(92).isEmpty());
    pin->setText(QStringLiteral("1234"));
    Next();
    ASSERT_EQ(Page(), 1);
    EXPECT_TRUE(Bold(1));
    EXPECT_FALSE(Bold(0));
    EXPECT_FALSE(form->Step[0]->font().underline()); // wizard mode: plain labels

    form->ComboBox4->setCurrentIndex(1); // used, port empty
    form->Edit1->setText(QStringLiteral("host.example"));
    form->Edit2->setText(QStringLiteral("internet"));
    Next();
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Messages(82), 1);
    // Channel 2 as reserve needs its address, its port and the APN.
    form->TntEdit2->setText(QStringLiteral("5000"));
    form->ComboBox2->setCurrentIndex(2);
    form->Edit5->setText(QStringLiteral("backup.example"));
    form->TntEdit3->setText(QStringLiteral("5001"));
    EXPECT_TRUE(form->ValidateWizardPage(0));
    form->Edit2->clear();
    EXPECT_FALSE(form->ValidateWizardPage(0));
    // Both channels unused: whatever the fields hold (the accounts go out all the same).
    form->ComboBox4->setCurrentIndex(0);
    form->ComboBox2->setCurrentIndex(0);
    form->Edit1->clear();
    form->Edit11->setText(QStringLiteral("1234"));
    form->Edit6->setText(QStringLiteral("5678"));
    Next();
    EXPECT_EQ(Page(), 2);
    EXPECT_EQ(Messages(82), 1);
}

TEST_F(WizardShellTest, SmallerModelSkipsTheOutputPagesAndTheLabelsCloseUp)
{
    Model3mClass = true;
    form->ApplyModelFeatures();
    form->TntButton29Click(form->TntButton29);
    EXPECT_TRUE(form->Step[3]->isHidden() && form->Step[4]->isHidden());
    EXPECT_EQ(form->Step[5]->y(), form->Step[2]->y() + form->Step[2]->height() + 4);
    for (int i = 6; i < 9; ++i)
        EXPECT_EQ(form->Step[i]->y(), form->Step[i - 1]->y() + form->Step[i - 1]->height() + 4) << i;

    form->GoToWizardStep(2);
    Next();
    EXPECT_EQ(Page(), 5);
    Back();
    EXPECT_EQ(Page(), 2);
    EXPECT_TRUE(Bold(2));
    EXPECT_FALSE(Bold(5));
    // A disabled page is refused: the old page and its label stay current.
    form->GoToWizardStep(3);
    EXPECT_EQ(Page(), 2);
    EXPECT_TRUE(Bold(2));
}

TEST_F(WizardShellTest, StepLabelsWorkOnlyInManualMode)
{
    form->show();
    form->TntButton29Click(form->TntButton29);
    QLabel* s3 = form->Step[3];
    const QColor plain = s3->palette().color(QPalette::WindowText);
    QTest::mouseClick(s3, Qt::LeftButton, {}, QPoint(4, 4));
    form->Step0MouseEnter(s3);
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(s3->palette().color(QPalette::WindowText), plain);
    EXPECT_FALSE(s3->testAttribute(Qt::WA_SetCursor));

    form->TntButton29Click(form->TntButton30);
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
    form->Step0MouseLeave(s3); // the current label stays white
    EXPECT_EQ(s3->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));

    form->Step0Click(form->TntLabel59); // the mode name leads to the first page
    EXPECT_EQ(Page(), 0);
    form->Step0Click(form->Step[8]);
    EXPECT_TRUE(Shown(form->TntBitBtn2));
    form->Step0Click(form->Step[1]);
    EXPECT_FALSE(Shown(form->TntBitBtn2));
}

// Chosen by a click where its label is, each step in turn is bold: no label moves, and
// each has the height its caption needs.
TEST_F(WizardShellTest, StepLabelsKeepTheirPlacesWhicheverStepIsCurrent)
{
    form->show();
    form->PageControl1->show(); // as when a module is there
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    for (const char* language : {"English", "Russian"}) {
        Choose(form->ComboBox28, form->ComboBox28->findText(QLatin1String(language)));
        QTest::mouseClick(form->TntButton30, Qt::LeftButton);
        QRect places[9];
        for (int i = 0; i < 9; ++i)
            places[i] = form->Step[i]->geometry();
        for (int step = 1; step < 9; ++step) {
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, form->TntPanel11->mapTo(form, places[step].center()));
            ASSERT_EQ(Page(), step) << language;
            for (int i = 0; i < 9; ++i) {
                const QLabel* l = form->Step[i];
                EXPECT_TRUE(l->geometry() == places[i]) << language << " step " << step << " label " << i;
                EXPECT_LE(l->heightForWidth(l->width()), l->height()) << language << " label " << i;
            }
        }
    }
}

TEST_F(WizardShellTest, WaysOfWorkingSetHeadersButtonsAndContent)
{
    form->show();
    form->PageControl1->show();
    QGroupBox* content = form->TntGroupBox14; // first row of the reporting page
    const int designed = content->y();
    form->TntButton29Click(form->TntButton30);
    QCoreApplication::processEvents();
    // The wizard keeps its place beside the step column.
    EXPECT_EQ(form->wzrd1->mapTo(form->TntTabSheet3, QPoint(0, 0)), QPoint(150, 0));
    EXPECT_EQ(form->wzrd1->size(), QSize(754, 556));
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(form->WPage[i]->Header()->Height(), 30) << i;
        EXPECT_FALSE(form->WPage[i]->Header()->Subtitle()->Visible()) << i;
        EXPECT_EQ(form->WPage[i]->VisibleButtons(), TPageWizardButtonSet({K::bkCancel})) << i;
    }
    EXPECT_EQ(content->y(), designed - 43);
    EXPECT_EQ(form->TntButton1->x(), 538);
    EXPECT_TRUE(Shown(form->TntButton1) && Shown(form->TntButton26));
    form->TntButton29Click(form->TntButton30); // again: the content stays put
    EXPECT_EQ(content->y(), designed - 43);

    form->TntButton29Click(form->TntButton29);
    EXPECT_EQ(form->WPage[5]->Header()->Height(), 73);
    EXPECT_TRUE(form->WPage[5]->Header()->Subtitle()->Visible());
    EXPECT_EQ(form->WPage[5]->VisibleButtons(), TPageWizardButtonSet({K::bkBack, K::bkNext, K::bkCancel}));
    EXPECT_EQ(content->y(), designed);
    EXPECT_EQ(form->TntButton1->x(), 378);
    EXPECT_FALSE(Shown(form->TntButton1) || Shown(form->TntButton26));
}

TEST_F(WizardShellTest, SummaryByNextSendsAndBackHidesTheButtons)
{
    form->TntButton29Click(form->TntButton29);
    QSignalSpy sent(form->TntButton1, &QPushButton::clicked);
    form->GoToWizardStep(7);
    Next();
    EXPECT_EQ(Page(), 8);
    EXPECT_EQ(sent.count(), 1);
    EXPECT_TRUE(Shown(form->TntButton1) && Shown(form->TntButton26) && Shown(form->TntBitBtn2));
    Back();
    EXPECT_EQ(Page(), 7);
    EXPECT_FALSE(Shown(form->TntButton1) || Shown(form->TntButton26) || Shown(form->TntBitBtn2));

    // Locked template button: never shown, whatever the step or the way of working.
    ctl::SetTag(form->TntButton26, 1);
    form->TntButton26->hide();
    Next();
    EXPECT_FALSE(Shown(form->TntButton26));
    form->TntButton29Click(form->TntButton30);
    EXPECT_FALSE(Shown(form->TntButton26));

    // A send whose checks go back to a page to mend leaves the wizard there.
    form->TntButton29Click(form->TntButton29);
    QObject::connect(form->TntButton1, &QPushButton::clicked, form, [this] { form->GoToWizardStep(0); });
    form->GoToWizardStep(7);
    Next();
    EXPECT_EQ(Page(), 0);
    EXPECT_TRUE(Bold(0));
    EXPECT_FALSE(Bold(8));
}

TEST_F(WizardShellTest, CancelLeavesTheTabUnlessEscWasPressed)
{
    form->show();
    form->PageControl1->show(); // as when a module is there
    form->TntButton29Click(form->TntButton29);
    auto* cancel = form->wzrd1->ButtonControl(K::bkCancel);
    cancel->click();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);

    // Esc inside the wizard reaches its Cancel, which stays on the tab.
    form->PageControl1->SetActivePageIndex(5);
    form->GoToWizardStep(1);
    QTest::keyClick(form->ComboBox4, Qt::Key_Escape);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 5);
    EXPECT_EQ(UIStateBits & UIStateEscPressed, 0u);
    // An Esc pressed elsewhere makes the next Cancel stay, once.
    QTest::keyClick(form->ComboBox28, Qt::Key_Escape);
    cancel->click();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 5);
    cancel->click();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);
}

TEST_F(WizardShellTest, BlinkRunsSixTicksAndJoinsLaterRequests)
{
    auto* backup = Named<QCheckBox>(form->WPage[1], "TntCheckBox38");
    backup->setText(QStringLiteral("SMS backup"));
    auto* mark = Named<QLabel>(form->WPage[1], "TntLabel44");
    form->TntLabel44 = mark;
    form->TntButton29Click(form->TntButton30);
    form->GoToWizardStep(3);
    form->TntButton3Click();
    EXPECT_EQ(Page(), 0);
    ASSERT_TRUE(form->Timer_Blink->isActive());
    const int textWidth = QFontMetrics(form->font()).horizontalAdvance(backup->text());
    for (int t = 0; t < 6; ++t) {
        ASSERT_TRUE(form->Timer_Blink->isActive()) << t;
        form->Timer_BlinkTimer();
        const bool bold = t % 2 == 0;
        EXPECT_EQ(backup->font().bold(), bold) << t;
        EXPECT_EQ(backup->width(), textWidth + (bold ? 25 : 19)) << t;
        EXPECT_EQ(mark->x(), backup->x() + backup->width() + 5) << t;
    }
    EXPECT_FALSE(form->Timer_Blink->isActive());
    EXPECT_EQ(BlinkSelector, 0);

    // A second request two ticks in keeps the count: four more ticks end the run.
    form->TntButton3Click();
    form->Timer_BlinkTimer();
    form->Timer_BlinkTimer();
    form->TntButton3Click();
    for (int t = 0; t < 4; ++t)
        form->Timer_BlinkTimer();
    EXPECT_FALSE(form->Timer_Blink->isActive());
    // Requests 1 and 2 in one run blink the mode button.
    form->TntButton3Click();
    BlinkSelector |= 2;
    form->Timer_BlinkTimer();
    EXPECT_TRUE(form->TntRadioButton10->font().bold());
}

TEST_F(WizardShellTest, WindowSizeAndWheelFollowTheScreen)
{
    TForm1::ScreenSizeOverride = QSize(1024, 600);
    form->SetFormSize();
    EXPECT_EQ(form->ClientSize, QSize(924, 450));
    EXPECT_EQ(form->ClientScroll->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->ClientScroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    TForm1::ScreenSizeOverride = QSize(800, 600);
    form->SetFormSize();
    EXPECT_EQ(form->ClientSize, QSize(780, 470));
    EXPECT_EQ(form->ClientScroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    form->show();
    QCoreApplication::processEvents();
    QScrollBar* v = form->ClientScroll->verticalScrollBar();
    QScrollBar* h = form->ClientScroll->horizontalScrollBar();
    bool handled = false;
    form->TntFormMouseWheel(Qt::ShiftModifier, -120, handled);
    form->TntFormMouseWheel(Qt::ControlModifier, -120, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(h->value(), 60);
    // A wheel that no control takes reaches the client area's viewport, then the handler.
    QWidget* vp = form->ClientScroll->viewport();
    QWheelEvent wheel(QPointF(2, 2), vp->mapToGlobal(QPointF(2, 2)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &wheel);
    EXPECT_EQ(v->value(), 30);
}

TEST_F(WizardShellTest, FirmwareAndModelGating)
{
    auto* limited = Named<QCheckBox>(form->WPage[1], "TntCheckBox27");
    form->TntCheckBox27 = limited;
    form->ApplyFirmwareFeatures(2029);
    EXPECT_EQ(form->ComboBox1->count(), 2);
    EXPECT_EQ(form->ComboBox3->count(), 2);
    form->ApplyFirmwareFeatures(2030);
    ASSERT_EQ(form->ComboBox1->count(), 3);
    EXPECT_EQ(form->ComboBox3->itemText(2), QStringLiteral("Fibro"));
    EXPECT_TRUE(Shown(form->TntGroupBox2) && Shown(limited));
    form->ApplyFirmwareFeatures(1023);
    EXPECT_FALSE(Shown(form->TntGroupBox2) || Shown(limited));
    EXPECT_EQ(ctl::Tag(limited), 1);
}

TEST_F(WizardShellTest, CommunicatorModeNamesAndDescribesItself)
{
    auto* shortCall = Named<QCheckBox>(form->WPage[1], "TntCheckBox32");
    shortCall->setChecked(true);
    form->WPage[8]->setEnabled(false);
    form->SetAlarmSystemMode(false);
    EXPECT_TRUE(form->TntRadioButton10->isChecked());
    EXPECT_EQ(form->TntLabel59->text(), form->TntRadioButton10->text());
    EXPECT_FALSE(shortCall->isChecked() || Shown(shortCall));
    EXPECT_EQ(ctl::Tag(shortCall), 1);
    EXPECT_TRUE(form->WPage[8]->IsPageEnabled());
    QString expected = GetLangText(54);
    ASSERT_TRUE(expected.contains(QLatin1Char('\\')));
    EXPECT_EQ(form->TntMemo2->toPlainText(), expected.replace(QLatin1Char('\\'), QLatin1Char('\n')));
}

TEST_F(WizardShellTest, LongHintsAreBrokenExceptTheOutputExamples)
{
    form->show();
    QString longHint;
    for (int i = 0; i < 80; ++i)
        longHint += QStringLiteral("word%1 ").arg(i);
    longHint = longHint.trimmed();
    auto hintOf = [&](QWidget* w) {
        w->setToolTip(longHint);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w, &help);
        return QToolTip::text();
    };
    const QString shown = hintOf(ctl::Make<QLabel>(form->TntTabSheet4, "HintProbe", 10, 300, 100, 20));
    EXPECT_GT(shown.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')), longHint);
    const QFontMetrics fm(QToolTip::font());
    for (const QString& line : shown.split(QLatin1Char('\n')))
        EXPECT_LE(fm.horizontalAdvance(line), 500);
    EXPECT_EQ(hintOf(Named<QLabel>(form->WPage[4], "TntLabel9")), longHint);
    QToolTip::hideText();
}

// The wheel over a list, spin box or time picker not clicked into scrolls the page and changes nothing.
TEST_F(WizardShellTest, WheelOverControlsNotClickedIntoScrollsThePageOnly)
{
    CloseWindow();
    TForm1::ScreenSizeOverride = QSize(1024, 600);
    ReadEditableModule([](sim::SimModuleConfig& c) { c.outputs[0] = {0x08, 20}; }); // a pulse: its length shows
    form->show();
    form->TntButton30->click(); // "Manual Configuration"
    WriteAllSettings();
    const std::vector<QByteArray> sent = WritePackets();
    const QScrollBar* bars[] = {form->InputsScrollBox->verticalScrollBar(), form->ClientScroll->verticalScrollBar()};
    auto scrolls = [&](QWidget* w, int delta) {
        const int at = bars[0]->value() + bars[1]->value();
        QWheelEvent e(QPointF(4, 4), w->mapToGlobal(QPointF(4, 4)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
        return bars[0]->value() + bars[1]->value() != at;
    };
    for (int step : {2, 1, 3}) { // inputs, GPRS reporting, outputs
        form->GoToWizardStep(step);
        for (QWidget* w : form->WPage[step + 1]->findChildren<QWidget*>())
            for (int delta : {-120, 120})
                EXPECT_TRUE(!(qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w)) || !w->isVisible() ||
                            scrolls(w, delta)) << w->objectName().toStdString() << " " << delta;
    }
    WriteAllSettings();
    EXPECT_TRUE(WritePackets() == sent) << "the wheel changed a setting";

    // A control the user clicked into keeps its wheel: its value turns, the page stays.
    form->GoToWizardStep(3);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTimeEdit* picker = form->DaTiDuration[0];
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(4, picker->height() / 2)); // into its hours
    ASSERT_TRUE(picker->hasFocus());
    EXPECT_FALSE(scrolls(picker, 120));
    EXPECT_EQ(picker->time(), QTime(1, 0, 20));
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
}

} // namespace
