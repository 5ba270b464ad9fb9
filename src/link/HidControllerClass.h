#pragma once
// The HID transport: the list of HID device interfaces present on the PC, kept current
// through device-change notifications; one device at a time handed to a user (the module
// link), opened, written to, and read continuously by a reader thread of its own.
//
// Threads. Everything here runs on the GUI thread (the controller's thread) except the
// reader threads. A reader thread calls the device's reader hook (SetOnReportRead) with
// each input report the moment it has been read, then queues a copy of the report, tagged
// with its device, for the GUI thread. The GUI thread hands queued reports to the device's
// data handler one at a time in arrival order; a handler that processes events (a nested
// event loop) never receives the next report inside its own call. Reports of a device that
// has been released, unplugged or whose data handler was cleared are dropped.
//
// A device that stops working (several failed reads in a row, or a failed write) is taken
// as unplugged at once, as if the device manager had reported it gone: its unplug handler
// and OnRemoval run, then OnDeviceChange. A module that loses power, or whose removal the
// device manager reports late, is thus let go without waiting. The reader marks such a
// device gone by itself (IsGone), the moment it gives up on it, so that code waiting on the
// GUI thread inside a report handler sees it before the queue reaches the loss. After such
// a loss the devices are listed once more, so that a device that is still there (the fault
// was passing) is found again; one that is lost again before it has sent a single report is
// left until the next device change.
//
// Report bytes: input reports carry no report ID on this platform, so the data handler is
// called with ReportID 0 and Data pointing at the first report byte (the module's status
// byte). Data always holds at least Caps().InputReportByteLength bytes, zero past Size.
#include "platform/HidBackend.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

class THidDevice;
class THidDeviceController;

// Event types.
using THidPlugEvent = std::function<void(THidDevice* HidDev)>;
// Returns true to go on with the next device.
using THidEnumerateEvent = std::function<bool(THidDevice* HidDev, int Idx)>;
using THidDataEvent = std::function<void(THidDevice* HidDev, quint8 ReportID, const quint8* Data, quint16 Size)>;
using THidDataErrorEvent = std::function<void(THidDevice* HidDev, quint32 Error)>;
using THidNotifyEvent = std::function<void(QObject* Sender)>;
// Called on the reader thread for each report as it arrives (no ID; Data[0] is byte 0).
using THidReadHook = std::function<void(THidDevice* HidDev, const quint8* Data, quint16 Size)>;

// The transport's error: "device cannot be opened", "device cannot be identified".
class EControllerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct THidDAttributes {
    quint32 Size = 12;
    quint16 VendorID = 0;
    quint16 ProductID = 0;
    quint16 VersionNumber = 0;
};

struct THidPCaps {
    quint16 Usage = 0;
    quint16 UsagePage = 0;
    quint16 InputReportByteLength = 0;   // bytes of one read, without a report ID
    quint16 OutputReportByteLength = 0;  // report ID included
    quint16 FeatureReportByteLength = 0;
};

// What the device layer reports about one device interface.
class THidPnPInfo {
public:
    explicit THidPnPInfo(const platform::HidDeviceInfo& info);
    QByteArray DeviceInstance() const { return Info.instanceId; }
    QByteArray DevicePath() const { return Info.path; }
    platform::HidDeviceInfo Info;
};

// The reader of one device (a thread of its own, started by Start).
class THidDeviceReadThread {
public:
    THidDeviceReadThread(THidDevice* Device, std::shared_ptr<platform::HidConnection> Connection, THidReadHook Hook,
                         int BufferLength);
    ~THidDeviceReadThread();  // asks the thread to end and waits for it
    THidDeviceReadThread(const THidDeviceReadThread&) = delete;
    THidDeviceReadThread& operator=(const THidDeviceReadThread&) = delete;
    void Start();
    // Asks the thread to end; it does so within one sleep time.
    void RequestStop();
    // Waits until the thread has ended.
    void Wait();
    bool StopRequested() const { return stop_.load(); }
    int NumBytesRead() const { return numBytesRead_.load(); }
    int LastError() const { return lastError_.load(); }

private:
    void Execute();
    void SleepUnlessStopped(int ms);

