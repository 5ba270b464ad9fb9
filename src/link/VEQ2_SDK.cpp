#include "link/VEQ2_SDK.h"

#include "link/HidControllerClass.h"
#include "link/VEQ2_Ids.h"

#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>

namespace {

void ReportDiscardedFault(const char* what)
{
    std::string text = what ? what : "";
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::fprintf(stderr, "VEQ link: a fault while handling a module report was discarded: %s\n", text.c_str());
    std::fflush(stderr);
}

// Highest index and highest sub-index the walk requests, by request code.
int IndexCount(int code)
{
    switch (code) {
    case 0x88: return 1;
    case 0x8B: return 9;
    case 0x8D: return 14;
    case 0x8E: return 2;
    case 0x8F: return 5;
    case 0x90: return 4;
    case 0x91: return 31;
    case 0x92: return 3;
    case 0x93: return 5;
    case 0x96: return 1;
    case 0x9A: return 9;
    case 0x9C: return 1;
    default: return 0;
    }
}

int SubCount(int code)
{
    return code == 0x90 ? 31 : 0;
}

// The short pauses of the walk and the traffic line do not process events.
void PauseOneMs()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// How often a send that waits for the busy bit looks again at conditions that change
// without a wake-up (the program closing, the module found to have stopped).
constexpr int kBusyRecheckMs = 10;

qint64 SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QTimer* MakeTimer(QObject* owner, int interval)
{
    auto* t = new QTimer(owner);
    t->setSingleShot(true);
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(interval);
    return t;
}

} // namespace

TVEQ2::TVEQ2(QObject* AOwner, const TVEQ2Timing& Timing) : QObject(AOwner), timing_(Timing)
{
    Busy = false;
    Closing = false;
    Creating = true;
    Controller = new THidDeviceController(this);
    Controller->SetOnEnumerate([this](THidDevice* d, int i) { return DeviceEnumerate(d, i); });
    Controller->SetOnDeviceUnplug([this](THidDevice* d) { DeviceUnplug(d); });
    // Setting this handler lists the devices at once; Creating makes the link ignore that.
    Controller->SetOnDeviceChange([this](QObject*) { DeviceChange(); });
    Creating = false;

    GapTimer = MakeTimer(this, timing_.GapMs);
    ReplyTimer = MakeTimer(this, timing_.ReplyTimeoutMs);
    FirstReplyTimer = MakeTimer(this, timing_.FirstReplyMs);
    connect(GapTimer, &QTimer::timeout, this, [this] { GapTimerTimer(); });
    connect(ReplyTimer, &QTimer::timeout, this, [this] { ReplyTimerTimer(); });
    connect(FirstReplyTimer, &QTimer::timeout, this, [this] { FirstReplyTimerTimer(); });
}

TVEQ2::~TVEQ2()
{
    ReplyTimer->stop();
    FirstReplyTimer->stop();
    GapTimer->stop();
    for (QEventLoop* loop : busyWaits_)
        loop->quit();
    if (Device != nullptr) {
        // Stop the reports first, then let the program see the module go.
        Device->SetOnData(nullptr);
        THidDevice* dev = Device;
        try {
            DoDisconnect();
        } catch (...) {
        }
        Device = nullptr;
        ReleaseDevice(dev);
    }
    Controller->SetOnEnumerate(nullptr);
    Controller->SetOnDeviceChange(nullptr);
    Controller->SetOnDeviceUnplug(nullptr);
    delete Controller;
    Controller = nullptr;
}

void TVEQ2::SetTiming(const TVEQ2Timing& Timing)
{
    timing_ = Timing;
    GapTimer->setInterval(timing_.GapMs);
    ReplyTimer->setInterval(timing_.ReplyTimeoutMs);
    FirstReplyTimer->setInterval(timing_.FirstReplyMs);
}

// ---- finding and losing the module --------------------------------------------------

void TVEQ2::DeviceChange()
{
    try {
        if (Creating || Device != nullptr)
            return;
        deniedSeen_ = false;
        Controller->Enumerate();
        if (!deniedSeen_ && Device == nullptr)
            OpenError.clear(); // the unusable module is gone: a new one may be reported again
    } catch (...) {
    }
}

