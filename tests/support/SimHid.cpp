#include "support/SimHid.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace sim {

// One open connection: it has its own queue of input reports, like a hidraw file.
class SimConnection final : public platform::HidConnection {
public:
    explicit SimConnection(std::shared_ptr<SimHidDevice> device) : device_(std::move(device))
    {
        device_->Attach(this);
    }
    ~SimConnection() override { Close(); }

    void Push(const QByteArray& report)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(report);
        }
        cv_.notify_all();
    }

    void Wake() { cv_.notify_all(); }

    int Write(const quint8* data, int length) override
    {
        if (closed_.load() || !device_->IsPlugged() || device_->FailWrites.load()) {
            lastError_ = closed_.load() || !device_->IsPlugged() ? ENODEV : EIO;
            return -1;
        }
        const QByteArray report(reinterpret_cast<const char*>(data), length);
        {
            std::lock_guard<std::mutex> lock(device_->mutex_);
            device_->writes_.push_back(report);
        }
        if (device_->OnOutputReport) {
            device_->OnOutputReport(report);
        }
        return length;
    }

    int Read(quint8* buffer, int length, int timeoutMs) override
    {
        const int result = DoRead(buffer, length, timeoutMs);
        device_->RecordRead(result);
        return result;
    }

    int LastError() const override { return lastError_.load(); }

    void Close() override
    {
        if (!closed_.exchange(true)) {
            device_->Detach(this);
            cv_.notify_all();
        }
    }

private:
    int DoRead(quint8* buffer, int length, int timeoutMs)
    {
        int failing = device_->FailReads.load();
        while (failing > 0) {
            if (device_->FailReads.compare_exchange_weak(failing, failing - 1)) {
                lastError_ = device_->FailReadError.load();
                return -1;
            }
        }
        std::unique_lock<std::mutex> lock(mutex_);
        auto failed = [this] { return closed_.load() || !device_->IsPlugged(); };
        cv_.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                     [&] { return failed() || !queue_.empty(); });
        if (failed()) {
            lastError_ = ENODEV;
            return -1;
        }
        if (queue_.empty()) {
            return 0;
        }
        const QByteArray report = queue_.front();
        queue_.pop_front();
        const int n = std::min<int>(length, static_cast<int>(report.size()));
        std::copy_n(reinterpret_cast<const quint8*>(report.constData()), n, buffer);
        return n;
    }

    std::shared_ptr<SimHidDevice> device_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<QByteArray> queue_;
    std::atomic<bool> closed_{false};
    std::atomic<int> lastError_{0};
};

class SimWatch final : public platform::DeviceChangeWatch {
public:
    SimWatch(SimHid* hid, std::function<void()> onChange) : hid_(hid), onChange_(std::move(onChange))
    {
        hid_->watches_.push_back(this);
    }
    ~SimWatch() override
    {
        if (hid_ != nullptr) {
            auto& w = hid_->watches_;
            w.erase(std::remove(w.begin(), w.end(), this), w.end());
        }
    }
    void Fire()
    {
        // The handler may free this watch: it runs from a copy.
        const std::function<void()> handler = onChange_;
        if (handler) {
            handler();
        }
    }
    SimHid* hid_;
    std::function<void()> onChange_;
};

// ---------------------------------------------------------------------------------------

SimHidDevice::SimHidDevice(platform::HidDeviceInfo info) : info_(std::move(info))
{
    clock_.start();
}

void SimHidDevice::QueueInputReport(const QByteArray& report)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (SimConnection* c : connections_) {
        c->Push(report);
    }
}

int SimHidDevice::OpenConnections() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(connections_.size());
}

std::vector<QByteArray> SimHidDevice::Writes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

std::vector<SimHidDevice::ReadAttempt> SimHidDevice::ReadAttempts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return reads_;
}

void SimHidDevice::Attach(SimConnection* c)
{
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.push_back(c);
    openCount_.fetch_add(1);
}

void SimHidDevice::Detach(SimConnection* c)
{
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.erase(std::remove(connections_.begin(), connections_.end(), c), connections_.end());
}

void SimHidDevice::RecordRead(int result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    reads_.push_back({clock_.elapsed(), result});
}

// ---------------------------------------------------------------------------------------

SimHid::SimHid() : alive_(std::make_shared<bool>(true))
{
    platform::SetHidBackendForTests(this);
}

SimHid::~SimHid()
{
    *alive_ = false;
    for (SimWatch* w : watches_) {
        w->hid_ = nullptr;
    }
    for (auto& d : devices_) {
        d->plugged_.store(false);
        std::lock_guard<std::mutex> lock(d->mutex_);
        for (SimConnection* c : d->connections_) {
            c->Wake();
        }
    }
    platform::SetHidBackendForTests(nullptr);
}

std::shared_ptr<SimHidDevice> SimHid::Plug(platform::HidDeviceInfo info, bool notify)
{
    ++nextInstance_;
    info.instanceId = "sim-instance-" + QByteArray::number(nextInstance_);
    if (info.path.isEmpty()) {
        info.path = "/dev/hidraw-sim" + QByteArray::number(nextInstance_);
    }
    auto device = std::make_shared<SimHidDevice>(std::move(info));
    devices_.push_back(device);
    if (OnPlugChange) {
        OnPlugChange(device->Info(), true);
    }
    if (notify) {
        PostChange();
    }
    return device;
}

void SimHid::Unplug(const std::shared_ptr<SimHidDevice>& device, bool notify)
{
    if (!device) {
        return;
    }
    device->plugged_.store(false);
    {
        std::lock_guard<std::mutex> lock(device->mutex_);
        for (SimConnection* c : device->connections_) {
            c->Wake();
        }
    }
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
    if (OnPlugChange) {
        OnPlugChange(device->Info(), false);
    }
    if (notify) {
        PostChange();
    }
}

std::vector<std::shared_ptr<SimHidDevice>> SimHid::Devices() const
{
    return devices_;
}

void SimHid::NotifyChange()
{
    const std::vector<SimWatch*> watches = watches_;
    for (SimWatch* w : watches) {
        if (std::find(watches_.begin(), watches_.end(), w) != watches_.end()) {
            w->Fire();
        }
    }
}

void SimHid::PostChange()
{
    std::weak_ptr<bool> alive = alive_;
    QMetaObject::invokeMethod(
        &context_,
        [this, alive] {
            const auto a = alive.lock();
            if (a && *a) {
                NotifyChange();
            }
        },
        Qt::QueuedConnection);
}

std::vector<platform::HidDeviceInfo> SimHid::Enumerate()
{
    ++enumerateCount_;
    std::vector<platform::HidDeviceInfo> result;
    for (const auto& d : devices_) {
        result.push_back(d->Info());
    }
    if (OnEnumerate) {
        OnEnumerate();
    }
    return result;
}

std::unique_ptr<platform::HidConnection> SimHid::Open(const QByteArray& path, int& error)
{
    error = 0;
    for (const auto& d : devices_) {
        if (d->Info().path == path && d->IsPlugged()) {
            const int err = d->OpenError.load();
            if (err != 0) {
                error = err;
                return nullptr;
            }
            return std::make_unique<SimConnection>(d);
        }
    }
    error = ENOENT;
    return nullptr;
}

std::unique_ptr<platform::DeviceChangeWatch> SimHid::WatchChanges(std::function<void()> onChange)
{
    return std::make_unique<SimWatch>(this, std::move(onChange));
}

} // namespace sim
