// Builds the main window's controls: the pages, the state display, the log page, the
// wizard tab and the status bar. Geometry is absolute inside each page, as routines of
// the window move controls by position.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "widgets/Colors.h"
#include "widgets/IndClasses.h"
#include "widgets/IndLeds.h"
#include "widgets/IndLevelBar.h"
#include "widgets/PageWizard.h"
#include "widgets/PanelStatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

using ctl::Make;

namespace {

constexpr int kClientWidth = 904;
constexpr int kClientHeight = 644;
constexpr int kStatusHeight = 19;
constexpr int kWizardHeaderHeight = 70;

QLabel* caption(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h = 16)
{
    return ctl::MakeText<QLabel>(parent, name, text, x, y, w, h);
}

// The picture that asks for a module: a module with its USB cable, drawn here.
QPixmap connectPicture()
{
    QPixmap pm(220, 150);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    // module body
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(235, 235, 235));
    p.drawRoundedRect(20, 30, 110, 80, 10, 10);
    p.setBrush(QColor(60, 120, 200));
    p.drawRect(35, 45, 50, 10);
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QPoint(110, 50), 5, 5);
    p.setBrush(QColor(40, 180, 60));
    p.drawEllipse(QPoint(110, 68), 5, 5);
    // USB plug and cable
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(130, 62, 18, 16);
    p.setPen(QPen(QColor(40, 40, 40), 4));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(148, 70);
    cable.cubicTo(185, 70, 170, 125, 205, 125);
    p.drawPath(cable);
    // arrow towards the socket
    p.setPen(QPen(QColor(60, 120, 200), 3));
    p.drawLine(190, 40, 150, 40);
    p.drawLine(150, 40, 160, 33);
    p.drawLine(150, 40, 160, 47);
    return pm;
}

} // namespace

TIndUserLed* TForm1::MakeLed(QWidget* parent, int number, int x, int y, std::int32_t high1,
                             std::int32_t high2)
{
    auto* led = new TIndUserLed(parent);
    led->setObjectName(QStringLiteral("IndUserLed%1").arg(number));
    led->setGeometry(x, y, 20, 17);
    led->PaletteEx()->SetLow1(colors::clBlack);
    led->PaletteEx()->SetLow2(colors::clBlack);
    led->PaletteEx()->SetHigh1(high1);
    led->PaletteEx()->SetHigh2(high2);
    IndUserLed[number] = led;
    return led;
}

TIndLevelBar* TForm1::MakeLevelBar(QWidget* parent, const char* name, bool horizontal, const QRect& r)
{
    auto* bar = new TIndLevelBar(parent);
    bar->setObjectName(QLatin1String(name));
    // Built as a form loads it: no size is turned round or grown with the frame.
    bar->setLoading(true);
    bar->SetOrientation(horizontal ? TIndOrientation::voHorizontal : TIndOrientation::voVertical);
    bar->setGeometry(r);
    bar->SetMaxValue(5); // the module's signal level 0..5
    // A weak signal lights red, a middling one yellow, a strong one green: the zones run
    // 20 % red, 20 % yellow, the rest green, from the end the bar fills from.
    bar->SetPercent1(20);
    bar->SetPercent2(20);
    TIndPalette red, yellow, green;
    red.SetLow(colors::clMaroon);
    red.SetHigh(colors::clRed);
    yellow.SetLow(colors::clOlive);
    yellow.SetHigh(colors::clYellow);
    green.SetLow(colors::clGreen);
    green.SetHigh(colors::clLime);
    bar->SetPalette1(red);
    bar->SetPalette2(yellow);
    bar->SetPalette3(green);
    TIndBevel bevel;
    bevel.Assign(*bar->Bevel());
    bevel.SetInnerStyle(TIndBevelStyle::bsLowered);
    bevel.SetInnerWidth(2);
    bevel.SetInnerSpace(1);
    bevel.SetInnerColor(colors::clBlack);
    bevel.SetOuterStyle(TIndBevelStyle::bsRaised);
    bevel.SetOuterOutline(TIndBevelOutlineStyle::osOuter);
    bar->SetBevel(bevel);
    bar->loaded();
    return bar;
}

