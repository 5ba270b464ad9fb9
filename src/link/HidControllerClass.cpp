#include "link/HidControllerClass.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

constexpr int kMinSleep = 10;
constexpr int kMaxSleep = 10000;
// Failed reads in a row after which a claimed device counts as gone.
constexpr int kReadErrorsForLoss = 3;

bool IsPermissionError(int err)
{
    return err == EACCES || err == EPERM;
}

} // namespace

// ---------------------------------------------------------------------------------------
// THidPnPInfo

THidPnPInfo::THidPnPInfo(const platform::HidDeviceInfo& info) : Info(info) {}

// ---------------------------------------------------------------------------------------
// THidDeviceReadThread

THidDeviceReadThread::THidDeviceReadThread(THidDevice* Device, std::shared_ptr<platform::HidConnection> Connection,
                                           THidReadHook Hook, int BufferLength)
    : device_(Device),
      controller_(Device->controller_),
      deviceSerial_(Device->serial_),
      connection_(std::move(Connection)),
      hook_(std::move(Hook)),
      buffer_(static_cast<size_t>(std::max(BufferLength, 1)), 0)
{
}

THidDeviceReadThread::~THidDeviceReadThread()
{
    RequestStop();
    Wait();
}

void THidDeviceReadThread::Start()
{
    if (!thread_.joinable()) {
        thread_ = std::thread([this] {
            try {
                Execute();
            } catch (...) {
                // Nothing may escape the thread; the reader simply ends.
            }
        });
    }
}

void THidDeviceReadThread::Wait()
{
    if (thread_.joinable()) {
        thread_.join();
    }
}

void THidDeviceReadThread::RequestStop()
{
    {
        std::lock_guard<std::mutex> lock(sleepMutex_);
        stop_.store(true);
    }
    sleepCv_.notify_all();
}

void THidDeviceReadThread::SleepUnlessStopped(int ms)
{
    std::unique_lock<std::mutex> lock(sleepMutex_);
    sleepCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
}

void THidDeviceReadThread::Execute()
{
    const int length = static_cast<int>(buffer_.size());
    int failuresInARow = 0;
    while (!stop_.load()) {
        std::fill(buffer_.begin(), buffer_.end(), quint8(0));
        const int sleepTime = device_->sleepTime_.load();
        int n = -1;
        int err = ENODEV;
        if (connection_) {
            n = connection_->Read(buffer_.data(), length, sleepTime);
            if (n < 0) {
                err = connection_->LastError();
            }
        }
        if (stop_.load()) {
            break;
        }
        if (n < 0) {
            // A failed read is reported and retried only after the sleep time, so that a
            // vanished device does not make the reader spin.
            lastError_.store(err != 0 ? err : EIO);
            controller_->PostError(deviceSerial_, static_cast<quint32>(lastError_.load()));
            if (++failuresInARow >= kReadErrorsForLoss) {
                // Marked here, not when the queue gets to it: the GUI thread may be inside a
                // report handler that waits for this device and drains nothing meanwhile.
                if (!device_->gone_.exchange(true)) {
                    controller_->PostLost(deviceSerial_);
                }
                break;
            }
            SleepUnlessStopped(sleepTime);
            continue;
        }
        failuresInARow = 0;
        numBytesRead_.store(n);
        if (n == 0) {
            continue;  // no report within the sleep time
        }
        const quint16 size = static_cast<quint16>(std::min(n, length));
        if (hook_) {
            try {
                hook_(device_, buffer_.data(), size);
            } catch (...) {
            }
        }
        controller_->PostReport(deviceSerial_, buffer_.data(), length, size);
    }
}

// ---------------------------------------------------------------------------------------
// THidDevice

