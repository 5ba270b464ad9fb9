// A stand-in for libhidapi-hidraw.so.0: the hid_* functions that the program's HID layer
// uses, answered by the simulated module of tests/support instead of a device. A program
// whose library search finds this library first (LD_LIBRARY_PATH, or the run path that
// the build gives the tests and benchmarks of the real HID path) runs its real HID layer,
// reader thread and module link against the simulated module.
//
// The module lives on a thread of its own with its own event loop, so it answers whatever
// the program's threads do. Each open handle is a connection of the simulated layer with
// its own queue of input reports, as a hidraw file is. The module's node is a plain file
// in a folder of its own, created when the module is plugged in and moved aside when it
// goes, so a replugged module keeps its path but is a new file (another inode), as on
// devtmpfs.
//
// What the simulated module looks like comes from the environment (see README.md beside
// this folder): VEQ_SIM_FIRMWARE, VEQ_SIM_TYPE, VEQ_SIM_PRODUCT, VEQ_SIM_SERIAL,
// VEQ_SIM_CONFIG, VEQ_SIM_PASSWORD, VEQ_SIM_GPRS_LOCKED, VEQ_SIM_MONITOR_MS,
// VEQ_SIM_REPLY_DELAY_MS, VEQ_SIM_ABSENT, VEQ_SIM_TRACE, VEQ_SIM_CONTROL.
#include "support/hidapi/SimHidApi.h"

#include <hidapi/hidapi.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QSemaphore>
#include <QSocketNotifier>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
// The simulated layer is never installed inside this library: the program's own HID layer
// is what calls in here.
void SetHidBackendForTests(HidBackend*) {}
} // namespace platform

struct hid_device_ {
    std::unique_ptr<platform::HidConnection> conn;
    bool nonblocking = false;
    std::wstring error;
};