bool TVEQ2::DeviceEnumerate(THidDevice* HidDev, int Idx)
{
    try {
        if (HidDev == nullptr || HidDev->VendorID() != VEQ2_VendorID || HidDev->ProductID() != VEQ2_ProductID)
            return true;
        if (!HidDev->HasReadWriteAccess()) {
            // Claiming it would leave a module that never answers: tell the user why instead.
            deniedSeen_ = true;
            QString reason = HidDev->AccessDeniedReason();
            if (reason.isEmpty())
                reason = QStringLiteral("The VEQ module was found but cannot be opened. Install the udev rule "
                                        "packaging/udev/70-veq-loader.rules and plug the module in again.");
            RaiseOpenError(reason);
            return true;
        }
        THidDevice* dev = nullptr;
        if (!Controller->ClaimByIndex(dev, Idx) || dev == nullptr) {
            // It could not be opened now: nothing is held; a permission problem is told.
            if (!Controller->AccessProblem().isEmpty()) {
                deniedSeen_ = true;
                RaiseOpenError(Controller->AccessProblem());
            }
            return true;
        }
        if (Device != nullptr && Device != dev) {
            // A second module in the same listing: the later one is kept, the earlier one
            // is released so that its reader stops.
            THidDevice* earlier = Device;
            Device = nullptr;
            earlier->SetOnData(nullptr);
            ReleaseDevice(earlier);
            // Its last busy bit says nothing about the module that takes its place.
            Busy = false;
        }
        Device = dev;
        OpenError.clear();
        DoConnect();
        // Only now the reports start: the reader thread begins with the data handler.
        if (Device == dev) {
            dev->SetOnReportRead([this](THidDevice*, const quint8* d, quint16 s) { ReportRead(d, s); });
            dev->SetOnData([this](THidDevice* h, quint8 id, const quint8* d, quint16 s) { DeviceData(h, id, d, s); });
        }
    } catch (...) {
    }
    return true;
}

void TVEQ2::RaiseOpenError(const QString& Reason)
{
    if (Reason == OpenError)
        return;
    OpenError = Reason;
    // Raised once the listing is over: a message shown from inside it would hold up every
    // later plug event until the user closes it.
    QMetaObject::invokeMethod(
        this,
        [this, Reason] {
            try {
                // Not when a later listing found the module usable after all.
                if (OnOpenError && OpenError == Reason && !Closing)
                    OnOpenError(Reason);
            } catch (...) {
            }
        },
        Qt::QueuedConnection);
}

void TVEQ2::DeviceUnplug(THidDevice* HidDev)
{
    try {
        // Only the module that the link holds matters; another device going away (an
        // earlier released module included) changes nothing here.
        if (HidDev == nullptr || HidDev != Device)
            return;
        THidDevice* dev = Device;
        DoDisconnect();
        Device = nullptr;
        ReleaseDevice(dev);
    } catch (...) {
    }
}

void TVEQ2::ReleaseDevice(THidDevice*& Dev)
{
    if (Dev != nullptr && Controller != nullptr)
        Controller->Release(Dev);
    Dev = nullptr;
}

void TVEQ2::DoConnect()
{
    ++connectionSerial_;
    // A module that has just come is not yet one that stopped answering.
    lastReportMs_ = SteadyMs();
    writeAnswered_ = true;
    Connected = true;
    SkipFirstReport = true;
    SerialNumber = Device->GetSerialNumber();
    DeviceVersion = QStringLiteral("%1").arg(Device->VersionNumber(), 4, 16, QLatin1Char('0')).toUpper();
    ProductName = Device->GetProductName();
    FirmwareVersion = ParseFirmwareVersion(ProductName);
    if (OnConnect)
        OnConnect(this);
}

void TVEQ2::DoDisconnect()
{
    ++connectionSerial_;
    Connected = false;
    Monitoring = false;
    Error = false;
    Busy = false;
    SerialNumber.clear();
    DeviceVersion.clear();
    ProductName.clear();
    WakeBusyWaits();
    if (OnDisconnect)
        OnDisconnect(this);
}

