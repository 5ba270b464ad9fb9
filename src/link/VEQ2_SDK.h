#pragma once
// TVEQ2: the one object through which the program talks to a module. It finds the module
// among the HID devices by its USB IDs, follows its arrival and removal, sends command
// packets one at a time (busy handshake, gap after each report), turns every input report
// into status flags and one typed event per received setting, and walks all settings of
// the module with reply time-outs.
//
// Threads: the reader thread of the claimed device only sets the status flags below (they
// are atomics) and wakes a waiting send; every event, the read walk and all sends run on
// the GUI thread, one report after another, never nested inside an earlier report.
#include "link/VEQ2_Packets.h"
#include "link/mytypes.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class QEventLoop;
class QTimer;
class THidDevice;
class THidDeviceController;

// Event types of the link; the sender comes first.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TStringArriveEvent = std::function<void(QObject* Sender, const QByteArray& Output)>;
using TIndexedStringArriveEvent = std::function<void(QObject* Sender, int Idx, const QByteArray& s)>;
using TDWORDArriveEvent = std::function<void(QObject* Sender, quint32 Data)>;
using TWordArriveEvent = std::function<void(QObject* Sender, quint16 Data)>;
using TPhoneNumberArriveEvent =
    std::function<void(QObject* Sender, quint8 Idx, quint8 CR, const QByteArray& Number)>;
using TSMSPHraseArriveEvent = std::function<void(QObject* Sender, quint8 Idx, const QByteArray& Phrase)>;
using tInputSettingArriveEvent =
    std::function<void(QObject* Sender, quint8 Idx, quint8 CR, quint8 Violations, quint8 Sensivity,
                       quint16 NoSenseInterval, const tduomenys& CID)>;
using iOutputSettingArriveEvent = std::function<void(QObject* Sender, quint8 Idx, quint8 CR, quint16 ImpLength)>;
using tOnItemNameArriveEvent =
    std::function<void(QObject* Sender, quint8 FDNr, quint8 Idx, const QByteArray& Name)>;
using TUSARTStringArriveEvent = std::function<void(QObject* Sender, const QByteArray& Output, bool OutGoing)>;
using tonVEQ2StateEvent = std::function<void(QObject* Sender, quint8 ModemFlags, quint8 ModemCR, quint8 ModemSR,
                                             quint16 TCPSR, quint8 OutBufMessCount, quint8 SentCounter)>;
using TOpenErrorEvent = std::function<void(const QString& Reason)>;

// Timer intervals of the link. The defaults are the module's; tests shorten them.
struct TVEQ2Timing {
    int GapMs = 4;            // pause after each output report
    int ReplyTimeoutMs = 6000; // no reply to a walk request within this: TimedOut
    int FirstReplyMs = 4000;  // restarts the reply time-out four times for the first reply
    // Under an answer limit (every packet the program sends, and every request of the read
    // walk): a packet that waits this long for the busy bit to clear finds a module that
    // stopped answering, whether it sent no report of any kind meanwhile or kept reporting
    // with its busy bit set. A running module answers each command within the reply
    // time-out, so that is the limit.
    int NoAnswerMs = 6000;
    // Tests: the pauses between the packets of a write series last at most this long (-1:
    // as long as each series asks).
    int SeriesPauseMaxMs = -1;
};

class TVEQ2 : public QObject {
    Q_OBJECT
public:
    explicit TVEQ2(QObject* AOwner = nullptr, const TVEQ2Timing& Timing = TVEQ2Timing());
    // Stops the module's reports and releases it; OnDisconnect runs once more when a module
    // was held.
    ~TVEQ2() override;
    TVEQ2(const TVEQ2&) = delete;
    TVEQ2& operator=(const TVEQ2&) = delete;

    // ---- state the program reads ----------------------------------------------------
    int RetryCount = 0;
    bool Connected = false;
    bool ReadingAll = false;
    bool TimedOut = false;
    std::atomic<bool> Closing{false}; // set when the program closes: Send sends nothing
    // Status bits 7, 6, 5, 4, 2 of the last input report (set on the reader thread).
    // Busy is also set by Send.
    std::atomic<bool> Busy{false};
    std::atomic<bool> Error{false};
    std::atomic<bool> Monitoring{false};
    std::atomic<bool> PasswordRequired{false};
    std::atomic<bool> GPRSLocked{false};
    THidDevice* Device = nullptr;
    QString ProductName;
    bool Creating = false;
    QString SerialNumber;
    QString DeviceVersion; // 4 upper-case hexadecimal digits
    int FirmwareVersion = 0;
    THidDeviceController* Controller = nullptr;
    int LastReplySeq = 0;
    int LastUsartSeq = 0;
    bool SkipFirstReport = false;
    int LastRequest = 0; // code | index << 12 | sub-index << 20 of the last walk request
    // Why the module that was found cannot be used (no permission on its device node);
    // empty when there is no such problem.
    QString OpenError;

