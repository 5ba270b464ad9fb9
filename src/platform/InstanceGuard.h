#pragma once
// Limits how many copies of the program run at once and lets a copy that is turned away
// ask a running copy to come forward.
//
// Copies started from the same program path share one count. Each admitted copy holds
// an exclusive lock on one "slot" file in a per-user runtime folder; the count is the
// number of slots whose lock is held. The kernel drops a lock when its copy ends or
// crashes, so a dead copy is never counted and never locks the program out. Each
// admitted copy also listens on a local socket beside its slot, through which a copy
// that is turned away asks it to restore and raise its window.
//
// The program block acquires the guard before it creates the main window or anything
// that talks to a module, so that a copy that is turned away has done nothing else:
//
//     platform::InstanceGuard guard;
//     if (!guard.acquire(1)) { guard.askFirstToComeForward(); return 0; }
//     platform::InstanceGuard::SetProgram(&guard);
//
// Everything here runs on the GUI thread.
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

class QLocalServer;

namespace platform {

// An operating-system failure of the guard (its folder or lock files cannot be used).
class InstanceGuardError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class InstanceGuard {
public:
    // programPath: the path that names the shared count (default: this program's file).
    // runtimeDir: the folder of the lock files and sockets (default: DefaultRuntimeDir()).
    explicit InstanceGuard(const QString& programPath = QString(), const QString& runtimeDir = QString());
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // Admits this copy when fewer than maxInstances copies hold a slot: takes a slot,
    // starts listening for requests to come forward and returns true. Otherwise returns
    // false and this copy holds nothing (it has created no file). A second call returns
    // the first call's answer without counting the copy again.
    // Throws InstanceGuardError when the folder (which must be usable as above, also when
    // given) or a lock file cannot be used.
    bool acquire(std::uint32_t maxInstances);

    bool hasActed() const { return acted_; }
    // True while this copy holds a slot.
    bool isCounted() const { return slotFd_ >= 0; }
    // The slot this copy holds, or -1.
    int slot() const { return slot_; }

    // The number of copies that hold a slot now (this one included).
    std::uint32_t count() const;

    // The process id of the copy admitted last that is still running (0: none). A copy
    // that was turned away reads the one it found when it was turned away.
    std::uint32_t lastInstanceId() const;

    // A copy that was turned away asks the copy admitted last (or, when that one does not
    // answer, any other running copy) to restore and raise its window. Blocks for at most
    // about timeoutMs per copy asked. True when a copy confirmed.
    bool askFirstToComeForward(int timeoutMs = 2000);

    // Runs (on the GUI thread, inside the event loop) when another copy asks this one to
    // come forward. A request that arrives before a handler is set is kept and handed to
    // the handler when it is set.
    void setComeForwardHandler(std::function<void()> handler);

    // Gives up the slot and stops listening. The destructor does the same.
    void release();

    QString key() const { return key_; }
    QString runtimeDir() const { return dir_; }
    QString slotFile(int slot) const;
    QString socketName(int slot) const;

    // The name shared by all copies of a program: a digest of its path with every "\" and
    // then every " " removed.
    static QString KeyForProgram(const QString& programPath);

    // $XDG_RUNTIME_DIR when it is set and usable, else the private folder "veqloader"
    // (mode 0700) under the user's cache folder. A usable folder is a real folder (no
    // symbolic link) of this user that nobody else can write to, whose path leaves room for
    // a local socket's name (a socket's whole path is limited to 106 bytes). Throws
    // InstanceGuardError, naming the folder, when there is none.
    static QString DefaultRuntimeDir();

    // The guard the program block acquired (the windows only reflect and serve it).
    static InstanceGuard* Program();
    static void SetProgram(InstanceGuard* guard);

private:
    struct SlotInfo {
        int slot = -1;
        bool held = false;
        std::uint64_t seq = 0;
        std::uint32_t pid = 0;
    };
    std::vector<SlotInfo> scanSlots() const;
    bool tryTakeSlot(int slot, std::uint64_t seq);
    void listen();
    void comeForwardRequested();

    QString key_;
    QString dir_;
    bool acted_ = false;
    bool admitted_ = false;
    int slot_ = -1;
    int slotFd_ = -1;
    std::uint32_t lastId_ = 0;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> handler_;
    bool pendingRequest_ = false;
};

// The program block's first step with its guard: returns nothing when this copy goes on.
// Otherwise the exit status: 0 for a copy that was turned away (it has asked the first
// copy to come forward), 1 when the guard has no usable folder (after a plain message
// that names it; the program ends without a crash).
std::optional<int> AdmitProgramCopy(InstanceGuard& guard, std::uint32_t maxInstances);

} // namespace platform
