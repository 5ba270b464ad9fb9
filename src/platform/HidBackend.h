#pragma once
// The HID device layer: listing the HID device interfaces of the PC, opening one,
// writing output reports, reading input reports, device-change notification and the
// pending-installation check. The real layer sits on hidapi (hidraw) and libudev; tests
// install a simulated one (tests/support/SimHid.h) with SetHidBackendForTests.
//
// Report format on this layer: an input report arrives without its report-ID byte, so
// byte 0 of a read is the first data byte (the module's status byte). An output report is
// written with the report ID first (0 for a device without numbered reports), followed by
// the data bytes.
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

// One HID device interface as the listing reports it.
struct HidDeviceInfo {
    // Identity of this device interface while it stays plugged in (nothing that udev changes
    // on a "change" event is part of it); the same device plugged in again gets another one,
    // even when its path is the same.
    QByteArray instanceId;
    QByteArray path;         // what Open takes ("/dev/hidraw3" on the real layer)
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 versionNumber = 0;  // release number (bcdDevice)
    QString productString;
    QString serialString;
    QString languageString;  // string index 0 where the layer offers it, else empty
    int inputReportLength = 64;  // bytes of one input report, without a report ID
};

// An open device. The reader thread may read while the GUI thread writes: the two never
// wait for each other, and each side's calls are serialised inside the connection.
class HidConnection {
public:
    virtual ~HidConnection() = default;
    // Writes one output report (report ID first). Returns the bytes written, -1 on failure.
    virtual int Write(const quint8* data, int length) = 0;
    // Waits up to timeoutMs for one input report and copies at most `length` bytes of it.
    // Returns its length, 0 when none came in time, -1 on failure (see LastError).
    virtual int Read(quint8* buffer, int length, int timeoutMs) = 0;
    // errno-style code of the last failure (EIO when the layer gives none).
    virtual int LastError() const = 0;
    // Closes the device; later calls fail. Safe while another thread waits in Read.
    virtual void Close() = 0;
};

// Receives device-change notifications while it exists. Each notification calls the
// handler once, on the thread that created the watch (the GUI thread).
class DeviceChangeWatch {
public:
    virtual ~DeviceChangeWatch() = default;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // The present HID device interfaces in the platform's order.
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    // Opens for reading and writing: everything a connection needs is opened here, so a
    // connection that exists can read and write. On failure returns null and sets `error`
    // to an errno code (EACCES or EPERM when the user may not open the device node).
    virtual std::unique_ptr<HidConnection> Open(const QByteArray& path, int& error) = 0;
    // Starts watching device changes; null when the platform offers no notification.
    virtual std::unique_ptr<DeviceChangeWatch> WatchChanges(std::function<void()> onChange) = 0;
    // True while the device manager still has device events to process.
    virtual bool InstallPending() = 0;
};

// The layer in use: the installed test layer, else the real one (created on first use).
HidBackend& CurrentHidBackend();

// Tests only: use `backend` (not owned) from now on; null returns to the real layer.
void SetHidBackendForTests(HidBackend* backend);

// The pending-installation check made before a settings read: true when no device
// installation is pending (also when the platform cannot tell).
bool NoPendingInstallEvents();

// Tests only: every live DeviceChangeWatch of the real layer reports one change, as if
// the device manager had sent one notification.
void SimulateDeviceChangeForTests();

} // namespace platform