namespace {

QByteArray Env(const char* name)
{
    return qgetenv(name);
}

int EnvInt(const char* name, int fallback)
{
    bool ok = false;
    const int v = Env(name).trimmed().toInt(&ok, 0);
    return ok ? v : fallback;
}

bool Number(const QByteArray& text, quint32& out)
{
    bool ok = false;
    out = text.trimmed().toUInt(&ok, 0);
    return ok;
}

// "06 11 00 10 01" or "0611001001": bytes given as hexadecimal digits.
QByteArray HexBytes(QByteArray text)
{
    text.replace(' ', QByteArray());
    return QByteArray::fromHex(text);
}

// One "key=value" line of the starting configuration. Keys name the stored settings;
// tables take the index after a dot (names: group 1-4, then the index).
void ApplySetting(sim::SimModuleConfig& c, const QByteArray& key, const QByteArray& value)
{
    const QList<QByteArray> k = key.split('.');
    quint32 n = 0;
    const bool isNumber = Number(value, n);
    auto idx = [&](int at, size_t size) -> int {
        bool ok = false;
        const int i = k.size() > at ? k[at].toInt(&ok) : -1;
        return ok && i >= 0 && static_cast<size_t>(i) < size ? i : -1;
    };
    const QByteArray name = k[0];
    const QByteArray field = k.size() > 2 ? k[2] : QByteArray();
    if (name == "connectionString") c.connectionString = value;
    else if (name == "apn") c.apn = value;
    else if (name == "userName") c.userName = value;
    else if (name == "password") c.password = value;
    else if (name == "tcpCR" && isNumber) c.tcpCR = n;
    else if (name == "connectionString2") c.connectionString2 = value;
    else if (name == "connectionString3") c.connectionString3 = value;
    else if (name == "usbPassword") c.usbPassword = value;
    else if (name == "ownerName") c.ownerName = value;
    else if (name == "veq2CR" && isNumber) c.veq2CR = n;
    else if (name == "smsPstnCR" && isNumber) c.smsPstnCR = n;
    else if (name == "accessPin" && isNumber) c.accessPin = n;
    else if (name == "smsBackupFlag" && isNumber) c.smsBackupFlag = static_cast<quint8>(n);
    else if (name == "smsBackupPhone") c.smsBackupPhone = value;
    else if (name == "modemData") c.modemData = value;
    else if (name == "simPin") c.simPin = value;
    else if (name == "heartBeat" && isNumber) c.heartBeat = static_cast<quint16>(n);
    else if (name == "cpCR" && isNumber) c.cpCR = n;
    else if (name == "reserveAccount" && idx(1, 2) >= 0) c.reserveAccounts[idx(1, 2)] = value;
    else if (name == "smsPhrase" && idx(1, 15) >= 0) c.smsPhrases[idx(1, 15)] = value;
    else if (name == "helpText" && idx(1, 3) >= 0) c.helpText[idx(1, 3)] = value;
    else if (name == "inputSmsText" && idx(1, 6) >= 0) c.inputSmsTexts[idx(1, 6)] = value;
    else if (name == "additionalSmsText" && idx(1, 2) >= 0) c.additionalSmsTexts[idx(1, 2)] = value;
    else if (name == "aesKey" && idx(1, 2) >= 0) c.aesKeys[idx(1, 2)] = HexBytes(value);
    else if (name == "itemName" && k.size() == 3) {
        const int group = idx(1, 5);
        const int i = idx(2, 32);
        if (group >= 1 && i >= 0)
            c.itemNames[group - 1][i] = value;
    } else if (name == "phone" && idx(1, 10) >= 0) {
        auto& p = c.phones[idx(1, 10)];
        if (k.size() == 2) p.number = value;
        else if (field == "cr" && isNumber) p.cr = static_cast<quint8>(n);
        else if (field == "addCR" && isNumber) p.addCR = static_cast<quint8>(n);
    } else if (name == "pgmPhone" && idx(1, 32) >= 0) {
        auto& p = c.pgmPhones[idx(1, 32)];
        if (k.size() == 2) p.number = value;
        else if (field == "mask" && isNumber) p.mask = static_cast<quint8>(n);
    } else if (name == "input" && idx(1, 6) >= 0 && k.size() == 3) {
        auto& in = c.inputs[idx(1, 6)];
        if (field == "cr" && isNumber) in.cr = static_cast<quint8>(n);
        else if (field == "violations" && isNumber) in.violations = static_cast<quint8>(n);
        else if (field == "sensitivity" && isNumber) in.sensitivity = static_cast<quint8>(n);
        else if (field == "noSenseInterval" && isNumber) in.noSenseInterval = static_cast<quint16>(n);
        else if (field == "cid") {
            const QByteArray b = HexBytes(value);
            for (int i = 0; i < 5 && i < b.size(); ++i)
                in.cid[static_cast<size_t>(i)] = static_cast<quint8>(b[i]);
        }
    } else if (name == "output" && idx(1, 4) >= 0 && k.size() == 3) {
        auto& o = c.outputs[idx(1, 4)];
        if (field == "cr" && isNumber) o.cr = static_cast<quint8>(n);
        else if (field == "impLength" && isNumber) o.impLength = static_cast<quint16>(n);
    } else {
        qWarning("simulated module: unknown setting \"%s\"", key.constData());
    }
}

// What the module holds before VEQ_SIM_CONFIG changes it: a plausible set-up, so that the
// pages show something and every input carries a Contact ID the catalogue knows.
void DefaultConfig(sim::SimModuleConfig& c)
{
    c.connectionString = "10.0.0.1:5000";
    c.apn = "internet";
    c.tcpCR = 0x0811;
    c.reserveAccounts = {"1234", "0000"};
    c.ownerName = "Simulated";
    c.veq2CR = 0x40 | (600u << 8); // with its SIM PIN
    c.simPin = "1234";
    c.accessPin = 0x1234FFFF;
    for (size_t i = 0; i < c.inputs.size(); ++i) {
        c.inputs[i].cr = 0x21;
        c.inputs[i].cid = {6, 0x11, 0x00, 0x10, static_cast<quint8>(i + 1)};
    }
    c.phones[0].number = "+37060000100";
    c.phones[0].cr = 0x03;
    c.itemNames[0][0] = "Front door";
}

void LoadConfig(sim::SimModuleConfig& c, const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        qWarning("simulated module: cannot read %s", qPrintable(file));
        return;
    }
    while (!f.atEnd()) {
        QByteArray line = f.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        ApplySetting(c, line.left(eq).trimmed(), line.mid(eq + 1));
    }
}

