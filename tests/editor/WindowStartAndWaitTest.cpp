// The main window as the program builds and starts it: its form data, the order of the
// start-up against a module plugged in before it, the old-firmware notice, a module that
// leaves during the first command, the wait dialog that only the program closes, and a
// fault inside a report handler.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "support/WindowTestBase.h"
#include "widgets/IndClasses.h"
#include "widgets/IndLevelBar.h"
#include "widgets/IndTestUtil.h"
#include "widgets/PageWizard.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/Prgrss.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include <stdexcept>

namespace {

using K = TPageWizardButtonKind;

class WindowStartAndWaitTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(300, 100); }

    bool NoModuleState() const
    {
        return form->PageControl1->isHidden() && !form->Image1->isHidden() && !form->TntLabel73->isHidden() &&
               form->TntButton5->isHidden();
    }

    // The user presses the dialog's close button: the window system's close request
    // reaches its window. True when the dialog closed.
    static bool PressCloseButton(QWidget* w)
    {
        QCloseEvent e;
        QSpontaneKeyEvent::setSpontaneous(&e);
        QApplication::instance()->notify(w->windowHandle(), &e);
        return !w->isVisible();
    }
};

TEST_F(WindowStartAndWaitTest, FormDataOfTheWindowAsBuilt)
{
    CreateForms();

    // Signal level bars: 0..5, red for a weak signal, yellow, then green.
    for (TIndLevelBar* bar : {form->IndLevelBar1, form->IndLevelBar2}) {
        SCOPED_TRACE(bar->objectName().toStdString());
        EXPECT_EQ(bar->MaxValue(), 5);
        EXPECT_EQ(bar->Percent1(), 20);
        EXPECT_EQ(bar->Percent2(), 20);
        const std::pair<TIndPalette*, std::pair<colors::TColor, colors::TColor>> palettes[] = {
            {bar->Palette1(), {colors::clMaroon, colors::clRed}},
            {bar->Palette2(), {colors::clOlive, colors::clYellow}},
            {bar->Palette3(), {colors::clGreen, colors::clLime}}};
        for (const auto& [p, lowHigh] : palettes) {
            EXPECT_EQ(p->Low(), lowHigh.first);
            EXPECT_EQ(p->High(), lowHigh.second);
        }
        EXPECT_EQ(bar->Bevel()->InnerSpace(), 1);
        EXPECT_EQ(bar->Bevel()->TotalWidth(), 5);
    }
    EXPECT_EQ(form->IndLevelBar1->size(), QSize(20, 73));
    EXPECT_EQ(form->IndLevelBar2->size(), QSize(143, 20));
    // The vertical bar fills from the bottom: its lowest tick is red, its highest green.
    form->IndLevelBar1->SetPosition(5);
    QImage full = indtest::Render(*form->IndLevelBar1);
    EXPECT_EQ(indtest::Pixel(full, 10, 67), indtest::Rgb(colors::clRed));
    EXPECT_EQ(indtest::Pixel(full, 10, 5), indtest::Rgb(colors::clLime));
    form->IndLevelBar1->SetPosition(1);
    QImage weak = indtest::Render(*form->IndLevelBar1);
    EXPECT_EQ(indtest::Pixel(weak, 10, 67), indtest::Rgb(colors::clRed));
    EXPECT_EQ(indtest::Pixel(weak, 10, 5), indtest::Rgb(colors::clGreen));

    // Wizard buttons: caption, width, glyph, modal result.
    const struct {
        K kind;
        const char* caption;
        int width;
        bool glyph;
        int modalResult;
    } buttons[] = {{K::bkStart, "To &Start Page", 85, false, 0}, {K::bkLast, "To &Last Page", 85, false, 0},
                   {K::bkBack, "&Back", 75, true, 0},            {K::bkNext, "&Next", 74, true, 0},
                   {K::bkFinish, "&Finish", 75, false, 3},       {K::bkCancel, "&Cancel", 95, true, 2},
                   {K::bkHelp, "&Help", 75, false, 0}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.caption);
        TPageWizardNavigateButton* nb = form->wzrd1->Button(b.kind);
        EXPECT_EQ(nb->Caption(), QLatin1String(b.caption));
        EXPECT_EQ(nb->Width(), b.width);
        EXPECT_EQ(!nb->Glyph().isNull(), b.glyph);
        EXPECT_EQ(nb->ModalResult(), b.modalResult);
    }
    EXPECT_EQ(form->wzrd1->ButtonNext()->Layout(), TPageWizardButtonControl::TGlyphLayout::blGlyphRight);
    EXPECT_EQ(form->wzrd1->ButtonBack()->Layout(), TPageWizardButtonControl::TGlyphLayout::blGlyphLeft);

    // Page headers: divider, bold title of 16 pixels in the page's font family.
    for (int i = 1; i <= 9; ++i) {
        SCOPED_TRACE(i);
        TPageWizardPageHeader* h = form->WPage[i]->Header();
        EXPECT_TRUE(h->ShowDivider());
        EXPECT_TRUE(h->ParentFont());
        EXPECT_EQ(h->Height(), 70);
        EXPECT_TRUE(h->Title()->Font().bold());
        EXPECT_EQ(h->Title()->Font().pixelSize(), 16);
        EXPECT_EQ(h->Title()->Font().family(), form->WPage[i]->font().family());
        EXPECT_FALSE(form->WPage[i]->WaterMark()->Visible());
        EXPECT_FALSE(form->WPage[i]->Panel()->Visible());
    }

    // Status bar: 19 high, panels 300, 50, 95 and the last reaching the right edge.
    TPanelStatusBar* bar = form->PanelStatusBar1;
    EXPECT_EQ(bar->height(), 19);
    ASSERT_EQ(bar->PanelCount(), 4);
    const int widths[] = {300, 50, 95, 50};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bar->Panel(i).Width, widths[i]);
    const int gap = 300 - bar->PanelRect(0).width();
    EXPECT_EQ(bar->PanelRect(3).left(), 445);
    EXPECT_EQ(bar->PanelRect(3).right() + 1 + gap, bar->width());

    // The wait dialog's busy bar.
    EXPECT_EQ(Form5->StripeProgress1->size(), QSize(225, 14));
    EXPECT_EQ(Form5->StripeProgress1->BackColor(), colors::clWhite);
}

