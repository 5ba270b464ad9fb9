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
#include <QProxyStyle>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <utility>

TForm1* Form1 = nullptr;


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
    delete std::exchange(retiredLink_, nullptr);
    if (Form1 == this)
        Form1 = nullptr;
}

// ---- creation ---------------------------------------------------------------------------

namespace {
// Hints come up at once.
class HintStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void TForm1::FormCreate()
{
    try {
        SetFormSize();
        if (!dynamic_cast<HintStyle*>(QApplication::style()))
            QApplication::setStyle(new HintStyle);
        for (int i = 0; i < PageControl1->PageCount(); ++i)
            PageControl1->SetTabVisible(i, false);
        PageControl1->SetActivePageIndex(4);
        SetChannelPanelBevels();
        ReadServiceCode();
        LoadAPNCatalogue();
        StartTime = QDateTime::currentDateTime();
        LogLines.clear();
        ShowServiceControls(!NormalMode);
        if (!NormalMode) {
            PageControl1->SetTabVisible(0, true);
            PageControl1->SetTabVisible(4, true);
            LoadTestNumbers();
        }
    } catch (...) {
        // A fault while preparing the pages must not stop the window from coming up.
    }

    VEQ2 = new TVEQ2(nullptr, LinkTiming);
    WireLink();
    HoldModuleClaims();

    PageControl1->setVisible(ShowPagesAtStart);
    TntButton5->hide();
    Image1->show();
    Timer1->start();
    // A module that is already plugged in is claimed after the start-up timer has run.
}

void TForm1::HoldModuleClaims()
{
    // The link passes over device changes while it is being created; the window keeps it
    // that way until its texts are loaded. Otherwise a module plugged in before the start
    // would connect first and get captions built from messages not yet there.
    if (!VEQ2)
        return;
    VEQ2->Creating = true;
    claimsHeld_ = true;
}

void TForm1::ClaimWaitingModule()
{
    // A start-up that decided to end the program claims nothing: the module stays untouched.
    if (!claimsHeld_ || terminated_)
        return;
    claimsHeld_ = false;
    if (!VEQ2)
        return;
    VEQ2->Creating = false;
    // The devices the link passed over meanwhile are listed now.
    VEQ2->DeviceChange();
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
    ++delayDepth_;
    QEventLoop loop;
    QTimer t;
    t.setTimerType(Qt::PreciseTimer);
    t.setSingleShot(true);
    QObject::connect(&t, &QTimer::timeout, &loop, &QEventLoop::quit);
    t.start(ms < 0 ? 0 : ms);
    loop.exec();
    --delayDepth_;
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
    // Taken out of the window first: a sequence that resumes after a wait finds no link
    // and stops.
    VEQ2 = nullptr;
    link->Closing = true;
    link->WakeWaits();
    delete std::exchange(retiredLink_, nullptr);
    retiredLink_ = link;
    DeleteRetiredLink();
}

void TForm1::DeleteRetiredLink()
{
    if (!retiredLink_)
        return;
    if (delayDepth_ > 0 || retiredLink_->InUse()) {
        // A wait of the link or of the window is still on the stack: try again once it
        // has unwound.
        QTimer::singleShot(1, this, [this] { DeleteRetiredLink(); });
        return;
    }
    // Freeing raises OnDisconnect once more when a module was held.
    delete std::exchange(retiredLink_, nullptr);
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
    if (QuitProgram)
        QuitProgram();
    else
        QCoreApplication::exit(0);
}

std::function<void()> TForm1::QuitProgram;

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

bool TForm1::SaveLogFile(QString& fileName, QString& error)
{
    // Each save moves the end time to now: a later save covers the longer period.
    fileName = platform::ProgramFile(QStringLiteral("Logs/") + LogFileName(StartTime, QDateTime::currentDateTime()));
    return SaveStringsEncrypted(fileName, LogPassPhrase, LogLines, &error);
}

void TForm1::SaveLogOnClose()
{
    if (!NormalMode) {
        SaveTestNumbers();
        return;
    }
    if (LogLines.isEmpty())
        return;
    // Nobody is left to tell at closing.
    QString fileName, error;
    SaveLogFile(fileName, error);
}

void TForm1::TntButton5Click()
{
    if (LogLines.isEmpty())
        return;
    QString fileName, error;
    if (!SaveLogFile(fileName, error)) {
        WideMessagedlg(GetLangText(130) + QLatin1Char(' ') + QDir::toNativeSeparators(fileName) +
                           QLatin1Char('\n') + error,
                       ui::MsgType::Error, {ui::MsgButton::OK});
        return;
    }
    WideMessagedlg(GetLangText(37) + QFileInfo(fileName).completeBaseName() + GetLangText(38),
                   ui::MsgType::Confirmation, {ui::MsgButton::OK});
}
