#include "platform/HidBackend.h"

#include <QSocketNotifier>

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
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

// The reader thread and the GUI thread each use a handle of their own, so neither waits
// for the other: hidraw gives every open handle its own copy of each input report, and
// hidapi keeps the error state per handle. Each handle is used under its own lock (hidapi
// is not thread-safe for one handle). The write handle's copies of the input reports are
// not needed (the reader has them) and are discarded before each write. Both handles are
// opened together: a connection that exists can always write.
class HidApiConnection final : public HidConnection {
public:
    HidApiConnection(hid_device* reader, hid_device* writer) : reader_(reader), writer_(writer) {}
    ~HidApiConnection() override { Close(); }

    int Write(const quint8* data, int length) override
    {
        std::lock_guard<std::mutex> lock(writeMutex_);
        if (closed_.load() || writer_ == nullptr) {
            lastError_ = ENODEV;
            return -1;
        }
        DiscardQueuedReports();
        errno = 0;
        const int n = hid_write(writer_, data, static_cast<size_t>(length));
        if (n < 0) {
            lastError_ = errno != 0 ? errno : EIO;
        }
        return n;
    }

    // Waits in short slices, so that Close from another thread ends a wait promptly.
    int Read(quint8* buffer, int length, int timeoutMs) override
    {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            int n;
            {
                std::lock_guard<std::mutex> lock(readMutex_);
                if (reader_ == nullptr) {
                    lastError_ = ENODEV;
                    return -1;
                }
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
                const int slice = static_cast<int>(std::clamp<long long>(left, 0, kReadSliceMs));
                errno = 0;
                n = hid_read_timeout(reader_, buffer, static_cast<size_t>(length), slice);
                if (n < 0) {
                    lastError_ = errno != 0 ? errno : EIO;
                }
            }
            if (n != 0 || Clock::now() >= end || closed_.load()) {
                return n;
            }
        }
    }

    int LastError() const override { return lastError_; }

    void Close() override
    {
        closed_.store(true);
        {
            std::lock_guard<std::mutex> lock(readMutex_);
            if (reader_ != nullptr) {
                hid_close(reader_);
                reader_ = nullptr;
            }
        }
        std::lock_guard<std::mutex> lock(writeMutex_);
        if (writer_ != nullptr) {
            hid_close(writer_);
            writer_ = nullptr;
        }
    }

private:
    static constexpr int kReadSliceMs = 10;

    void DiscardQueuedReports()
    {
        quint8 scratch[256];
        // Bounded: the device may report faster than this loop reads.
        for (int i = 0; i < 256; ++i) {
            if (hid_read_timeout(writer_, scratch, sizeof scratch, 0) <= 0) {
                break;
            }
        }
    }

    std::mutex readMutex_;
    std::mutex writeMutex_;
    hid_device* reader_;
    hid_device* writer_;
    std::atomic<bool> closed_{false};
    std::atomic<int> lastError_{0};
};

// What tells one plug-in of a device from the next, when the node keeps its name: the node
// itself is created anew (another inode), and a USB device gets a new device number on its
// bus. Nothing here may change while the device stays plugged in: udev re-stamps the node's
// change time on every "change" event it processes (a rule trigger, a package install, the
// ACL change of a session switch), and a held module must not be dropped for that.
QByteArray PlugIdentity(udev* u, const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        return QByteArray();
    }
    QByteArray id = QByteArray::number(static_cast<qulonglong>(st.st_ino));
    if (u != nullptr && S_ISCHR(st.st_mode)) {
        if (udev_device* dev = udev_device_new_from_devnum(u, 'c', st.st_rdev)) {
            udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
            if (usb != nullptr) {
                const char* bus = udev_device_get_sysattr_value(usb, "busnum");
                const char* num = udev_device_get_sysattr_value(usb, "devnum");
                id += QByteArray("|usb ") + (bus != nullptr ? bus : "?") + ':' + (num != nullptr ? num : "?");
            }
            udev_device_unref(dev);
        }
    }
    return id;
}

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
        if (notifier_ && notificationDepth_ > 0) {
            // Ended by its own handler: the notifier is still delivering its signal.
            notifier_->setEnabled(false);
            notifier_.release()->deleteLater();
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
            // The handler may end this watch (its owner freed), and the member with it: it
            // runs from a copy of its own.
            const std::function<void()> handler = onChange_;
            if (handler) {
                handler();
            }
        } catch (...) {
        }
    }

private:
    void OnReadable()
    {
        // One notification for each event waiting on the monitor. A handler may end this
        // watch (its owner freed): then nothing of it may be touched any more.
        const std::weak_ptr<int> alive = alive_;
        for (;;) {
            udev_device* dev = udev_monitor_receive_device(monitor_);
            if (dev == nullptr) {
                break;
            }
            udev_device_unref(dev);
            ++notificationDepth_;
            Fire();
            if (alive.expired()) {
                return;
            }
            --notificationDepth_;
        }
    }

    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    int notificationDepth_ = 0;  // notifications of the monitor under way (nested ones too)
    std::function<void()> onChange_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

class HidApiBackend final : public HidBackend {
public:
    HidApiBackend() : udev_(udev_new()) { initialised_ = hid_init() == 0; }
    ~HidApiBackend() override
    {
        if (udev_ != nullptr) {
            udev_unref(udev_);
        }
    }
    HidApiBackend(const HidApiBackend&) = delete;
    HidApiBackend& operator=(const HidApiBackend&) = delete;

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
            // A hidraw node name is reused, often at once by the same device plugged in
            // again: the identity also holds what the device is and which plug-in it is.
            info.instanceId = path + '|' + QByteArray::number(info.vendorId, 16) + ':'
                + QByteArray::number(info.productId, 16) + ':' + QByteArray::number(info.versionNumber, 16) + '|'
                + info.serialString.toUtf8() + '|' + PlugIdentity(udev_, path);
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
        // The reader's handle, then the writer's: the device is not open unless both are.
        hid_device* reader = OpenHandle(path, error);
        if (reader == nullptr) {
            return nullptr;
        }
        hid_device* writer = OpenHandle(path, error);
        if (writer == nullptr) {
            hid_close(reader);
            return nullptr;
        }
        return std::make_unique<HidApiConnection>(reader, writer);
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
    static hid_device* OpenHandle(const QByteArray& path, int& error)
    {
        errno = 0;
        hid_device* dev = hid_open_path(path.constData());
        if (dev == nullptr) {
            const int hidError = errno;
            error = ProbeOpenError(path);
            if (error == EIO && hidError != 0) {
                error = hidError;  // the node opens; the layer said why the device does not
            }
        }
        return dev;
    }

    bool initialised_ = false;
    udev* udev_;
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