int TVEQ2::ParseFirmwareVersion(const QString& S)
{
    const qsizetype n = S.size();
    qsizetype start = -1;
    for (qsizetype i = 0; i + 2 < n; ++i) {
        if (S.at(i) == QLatin1Char('v') && S.at(i + 1) == QLatin1Char('.')) {
            start = i + 2;
            break;
        }
    }
    if (start < 0)
        return 1133;
    int value = 0;
    int digits = 0;
    // Up to and including the last character: a version that ends the name counts whole.
    for (qsizetype i = start; i < n && digits < 4; ++i) {
        const char16_t c = S.at(i).unicode();
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            ++digits;
        }
    }
    return digits == 0 ? 1133 : value;
}

QByteArray TVEQ2::TrimTrailingSpaces(const QByteArray& S)
{
    qsizetype n = S.size();
    while (n > 0 && S.at(n - 1) == ' ')
        --n;
    return S.left(n);
}

// ---- sending ------------------------------------------------------------------------

bool TVEQ2::MustWaitWhileBusy() const
{
    // A module that stopped answering ends the wait before its unplug runs: that may wait
    // for the report handler this send is part of.
    return Busy.load() && Connected && !Closing.load() && !(Device != nullptr && Device->IsGone());
}

bool TVEQ2::StoppedAnswering(qint64 WaitFromMs, TNoAnswer* Why) const
{
    if (answerLimitDepth_ <= 0 || timing_.NoAnswerMs <= 0)
        return false;
    const qint64 now = SteadyMs();
    // Silent: no report since the last packet (or the last report). Busy: reports may come,
    // each with the busy bit set, but the packet's turn never does.
    const bool silent = now - std::max(lastReportMs_.load(), lastWriteMs_) >= timing_.NoAnswerMs;
    const bool busy = now - WaitFromMs >= timing_.NoAnswerMs;
    if (Why && (silent || busy))
        *Why = silent ? TNoAnswer::Silent : TNoAnswer::StaysBusy;
    return silent || busy;
}

TVEQ2::TAnswerLimit::TAnswerLimit(TVEQ2* Link) : link_(Link)
{
    if (link_)
        ++link_->answerLimitDepth_;
}

TVEQ2::TAnswerLimit::~TAnswerLimit()
{
    if (link_)
        --link_->answerLimitDepth_;
}

void TVEQ2::WakeBusyWaits()
{
    if (MustWaitWhileBusy())
        return;
    for (QEventLoop* loop : busyWaits_)
        loop->quit();
}

void TVEQ2::WakeWaits()
{
    for (QEventLoop* loop : busyWaits_)
        loop->quit();
}

bool TVEQ2::ModuleFree() const
{
    return Connected && !Busy.load() && writeAnswered_.load();
}

void TVEQ2::Send(const tduomenys& Packet)
{
    if (!Connected)
        return;
    ++useDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{useDepth_};
    // The packet belongs to this connection. The wait below handles events: the module may
    // leave and another be claimed meanwhile, and that one must get nothing of it.
    const quint64 connection = connectionSerial_;
    THidDevice* const device = Device;
    // The packet's turn has come: from now on a module that keeps it waiting is busy.
    const qint64 waitFrom = SteadyMs();
    // Wait for a report with the busy bit clear; events keep being processed meanwhile.
    while (MustWaitWhileBusy()) {
        TNoAnswer why = TNoAnswer::Silent;
        if (StoppedAnswering(waitFrom, &why)) {
            // A hung module stays on the bus and never clears its busy bit: the packet is
            // dropped, and the series it belongs to learns of it. The answer it waited for
            // is given up too, so that a later series is not refused at once: its first
            // packet goes out, and a module that has come to answers it.
            Busy = false;
            ++noAnswerCount_;
            lastNoAnswer_ = why;
            if (OnNoAnswer)
                OnNoAnswer(this);
            return;
        }
        QEventLoop loop;
        QTimer recheck;
        recheck.setTimerType(Qt::PreciseTimer);
        recheck.setInterval(kBusyRecheckMs);
        connect(&recheck, &QTimer::timeout, &loop, [this, &loop, waitFrom] {
            if (!MustWaitWhileBusy() || StoppedAnswering(waitFrom))
                loop.quit();
        });
        recheck.start();
        busyWaits_.push_back(&loop);
        if (MustWaitWhileBusy() && !StoppedAnswering(waitFrom))
            loop.exec();
        busyWaits_.erase(std::find(busyWaits_.begin(), busyWaits_.end(), &loop));
    }
    if (!Connected || Closing || Device == nullptr || Device->IsGone() || Device != device ||
        connectionSerial_ != connection)
        return;
    Busy = true;
    writeAnswered_ = false;
    lastWriteMs_ = SteadyMs();
    QByteArray report(VEQ2_PACKET_LENGTH + 1, '\0');
    const int n = std::min<int>(VEQ2_PACKET_LENGTH, static_cast<int>(Packet.size()));
    for (int i = 0; i < n; ++i)
        report[1 + i] = static_cast<char>(Packet[static_cast<std::size_t>(i)]);
    quint32 written = 0;
    // A failed write is not reported: the next send waits for the busy bit instead.
    (void)Device->WriteReport(report.constData(), static_cast<quint32>(report.size()), written);

    QEventLoop gap;
    connect(GapTimer, &QTimer::timeout, &gap, &QEventLoop::quit);
    GapTimer->start();
    gap.exec();
}

