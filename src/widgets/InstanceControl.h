#pragma once
// The main window's side of the single-instance guard. The program block acquires the
// program's guard (platform::InstanceGuard) before it builds any window, so that a copy
// that is turned away does nothing else; this control then only reflects that guard and
// serves it: when another copy asks, it restores the window that holds it if minimised
// and brings it to the front.
//
// When the program block has acquired no guard, the control acquires one itself once
// its form has loaded; a copy turned away there hides its window, asks the first copy to
// come forward and quits when its event loop runs.
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

class QWidget;
namespace platform {
class InstanceGuard;
}

class EInstanceControl : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// LastInstanceHandle: the process id of the copy admitted last.
using TMaxInstancesReachedEvent = std::function<void(QObject* Sender, std::uint32_t LastInstanceHandle)>;

class TInstanceControl : public QObject {
    Q_OBJECT
public:
    // Throws EInstanceControl when the program already has one.
    explicit TInstanceControl(QObject* owner = nullptr);
    ~TInstanceControl() override;

    // False when this copy was turned away.
    bool Counted() const { return FCounted; }
    bool Enabled() const { return FEnabled; }
    void setEnabled(bool value) { FEnabled = value; }
    std::uint32_t MaxInstances() const { return FMaxInstances; }
    void setMaxInstances(std::uint32_t value) { FMaxInstances = value; }

    TMaxInstancesReachedEvent OnMaxInstancesReached;

    // The control acts once, when the form that holds it has loaded (and only when Enabled).
    // Throws EInstanceControl when the guard's files cannot be used.
    void setLoading(bool value) { FLoading = value; }
    bool isLoading() const { return FLoading; }
    void loaded();

    // Where a guard of the control's own counts copies (default: this program's path and
    // the per-user runtime folder).
    void setGuardLocation(const QString& programPath, const QString& runtimeDir);

    // The guard the control reflects (null before it has acted).
    platform::InstanceGuard* Guard() const { return FGuard; }

    // Restores the window that holds the control when it is minimised and brings it to the front.
    void ComeForward();

    // The program's one instance, or null.
    static TInstanceControl* Instance();

private:
    QWidget* HostWindow() const;
    void TurnAway(std::uint32_t lastHandle);

    bool FCounted = true;
    bool FEnabled = true;
    std::uint32_t FMaxInstances = 1;
    bool FLoading = false;
    bool FActed = false;
    QString FProgramPath;
    QString FRuntimeDir;
    std::unique_ptr<platform::InstanceGuard> FOwnGuard;
    platform::InstanceGuard* FGuard = nullptr;
};