TEST_F(WindowStartAndWaitTest, ModulePluggedBeforeTheStartConnectsAfterTheLanguage)
{
    PlugModule(2035);
    CreateForms();
    QString outputWordAtConnect;
    bool connected = false;
    TVEQ2* link = form->Link();
    const auto real = link->OnConnect;
    link->OnConnect = [&, real](QObject* sender) {
        connected = true;
        outputWordAtConnect = form->GetLangText(87);
        real(sender);
    };
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinishedDialogGone(); }, 15000));
    ASSERT_TRUE(connected);
    const QString output = form->GetLangText(87);
    ASSERT_FALSE(output.isEmpty());
    EXPECT_EQ(outputWordAtConnect, output);
    EXPECT_EQ(form->TntCheckBox2->text(), output + " 1 (1)");
    EXPECT_EQ(OutputTable[0].Row.RowGroupBox->title(), output + " 1");
    // No template yet, in the language's word, which follows a switch.
    EXPECT_EQ(form->TntLabel4->text(), form->GetLangText(135));
    Choose(form->ComboBox28, form->ComboBox28->findText(QStringLiteral("Russian")));
    EXPECT_EQ(form->TntLabel4->text(), QStringLiteral("Нет"));
}

TEST_F(WindowStartAndWaitTest, OldFirmwareNoticeInEachLanguage)
{
    PlugModule(1999);
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntLabel10->isHidden() && form->ComboBox28->count() > 1; }));
    QStringList notices;
    for (const char* language : {"English", "Russian"}) {
        form->ComboBox28->setCurrentIndex(form->ComboBox28->findText(QLatin1String(language)));
        form->ComboBox28Change(form->ComboBox28);
        notices << form->TntLabel10->text();
        EXPECT_TRUE(notices.back().contains(QStringLiteral("VEQ"))) << language;
        EXPECT_FALSE(form->TntLabel10->isHidden());
    }
    EXPECT_NE(notices[0], notices[1]);
    EXPECT_TRUE(module->Packets().empty());
}

TEST_F(WindowStartAndWaitTest, UnplugDuringTheClockCommandLeavesTheNoModuleState)
{
    // A long gap after each command: the module leaves while the clock command's send waits.
    TVEQ2Timing t = TForm1::LinkTiming;
    t.GapMs = 300;
    TForm1::LinkTiming = t;
    PlugModule(2035);
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x43)
            QTimer::singleShot(0, module.get(), [&] { module->Unplug(); });
    };
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return !module->IsPlugged(); }, 10000));
    sim::Pump(800);
    EXPECT_FALSE(form->Link()->Connected);
    EXPECT_TRUE(NoModuleState());
    EXPECT_EQ(form->TntLabel1->text(), form->GetLangText(25));
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(module->Codes(), std::vector<quint8>{0x43});
}