    // ---- events ---------------------------------------------------------------------
    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TStringArriveEvent OnConnectionString3;
    TStringArriveEvent OnConnectionString2;
    TStringArriveEvent OnConnectionString;
    TStringArriveEvent OnUSBPassword;
    TStringArriveEvent OnVEQOwnerName;
    TIndexedStringArriveEvent OnReserveAccount;
    TStringArriveEvent OnAPN;
    TStringArriveEvent OnUserName;
    TStringArriveEvent OnPassword;
    tonVEQ2StateEvent OnState;
    TUSARTStringArriveEvent OnUsart;
    TDWORDArriveEvent OnTCPCR;
    TDWORDArriveEvent OnVEQ2CR;
    TPhoneNumberArriveEvent OnPhoneNumber;
    TPhoneNumberArriveEvent OnPGMPhoneNumber;
    TSMSPHraseArriveEvent OnSMSPhrase;
    TSMSPHraseArriveEvent OnHelpText;
    TDWORDArriveEvent OnSMSPSTNCR;
    tInputSettingArriveEvent OnInputSetting;
    TIndexedStringArriveEvent OnInputSMSText;
    TIndexedStringArriveEvent OnAdditionalSMSText;
    TStringArriveEvent OnModemData;
    iOutputSettingArriveEvent OnOutputSetting;
    tOnItemNameArriveEvent OnItemName;
    TPhoneNumberArriveEvent OnSMSBackupPhoneNumber;
    TDWORDArriveEvent OnAccessPIN;
    TStringArriveEvent OnSIMpin;
    TWordArriveEvent OnHeartBeatEventId;
    TPhoneNumberArriveEvent OnPhoneNumberAdditionalCR;
    TDWORDArriveEvent OnCPCR;
    TSMSPHraseArriveEvent OnAES128Key;
    // Raised when the module is found but cannot be opened (permission); the text says why
    // and how to mend it. Also kept in OpenError. Raised through the event loop, after the
    // listing that found the module has ended.
    TOpenErrorEvent OnOpenError;

    // ---- sending --------------------------------------------------------------------
    // The only writer: waits until the module is not busy, writes the packet as one
    // 64-byte output report, then holds the gap. Nothing when no module is connected.
    void Send(const tduomenys& Packet);

    void SendConnectionString(const QByteArray& S);
    void SendAPN(const QByteArray& S);
    void SendUserName(const QByteArray& S);
    void SendPassword(const QByteArray& S);
    void SendTCPCR(quint32 W);
    void SendConnectionString2(const QByteArray& S);
    void SendUSBPassword(const QByteArray& S);
    void SendReserveAccount(quint8 Idx, const QByteArray& S);
    void SendOwnerName(const QByteArray& S);
    void SendVEQ2CR(quint32 W);
    void SendPhoneNumber(quint8 Idx, quint8 CR, const QByteArray& S);
    void SendSMSPSTNCR(quint32 W);
    void SendSMSPhrase(quint8 Idx, const QByteArray& S);
    void SendHelpText(quint8 Idx, const QByteArray& S);
    void SendInputSetting(quint8 Idx, quint8 CR, quint8 Violations, quint8 Sensivity, quint16 NoSenseInterval,
                          const tduomenys& CID);
    void SendItemName(quint8 FDNr, quint8 Idx, const QByteArray& S);
    void SendPGMPhoneNumber(quint8 Idx, quint8 CR, const QByteArray& S);
    void SendOutputSetting(quint8 Idx, quint8 CR, quint16 ImpLength);
    void SendInputSMSText(quint8 Idx, const QByteArray& S);
    // Throws EConvertError (and sends nothing) when S holds a non-digit.
    void SendAccessPIN(const QByteArray& S);
    void SendSMSBackupPhoneNumber(quint8 Idx, const QByteArray& S);
    void SendAdditionalSMSText(quint8 Idx, const QByteArray& S);
    void SendSIMpin(const QByteArray& S);
    void SendHeartBeatEventId(bool Flag, quint16 Id);
    void SendPhoneNumberAdditionalCR(quint8 Idx, quint8 CR);
    void SendCPCR(quint32 W);
    void SendAES128Key(quint8 Idx, const QByteArray& S);
    void SendBatchEnd(bool Flag);
    void SendLogin(const QByteArray& S);
    void SendHour(); // the hour of the PC clock

    void ReadConnectionString();
    void ReadUSBPassword();
    void ReadSMSPhrase(quint8 Idx);
    void ReadHelpText(quint8 Idx);
    void ReadInputSetting(quint8 Idx);
    void ReadItemName(quint8 FDNr, quint8 Idx);
    void ReadPGMPhoneNumber(quint8 Idx);
    void ReadOutputSetting(quint8 Idx);
    void ReadAdditionalSMSText(quint8 Idx);
    // Sends (Code, Idx, Sub) and records LastRequest.
    void SendReadRequest(quint8 Code, quint8 Idx, quint8 Sub);

    // True while a send of the link waits, or a report is being handed to the events: the
    // object must not be freed before that code has unwound.
    bool InUse() const { return useDepth_ > 0; }
    // True while a report is being handed to the events (and whatever they set off).
    bool HandlingReport() const { return reportDepth_ > 0; }
    // Runs Fn now, or, while a report is being handled, once that handling has ended (from
    // the event loop): what waits for a person must not hold up the report handling.
    void RunOutsideReports(std::function<void()> Fn);
    // Ends every wait of a send at once (after Closing is set, nothing more is sent).
    void WakeWaits();
    // True while a module is connected that has answered the last packet written to it with
    // its busy bit clear and has not reported busy since: the next packet finds it free. A
    // send that gave up on a module leaves this false until the module reports again.
    bool ModuleFree() const;

