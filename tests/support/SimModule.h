#pragma once
// A simulated alarm communicator module on the simulated HID layer (SimHid.h). It answers
// as a real module does:
//  - it keeps a stored configuration (SimModuleConfig) that the write commands 0x00-0x1C
//    change and from which the read requests 0x80-0x9C are answered, in the reply layouts
//    of the module (byte 0 status, byte 1 reply code, fields from byte 2);
//  - the status byte of every report carries busy (0x80), error (0x40), monitoring (0x20,
//    state records only), password required (0x10), GPRS settings locked (0x04) and the
//    2-bit reply sequence, which changes with every reply to a read request;
//  - on receipt of a packet the module is busy (with SetBusyReportOnReceipt, on by default,
//    it reports so at once); after the reply delay (default 0: through the event loop, i.e.
//    "at once") it handles the packet and sends one report with busy clear: the reply of a
//    read request (new sequence) or a plain status report (same sequence) otherwise;
//  - the login 0x42 with the module's USB password clears the password request, the GPRS
//    lock and the error bit; a wrong one sets the error bit. While the password is
//    required every other packet is acknowledged but not acted upon;
//  - reports reach the program asynchronously through the device's read path, exactly as
//    those of a real device (the program's reader thread picks them up).
// Every packet received is logged with the time it arrived.
//
// Usage:
//   sim::SimHid hid;
//   sim::SimModule module(hid);                 // plugged in at once
//   module.Config().apn = "internet";           // stored settings
//   ... drive the program ...
//   EXPECT_EQ(module.Packets()[0][0], 0x43);    // exact packets, 63 bytes each
#include "support/SimHid.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace sim {

// The module's stored settings. Texts are stored as the field bytes the module received
// (so usually filled to the field width); texts set by a test may be shorter: replies fill
// them to the field width (with spaces; "0" for reserve accounts; 0 bytes for AES keys).
struct SimModuleConfig {
    QByteArray connectionString;   // 0x00 / 0x80, 50
    QByteArray apn;                // 0x01 / 0x81, 50
    QByteArray userName;           // 0x02 / 0x82, 32
    QByteArray password;           // 0x03 / 0x83, 32
    quint32 tcpCR = 0;             // 0x04 / 0x84
    QByteArray connectionString2;  // 0x05 / 0x85, 50
    QByteArray connectionString3;  // 0x06 / 0x86, 50
    QByteArray usbPassword;        // 0x07 / 0x87, 16; also the login password (0x42)
    std::array<QByteArray, 2> reserveAccounts;  // 0x08 / 0x88, 4
    QByteArray ownerName;          // 0x09 / 0x89, 16
    quint32 veq2CR = 0;            // 0x0A / 0x8A
    struct Phone {
        QByteArray number;         // 15
        quint8 cr = 0;             // PnCR (0x0B / 0x8B)
        quint8 addCR = 0;          // PnAddCR (0x1A / 0x9A)
    };
    std::array<Phone, 10> phones;  // 0x0B / 0x8B
    quint32 smsPstnCR = 0;         // 0x0C / 0x8C
    std::array<QByteArray, 15> smsPhrases;  // 0x0D / 0x8D, 16
    std::array<QByteArray, 3> helpText;     // 0x0E / 0x8E, 47 each (part 2 replies with 46)
    struct Input {
        quint8 cr = 0;
        quint8 violations = 0;
        quint8 sensitivity = 0;
        quint16 noSenseInterval = 0;
        std::array<quint8, 5> cid{};
    };
    std::array<Input, 6> inputs;   // 0x0F / 0x8F
    std::array<std::array<QByteArray, 32>, 4> itemNames;  // 0x10 / 0x90: [group - 1][index], 16
    struct PgmPhone {
        QByteArray number;         // 15
        quint8 mask = 0;           // output mask
    };
    std::array<PgmPhone, 32> pgmPhones;  // 0x11 / 0x91
    struct Output {
        quint8 cr = 0;
        quint16 impLength = 0;
    };
    std::array<Output, 4> outputs;  // 0x12 / 0x92
    std::array<QByteArray, 6> inputSmsTexts;  // 0x13 / 0x93, 50
    quint32 accessPin = 0xFFFFFFFF; // 0x14 / 0x94
    quint8 smsBackupFlag = 0;       // 0x15 / 0x95 byte 1 (sent as the index)
    QByteArray smsBackupPhone;      // 0x15 / 0x95, 15
    std::array<QByteArray, 2> additionalSmsTexts;  // 0x16 / 0x96, 50
    QByteArray modemData;           // 0x97, 28 (read only)
    QByteArray simPin;              // 0x18 / 0x98, 8
    quint16 heartBeat = 0;          // 0x19 / 0x99: bytes 1-2 as sent (flag in bit 15)
    quint32 cpCR = 0;               // 0x1B / 0x9B
    std::array<QByteArray, 2> aesKeys;  // 0x1C / 0x9C, 16 bytes
    int lastHour = -1;              // 0x43
    int batchEnds = 0;              // 0x40 / 0x41 received
};