THidDevice::THidDevice(THidPnPInfo* PnPInfo, THidDeviceController* Controller)
    : controller_(Controller), pnpInfo_(PnPInfo)
{
    if (!pnpInfo_) {
        throw EControllerError("device cannot be opened");
    }
    if (controller_ != nullptr) {
        serial_ = controller_->NextSerial();
        onData_ = controller_->onDeviceData_;
        onUnplug_ = controller_->onDeviceUnplug_;
        onDataError_ = controller_->onDeviceDataError_;
        sleepTime_.store(controller_->devThreadSleepTime_);
    }
    // Open for reading and writing; a device the user may not open is still listed and
    // identified (the listing gives its attributes), but never gets a reader thread.
    int err = 0;
    std::unique_ptr<platform::HidConnection> probe = platform::CurrentHidBackend().Open(pnpInfo_->Info.path, err);
    if (probe) {
        hasReadWriteAccess_ = true;
        probe->Close();
    } else if (IsPermissionError(err) || err == EBUSY) {
        hasReadWriteAccess_ = false;
        openFailed_ = true;
        accessError_ = err;
    } else {
        throw EControllerError("device cannot be opened");
    }
    attributes_.VendorID = pnpInfo_->Info.vendorId;
    attributes_.ProductID = pnpInfo_->Info.productId;
    attributes_.VersionNumber = pnpInfo_->Info.versionNumber;
}

THidDevice::~THidDevice()
{
    StopThread();
    CloseFile();
    if (controller_ != nullptr) {
        controller_->DeviceFreed(this);
    }
}

QString THidDevice::AccessDeniedReason() const
{
    if (!IsPermissionError(accessError_)) {
        return QString();
    }
    return QStringLiteral(
               "The module was found, but this user may not open it (permission denied on %1). "
               "Install the udev rule packaging/udev/70-veq-loader.rules (see README), then plug the module in again.")
        .arg(QString::fromLocal8Bit(pnpInfo_->Info.path));
}

QString THidDevice::GetProductName()
{
    if (productName_.isEmpty()) {
        productName_ = pnpInfo_->Info.productString.left(254);
    }
    return productName_;
}

QString THidDevice::GetSerialNumber()
{
    if (serialNumber_.isEmpty()) {
        const QString serial = pnpInfo_->Info.serialString.left(254);
        const QString languages = pnpInfo_->Info.languageString;
        // Some devices answer the serial-number request with their language list.
        if (languages.isEmpty() || serial.left(languages.size()) != languages) {
            serialNumber_ = serial;
        }
    }
    return serialNumber_;
}

THidPCaps THidDevice::GetCaps() const
{
    THidPCaps caps;
    caps.InputReportByteLength = static_cast<quint16>(std::max(1, pnpInfo_->Info.inputReportLength));
    caps.OutputReportByteLength = 64;
    return caps;
}

bool THidDevice::MayOpen() const
{
    return pluggedIn_ && (claimed_ || enumerating_);
}

bool THidDevice::OpenFile()
{
    if (handle_) {
        return true;
    }
    if (!MayOpen() || !hasReadWriteAccess_) {
        return false;
    }
    int err = 0;
    std::unique_ptr<platform::HidConnection> conn = platform::CurrentHidBackend().Open(pnpInfo_->Info.path, err);
    if (!conn) {
        accessError_ = err;
        openFailed_ = true;
        return false;
    }
    handle_ = std::move(conn);
    openFailed_ = false;
    return true;
}

void THidDevice::CloseFile()
{
    if (handle_) {
        handle_->Close();
        handle_.reset();
    }
}

bool THidDevice::WriteReport(const void* Buffer, quint32 Count, quint32& Written)
{
    Written = 0;
    if (Buffer == nullptr || !OpenFile()) {
        return false;
    }
    const int n = handle_->Write(static_cast<const quint8*>(Buffer), static_cast<int>(Count));
    if (n < 0) {
        if (controller_ != nullptr && claimed_ && !gone_.exchange(true)) {
            controller_->PostLost(serial_);
        }
        return false;
    }
    Written = static_cast<quint32>(n);
    return Written == Count;
}