void TVEQ2::GapTimerTimer()
{
    GapTimer->stop();
}

void TVEQ2::SendConnectionString(const QByteArray& S) { if (Connected) Send(packets::SendConnectionString(S)); }
void TVEQ2::SendAPN(const QByteArray& S) { if (Connected) Send(packets::SendAPN(S)); }
void TVEQ2::SendUserName(const QByteArray& S) { if (Connected) Send(packets::SendUserName(S)); }
void TVEQ2::SendPassword(const QByteArray& S) { if (Connected) Send(packets::SendPassword(S)); }
void TVEQ2::SendTCPCR(quint32 W) { if (Connected) Send(packets::SendTCPCR(W)); }
void TVEQ2::SendConnectionString2(const QByteArray& S) { if (Connected) Send(packets::SendConnectionString2(S)); }
void TVEQ2::SendUSBPassword(const QByteArray& S) { if (Connected) Send(packets::SendUSBPassword(S)); }
void TVEQ2::SendReserveAccount(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendReserveAccount(Idx, S)); }
void TVEQ2::SendOwnerName(const QByteArray& S) { if (Connected) Send(packets::SendOwnerName(S)); }
void TVEQ2::SendVEQ2CR(quint32 W) { if (Connected) Send(packets::SendVEQ2CR(W)); }
void TVEQ2::SendPhoneNumber(quint8 Idx, quint8 CR, const QByteArray& S) { if (Connected) Send(packets::SendPhoneNumber(Idx, CR, S)); }
void TVEQ2::SendSMSPSTNCR(quint32 W) { if (Connected) Send(packets::SendSMSPSTNCR(W)); }
void TVEQ2::SendSMSPhrase(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendSMSPhrase(Idx, S)); }
void TVEQ2::SendHelpText(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendHelpText(Idx, S)); }

void TVEQ2::SendInputSetting(quint8 Idx, quint8 CR, quint8 Violations, quint8 Sensivity, quint16 NoSenseInterval,
                             const tduomenys& CID)
{
    if (Connected)
        Send(packets::SendInputSetting(Idx, CR, Violations, Sensivity, NoSenseInterval, CID));
}

