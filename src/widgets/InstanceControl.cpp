#include "widgets/InstanceControl.h"

#include "platform/InstanceGuard.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

namespace {

TInstanceControl* g_instance = nullptr;
bool g_postRoutineAdded = false;

// At program end a control that nobody freed still gives up its slot.
void FreeRegisteredControl()
{
    delete g_instance;
}

} // namespace

TInstanceControl::TInstanceControl(QObject* owner)
    : QObject(owner)
{
    if (g_instance)
        throw EInstanceControl("Only one copy of this component can be dropped on a form!");
    g_instance = this;
    if (!g_postRoutineAdded && QCoreApplication::instance()) {
        qAddPostRoutine(FreeRegisteredControl);
        g_postRoutineAdded = true;
    }
}

TInstanceControl::~TInstanceControl()
{
    if (g_instance == this)
        g_instance = nullptr;
    // The program block's guard outlives the window; it must not call back into it.
    if (FGuard && (FGuard == FOwnGuard.get() || FGuard == platform::InstanceGuard::Program()))
        FGuard->setComeForwardHandler(nullptr);
    // A guard of the control's own gives up its slot with it.
    FOwnGuard.reset();
}

TInstanceControl* TInstanceControl::Instance()
{
    return g_instance;
}

void TInstanceControl::setGuardLocation(const QString& programPath, const QString& runtimeDir)
{
    FProgramPath = programPath;
    FRuntimeDir = runtimeDir;
}

QWidget* TInstanceControl::HostWindow() const
{
    for (QObject* o = parent(); o; o = o->parent()) {
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->window();
    }
    return nullptr;
}

void TInstanceControl::loaded()
{
    FLoading = false;
    if (!FEnabled || FActed)
        return;
    FActed = true;
    platform::InstanceGuard* guard = platform::InstanceGuard::Program();
    try {
        if (!guard) {
            FOwnGuard = std::make_unique<platform::InstanceGuard>(FProgramPath, FRuntimeDir);
            guard = FOwnGuard.get();
            platform::InstanceGuard::SetProgram(guard);
        }
        if (!guard->hasActed())
            guard->acquire(FMaxInstances);
    } catch (const platform::InstanceGuardError& e) {
        throw EInstanceControl(e.what());
    }
    FGuard = guard;
    if (guard->isCounted()) {
        FCounted = true;
        guard->setComeForwardHandler([this] { ComeForward(); });
    } else {
        FCounted = false;
        TurnAway(guard->lastInstanceId());
    }
}

void TInstanceControl::TurnAway(std::uint32_t lastHandle)
{
    // The window must never appear, whatever shows it later.
    if (QWidget* w = HostWindow()) {
        w->setAttribute(Qt::WA_DontShowOnScreen, true);
        w->hide();
    }
    if (OnMaxInstancesReached)
        OnMaxInstancesReached(this, lastHandle);
    if (FGuard)
        FGuard->askFirstToComeForward();
    // Ends when the event loop runs.
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TInstanceControl::ComeForward()
{
    QWidget* w = HostWindow();
    if (!w)
        return;
    if (w->isMinimized())
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    w->raise();
    w->activateWindow();
}