void THidDevice::SetOnData(THidDataEvent Handler)
{
    if (!Handler) {
        StopThread();
    }
    onData_ = std::move(Handler);
    dataFromController_ = false;
    StartThread();
}

void THidDevice::SetOnUnplug(THidPlugEvent Handler)
{
    onUnplug_ = std::move(Handler);
    unplugFromController_ = false;
}

void THidDevice::SetOnDataError(THidDataErrorEvent Handler)
{
    onDataError_ = std::move(Handler);
    dataErrorFromController_ = false;
}

void THidDevice::StartThread()
{
    if (!onData_ || !pluggedIn_ || !claimed_ || !hasReadWriteAccess_ || readThread_ != nullptr) {
        return;
    }
    // No reader without a handle to read from.
    if (!OpenFile()) {
        return;
    }
    readThread_ = new THidDeviceReadThread(this, handle_, onReportRead_, GetCaps().InputReportByteLength);
    readThread_->Start();
}

void THidDevice::StopThread()
{
    if (readThread_ == nullptr) {
        return;
    }
    // The reader never waits for the GUI thread (reports and errors are queued), so this
    // wait ends within one sleep time.
    readThread_->RequestStop();
    readThread_->Wait();
    delete readThread_;
    readThread_ = nullptr;
    if (controller_ != nullptr) {
        controller_->DropReports(serial_);
    }
}

void THidDevice::MarkUnplugged()
{
    StopThread();
    CloseFile();
    pluggedIn_ = false;
    THidPlugEvent handler = std::move(onUnplug_);
    onUnplug_ = nullptr;
    if (handler) {
        handler(this);
    }
}

void THidDevice::CancelIO()
{
    if (readThread_ != nullptr) {
        readThread_->RequestStop();
    }
}

void THidDevice::SetThreadSleepTime(int Ms)
{
    if (Ms >= kMinSleep && Ms <= kMaxSleep) {
        sleepTime_.store(Ms);
    }
}

// ---------------------------------------------------------------------------------------
// THidDeviceController

THidDeviceController::THidDeviceController(QObject* AOwner) : QObject(AOwner)
{
    // The watch exists before the first listing, so no change between the two is missed.
    watch_ = platform::CurrentHidBackend().WatchChanges([this] { NotifyDeviceChange(0); });
    QMetaObject::invokeMethod(
        this,
        [this] {
            try {
                NotifyDeviceChange(-1);
            } catch (...) {
            }
        },
        Qt::QueuedConnection);
}

THidDeviceController::~THidDeviceController()
{
    destroying_ = true;
    onArrival_ = nullptr;
    onRemoval_ = nullptr;
    onDeviceUnplug_ = nullptr;
    onDeviceChange_ = nullptr;
    onEnumerate_ = nullptr;
    onDeviceData_ = nullptr;
    onDeviceDataError_ = nullptr;
    watch_.reset();
    // A claimed device is marked unplugged: its user hears of it through its unplug
    // handler and releases it.
    {
        ++listingDepth_;
        const std::vector<THidDevice*> snapshot = list_;
        for (THidDevice* dev : snapshot) {
            if (IndexOf(dev) >= 0 && dev->claimed_ && dev->pluggedIn_) {
                try {
                    dev->MarkUnplugged();
                } catch (...) {
                }
            }
        }
    }
    for (THidDevice* dev : list_) {
        dev->controller_ = nullptr;
        delete dev;
    }
    list_.clear();
    Reap(true);
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.clear();
}

void THidDeviceController::SetOnDeviceUnplug(THidPlugEvent Handler)
{
    onDeviceUnplug_ = std::move(Handler);
    for (THidDevice* dev : list_) {
        if (dev->unplugFromController_) {
            dev->onUnplug_ = onDeviceUnplug_;
        }
    }
}

void THidDeviceController::SetOnDeviceChange(THidNotifyEvent Handler)
{
    onDeviceChange_ = std::move(Handler);
    // Clearing the handler (as its owner does when it goes) lists nothing.
    if (onDeviceChange_ && !destroying_) {
        DeviceChange();
    }
}