    std::thread thread_;

    THidDevice* device_;
    THidDeviceController* controller_;
    quint64 deviceSerial_;
    std::shared_ptr<platform::HidConnection> connection_;
    THidReadHook hook_;
    std::vector<quint8> buffer_;
    std::atomic<int> numBytesRead_{0};
    std::atomic<int> lastError_{0};
    std::atomic<bool> stop_{false};
    std::mutex sleepMutex_;
    std::condition_variable sleepCv_;
};

class THidDevice {
public:
    // Identifies the device (attributes) and tests whether it can be opened for reading and
    // writing; throws EControllerError when it cannot be opened at all. Takes PnPInfo.
    THidDevice(THidPnPInfo* PnPInfo, THidDeviceController* Controller);
    // Freeing a device that its controller still lists and that is plugged in puts a fresh,
    // unclaimed device for the same interface in its place.
    ~THidDevice();
    THidDevice(const THidDevice&) = delete;
    THidDevice& operator=(const THidDevice&) = delete;

    THidDeviceController* Controller() const { return controller_; }
    THidPnPInfo* PnPInfo() const { return pnpInfo_.get(); }
    const THidDAttributes& Attributes() const { return attributes_; }
    quint16 VendorID() const { return attributes_.VendorID; }
    quint16 ProductID() const { return attributes_.ProductID; }
    quint16 VersionNumber() const { return attributes_.VersionNumber; }
    bool IsPluggedIn() const { return pluggedIn_; }
    bool IsCheckedOut() const { return claimed_; }  // claimed
    bool IsEnumerating() const { return enumerating_; }
    bool HasReadWriteAccess() const { return hasReadWriteAccess_; }
    // True once the device has stopped working (its reader gave up, or a write failed), even
    // before its unplug has run. Any thread.
    bool IsGone() const { return gone_.load() || !pluggedIn_; }
    // errno of the failed read/write open (0 when it succeeded).
    int AccessError() const { return accessError_; }
    // A text for the user when the device could not be opened for lack of permission
    // (names the udev rule file); empty otherwise.
    QString AccessDeniedReason() const;

    QString GetProductName();
    QString GetSerialNumber();
    QString ProductName() { return GetProductName(); }
    QString SerialNumber() { return GetSerialNumber(); }
    THidPCaps GetCaps() const;
    THidPCaps Caps() const { return GetCaps(); }

    // Writes Count bytes (one output report, report ID first). False when the device may not
    // be opened now or the write fails; a failed write on an open device also marks it as
    // gone (IsGone at once; the unplug through the GUI thread's queue, after the reports
    // read before it).
    bool WriteReport(const void* Buffer, quint32 Count, quint32& Written);

    // Data handler; setting null stops the reader thread. Setting one starts the thread
    // when the device is plugged in, claimed, readable and has none yet.
    void SetOnData(THidDataEvent Handler);
    const THidDataEvent& OnData() const { return onData_; }
    // Reader-thread hook; takes effect when the reader thread starts (set it before SetOnData).
    void SetOnReportRead(THidReadHook Hook) { onReportRead_ = std::move(Hook); }
    const THidReadHook& OnReportRead() const { return onReportRead_; }
    void SetOnUnplug(THidPlugEvent Handler);
    const THidPlugEvent& OnUnplug() const { return onUnplug_; }
    void SetOnDataError(THidDataErrorEvent Handler);
    const THidDataErrorEvent& OnDataError() const { return onDataError_; }

    void StartThread();
    void StopThread();
    bool ThreadRunning() const { return readThread_ != nullptr; }
    // Closes the handles, clears the plugged-in flag, raises the unplug handler once.
    void MarkUnplugged();
    // Ends a running read at once (the reader stops without waiting for its time-out).
    void CancelIO();
    // Reader sleep time: accepted from 10 to 10000 ms.
    void SetThreadSleepTime(int Ms);
    int ThreadSleepTime() const { return sleepTime_.load(); }

private:
    friend class THidDeviceController;
    friend class THidDeviceReadThread;