TEST_F(WindowStartAndWaitTest, WaitDialogStaysUntilTheReadOrWriteEnds)
{
    SetLinkTiming(2000, 500);
    PlugModule(2035);
    module->Config().accessPin = AccessPINToWord("4321"); // a PIN the write-all accepts
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinishedDialogGone(); }, 15000));

    // A read whose first request is never answered: the dialog is up while it waits.
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x80)
            module->SetSilent(true);
    };
    form->TntButton19Click();
    ASSERT_TRUE(sim::WaitUntil([&] { return Form5->isVisible(); }));
    QTest::keyClick(Form5, Qt::Key_Escape);
    EXPECT_FALSE(PressCloseButton(Form5));
    sim::Pump(50);
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_FALSE(form->isEnabled());
    // The read's own time-out closes it.
    ASSERT_TRUE(sim::WaitUntil([&] { return !Form5->isVisible(); }, 10000));
    EXPECT_TRUE(form->isEnabled());

    // A write-all goes out only over a complete read.
    module->SetSilent(false);
    module->OnPacket = nullptr;
    module->SendStatus(); // busy clear again
    form->TntButton19Click();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinishedDialogGone() && !form->Timer2->isActive(); }, 15000));

    // A write-all whose first command the module never acknowledges: the window stays
    // held, so no second write can start inside it, until the module leaves.
    module->SetSilent(true);
    module->OnPacket = nullptr;
    bool checked = false;
    QTimer::singleShot(300, form, [&] {
        EXPECT_TRUE(Form5->isVisible());
        QTest::keyClick(Form5, Qt::Key_Escape);
        EXPECT_FALSE(PressCloseButton(Form5));
        EXPECT_TRUE(Form5->isVisible());
        EXPECT_FALSE(form->isEnabled());
        EXPECT_FALSE(form->TntButton1->isEnabled());
        checked = true;
        module->Unplug();
    });
    form->TntButton1->click(); // returns when the write stops
    EXPECT_TRUE(checked);
    ASSERT_TRUE(sim::WaitUntil([&] { return !Form5->isVisible(); }));
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(WindowStartAndWaitTest, FaultInAReportHandlerIsDiscardedWithOneLineOnStandardError)
{
    PlugModule(2035);
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinishedDialogGone(); }, 15000));
    TVEQ2* link = form->Link();
    const auto real = link->OnAPN;
    int faults = 0;
    link->OnAPN = [&, real](QObject* sender, const QByteArray& apn) {
        real(sender, apn);
        ++faults;
        throw std::runtime_error("broken APN handler");
    };
    ui::ClearRecord();
    module->ClearLog();
    testing::internal::CaptureStderr();
    form->TntButton19Click();
    // The fault ends that report's handling, so the walk goes no further and times out.
    const bool stopped = sim::WaitUntil([&] { return faults == 1 && !Form5->isVisible() && !form->Timer6->isActive(); }, 10000);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(stopped);
    int lines = 0;
    for (const QByteArray& line : QByteArray::fromStdString(err).split('\n'))
        lines += line.contains("broken APN handler");
    EXPECT_EQ(lines, 1) << err;
    for (const auto& d : ui::Record()) {
        EXPECT_NE(d.kind, QStringLiteral("plain"));
        EXPECT_FALSE(d.text.contains(QStringLiteral("broken APN handler")));
    }
    EXPECT_EQ(module->Codes().back(), 0x81);

    // The next reports are handled as ever: with the handler mended a read runs to its end.
    link->OnAPN = real;
    module->ClearLog();
    form->TntButton19Click();
    EXPECT_TRUE(sim::WaitUntil([&] { return ReadFinishedDialogGone(); }, 15000));
}

// Inputs whose Contact IDs no catalogue entry has are reported, but only once the report
// that brought them has been handled, so a person reading the box slowly does not hold up
// the read until its reply time-out.
TEST_F(WindowStartAndWaitTest, MessagesRaisedByAReportWaitUntilItIsHandled)
{
    PlugModule(2035, false);
    for (auto& in : module->Config().inputs)
        in.cid = {6, 0x19, 0x90, 0x12, 0x34};
    module->Plug();
    int corrupted = 0;
    int duringReport = 0;
    ui::SetOnRecorded([&](const ui::ShownDialog& d) {
        if (!d.text.startsWith(QStringLiteral("The list of Contact ID events (CID_Descriptions.txt) has no event")))
            return;
        ++corrupted;
        if (form && form->Link() && form->Link()->HandlingReport())
            ++duringReport;
        sim::Pump(400); // longer than the reply time-out
    });
    CreateForms();
    const bool finished = sim::WaitUntil([&] { return ReadFinishedDialogGone() && corrupted == 1; }, 20000);
    ui::SetOnRecorded(nullptr);
    ASSERT_TRUE(finished);
    EXPECT_EQ(duringReport, 0);
    EXPECT_FALSE(form->Link()->TimedOut);
    for (const auto& d : ui::Record())
        EXPECT_NE(d.text, form->GetLangText(39));
}

} // namespace