void TVEQ2::SendItemName(quint8 FDNr, quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendItemName(FDNr, Idx, S)); }
void TVEQ2::SendPGMPhoneNumber(quint8 Idx, quint8 CR, const QByteArray& S) { if (Connected) Send(packets::SendPGMPhoneNumber(Idx, CR, S)); }
void TVEQ2::SendOutputSetting(quint8 Idx, quint8 CR, quint16 ImpLength) { if (Connected) Send(packets::SendOutputSetting(Idx, CR, ImpLength)); }
void TVEQ2::SendInputSMSText(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendInputSMSText(Idx, S)); }
void TVEQ2::SendAccessPIN(const QByteArray& S) { if (Connected) Send(packets::SendAccessPIN(S)); }
void TVEQ2::SendSMSBackupPhoneNumber(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendSMSBackupPhoneNumber(Idx, S)); }
void TVEQ2::SendAdditionalSMSText(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendAdditionalSMSText(Idx, S)); }
void TVEQ2::SendSIMpin(const QByteArray& S) { if (Connected) Send(packets::SendSIMpin(S)); }
void TVEQ2::SendHeartBeatEventId(bool Flag, quint16 Id) { if (Connected) Send(packets::SendHeartBeatEventId(Flag, Id)); }
void TVEQ2::SendPhoneNumberAdditionalCR(quint8 Idx, quint8 CR) { if (Connected) Send(packets::SendPhoneNumberAdditionalCR(Idx, CR)); }
void TVEQ2::SendCPCR(quint32 W) { if (Connected) Send(packets::SendCPCR(W)); }
void TVEQ2::SendAES128Key(quint8 Idx, const QByteArray& S) { if (Connected) Send(packets::SendAES128Key(Idx, S)); }
void TVEQ2::SendBatchEnd(bool Flag) { if (Connected) Send(packets::SendBatchEnd(Flag)); }
void TVEQ2::SendLogin(const QByteArray& S) { if (Connected) Send(packets::SendLogin(S)); }
void TVEQ2::SendHour() { if (Connected) Send(packets::SendHour(QTime::currentTime().hour())); }

void TVEQ2::ReadConnectionString() { if (Connected) Send(packets::ReadConnectionString()); }
void TVEQ2::ReadUSBPassword() { if (Connected) Send(packets::ReadUSBPassword()); }
void TVEQ2::ReadSMSPhrase(quint8 Idx) { if (Connected) Send(packets::ReadSMSPhrase(Idx)); }
void TVEQ2::ReadHelpText(quint8 Idx) { if (Connected) Send(packets::ReadHelpText(Idx)); }
void TVEQ2::ReadInputSetting(quint8 Idx) { if (Connected) Send(packets::ReadInputSetting(Idx)); }
void TVEQ2::ReadItemName(quint8 FDNr, quint8 Idx) { if (Connected) Send(packets::ReadItemName(FDNr, Idx)); }
void TVEQ2::ReadPGMPhoneNumber(quint8 Idx) { if (Connected) Send(packets::ReadPGMPhoneNumber(Idx)); }
void TVEQ2::ReadOutputSetting(quint8 Idx) { if (Connected) Send(packets::ReadOutputSetting(Idx)); }
void TVEQ2::ReadAdditionalSMSText(quint8 Idx) { if (Connected) Send(packets::ReadAdditionalSMSText(Idx)); }

void TVEQ2::SendReadRequest(quint8 Code, quint8 Idx, quint8 Sub)
{
    if (!Connected)
        return;
    LastRequest = Code | (Idx << 12) | (Sub << 20);
    Send(packets::SendReadRequest(Code, Idx, Sub));
}

// ---- reports ------------------------------------------------------------------------

void TVEQ2::ReportRead(const quint8* Data, quint16 Size)
{
    // Reader thread: only the flags, so that a waiting send sees the busy bit at once.
    if (Data == nullptr || Size == 0)
        return;
    lastReportMs_ = SteadyMs();
    const packets::TStatusFlags f = packets::DecodeStatus(Data[0]);
    Busy = f.Busy;
    Error = f.Error;
    Monitoring = f.Monitoring;
    PasswordRequired = f.PasswordRequired;
    GPRSLocked = f.GPRSLocked;
    if (!f.Busy) {
        writeAnswered_ = true;
        QMetaObject::invokeMethod(this, [this] { WakeBusyWaits(); }, Qt::QueuedConnection);
    }
}

void TVEQ2::DeviceData(THidDevice* HidDev, quint8 ReportID, const quint8* Data, quint16 Size)
{
    (void)ReportID;
    if (HidDev == nullptr || HidDev != Device || Data == nullptr || Size == 0)
        return;
    HandleReport(Data, Size);
}