void THidDeviceController::SetOnDeviceData(THidDataEvent Handler)
{
    onDeviceData_ = std::move(Handler);
    for (THidDevice* dev : list_) {
        if (dev->dataFromController_) {
            dev->SetOnData(onDeviceData_);
            dev->dataFromController_ = true;
        }
    }
}

void THidDeviceController::SetOnDeviceDataError(THidDataErrorEvent Handler)
{
    onDeviceDataError_ = std::move(Handler);
    for (THidDevice* dev : list_) {
        if (dev->dataErrorFromController_) {
            dev->onDataError_ = onDeviceDataError_;
        }
    }
}

void THidDeviceController::SetDevThreadSleepTime(int Ms)
{
    if (Ms < kMinSleep || Ms > kMaxSleep) {
        return;
    }
    const int old = devThreadSleepTime_;
    devThreadSleepTime_ = Ms;
    for (THidDevice* dev : list_) {
        if (dev->ThreadSleepTime() == old) {
            dev->SetThreadSleepTime(Ms);
        }
    }
}

THidDevice* THidDeviceController::Device(int Idx) const
{
    if (Idx < 0 || Idx >= Count()) {
        return nullptr;
    }
    return list_[static_cast<size_t>(Idx)];
}

int THidDeviceController::IndexOf(const THidDevice* HidDev) const
{
    const auto it = std::find(list_.begin(), list_.end(), HidDev);
    return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

THidDevice* THidDeviceController::FindBySerial(quint64 serial) const
{
    for (THidDevice* dev : list_) {
        if (dev->serial_ == serial) {
            return dev;
        }
    }
    return nullptr;
}

void THidDeviceController::NotifyDeviceChange(qintptr Param)
{
    if (destroying_) {
        return;
    }
    if (handlingChange_) {
        // The running listing may already have missed this change: it runs once more.
        changePending_ = true;
        return;
    }
    handlingChange_ = true;
    lastParam_ = Param;
    const std::weak_ptr<int> life = life_;
    try {
        DeviceChange();
        while (!life.expired() && changePending_ && !destroying_) {
            changePending_ = false;
            lastParam_ = 0;
            DeviceChange();
        }
    } catch (...) {
    }
    if (life.expired()) {
        return;  // a handler freed the controller
    }
    changePending_ = false;
    handlingChange_ = false;
    Reap();
}

std::vector<THidDevice*> THidDeviceController::ListDevices()
{
    std::vector<THidDevice*> result;
    for (const platform::HidDeviceInfo& info : platform::CurrentHidBackend().Enumerate()) {
        try {
            result.push_back(new THidDevice(new THidPnPInfo(info), this));
        } catch (...) {
            // A device that cannot be opened or identified is skipped.
        }
    }
    return result;
}

void THidDeviceController::DeviceChange()
{
    if (destroying_) {
        return;
    }
    const std::weak_ptr<int> life = life_;
    ++listingDepth_;
    try {
        DoDeviceChange();
    } catch (...) {
        if (!life.expired()) {
            --listingDepth_;
        }
        throw;
    }
    if (life.expired()) {
        return;  // a handler freed the controller
    }
    --listingDepth_;
    Reap();
}

void THidDeviceController::DoDeviceChange()
{
    const std::weak_ptr<int> life = life_;
    ++listingCount_;
    bool changed = lastParam_ == -1;
    lastParam_ = 0;
    std::vector<THidDevice*> fresh = ListDevices();
    auto inFresh = [&fresh](const QByteArray& instance) {
        return std::any_of(fresh.begin(), fresh.end(),
                           [&](THidDevice* d) { return d->pnpInfo_->Info.instanceId == instance; });
    };
    // When a handler frees the controller, the devices not handed over yet go with it.
    auto abandon = [&fresh](size_t from) {
        for (size_t i = from; i < fresh.size(); ++i) {
            fresh[i]->controller_ = nullptr;
            delete fresh[i];
        }
    };

    // Removals, from the last to the first.
    const std::vector<THidDevice*> current = list_;
    for (auto it = current.rbegin(); it != current.rend(); ++it) {
        THidDevice* dev = *it;
        if (IndexOf(dev) < 0 || !dev->pluggedIn_) {
            continue;  // already unplugged: reported when it went
        }
        if (inFresh(dev->pnpInfo_->Info.instanceId)) {
            continue;
        }
        if (!RemoveDevice(dev)) {
            abandon(0);
            return;
        }
        changed = true;
    }

    // Arrivals, in listing order.
    for (size_t i = 0; i < fresh.size(); ++i) {
        THidDevice* dev = fresh[i];
        const QByteArray instance = dev->pnpInfo_->Info.instanceId;
        const auto known = std::find_if(list_.begin(), list_.end(), [&](THidDevice* d) {
            return d->pluggedIn_ && d->pnpInfo_->Info.instanceId == instance;
        });
        if (known != list_.end()) {
            if (TakeNewAccess(*known, dev)) {
                changed = true;  // its user may claim it now
            }
            dev->controller_ = nullptr;
            delete dev;
            continue;
        }
        list_.push_back(dev);
        Recount();
        dev->enumerating_ = true;
        if (onArrival_) {
            THidPlugEvent handler = onArrival_;
            handler(dev);
            if (life.expired()) {
                abandon(i + 1);
                return;
            }
        }
        if (IndexOf(dev) >= 0) {
            dev->enumerating_ = false;
            if (!dev->claimed_) {
                dev->CloseFile();
            }
        }
        changed = true;
    }
    Recount();
    if (changed && onDeviceChange_) {
        THidNotifyEvent handler = onDeviceChange_;
        handler(this);
    }
}

bool THidDeviceController::TakeNewAccess(THidDevice* listed, const THidDevice* fresh)
{
    if (!listed->openFailed_ || listed->claimed_) {
        return false;
    }
    listed->hasReadWriteAccess_ = fresh->hasReadWriteAccess_;
    listed->accessError_ = fresh->accessError_;
    listed->openFailed_ = fresh->openFailed_;
    return !listed->openFailed_;
}

bool THidDeviceController::RemoveDevice(THidDevice* dev)
{
    const std::weak_ptr<int> life = life_;
    dev->MarkUnplugged();
    if (life.expired()) {
        return false;
    }
    if (IndexOf(dev) >= 0 || std::find(graveyard_.begin(), graveyard_.end(), dev) != graveyard_.end()) {
        dev->enumerating_ = true;
        if (onRemoval_) {
            THidPlugEvent handler = onRemoval_;
            handler(dev);
            if (life.expired()) {
                return false;
            }
        }
        dev->enumerating_ = false;
    }
    if (IndexOf(dev) >= 0 && !dev->claimed_) {
        Forget(dev);
    }
    return true;
}

bool THidDeviceController::DeviceLost(THidDevice* dev)
{
    if (destroying_ || IndexOf(dev) < 0 || !dev->pluggedIn_) {
        return true;
    }
    const std::weak_ptr<int> life = life_;
    // Freed devices wait until the handlers below have returned.
    ++listingDepth_;
    try {
        if (!RemoveDevice(dev)) {
            return false;
        }
    } catch (...) {
        if (life.expired()) {
            return false;
        }
    }
    Recount();
    --listingDepth_;
    if (onDeviceChange_) {
        THidNotifyEvent handler = onDeviceChange_;
        handler(this);
        if (life.expired()) {
            return false;
        }
    }
    Reap();
    // Nothing told the device manager's side of this loss: the device may still be there.
    if (relistsSinceReport_ == 0) {
        ++relistsSinceReport_;
        QMetaObject::invokeMethod(
            this,
            [this] {
                try {
                    NotifyDeviceChange(0);
                } catch (...) {
                }
            },
            Qt::QueuedConnection);
    }
    return true;
}

void THidDeviceController::Recount()
{
    numAvailable_ = numClaimed_ = numUnplugged_ = 0;
    for (const THidDevice* dev : list_) {
        if (!dev->pluggedIn_) {
            ++numUnplugged_;
        } else if (dev->claimed_) {
            ++numClaimed_;
        } else {
            ++numAvailable_;
        }
    }
}

int THidDeviceController::Enumerate()
{
    const std::weak_ptr<int> life = life_;
    int visited = 0;
    ++listingDepth_;
    try {
        visited = DoEnumerate();
    } catch (...) {
        if (!life.expired()) {
            --listingDepth_;
        }
        throw;
    }
    if (life.expired()) {
        return visited;  // a handler freed the controller
    }
    --listingDepth_;
    Reap();
    return visited;
}

int THidDeviceController::DoEnumerate()
{
    const std::weak_ptr<int> life = life_;
    int visited = 0;
    const std::vector<THidDevice*> snapshot = list_;
    for (THidDevice* dev : snapshot) {
        const int idx = IndexOf(dev);
        if (idx < 0 || !dev->pluggedIn_) {
            continue;
        }
        ++visited;
        bool goOn = false;
        dev->enumerating_ = true;
        if (onEnumerate_) {
            THidEnumerateEvent handler = onEnumerate_;
            try {
                goOn = handler(dev, idx);
            } catch (...) {
                if (!life.expired() && IndexOf(dev) >= 0) {
                    dev->enumerating_ = false;
                }
                throw;
            }
            if (life.expired()) {
                return visited;
            }
        }
        if (IndexOf(dev) >= 0) {
            dev->enumerating_ = false;
            if (!dev->claimed_) {
                dev->CloseFile();
            }
        }
        if (!goOn) {
            break;
        }
    }
    return visited;
}

bool THidDeviceController::ClaimByIndex(THidDevice*& HidDev, int Idx)
{
    HidDev = Device(Idx);
    if (HidDev == nullptr) {
        return false;
    }
    return Claim(HidDev);
}

bool THidDeviceController::Claim(THidDevice* HidDev)
{
    if (HidDev == nullptr || IndexOf(HidDev) < 0 || HidDev->claimed_ || !HidDev->pluggedIn_) {
        return false;
    }
    HidDev->claimed_ = true;
    if (HidDev->hasReadWriteAccess_ && !HidDev->OpenFile()) {
        HidDev->claimed_ = false;
        accessProblem_ = HidDev->AccessDeniedReason();
        return false;
    }
    Recount();
    accessProblem_ = HidDev->AccessDeniedReason();
    HidDev->StartThread();
    return true;
}

void THidDeviceController::Release(THidDevice*& HidDev)
{
    THidDevice* dev = HidDev;
    HidDev = nullptr;
    if (dev == nullptr || IndexOf(dev) < 0) {
        return;
    }
    dev->StopThread();
    dev->CloseFile();
    dev->claimed_ = false;
    if (!dev->pluggedIn_) {
        Forget(dev);
    }
    Recount();
    Reap();
}

void THidDeviceController::Forget(THidDevice* dev)
{
    const auto it = std::find(list_.begin(), list_.end(), dev);
    if (it != list_.end()) {
        list_.erase(it);
    }
    dev->StopThread();
    DropReports(dev->serial_);
    dev->controller_ = nullptr;
    graveyard_.push_back(dev);
    Recount();
}

void THidDeviceController::Reap(bool force)
{
    if (!force && (listingDepth_ > 0 || draining_)) {
        return;
    }
    std::vector<THidDevice*> dead;
    dead.swap(graveyard_);
    for (THidDevice* dev : dead) {
        delete dev;
    }
}

void THidDeviceController::DeviceFreed(THidDevice* dev)
{
    const auto it = std::find(list_.begin(), list_.end(), dev);
    if (it == list_.end()) {
        return;
    }
    DropReports(dev->serial_);
    if (!dev->pluggedIn_ || destroying_) {
        list_.erase(it);
        Recount();
        return;
    }
    // A fresh, unclaimed object for the same interface takes the freed one's place.
    THidDevice* fresh = nullptr;
    try {
        fresh = new THidDevice(new THidPnPInfo(dev->pnpInfo_->Info), this);
        fresh->onData_ = dev->onData_;
        fresh->onUnplug_ = dev->onUnplug_;
        fresh->onDataError_ = dev->onDataError_;
        fresh->onReportRead_ = dev->onReportRead_;
        fresh->dataFromController_ = dev->dataFromController_;
        fresh->unplugFromController_ = dev->unplugFromController_;
        fresh->dataErrorFromController_ = dev->dataErrorFromController_;
        fresh->sleepTime_.store(dev->sleepTime_.load());
    } catch (...) {
        fresh = nullptr;
    }
    if (fresh != nullptr) {
        *it = fresh;
    } else {
        list_.erase(it);
    }
    Recount();
}

// ---------------------------------------------------------------------------------------
// Report queue

void THidDeviceController::PostReport(quint64 deviceSerial, const quint8* data, int bufferLength, int size)
{
    QueuedReport r;
    r.deviceSerial = deviceSerial;
    r.data = QByteArray(reinterpret_cast<const char*>(data), bufferLength);
    r.size = static_cast<quint16>(size);
    Post(std::move(r));
}

void THidDeviceController::PostError(quint64 deviceSerial, quint32 error)
{
    QueuedReport r;
    r.deviceSerial = deviceSerial;
    r.isError = true;
    r.error = error;
    Post(std::move(r));
}

void THidDeviceController::PostLost(quint64 deviceSerial)
{
    QueuedReport r;
    r.deviceSerial = deviceSerial;
    r.isLost = true;
    Post(std::move(r));
}

void THidDeviceController::Post(QueuedReport&& report)
{
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        queue_.push_back(std::move(report));
        if (!drainPosted_) {
            drainPosted_ = true;
            post = true;
        }
    }
    if (post) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                try {
                    Drain();
                } catch (...) {
                }
            },
            Qt::QueuedConnection);
    }
}