// Commands written to the control pipe (VEQ_SIM_CONTROL), one a line.
void RunCommand(sim::SimModule& m, const QByteArray& line)
{
    const QList<QByteArray> w = line.simplified().split(' ');
    const QByteArray cmd = w.value(0);
    const bool on = w.value(1) != "off";
    if (cmd == "unplug") m.Unplug(false);
    else if (cmd == "plug") m.Plug(false);
    else if (cmd == "replug") m.Replug();
    else if (cmd == "silent") m.SetSilent(on);
    else if (cmd == "busy") m.SetStayBusy(on);
    else if (cmd == "error") m.SetError(on);
    else if (cmd == "locked") m.SetGPRSLocked(on);
    else if (!cmd.isEmpty()) {
        std::fprintf(stderr, "simulated module: unknown command \"%s\"\n", line.constData());
        return;
    }
    if (!cmd.isEmpty())
        std::fprintf(stderr, "simulated module: %s\n", line.simplified().constData());
}

// The module's thread: the simulated layer and module are created, plugged and freed here.
class ModuleThread final : public QThread {
public:
    sim::SimModule* module = nullptr;
    sim::SimHid* hid = nullptr;
    QSemaphore ready;

protected:
    void run() override
    {
        const QString folder = QDir::tempPath() + QStringLiteral("/veqsim-%1").arg(::getpid());
        QDir().mkpath(folder);
        {
            sim::SimHid simHid;
            // A node that goes is moved aside rather than removed: it keeps its inode, so the
            // node made at the next plug-in has another one, as on devtmpfs (where a removed
            // inode number is not handed out again at once).
            simHid.OnPlugChange = [&folder, gone = 0](const platform::HidDeviceInfo& info, bool plugged) mutable {
                const QString node = QString::fromLocal8Bit(info.path);
                if (plugged) {
                    QFile::remove(node);
                    QFile f(node);
                    (void)f.open(QIODevice::WriteOnly);
                } else {
                    QFile::rename(node, folder + QStringLiteral("/.gone%1").arg(++gone));
                }
            };
            sim::SimModuleOptions options;
            options.path = QFile::encodeName(folder + QStringLiteral("/hidraw0"));
            const QByteArray type = Env("VEQ_SIM_TYPE");
            options.productName = sim::SimModule::ProductNameFor(
                EnvInt("VEQ_SIM_FIRMWARE", 2035), type.isEmpty() ? QStringLiteral("VEQ4m") : QString::fromUtf8(type));
            if (!Env("VEQ_SIM_PRODUCT").isEmpty())
                options.productName = QString::fromUtf8(Env("VEQ_SIM_PRODUCT"));
            if (!Env("VEQ_SIM_SERIAL").isEmpty())
                options.serialNumber = QString::fromUtf8(Env("VEQ_SIM_SERIAL"));
            sim::SimModule simModule(simHid, options, false);
            DefaultConfig(simModule.Config());
            if (!Env("VEQ_SIM_CONFIG").isEmpty())
                LoadConfig(simModule.Config(), QString::fromLocal8Bit(Env("VEQ_SIM_CONFIG")));
            if (!Env("VEQ_SIM_PASSWORD").isEmpty()) {
                simModule.Config().usbPassword = Env("VEQ_SIM_PASSWORD");
                simModule.RequirePassword(true);
            }
            simModule.SetGPRSLocked(EnvInt("VEQ_SIM_GPRS_LOCKED", 0) != 0);
            simModule.SetReplyDelay(EnvInt("VEQ_SIM_REPLY_DELAY_MS", 0));
            if (const int ms = EnvInt("VEQ_SIM_MONITOR_MS", 0); ms > 0) {
                sim::SimStateRecord state;
                state.modemFlags = 0x41;
                state.modemCR = 0x41;
                state.modemSR = 0x41;
                state.tcpSR = 0x9001;
                state.traffic = "+CSQ: 18,0";
                simModule.SetMonitoring(ms, state);
            }
            if (EnvInt("VEQ_SIM_TRACE", 0) != 0) {
                simModule.OnPacket = [](const QByteArray& packet) {
                    std::fprintf(stderr, "simulated module <- %s\n", packet.left(20).toHex(' ').constData());
                };
            }
            if (EnvInt("VEQ_SIM_ABSENT", 0) == 0)
                simModule.Plug(false);
            // The control pipe is opened for writing too, so that it never reads as ended.
            std::unique_ptr<QSocketNotifier> control;
            int controlFd = -1;
            if (const QByteArray fifo = Env("VEQ_SIM_CONTROL"); !fifo.isEmpty()) {
                ::mkfifo(fifo.constData(), 0600);
                controlFd = ::open(fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
                if (controlFd >= 0) {
                    control = std::make_unique<QSocketNotifier>(controlFd, QSocketNotifier::Read);
                    auto onReadable = [&simModule, controlFd, buffer = QByteArray()]() mutable {
                        char chunk[256];
                        for (ssize_t n; (n = ::read(controlFd, chunk, sizeof chunk)) > 0;)
                            buffer.append(chunk, static_cast<qsizetype>(n));
                        for (qsizetype nl; (nl = buffer.indexOf('\n')) >= 0; buffer.remove(0, nl + 1))
                            RunCommand(simModule, buffer.left(nl));
                    };
                    QObject::connect(control.get(), &QSocketNotifier::activated, onReadable);
                } else {
                    qWarning("simulated module: cannot open the control pipe %s", fifo.constData());
                }
            }
            module = &simModule;
            hid = &simHid;
            ready.release();
            exec();
            control.reset();
            if (controlFd >= 0)
                ::close(controlFd);
            module = nullptr;
            hid = nullptr;
        }
        QDir(folder).removeRecursively();
    }
};

class Shim {
public:
    static Shim& Get()
    {
        static Shim shim;
        return shim;
    }