void TVEQ2::HandleReport(const quint8* Data, std::size_t Size)
{
    ++useDepth_;
    ++reportDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{useDepth_};
    struct LeaveReport {
        TVEQ2& link;
        ~LeaveReport()
        {
            if (--link.reportDepth_ == 0 && !link.afterReports_.empty())
                QMetaObject::invokeMethod(&link, [l = &link] { l->RunAfterReports(); }, Qt::QueuedConnection);
        }
    } leaveReport{*this};
    try {
        const packets::TStatusFlags f = packets::DecodeStatus(Data[0]);
        if (f.Monitoring)
            DoStateArrived(Data, Size);
        if (f.ReplySeq != LastReplySeq) {
            LastReplySeq = f.ReplySeq;
            if (!SkipFirstReport)
                DoReplyArrived(Data, Size);
        }
    } catch (const std::exception& e) {
        // A fault while handling one report must not stop the next one, and nothing may
        // wait for a person here: one line for whoever reads the program's output.
        ReportDiscardedFault(e.what());
    } catch (...) {
        ReportDiscardedFault("unknown fault");
    }
    SkipFirstReport = false;
}

void TVEQ2::RunOutsideReports(std::function<void()> Fn)
{
    if (!Fn)
        return;
    if (reportDepth_ > 0) {
        afterReports_.push_back(std::move(Fn));
        return;
    }
    Fn();
}

void TVEQ2::RunAfterReports()
{
    // Another report may have started in the meantime: its end brings us back.
    if (reportDepth_ > 0)
        return;
    std::vector<std::function<void()>> due;
    due.swap(afterReports_);
    for (auto& fn : due) {
        try {
            fn();
        } catch (const std::exception& e) {
            ReportDiscardedFault(e.what());
        } catch (...) {
            ReportDiscardedFault("unknown fault");
        }
    }
}

void TVEQ2::DoStateArrived(const quint8* Data, std::size_t Size)
{
    const packets::TStateRecord s = packets::DecodeState(Data, Size);
    if (OnState)
        OnState(this, s.ModemFlags, s.ModemCR, s.ModemSR, s.TCPSR, s.OutBufMessCount, s.SentCounter);
    if (OnUsart && s.UsartSeq != LastUsartSeq) {
        if (Size > 10 && Data[10] == '2')
            PauseOneMs();
        LastUsartSeq = s.UsartSeq;
        OnUsart(this, s.Text, s.OutGoing);
    }
}

void TVEQ2::DoReplyArrived(const quint8* Data, std::size_t Size)
{
    using packets::TReplyKind;
    const packets::TReply r = packets::DecodeReply(Data, Size);
    if (r.Kind == TReplyKind::None)
        return;

    // The event of each reply code; an unassigned one ends the handling (and the walk).
    auto str = [&](const TStringArriveEvent& ev) {
        if (!ev)
            return false;
        ev(this, r.Text);
        return true;
    };
    auto idxStr = [&](const TIndexedStringArriveEvent& ev) {
        if (!ev)
            return false;
        ev(this, r.Idx, r.Text);
        return true;
    };
    auto dword = [&](const TDWORDArriveEvent& ev) {
        if (!ev)
            return false;
        ev(this, r.DWord);
        return true;
    };
    auto phone = [&](const TPhoneNumberArriveEvent& ev) {
        if (!ev)
            return false;
        ev(this, r.Idx, r.CR, r.Text);
        return true;
    };
    auto phrase = [&](const TSMSPHraseArriveEvent& ev) {
        if (!ev)
            return false;
        ev(this, r.Idx, r.Text);
        return true;
    };

    bool raised = false;
    switch (r.Code) {
    case 0x80:
        if (OnConnectionString) {
            FirstReplyTimer->stop();
            raised = str(OnConnectionString);
        }
        break;
    case 0x81: raised = str(OnAPN); break;
    case 0x82: raised = str(OnUserName); break;
    case 0x83: raised = str(OnPassword); break;
    case 0x84: raised = dword(OnTCPCR); break;
    case 0x85: raised = str(OnConnectionString2); break;
    case 0x86: raised = str(OnConnectionString3); break;
    case 0x87: raised = str(OnUSBPassword); break;
    case 0x88: raised = idxStr(OnReserveAccount); break;
    case 0x89: raised = str(OnVEQOwnerName); break;
    case 0x8A: raised = dword(OnVEQ2CR); break;
    case 0x8B: raised = phone(OnPhoneNumber); break;
    case 0x8C: raised = dword(OnSMSPSTNCR); break;
    case 0x8D: raised = phrase(OnSMSPhrase); break;
    case 0x8E: raised = phrase(OnHelpText); break;
    case 0x8F:
        if (OnInputSetting) {
            OnInputSetting(this, r.Idx, r.CR, r.Violations, r.Sensivity, r.Word, r.CID);
            raised = true;
        }
        break;
    case 0x90:
        if (OnItemName) {
            OnItemName(this, r.FDNr, r.Idx, r.Text);
            raised = true;
        }
        break;
    case 0x91: raised = phone(OnPGMPhoneNumber); break;
    case 0x92:
        if (OnOutputSetting) {
            OnOutputSetting(this, r.Idx, r.CR, r.Word);
            raised = true;
        }
        break;
    case 0x93: raised = idxStr(OnInputSMSText); break;
    case 0x94: raised = dword(OnAccessPIN); break;
    case 0x95: raised = phone(OnSMSBackupPhoneNumber); break;
    case 0x96: raised = idxStr(OnAdditionalSMSText); break;
    case 0x97: raised = str(OnModemData); break;
    case 0x98: raised = str(OnSIMpin); break;
    case 0x99:
        if (OnHeartBeatEventId) {
            OnHeartBeatEventId(this, r.Word);
            raised = true;
        }
        break;
    case 0x9A: raised = phone(OnPhoneNumberAdditionalCR); break;
    case 0x9B: raised = dword(OnCPCR); break;
    case 0x9C: raised = phrase(OnAES128Key); break;
    default: break;
    }
    if (raised)
        ReadNext(r.WalkCode, r.WalkIdx, r.WalkSub);
}