    // ---- a module that stops answering ------------------------------------------------
    // While one of these lives, a send that waits for the busy bit gives up once the module
    // has sent no report of any kind for Timing().NoAnswerMs, counted from the later of its
    // last report and the last packet written (it went silent), or has kept its busy bit set
    // for that long since the send began to wait, reports or not (it stays busy): the packet
    // is not written, NoAnswerCount() goes up, LastNoAnswer() says which, and OnNoAnswer is
    // raised. The program's road for packets (a write series, a login, a read) holds one for
    // its whole run, and the read walk holds one for each of its requests. Outside them a
    // send waits as long as it takes. They nest, and one may outlive its link.
    class TAnswerLimit {
    public:
        explicit TAnswerLimit(TVEQ2* Link);
        ~TAnswerLimit();
        TAnswerLimit(const TAnswerLimit&) = delete;
        TAnswerLimit& operator=(const TAnswerLimit&) = delete;

    private:
        QPointer<TVEQ2> link_;
    };
    // Sends given up because the module stopped answering, since the link was made.
    unsigned NoAnswerCount() const { return noAnswerCount_; }
    // How the module behaved when the last of them gave up.
    enum class TNoAnswer { Silent, StaysBusy };
    TNoAnswer LastNoAnswer() const { return lastNoAnswer_; }
    // Raised each time a send gives up for that reason (before it returns).
    TNotifyEvent OnNoAnswer;

    // ---- the read-all walk ----------------------------------------------------------
    // Each request of the walk waits for the busy bit under an answer limit, wherever it is
    // sent from: one that a module keeps waiting past the limit is never written, and the
    // walk then counts as timed out.
    void ReadAll();
    // One step of the walk after a reply at (Code, Idx, Sub).
    void ReadNext(int Code, int Idx, int Sub);
    void RestartReplyTimeout();

    // ---- handlers given to the controller and the device ------------------------------
    void DeviceChange();
    bool DeviceEnumerate(THidDevice* HidDev, int Idx);
    void DeviceUnplug(THidDevice* HidDev);
    void DeviceData(THidDevice* HidDev, quint8 ReportID, const quint8* Data, quint16 Size);

    static int ParseFirmwareVersion(const QString& S);
    static QByteArray TrimTrailingSpaces(const QByteArray& S);
    // The last request code of the walk for a firmware version.
    static int LastWalkCode(int FirmwareVersion);

    const TVEQ2Timing& Timing() const { return timing_; }
    // Tests: new intervals take effect at the next start of each timer.
    void SetTiming(const TVEQ2Timing& Timing);

protected:
    virtual void DoConnect();
    virtual void DoDisconnect();
    virtual void DoReplyArrived(const quint8* Data, std::size_t Size);
    virtual void DoStateArrived(const quint8* Data, std::size_t Size);

private:
    void GapTimerTimer();
    void ReplyTimerTimer();
    void FirstReplyTimerTimer();
    // Reader thread: the status flags of one report, then a wake-up for a waiting send.
    void ReportRead(const quint8* Data, quint16 Size);
    bool MustWaitWhileBusy() const;
    // Sends one packet of the walk under an answer limit; a packet given up ends the walk's
    // waiting as a time-out does.
    void SendWalkPacket(const std::function<void()>& Packet);
    // A send that began to wait at WaitFromMs waits inside an answer limit, and the module
    // has been silent or busy past it: true, with Why.
    bool StoppedAnswering(qint64 WaitFromMs, TNoAnswer* Why = nullptr) const;
    void WakeBusyWaits();
    void HandleReport(const quint8* Data, std::size_t Size);
    void ReleaseDevice(THidDevice*& Dev);
    void RaiseOpenError(const QString& Reason);

    TVEQ2Timing timing_;
    QTimer* GapTimer = nullptr;
    QTimer* ReplyTimer = nullptr;
    QTimer* FirstReplyTimer = nullptr;
    std::vector<QEventLoop*> busyWaits_;
    bool deniedSeen_ = false;
    // The last packet written has been answered by a report with the busy bit clear.
    std::atomic<bool> writeAnswered_{true};
    int useDepth_ = 0;
    int answerLimitDepth_ = 0;
    unsigned noAnswerCount_ = 0;
    TNoAnswer lastNoAnswer_ = TNoAnswer::Silent;
    // Changes whenever a module is connected or let go: a packet belongs to the connection
    // it was sent for, and is never written on a later one.
    quint64 connectionSerial_ = 0;
    // Milliseconds on the steady clock: the last input report (reader thread) and the last
    // packet written.
    std::atomic<qint64> lastReportMs_{0};
    qint64 lastWriteMs_ = 0;
    int reportDepth_ = 0;
    std::vector<std::function<void()>> afterReports_;
    void RunAfterReports();
};