    ~Shim() { Stop(); }

    // Starts the module's thread on first use.
    ModuleThread& Thread()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_) {
            thread_ = std::make_unique<ModuleThread>();
            thread_->start();
            thread_->ready.acquire();
            if (QCoreApplication::instance() != nullptr)
                qAddPostRoutine([] { Shim::Get().Stop(); });
        }
        return *thread_;
    }

    // Runs f on the module's thread and waits for it.
    template <class F>
    void Call(F&& f)
    {
        ModuleThread& t = Thread();
        if (QThread::currentThread() == &t) {
            f(*t.module, *t.hid);
            return;
        }
        QMetaObject::invokeMethod(
            t.module, [&] { f(*t.module, *t.hid); }, Qt::BlockingQueuedConnection);
    }

    void Stop()
    {
        std::unique_ptr<ModuleThread> t;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            t = std::move(thread_);
        }
        if (t) {
            t->quit();
            t->wait();
        }
    }

    // The open-failure injection: true when this open is to fail (errno in `error`).
    bool OpenFails(int& error)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failError_ == 0)
            return false;
        if (okOpens_ > 0) {
            --okOpens_;
            return false;
        }
        error = failError_;
        return true;
    }

    void FailOpens(int ok, int error)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        okOpens_ = ok;
        failError_ = error;
    }

private:
    Shim() = default;
    std::mutex mutex_;
    std::unique_ptr<ModuleThread> thread_;
    int okOpens_ = 0;
    int failError_ = 0;
};

std::mutex g_errorMutex;
std::wstring g_error;

void SetGlobalError(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(g_errorMutex);
    g_error = text;
}

wchar_t* WideCopy(const QString& s)
{
    const std::wstring w = s.toStdWString();
    auto* r = static_cast<wchar_t*>(std::calloc(w.size() + 1, sizeof(wchar_t)));
    if (r != nullptr)
        std::wmemcpy(r, w.c_str(), w.size());
    return r;
}

int Fail(hid_device* dev, int error)
{
    dev->error = QString::fromLocal8Bit(std::strerror(error)).toStdWString();
    errno = error;
    return -1;
}

} // namespace