// ---- the read-all walk --------------------------------------------------------------

int TVEQ2::LastWalkCode(int FirmwareVersion)
{
    if (FirmwareVersion >= 2030)
        return 0x9C;
    if (FirmwareVersion >= 1026)
        return 0x9B;
    if (FirmwareVersion >= 1024)
        return 0x98;
    if (FirmwareVersion >= 1022)
        return 0x97;
    return 0x96;
}

void TVEQ2::ReadAll()
{
    LastRequest = 0;
    TimedOut = false;
    ReadingAll = true;
    RestartReplyTimeout();
    RetryCount = 0;
    FirstReplyTimer->start();
    SendWalkPacket([this] { ReadConnectionString(); });
}

void TVEQ2::SendWalkPacket(const std::function<void()>& Packet)
{
    TAnswerLimit limit(this);
    const unsigned given = noAnswerCount_;
    Packet();
    // The request never went out: no reply can come, so the walk stops waiting for one.
    if (noAnswerCount_ != given && ReadingAll) {
        ReplyTimer->stop();
        FirstReplyTimer->stop();
        RetryCount = 0;
        TimedOut = true;
    }
}

void TVEQ2::ReadNext(int Code, int Idx, int Sub)
{
    if (!ReadingAll)
        return;
    const int last = LastWalkCode(FirmwareVersion);
    // Plain integers: an echoed 255 moves on instead of wrapping back to 0.
    int code = Code;
    int idx = Idx;
    int sub = Sub;
    if (SubCount(code) >= sub + 1) {
        ++sub;
    } else if (IndexCount(code) >= idx + 1) {
        ++idx;
        sub = 0;
    } else {
        ++code;
        if (code == 0x97)
            PauseOneMs();
        if (code > last || code < 0x80) {
            ReadingAll = false;
            TimedOut = false;
            ReplyTimer->stop();
            SendWalkPacket([this] { SendBatchEnd(true); });
            return;
        }
        idx = code == 0x90 ? 1 : 0;
        sub = 0;
    }
    RestartReplyTimeout();
    SendWalkPacket([&] {
        SendReadRequest(static_cast<quint8>(code), static_cast<quint8>(idx), static_cast<quint8>(sub));
    });
}

void TVEQ2::RestartReplyTimeout()
{
    ReplyTimer->stop();
    ReplyTimer->start();
}

void TVEQ2::ReplyTimerTimer()
{
    try {
        ReplyTimer->stop();
        TimedOut = true;
    } catch (...) {
    }
}

void TVEQ2::FirstReplyTimerTimer()
{
    try {
        FirstReplyTimer->stop();
        ++RetryCount;
        RestartReplyTimeout();
        if (RetryCount < 4)
            FirstReplyTimer->start();
        else
            RetryCount = 0;
    } catch (...) {
    }
}
