#include "platform/HidBackend.h"

#include <QSocketNotifier>

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

QString FromWide(const wchar_t* s)
{
    if (s == nullptr) {
        return QString();
    }
    QString r = QString::fromWCharArray(s);
    if (r.size() > 254) {
        r.truncate(254);
    }
    return r;
}

// The errno that opening the node gives; hidapi itself does not report it.
int ProbeOpenError(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    return EIO;
}

// hidapi is not thread-safe for one device: every call takes the mutex. A read waits in
// short slices (2 ms) so that a write from the GUI thread never waits long for the reader.
class HidApiConnection final : public HidConnection {
public:
    explicit HidApiConnection(hid_device* dev) : dev_(dev) {}
    ~HidApiConnection() override { Close(); }

    int Write(const quint8* data, int length) override
    {
        waiting_.fetch_add(1);
        std::lock_guard<std::mutex> lock(mutex_);
        waiting_.fetch_sub(1);
        if (dev_ == nullptr) {
            lastError_ = ENODEV;
            return -1;
        }
        const int n = hid_write(dev_, data, static_cast<size_t>(length));
        if (n < 0) {
            lastError_ = errno != 0 ? errno : EIO;
        }
        return n;
    }

    int Read(quint8* buffer, int length, int timeoutMs) override
    {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            // Let a waiting writer go first.
            while (waiting_.load() > 0) {
                std::this_thread::yield();
            }
            int n;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (dev_ == nullptr) {
                    lastError_ = ENODEV;
                    return -1;
                }
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
                const int slice = static_cast<int>(std::max<long long>(0, std::min<long long>(left, 2)));
                errno = 0;
                n = hid_read_timeout(dev_, buffer, static_cast<size_t>(length), slice);
                if (n < 0) {
                    lastError_ = errno != 0 ? errno : EIO;
                }
            }
            if (n != 0 || Clock::now() >= end) {
                return n;
            }
        }
    }

    int LastError() const override { return lastError_; }

    void Close() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (dev_ != nullptr) {
            hid_close(dev_);
            dev_ = nullptr;
        }
    }

private:
    std::mutex mutex_;
    std::atomic<int> waiting_{0};
    hid_device* dev_;
    std::atomic<int> lastError_{0};
};

// Registry of the live udev watches, for SimulateDeviceChangeForTests.
std::mutex g_watchMutex;
std::set<class UdevWatch*> g_watches;

class UdevWatch final : public DeviceChangeWatch {
public:
    explicit UdevWatch(std::function<void()> onChange) : onChange_(std::move(onChange))
    {
        {
            std::lock_guard<std::mutex> lock(g_watchMutex);
            g_watches.insert(this);
        }
        udev_ = udev_new();
        if (udev_ == nullptr) {
            return;
        }
        // Source "udev": the event comes after the rules ran, so the node's permissions
        // are final when the listing opens it.
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ == nullptr) {
            return;
        }
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr);
        if (udev_monitor_enable_receiving(monitor_) < 0) {
            return;
        }
        const int fd = udev_monitor_get_fd(monitor_);
        if (fd < 0) {
            return;
        }
        notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { OnReadable(); });
    }

    ~UdevWatch() override
    {
        {
            std::lock_guard<std::mutex> lock(g_watchMutex);
            g_watches.erase(this);
        }
        notifier_.reset();
        if (monitor_ != nullptr) {
            udev_monitor_unref(monitor_);
        }
        if (udev_ != nullptr) {
            udev_unref(udev_);
        }
    }

    void Fire()
    {
        try {
            if (onChange_) {
                onChange_();
            }
        } catch (...) {
        }
    }

private:
    void OnReadable()
    {
        // One notification for each event waiting on the monitor.
        for (;;) {
            udev_device* dev = udev_monitor_receive_device(monitor_);
            if (dev == nullptr) {
                break;
            }
            udev_device_unref(dev);
            Fire();
        }
    }

    std::function<void()> onChange_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

class HidApiBackend final : public HidBackend {
public:
    HidApiBackend() { initialised_ = hid_init() == 0; }

    std::vector<HidDeviceInfo> Enumerate() override
    {
        std::vector<HidDeviceInfo> result;
        if (!initialised_) {
            return result;
        }
        hid_device_info* list = hid_enumerate(0, 0);
        std::set<QByteArray> seen;
        for (hid_device_info* d = list; d != nullptr; d = d->next) {
            const QByteArray path(d->path != nullptr ? d->path : "");
            // One entry per device interface even when the layer lists several usages.
            if (path.isEmpty() || !seen.insert(path).second) {
                continue;
            }
            HidDeviceInfo info;
            info.path = path;
            info.vendorId = d->vendor_id;
            info.productId = d->product_id;
            info.versionNumber = d->release_number;
            info.productString = FromWide(d->product_string);
            info.serialString = FromWide(d->serial_number);
            // A hidraw node number is reused; the identity also holds what the device is.
            info.instanceId = path + '|' + QByteArray::number(info.vendorId, 16) + ':'
                + QByteArray::number(info.productId, 16) + ':' + QByteArray::number(info.versionNumber, 16) + '|'
                + info.serialString.toUtf8();
            result.push_back(info);
        }
        hid_free_enumeration(list);
        return result;
    }

    std::unique_ptr<HidConnection> Open(const QByteArray& path, int& error) override
    {
        error = 0;
        if (!initialised_) {
            error = ENODEV;
            return nullptr;
        }
        hid_device* dev = hid_open_path(path.constData());
        if (dev == nullptr) {
            error = ProbeOpenError(path);
            return nullptr;
        }
        return std::make_unique<HidApiConnection>(dev);
    }

    std::unique_ptr<DeviceChangeWatch> WatchChanges(std::function<void()> onChange) override
    {
        return std::make_unique<UdevWatch>(std::move(onChange));
    }

    bool InstallPending() override
    {
        udev* u = udev_new();
        if (u == nullptr) {
            return false;
        }
        bool pending = false;
        if (udev_queue* q = udev_queue_new(u)) {
            pending = udev_queue_get_queue_is_empty(q) == 0;
            udev_queue_unref(q);
        }
        udev_unref(u);
        return pending;
    }

private:
    bool initialised_ = false;
};

std::atomic<HidBackend*> g_testBackend{nullptr};

HidBackend& RealBackend()
{
    static HidApiBackend backend;
    return backend;
}

} // namespace

HidBackend& CurrentHidBackend()
{
    HidBackend* test = g_testBackend.load();
    return test != nullptr ? *test : RealBackend();
}

void SetHidBackendForTests(HidBackend* backend)
{
    g_testBackend.store(backend);
}

bool NoPendingInstallEvents()
{
    return !CurrentHidBackend().InstallPending();
}

void SimulateDeviceChangeForTests()
{
    std::vector<UdevWatch*> watches;
    {
        std::lock_guard<std::mutex> lock(g_watchMutex);
        watches.assign(g_watches.begin(), g_watches.end());
    }
    for (UdevWatch* w : watches) {
        {
            // A handler may have ended another watch meanwhile.
            std::lock_guard<std::mutex> lock(g_watchMutex);
            if (g_watches.count(w) == 0) {
                continue;
            }
        }
        w->Fire();
    }
}

} // namespace platform