// A state record (status bit 5) with an optional traffic line.
struct SimStateRecord {
    quint8 modemFlags = 0;
    quint8 modemCR = 0;
    quint8 modemSR = 0;
    quint16 tcpSR = 0;
    quint8 outBufMessCount = 0;
    quint8 sentCounter = 0;
    QByteArray traffic;     // a new traffic line when not empty (the traffic sequence moves)
    bool outGoing = true;   // bit 6 of byte 8 clear
};

struct SimModuleOptions {
    QString productName = QStringLiteral("VEQ4m v.2035 ");  // firmware parsed from "v.NNNN"
    QString serialNumber = QStringLiteral("VQ00012345");
    quint16 versionNumber = 0x0100;
    quint16 vendorId = 0x1209;
    quint16 productId = 0x0001;
    int inputReportLength = 64;
    QByteArray path;  // device node; empty: the simulated layer names a new one per plug-in
};

class SimModule : public QObject {
    Q_OBJECT
public:
    explicit SimModule(SimHid& hid, SimModuleOptions options = {}, bool plugNow = true);
    ~SimModule() override;

    // A product name for a firmware version, as the module reports it ("VEQ4m v.2035 ").
    static QString ProductNameFor(int firmware, const QString& type = QStringLiteral("VEQ4m"));

    // --- connection ---
    void Plug(bool notify = true);
    void Unplug(bool notify = true);
    // Unplug and plug in again: a new device interface; the module restarts (busy clear,
    // reply sequence 0, password requested again when required), keeping its settings.
    void Replug();
    bool IsPlugged() const { return device_ != nullptr; }
    std::shared_ptr<SimHidDevice> Device() const { return device_; }
    SimModuleOptions& Options() { return options_; }  // takes effect at the next Plug

    // --- behaviour ---
    void SetReplyDelay(int ms) { replyDelayMs_ = ms; }
    void SetBusyReportOnReceipt(bool on) { busyReportOnReceipt_ = on; }
    // Receives and logs packets but never sends a report.
    void SetSilent(bool on) { silent_ = on; }
    // Handles nothing after receipt: busy stays set.
    void SetStayBusy(bool on);  // clearing it lets the module finish what it holds
    // Status bit 4 until the right 0x42 login (also again after each Replug).
    void RequirePassword(bool on);
    void SetGPRSLocked(bool on) { gprsLocked_ = on; }
    void SetError(bool on) { error_ = on; }
    bool PasswordRequired() const { return passwordRequired_; }
    bool GPRSLocked() const { return gprsLocked_; }
    bool Error() const { return error_; }
    bool Busy() const { return busy_; }
    quint8 ReplySequence() const { return replySeq_; }
    quint8 TrafficSequence() const { return usartSeq_; }
    quint8 StatusByte(bool monitoring = false) const;

    // --- stored settings ---
    SimModuleConfig& Config() { return config_; }
    const SimModuleConfig& Config() const { return config_; }

    // --- reports sent on the module's own initiative ---
    void SendStatus();                             // status byte only
    void SendState(const SimStateRecord& state);   // state record, bit 5 set
    // Sends the state record every `ms` (0 stops); its traffic line goes with the first only.
    void SetMonitoring(int ms, const SimStateRecord& state = {});
    void SendRawReport(const QByteArray& report);  // any bytes (byte 0 = status)
    // The reply that a read request gets now (report bytes, status byte included; empty for
    // a code that is not a read request). Does not change the module.
    QByteArray ReplyFor(const QByteArray& packet) const;

    // --- log ---
    struct Received {
        qint64 atMs;       // since the module was created
        qint64 atNs;
        QByteArray packet;  // the 63 bytes after the report ID
        quint8 reportId;
    };
    const std::vector<Received>& Log() const { return log_; }
    std::vector<QByteArray> Packets() const;   // the packets alone, in order
    std::vector<quint8> Codes() const;         // their first bytes
    const std::vector<QByteArray>& SentReports() const { return sent_; }
    void ClearLog();
    // Called after each received packet is logged and before the module acts on it (GUI
    // thread), so it may change the behaviour for this very packet, e.g. SetSilent(true)
    // to leave the n-th request of a walk unanswered.
    std::function<void(const QByteArray& packet)> OnPacket;

private:
    void OnWrite(const QByteArray& report);
    void ScheduleNext();
    void ProcessNext();
    // Applies a write command / login; returns the reply report for a read request.
    QByteArray Handle(const QByteArray& packet);
    void Apply(const QByteArray& p);
    void Emit(QByteArray report);
    QByteArray NewReport(quint8 code) const;

    SimHid& hid_;
    SimModuleOptions options_;
    std::shared_ptr<SimHidDevice> device_;
    SimModuleConfig config_;
    int replyDelayMs_ = 0;
    bool busyReportOnReceipt_ = true;
    bool silent_ = false;
    bool stayBusy_ = false;
    bool requirePassword_ = false;
    bool passwordRequired_ = false;
    bool gprsLocked_ = false;
    bool error_ = false;
    bool busy_ = false;
    quint8 replySeq_ = 0;
    quint8 usartSeq_ = 0;
    std::deque<QByteArray> pending_;
    bool scheduled_ = false;
    QTimer monitorTimer_;
    SimStateRecord monitorState_;
    std::vector<Received> log_;
    std::vector<QByteArray> sent_;
    QElapsedTimer clock_;
};

} // namespace sim
