// The main window's life: creation, the pause routine, messages, and the close order.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Envelope.h"
#include "editor/MainTables.h"
#include "editor/SettingsFile.h"
#include "editor/Unit5.h"
#include "lang/LangText.h"
#include "platform/AppPaths.h"
#include "link/VEQ2_SDK.h"
#include "platform/InstanceGuard.h"
#include "widgets/InstanceControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>

TForm1* Form1 = nullptr;

std::function<bool()> TForm1::PendingInstallCheck;

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    Form1 = this;
    BuildForm();
    FormCreate();
}

TForm1::~TForm1()
{
    ReleaseLink();
    if (Form1 == this)
        Form1 = nullptr;
}

// ---- creation ---------------------------------------------------------------------------

void TForm1::FormCreate()
{
    try {
        SetFormSize();
        for (int i = 0; i < PageControl1->PageCount(); ++i)
            PageControl1->SetTabVisible(i, false);
        PageControl1->SetActivePageIndex(4);
        SetChannelPanelBevels();
        ReadServiceCode();
        LoadAPNCatalogue();
        StartTime = QDateTime::currentDateTime();
        LogLines.clear();
        if (!NormalMode) {
            PageControl1->SetTabVisible(0, true);
            PageControl1->SetTabVisible(4, true);
            TestNumbers = LoadTestNumbers();
        }
    } catch (...) {
        // A fault while preparing the pages must not stop the window from coming up.
    }

    VEQ2 = new TVEQ2(nullptr, LinkTiming);
    WireLink();

    PageControl1->setVisible(ShowPagesAtStart);
    TntButton5->hide();
    Image1->show();
    Timer1->start();
    // The module may already be plugged in: the link lists the devices once the event
    // loop runs.
}

void TForm1::FormActivate()
{
    update();
}

void TForm1::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

// ---- pause ------------------------------------------------------------------------------

void TForm1::Delay(int ms)
{
    // A nested loop keeps timers and module reports flowing; it never spins.
    QEventLoop loop;
    QTimer t;
    t.setTimerType(Qt::PreciseTimer);
    t.setSingleShot(true);
    QObject::connect(&t, &QTimer::timeout, &loop, &QEventLoop::quit);
    t.start(ms < 0 ? 0 : ms);
    loop.exec();
}

// ---- close ------------------------------------------------------------------------------

bool TForm1::FormCloseQuery()
{
    try {
        if (VEQ2)
            VEQ2->Closing = true;
        Timer1->stop();
        if (VEQ2) {
            VEQ2->OnState = nullptr;
            VEQ2->OnUsart = nullptr;
        }
        ReleaseLink();
    } catch (...) {
    }
    return true;
}

void TForm1::ReleaseLink()
{
    if (!VEQ2)
        return;
    TVEQ2* link = VEQ2;
    // Taken out of the window first: a wait that unwinds later finds no link.
    VEQ2 = nullptr;
    link->Closing = true;
    link->ReleaseLater(); // freeing raises OnDisconnect once more when a module was held
}

void TForm1::closeEvent(QCloseEvent* e)
{
    if (!closed_) {
        FormCloseQuery();
        FormClose();
        closed_ = true;
    }
    e->accept();
}

void TForm1::FormClose()
{
    try {
        SaveLogOnClose();
    } catch (...) {
    }
}

TVEQ2Timing TForm1::LinkTiming;
QSize TForm1::ScreenSizeOverride;

void TForm1::TerminateProgram()
{
    // Ends the event loop; the close handlers do not run.
    terminated_ = true;
    closed_ = true;
    QCoreApplication::exit(0);
}

void TForm1::CreateInstanceControl()
{
    if (TInstanceControl::Instance())
        return;
    auto* ic = new TInstanceControl(this);
    ic->setObjectName(QStringLiteral("InstanceControl1"));
    ic->setMaxInstances(1);
    ic->setEnabled(platform::InstanceGuard::Program() != nullptr);
    ic->loaded();
}

void TForm1::SaveLogOnClose()
{
    const QDateTime end = QDateTime::currentDateTime();
    if (!NormalMode) {
        SaveTestNumbers(TestNumbers.Items);
        return;
    }
    if (LogLines.isEmpty())
        return;
    SaveStringsEncrypted(platform::ProgramFile(QStringLiteral("Logs/") + LogFileName(StartTime, end)),
                         LogPassPhrase, LogLines);
}

void TForm1::TntButton5Click()
{
    const QDateTime end = QDateTime::currentDateTime();
    if (LogLines.isEmpty())
        return;
    const QString name = LogFileName(StartTime, end);
    SaveStringsEncrypted(platform::ProgramFile(QStringLiteral("Logs/") + name), LogPassPhrase, LogLines);
    QString shown = name;
    shown.chop(4); // without the extension
    WideMessagedlg(GetLangText(37) + shown + GetLangText(38), ui::MsgType::Confirmation, {ui::MsgButton::OK});
}
