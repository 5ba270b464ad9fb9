#pragma once
// A simulated HID device layer for tests: devices live in memory, are plugged and
// unplugged by the test, and behave towards the program like hidraw devices do: the
// listing reports them, Open gives a connection (or fails with a chosen errno), a write
// hands the output report to the device side, and input reports queued by the device side
// are returned by Read on the reader thread, with the same time-out behaviour.
//
// Usage:
//   sim::SimHid hid;                         // installs itself as the current HID layer
//   auto dev = hid.Plug(info);               // a device appears; a change is notified
//   dev->OnOutputReport = [](const QByteArray& r) { ... };   // r[0] is the report ID
//   dev->QueueInputReport(bytes);            // the host reads bytes (byte 0 first)
//   hid.Unplug(dev);
// Destroying the SimHid restores the real layer. A simulated module that answers as the
// real one does sits on top of this: SimModule.h.
#include "platform/HidBackend.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

class SimConnection;

// One simulated device interface. The device-side members are safe to call from any thread.
class SimHidDevice {
public:
    explicit SimHidDevice(platform::HidDeviceInfo info);

    const platform::HidDeviceInfo& Info() const { return info_; }
    bool IsPlugged() const { return plugged_.load(); }

    // Device side: one input report as the host reads it (byte 0 first, no report ID), of
    // the length given (a real device sends its full input report length; the simulated
    // module does). Every open connection receives it; with none open it is lost, as on
    // hidraw.
    void QueueInputReport(const QByteArray& report);

    // Device side: called with each output report that the host writes (report ID first),
    // on the writing thread (the GUI thread for the program).
    std::function<void(const QByteArray& report)> OnOutputReport;

    // Failure injection.
    std::atomic<int> OpenError{0};          // errno for Open; 0 = opens
    std::atomic<int> FailReads{0};          // number of following reads that fail
    std::atomic<int> FailReadError{5};      // errno of those failures (EIO)
    std::atomic<bool> FailWrites{false};

    // Observation.
    int OpenCount() const { return openCount_.load(); }       // Opens that succeeded
    int OpenConnections() const;                              // connections open now
    std::vector<QByteArray> Writes() const;                   // every output report written
    // Milliseconds (since the device was created) at which each read attempt returned,
    // with its result (bytes, 0 = time-out, -1 = failure).
    struct ReadAttempt {
        qint64 atMs;
        int result;
    };
    std::vector<ReadAttempt> ReadAttempts() const;

private:
    friend class SimHid;
    friend class SimConnection;
    void Attach(SimConnection* c);
    void Detach(SimConnection* c);
    void RecordRead(int result);

    platform::HidDeviceInfo info_;
    std::atomic<bool> plugged_{true};
    std::atomic<int> openCount_{0};
    mutable std::mutex mutex_;
    std::vector<SimConnection*> connections_;
    std::vector<QByteArray> writes_;
    std::vector<ReadAttempt> reads_;
    QElapsedTimer clock_;
};

class SimHid : public platform::HidBackend {
public:
    SimHid();   // becomes the current HID layer
    ~SimHid() override;  // the real layer again
    SimHid(const SimHid&) = delete;
    SimHid& operator=(const SimHid&) = delete;

    // A device appears at the end of the listing. Its instance ID is assigned here (a
    // device plugged again is a new interface), and so is its path unless info brings one
    // (a replugged device may get its old node name back). With notify, one device-change
    // notification follows through the event loop, as the device manager sends it.
    std::shared_ptr<SimHidDevice> Plug(platform::HidDeviceInfo info, bool notify = true);
    void Unplug(const std::shared_ptr<SimHidDevice>& device, bool notify = true);
    std::vector<std::shared_ptr<SimHidDevice>> Devices() const;

    // One device-change notification to every watch, now (synchronously) or through the
    // event loop.
    void NotifyChange();
    void PostChange();
    int WatchCount() const { return static_cast<int>(watches_.size()); }

    void SetInstallPending(bool pending) { installPending_ = pending; }
    int EnumerateCount() const { return enumerateCount_; }
    // Called inside every listing (before it returns), e.g. to plug a device or send a
    // notification while the program lists.
    std::function<void()> OnEnumerate;
    // Called after a device appears (plugged true) or goes (false), e.g. to create or
    // remove a node for it.
    std::function<void(const platform::HidDeviceInfo& info, bool plugged)> OnPlugChange;

    // platform::HidBackend
    std::vector<platform::HidDeviceInfo> Enumerate() override;
    std::unique_ptr<platform::HidConnection> Open(const QByteArray& path, int& error) override;
    std::unique_ptr<platform::DeviceChangeWatch> WatchChanges(std::function<void()> onChange) override;
    bool InstallPending() override { return installPending_; }

private:
    friend class SimWatch;
    std::vector<std::shared_ptr<SimHidDevice>> devices_;
    std::vector<class SimWatch*> watches_;
    std::shared_ptr<bool> alive_;
    bool installPending_ = false;
    int enumerateCount_ = 0;
    int nextInstance_ = 0;
    QObject context_;
};

} // namespace sim