void THidDeviceController::DropReports(quint64 deviceSerial)
{
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                [deviceSerial](const QueuedReport& r) { return r.deviceSerial == deviceSerial; }),
                 queue_.end());
}

void THidDeviceController::Drain()
{
    // A handler that runs a nested event loop lands here again: the outer call goes on
    // with the next report once the handler has returned.
    if (draining_) {
        return;
    }
    draining_ = true;
    const std::weak_ptr<int> life = life_;
    for (;;) {
        QueuedReport r;
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            if (queue_.empty() || destroying_) {
                drainPosted_ = false;
                break;
            }
            r = std::move(queue_.front());
            queue_.pop_front();
        }
        THidDevice* dev = FindBySerial(r.deviceSerial);
        if (dev == nullptr || !dev->pluggedIn_ || !dev->claimed_) {
            continue;
        }
        bool lost = r.isLost;
        try {
            if (r.isError) {
                if (dev->onDataError_) {
                    THidDataErrorEvent handler = dev->onDataError_;
                    handler(dev, r.error);
                }
            } else if (!r.isLost) {
                relistsSinceReport_ = 0;
                if (dev->onData_) {
                    THidDataEvent handler = dev->onData_;
                    handler(dev, 0, reinterpret_cast<const quint8*>(r.data.constData()), r.size);
                }
            }
        } catch (...) {
        }
        if (life.expired()) {
            return;  // the handler freed the controller
        }
        if (lost) {
            // The handler may have released the device meanwhile.
            dev = FindBySerial(r.deviceSerial);
        }
        if (lost && dev != nullptr) {
            bool alive = true;
            try {
                alive = DeviceLost(dev);
            } catch (...) {
            }
            if (!alive || life.expired()) {
                return;
            }
        }
    }
    draining_ = false;
    Reap();
}