extern "C" {

void veqsim_call(veqsim_fn fn, void* ctx)
{
    Shim::Get().Call([&](sim::SimModule& m, sim::SimHid& h) { fn(ctx, &m, &h); });
}

void veqsim_fail_opens(int ok, int error)
{
    Shim::Get().FailOpens(ok, error);
}

int hid_init(void)
{
    Shim::Get().Thread();
    return 0;
}

int hid_exit(void)
{
    Shim::Get().Stop();
    return 0;
}

struct hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    std::vector<platform::HidDeviceInfo> list;
    Shim::Get().Call([&](sim::SimModule&, sim::SimHid& h) { list = h.Enumerate(); });
    hid_device_info* first = nullptr;
    hid_device_info** next = &first;
    for (const platform::HidDeviceInfo& d : list) {
        if ((vendor_id != 0 && d.vendorId != vendor_id) || (product_id != 0 && d.productId != product_id))
            continue;
        auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
        if (info == nullptr)
            break;
        info->path = strdup(d.path.constData());
        info->vendor_id = d.vendorId;
        info->product_id = d.productId;
        info->release_number = d.versionNumber;
        info->serial_number = WideCopy(d.serialString);
        info->manufacturer_string = WideCopy(QString());
        info->product_string = WideCopy(d.productString);
        info->usage_page = 0xFF00;
        info->usage = 1;
        info->interface_number = 0;
        info->bus_type = HID_API_BUS_USB;
        *next = info;
        next = &info->next;
    }
    return first;
}

void hid_free_enumeration(struct hid_device_info* devs)
{
    while (devs != nullptr) {
        hid_device_info* next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

hid_device* hid_open_path(const char* path)
{
    int error = 0;
    if (path == nullptr || Shim::Get().OpenFails(error)) {
        SetGlobalError(L"cannot open the device");
        errno = path == nullptr ? EINVAL : error;
        return nullptr;
    }
    std::unique_ptr<platform::HidConnection> conn;
    Shim::Get().Call([&](sim::SimModule&, sim::SimHid& h) { conn = h.Open(QByteArray(path), error); });
    if (!conn) {
        SetGlobalError(L"cannot open the device");
        errno = error != 0 ? error : ENODEV;
        return nullptr;
    }
    auto* dev = new hid_device_;
    dev->conn = std::move(conn);
    return dev;
}

hid_device* hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t* serial_number)
{
    (void)serial_number;
    hid_device_info* list = hid_enumerate(vendor_id, product_id);
    hid_device* dev = list != nullptr ? hid_open_path(list->path) : nullptr;
    hid_free_enumeration(list);
    return dev;
}

int hid_write(hid_device* dev, const unsigned char* data, size_t length)
{
    if (dev == nullptr || data == nullptr)
        return -1;
    const int n = dev->conn->Write(data, static_cast<int>(length));
    return n < 0 ? Fail(dev, dev->conn->LastError()) : n;
}

int hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds)
{
    if (dev == nullptr || data == nullptr)
        return -1;
    int n = 0;
    do {
        // A negative time-out waits until a report comes.
        n = dev->conn->Read(data, static_cast<int>(length), milliseconds < 0 ? 1000 : milliseconds);
    } while (n == 0 && milliseconds < 0);
    return n < 0 ? Fail(dev, dev->conn->LastError()) : n;
}

int hid_read(hid_device* dev, unsigned char* data, size_t length)
{
    return hid_read_timeout(dev, data, length, dev != nullptr && dev->nonblocking ? 0 : -1);
}

int hid_set_nonblocking(hid_device* dev, int nonblock)
{
    if (dev == nullptr)
        return -1;
    dev->nonblocking = nonblock != 0;
    return 0;
}

void hid_close(hid_device* dev)
{
    if (dev == nullptr)
        return;
    dev->conn->Close();
    delete dev;
}

const wchar_t* hid_error(hid_device* dev)
{
    if (dev != nullptr)
        return dev->error.empty() ? nullptr : dev->error.c_str();
    std::lock_guard<std::mutex> lock(g_errorMutex);
    return g_error.empty() ? nullptr : g_error.c_str();
}

} // extern "C"