    bool MayOpen() const;
    bool OpenFile();
    void CloseFile();

    THidDeviceController* controller_;
    std::unique_ptr<THidPnPInfo> pnpInfo_;
    quint64 serial_ = 0;
    bool pluggedIn_ = true;
    bool claimed_ = false;
    bool enumerating_ = false;
    bool hasReadWriteAccess_ = false;
    // The last attempt to open it failed (at listing or at a claim): each listing probes it
    // again, so that a permission fix lets it be claimed.
    bool openFailed_ = false;
    int accessError_ = 0;
    std::atomic<bool> gone_{false};
    THidDAttributes attributes_;
    QString productName_;
    QString serialNumber_;
    std::shared_ptr<platform::HidConnection> handle_;
    THidDataEvent onData_;
    THidReadHook onReportRead_;
    THidPlugEvent onUnplug_;
    THidDataErrorEvent onDataError_;
    // Handlers that still are the controller's own (a new controller value reaches them).
    bool dataFromController_ = true;
    bool unplugFromController_ = true;
    bool dataErrorFromController_ = true;
    std::atomic<int> sleepTime_{100};
    THidDeviceReadThread* readThread_ = nullptr;
};

class THidDeviceController : public QObject {
    Q_OBJECT
public:
    // Starts watching device changes, then posts its own first notification, so that the
    // first pass through the event loop lists the devices.
    explicit THidDeviceController(QObject* AOwner = nullptr);
    // Marks every claimed device unplugged (its unplug handler runs) and frees the devices.
    ~THidDeviceController() override;

    void SetOnArrival(THidPlugEvent Handler) { onArrival_ = std::move(Handler); }
    const THidPlugEvent& OnArrival() const { return onArrival_; }
    void SetOnRemoval(THidPlugEvent Handler) { onRemoval_ = std::move(Handler); }
    const THidPlugEvent& OnRemoval() const { return onRemoval_; }
    void SetOnDeviceUnplug(THidPlugEvent Handler);
    const THidPlugEvent& OnDeviceUnplug() const { return onDeviceUnplug_; }
    // Setting a handler (not clearing it) re-lists the devices at once.
    void SetOnDeviceChange(THidNotifyEvent Handler);
    const THidNotifyEvent& OnDeviceChange() const { return onDeviceChange_; }
    void SetOnEnumerate(THidEnumerateEvent Handler) { onEnumerate_ = std::move(Handler); }
    const THidEnumerateEvent& OnEnumerate() const { return onEnumerate_; }
    void SetOnDeviceData(THidDataEvent Handler);
    const THidDataEvent& OnDeviceData() const { return onDeviceData_; }
    void SetOnDeviceDataError(THidDataErrorEvent Handler);
    const THidDataErrorEvent& OnDeviceDataError() const { return onDeviceDataError_; }
    // Accepted from 10 to 10000 ms; reaches the devices that still hold the old value.
    void SetDevThreadSleepTime(int Ms);
    int DevThreadSleepTime() const { return devThreadSleepTime_; }
    QString Version() const { return QStringLiteral("1.0.32"); }

    // Re-lists the devices: removals (unplug handler, OnRemoval), arrivals (OnArrival),
    // then OnDeviceChange when anything changed or this is the controller's first listing.
    void DeviceChange();
    // One device-change notification (Param -1: the controller's own first one). A
    // notification during a running listing makes that listing run once more at its end.
    void NotifyDeviceChange(qintptr Param = 0);
    // Calls OnEnumerate for each plugged-in device in list order until it returns false
    // (without a handler: stops after the first). Returns the number of devices visited.
    int Enumerate();
    bool ClaimByIndex(THidDevice*& HidDev, int Idx);
    // False (and the device stays unclaimed) when a device with read/write access cannot be
    // opened now: a claimed device always has its handle.
    bool Claim(THidDevice* HidDev);
    // Stops the reader, closes the device; a plugged-in device becomes unclaimed, an
    // unplugged one is freed. HidDev becomes null.
    void Release(THidDevice*& HidDev);