void TForm1::MakeLedColumn(QWidget* parent, std::initializer_list<LedRow> rows, QPoint at, int step,
                           int captionWidth)
{
    int y = at.y();
    for (const LedRow& r : rows) {
        MakeLed(parent, r.led, at.x(), y, colors::clRed, colors::clMaroon);
        caption(parent, r.name, QString::fromLatin1(r.text), at.x() + 28, y, captionWidth);
        y += step;
    }
}

void TForm1::BuildForm()
{
    setWindowTitle(QStringLiteral("VEQ4m Loader"));
    // The client area keeps its designed size; on a small screen it scrolls.
    ClientScroll = new QScrollArea(this);
    ClientScroll->setObjectName(QStringLiteral("ClientScroll"));
    ClientScroll->setFrameShape(QFrame::NoFrame);
    ClientScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ClientScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("FormClient"));
    central->setFixedSize(kClientWidth, kClientHeight);
    ClientScroll->setWidget(central);
    setCentralWidget(ClientScroll);

    // Behind the pages: the picture and the notices shown while no module is there.
    Image1 = Make<QLabel>(central, "Image1", 342, 180, 220, 150);
    Image1->setPixmap(connectPicture());
    TntLabel73 = caption(central, "TntLabel73", QStringLiteral("Please connect VEQ module..."), 252, 350, 400, 24);
    TntLabel73->setAlignment(Qt::AlignCenter);
    QFont big = TntLabel73->font();
    big.setPointSize(12);
    big.setBold(true);
    TntLabel73->setFont(big);
    TntLabel10 = caption(central, "TntLabel10", QString(), 275, 350, 353, 60);
    TntLabel10->setWordWrap(true);
    TntLabel10->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    TntLabel10->hide();

    PageControl1 = new TPageControl(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, kClientWidth, kClientHeight - kStatusHeight);
    TabSheet1 = PageControl1->AddPage("TabSheet1", QStringLiteral("Log"));
    TabSheet2 = PageControl1->AddPage("TabSheet2", QStringLiteral("Reporting"));
    TabSheet3 = PageControl1->AddPage("TabSheet3", QStringLiteral("Inputs / Outputs"));
    TabSheet4 = PageControl1->AddPage("TabSheet4", QStringLiteral("Names"));
    TntTabSheet4 = PageControl1->AddPage("TntTabSheet4", QStringLiteral("Main Screen"));
    TntTabSheet3 = PageControl1->AddPage("TntTabSheet3", QStringLiteral("Wizard"));
    TntTabSheet5 = PageControl1->AddPage("TntTabSheet5", QStringLiteral("TntTabSheet5"));
    // The pages cover the picture behind them.
    PageControl1->setAutoFillBackground(true);
    for (int i = 0; i < PageControl1->PageCount(); ++i)
        PageControl1->Page(i)->setAutoFillBackground(true);

    // Status bar with its child controls.
    PanelStatusBar1 = new TPanelStatusBar(central);
    PanelStatusBar1->setObjectName(QStringLiteral("PanelStatusBar1"));
    PanelStatusBar1->setLoading(true);
    PanelStatusBar1->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
    // The model and serial number, the monitoring LED, the log button, the modem's
    // answer; the last panel reaches the right edge.
    for (int w : {300, 50, 95, 50})
        PanelStatusBar1->AddPanel(w);
    TntLabel1 = caption(PanelStatusBar1, "TntLabel1", QString(), 6, 2, 290, 16);
    MakeLed(PanelStatusBar1, 34, 315, 1, colors::clLime, colors::clGreen);
    TntButton5 = Make<QPushButton>(PanelStatusBar1, "TntButton5", 352, 1, 91, 17);
    TntButton5->setText(QStringLiteral("SaveLog"));
    PanelStatusBar1->loaded();

    BuildLogPage();
    BuildMainScreen();
    BuildWizardTab();
    BuildServiceControls();
    WireFactoryDefaults();
    // The wheel scrolls the pages; it changes no list or spin box the user has not clicked.
    ctl::InstallWheelScrollsPage(this);

    // Timers, all off until something turns them on.
    auto timer = [this](const char* name, int ms, bool singleShot) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(ms);
        t->setSingleShot(singleShot);
        if (ms < 20)
            t->setTimerType(Qt::PreciseTimer);
        return t;
    };
    Timer1 = timer("Timer1", 200, false);
    Timer2 = timer("Timer2", 100, false);
    Timer5 = timer("Timer5", 100, false);
    Timer6 = timer("Timer6", 1, false);
    Timer7 = timer("Timer7", 300, false);
    Timer_CheckPassword = timer("Timer_CheckPassword", 500, false);
    Timer4 = timer("Timer4", 100, true);
    connect(Timer4, &QTimer::timeout, this, [this] { Guard([this] { RefreshOutputRows(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { Guard([this] { Timer2Timer(); }); });
    connect(Timer5, &QTimer::timeout, this, [this] {
        Guard([this] { Timer5Timer(); });
        // Whatever the start-up found, the module may be claimed now.
        Guard([this] { ClaimWaitingModule(); });
    });
    connect(Timer6, &QTimer::timeout, this, [this] { Guard([this] { Timer6Timer(); }); });
    connect(Timer7, &QTimer::timeout, this, [this] { Guard([this] { Timer7Timer(); }); });
    connect(Timer_CheckPassword, &QTimer::timeout, this,
            [this] { Guard([this] { Timer_CheckPasswordTimer(); }); });
    // The start-up runs on the first tick of the event loop.
    Timer5->start();
}

void TForm1::BuildMainScreen()
{
    QWidget* p = TntTabSheet4;
    TntButton29 = Make<QPushButton>(p, "TntButton29", 24, 24, 230, 40);
    TntButton29->setText(QStringLiteral("Configuration Wizard"));
    TntButton30 = Make<QPushButton>(p, "TntButton30", 24, 74, 230, 40);
    TntButton30->setText(QStringLiteral("Manual Configuration"));
    TntMemo2 = Make<QPlainTextEdit>(p, "TntMemo2", 274, 24, 360, 90);
    TntMemo2->setReadOnly(true);

    caption(p, "TntLabel2", QStringLiteral("Template:"), 24, 134, 80);
    TntLabel4 = caption(p, "TntLabel4", QString(), 108, 134, 146);
    ShowTemplateName(QString());
    TntButton27 = Make<QPushButton>(p, "TntButton27", 24, 156, 230, 28);
    TntButton27->setText(QStringLiteral("Load Template"));
    TntButton27->hide();
    TntButton1911 = Make<QPushButton>(p, "TntButton1911", 24, 192, 230, 28);
    TntButton1911->setText(QStringLiteral("Set settings to factory default"));
    TntButton1911->hide();

    caption(p, "TntLabel307", QStringLiteral("Language:"), 660, 24, 200);
    ComboBox28 = Make<QComboBox>(p, "ComboBox28", 660, 42, 210, 24);
    ComboBox28->setEditable(false);
    connect(ComboBox28, &QComboBox::activated, this, [this] { Guard([this] { ComboBox28Change(ComboBox28); }); });
    TntLabel96 = caption(p, "TntLabel96", QStringLiteral("Manual"), 660, 78, 200);
    TntBitBtn3 = Make<QPushButton>(p, "TntBitBtn3", 660, 96, 210, 28);
    TntBitBtn3->setText(QStringLiteral("Open"));
    TntLabel96->hide();
    TntBitBtn3->hide();

    // GSM modem state, repeated from the log page.
    auto* box = Make<QGroupBox>(p, "TntGroupBox20", 274, 134, 360, 210);
    box->setTitle(QStringLiteral("GSM modem"));
    MakeLedColumn(box, {{37, "TntLabel101", "Powered Up"}, {38, "TntLabel102", "Setted Up"},
                        {35, "TntLabel103", "GSM Attached"}, {36, "TntLabel104", "Opening connection"},
                        {31, "TntLabel105", "Connecting"}, {32, "TntLabel106", "Connected"},
                        {33, "TntLabel107", "Sending"}},
                  QPoint(14, 24), 24, 138);
    caption(box, "TntLabel108", QStringLiteral("GSM signal"), 184, 24, 150);
    IndLevelBar2 = MakeLevelBar(box, "IndLevelBar2", true, QRect(184, 44, 143, 20));
    caption(box, "Label128", QStringLiteral("Buffer message count:"), 184, 80, 140);
    Label129 = caption(box, "Label129", QStringLiteral("0"), 326, 80, 30);
    caption(box, "Label130", QStringLiteral("Sent message count:"), 184, 104, 140);
    Label131 = caption(box, "Label131", QStringLiteral("0"), 326, 104, 30);
}

void TForm1::BuildLogPage()
{
    QWidget* p = TabSheet1;
    auto* modem = Make<QGroupBox>(p, "GroupBox1", 8, 8, 180, 200);
    modem->setTitle(QStringLiteral("Modem flags"));
    const struct { int led; const char* text; } flags[] = {
        {1, "Powered Up"}, {2, "Present"}, {3, "Setted Up"}, {4, "GSM Attached"},
        {5, "Opening connection"}, {6, "Connected"}, {7, "TCP Sending"},
    };
    int y = 22;
    for (const auto& f : flags) {
        MakeLed(modem, f.led, 10, y, colors::clRed, colors::clMaroon);
        caption(modem, QStringLiteral("LogFlagCaption%1").arg(f.led).toLatin1().constData(),
                QString::fromLatin1(f.text), 36, y, 140);
        y += 24;
    }

    auto* regs = Make<QGroupBox>(p, "GroupBox2", 196, 8, 210, 250);
    regs->setTitle(QStringLiteral("Modem registers"));
    // Each heading stands over its column of LEDs, clear of the next one.
    caption(regs, "Label10", QStringLiteral("Request"), 96, 18, 52);
    caption(regs, "Label11", QStringLiteral("Process"), 152, 18, 56);
    const char* rowNames[] = {"CheckPresent", "Setup", "GetFlags", "Reset",
                              "Connect", "TCP send", "Read Data", "Disconnect"};
    y = 36;
    for (int r = 0; r < 8; ++r) {
        caption(regs, QStringLiteral("LogRegCaption%1").arg(r).toLatin1().constData(),
                QString::fromLatin1(rowNames[r]), 8, y, 90);
        MakeLed(regs, 8 + 2 * r, 110, y, colors::clRed, colors::clMaroon);
        MakeLed(regs, 9 + 2 * r, 166, y, colors::clRed, colors::clMaroon);
        y += 26;
    }

    auto* link = Make<QGroupBox>(p, "GroupBox5", 414, 8, 180, 112);
    link->setTitle(QStringLiteral("Link"));
    MakeLed(link, 28, 10, 22, colors::clYellow, colors::clOlive);
    caption(link, "LogLinkCaption28", QStringLiteral("Busy"), 36, 22, 130);
    MakeLed(link, 29, 10, 46, colors::clLime, colors::clGreen);
    caption(link, "LogLinkCaption29", QStringLiteral("Monitoring"), 36, 46, 130);
    MakeLed(link, 30, 10, 70, colors::clRed, colors::clMaroon);
    caption(link, "LogLinkCaption30", QStringLiteral("Error"), 36, 70, 130);

    Memo1 = Make<QPlainTextEdit>(p, "Memo1", 8, 266, 884, 290);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    TntCheckBox1 = Make<QCheckBox>(p, "TntCheckBox1", 8, 562, 110, 20);
    TntCheckBox1->setText(QStringLiteral("Lock"));
    TntCheckBox12 = Make<QCheckBox>(p, "TntCheckBox12", 122, 562, 230, 20);
    TntCheckBox12->setText(QStringLiteral("Put Registers into LOG"));
    TntButton3 = Make<QPushButton>(p, "TntButton3", 358, 560, 90, 24);
    TntButton3->setText(QStringLiteral("Clear"));
    TntButton19 = Make<QPushButton>(p, "TntButton19", 454, 560, 180, 24);
    TntButton19->setText(QStringLiteral("Read VEQ3 Settings"));
    connect(TntButton19, &QPushButton::clicked, this, [this] { Guard([this] { TntButton19Click(); }); });
}

void TForm1::BuildWizardTab()
{
    QWidget* tab = TntTabSheet3;
    // Column of step labels beside the pages.
    TntPanel11 = Make<QFrame>(tab, "TntPanel11", 0, 0, 150, 556);
    TntPanel11->setAutoFillBackground(true);
    {
        QPalette pal = TntPanel11->palette();
        pal.setColor(QPalette::Window, QColor(0x33, 0x55, 0x88));
        TntPanel11->setPalette(pal);
    }
    TntLabel59 = caption(TntPanel11, "TntLabel59", QStringLiteral("Communicator"), 10, 10, 134, 20);
    ctl::SetTag(TntLabel59, 0);
    const char* stepCaptions[9] = {"Users", "Inputs", "GPRS Reporting", "Outputs",
                                   "Outputs control from distance", "Security settings",
                                   "GSM Modem Settings", "Welcome", "Summary"};
    for (int i = 0; i < 9; ++i) {
        Step[i] = caption(TntPanel11, QStringLiteral("Step%1").arg(i).toLatin1().constData(),
                          QString::fromLatin1(stepCaptions[i]), 10, 44 + i * 24, 134, 20);
        Step[i]->setWordWrap(true);
        // A caption of one line keeps to the top of a slot made for two.
        Step[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        ctl::SetTag(Step[i], i);
        QPalette pal = Step[i]->palette();
        pal.setColor(QPalette::WindowText, colors::ToQColor(0xE2E2E2));
        Step[i]->setPalette(pal);
    }
    {
        QPalette pal = TntLabel59->palette();
        pal.setColor(QPalette::WindowText, colors::ToQColor(0xFFFFFF));
        TntLabel59->setPalette(pal);
    }
    TntBitBtn1 = Make<QPushButton>(TntPanel11, "TntBitBtn1", 10, 500, 130, 26);
    TntBitBtn1->setText(QStringLiteral("Manage Messages"));
    TntBitBtn1->hide();

    // The wizard with its nine pages.
    // The wizard fills its parent: a host of the wizard's size beside the step column.
    auto* wizardHost = Make<QWidget>(tab, "WizardHost", 150, 0, 754, 556);
    wzrd1 = new TPageWizard(wizardHost);
    wzrd1->setObjectName(QStringLiteral("wzrd1"));
    wzrd1->setLoading(true);
    wzrd1->setGeometry(0, 0, 754, 556);
    const char* titles[9] = {"Users", "GPRS Reporting", "Inputs", "Outputs",
                             "Outputs control from distance", "Security settings",
                             "GSM Modem Settings", "Welcome", "Summary"};
    for (int i = 1; i <= 9; ++i) {
        auto* page = new TPageWizardWelcomePage(wzrd1);
        page->setObjectName(QStringLiteral("WPage%1").arg(i));
        page->setLoading(true);
        page->Header()->SetHeight(kWizardHeaderHeight);
        page->Header()->SetShowDivider(true);
        page->Header()->SetImageAlignment(TKImageAlignment::iaRight);
        page->Header()->Title()->SetText(QString::fromLatin1(titles[i - 1]));
        // The title's own size and weight; the family still comes from the page, as the
        // header takes its fonts from it (the font setter is for a whole other font).
        page->Header()->Title()->Font().setBold(true);
        page->Header()->Title()->Font().setPixelSize(16);
        page->Header()->Subtitle()->SetText(QStringLiteral("Subtitle"));
        page->WaterMark()->SetVisible(false);
        page->WaterMark()->SetWidth(164);
        page->WaterMark()->SetBorderWidth(1);
        page->Panel()->SetVisible(false);
        page->Panel()->SetBorderWidth(7);
        WPage[i] = page;
    }
    using K = TPageWizardButtonKind;
    // The navigation buttons as the window has them.
    {
        using G = TPageWizardButtonControl::TGlyphLayout;
        const struct {
            K kind;
            const char* caption;
            int width;
            bool glyph;
        } buttons[] = {{K::bkStart, "To &Start Page", 85, false}, {K::bkLast, "To &Last Page", 85, false},
                       {K::bkBack, "&Back", 75, true},            {K::bkNext, "&Next", 74, true},
                       {K::bkFinish, "&Finish", 75, false},       {K::bkCancel, "&Cancel", 95, true},
                       {K::bkHelp, "&Help", 75, false}};
        for (const auto& b : buttons) {
            TPageWizardNavigateButton* nb = wzrd1->Button(b.kind);
            nb->SetCaption(QString::fromLatin1(b.caption));
            nb->SetWidth(b.width);
            if (b.glyph)
                nb->SetGlyph(TPageWizardButtonControl::StandardGlyph(b.kind));
        }
        wzrd1->ButtonNext()->SetLayout(G::blGlyphRight);
        wzrd1->ButtonFinish()->SetModalResult(3);
        wzrd1->ButtonCancel()->SetModalResult(2);
    }
    WPage[1]->SetEnabledButtons({K::bkStart, K::bkLast, K::bkNext, K::bkFinish, K::bkCancel, K::bkHelp});
    WPage[9]->SetEnabledButtons({K::bkStart, K::bkLast, K::bkBack, K::bkFinish, K::bkCancel, K::bkHelp});

    // The pages' own controls, one builder per page.
    const int top = kWizardHeaderHeight + 3;
    // -- users page (WPage1)
    BuildUsersPage(WPage[1], top);

    // -- reporting page (WPage2)
    BuildReportingPage(WPage[2], top);

    // -- inputs page (WPage3)
    BuildInputsPage(WPage[3], top);

    // -- outputs pages (WPage4, WPage5)
    BuildOutputsPage(WPage[4], top);
    BuildRemoteControlPage(WPage[5], top);

    // -- security and modem pages (WPage6, WPage7)
    BuildSecurityPage(WPage[6], top);
    BuildModemPage(WPage[7], top);

    // -- names page (WPage8)
    BuildNamesPage(WPage[8], top);

    // -- summary page (WPage9)
    BuildSummaryPage(WPage[9]);

    // -- end of the page builders

    for (int i = 1; i <= 9; ++i)
        WPage[i]->loaded();
    wzrd1->loaded();
    wzrd1->SetActivePageIndex(0);
    // The shell's handlers: wizard events, step labels, mode buttons, window-level keys.
    WireWizardShell();

    // Buttons below the wizard.
    TntButton1 = Make<QPushButton>(tab, "TntButton1", 538, 562, 170, 30);
    TntButton1->setText(QStringLiteral("Send data to Module"));
    TntButton26 = Make<QPushButton>(tab, "TntButton26", 718, 562, 170, 30);
    TntButton26->setText(QStringLiteral("Save New Template"));
    TntBitBtn2 = Make<QPushButton>(tab, "TntBitBtn2", 218, 562, 150, 30);
    TntBitBtn2->setText(QStringLiteral("Print"));
    TntBitBtn2->hide();
    connect(TntBitBtn2, &QPushButton::clicked, this, [this] { Guard([this] { TntBitBtn2Click(); }); });
    BuildWriteButtons();
    WireTemplateButtons();
}