    int Count() const { return static_cast<int>(list_.size()); }
    THidDevice* Device(int Idx) const;
    int IndexOf(const THidDevice* HidDev) const;
    int NumAvailableDevices() const { return numAvailable_; }
    int NumClaimedDevices() const { return numClaimed_; }
    int NumUnpluggedDevices() const { return numUnplugged_; }
    // Why the last claimed device cannot be used (permission on its device node), naming
    // the udev rule to install; empty when there was no such problem.
    QString AccessProblem() const { return accessProblem_; }
    // Number of listings run so far (tests).
    int ListingCount() const { return listingCount_; }
    // True while a notification-driven listing runs.
    bool HandlingChange() const { return handlingChange_; }

private:
    friend class THidDevice;
    friend class THidDeviceReadThread;

    struct QueuedReport {
        quint64 deviceSerial = 0;
        bool isLost = false;  // the device stopped working: it is gone
        bool isError = false;
        quint32 error = 0;
        QByteArray data;
        quint16 size = 0;
    };

    std::vector<THidDevice*> ListDevices();
    void DoDeviceChange();
    int DoEnumerate();
    void Recount();
    void Forget(THidDevice* dev);  // leaves the list; freed once no handler can hold it
    void Reap(bool force = false);
    void DeviceFreed(THidDevice* dev);
    THidDevice* FindBySerial(quint64 serial) const;
    quint64 NextSerial() { return ++lastSerial_; }
    // Reader side.
    void PostReport(quint64 deviceSerial, const quint8* data, int bufferLength, int size);
    void PostError(quint64 deviceSerial, quint32 error);
    void PostLost(quint64 deviceSerial);
    void Post(QueuedReport&& report);
    void DropReports(quint64 deviceSerial);
    // GUI side.
    void Drain();
    // The device stopped working: it is taken as unplugged (unplug handler, OnRemoval,
    // OnDeviceChange), then the devices are listed once more. False when a handler freed
    // the controller.
    bool DeviceLost(THidDevice* dev);
    // A listed device that could not be opened, probed again by a listing (fresh): takes
    // the new result. True when it can be opened now.
    static bool TakeNewAccess(THidDevice* listed, const THidDevice* fresh);
    // Marks a device of the list unplugged and raises OnRemoval; an unclaimed one leaves the
    // list. False when a handler freed the controller.
    bool RemoveDevice(THidDevice* dev);

    THidPlugEvent onArrival_;
    THidPlugEvent onRemoval_;
    THidPlugEvent onDeviceUnplug_;
    THidNotifyEvent onDeviceChange_;
    THidEnumerateEvent onEnumerate_;
    THidDataEvent onDeviceData_;
    THidDataErrorEvent onDeviceDataError_;
    int devThreadSleepTime_ = 100;

    std::vector<THidDevice*> list_;
    std::vector<THidDevice*> graveyard_;
    int numAvailable_ = 0;
    int numClaimed_ = 0;
    int numUnplugged_ = 0;
    std::unique_ptr<platform::DeviceChangeWatch> watch_;
    qintptr lastParam_ = 0;
    bool handlingChange_ = false;
    bool changePending_ = false;
    int listingDepth_ = 0;
    int listingCount_ = 0;
    bool destroying_ = false;
    // Listings made after losses since the last report of any device: a device lost again
    // before it reported anything is not listed again, so a broken one cannot cycle.
    int relistsSinceReport_ = 0;
    quint64 lastSerial_ = 0;
    QString accessProblem_;

    // Expires when the controller is destroyed: a handler may free it (a window closed from
    // a nested event loop), and the caller up the stack must then stop touching it.
    std::shared_ptr<int> life_ = std::make_shared<int>(0);

    std::mutex queueMutex_;
    std::deque<QueuedReport> queue_;
    bool drainPosted_ = false;
    bool draining_ = false;
};
