#include "support/SimModule.h"

#include <QMetaObject>
#include <QThread>

namespace sim {
namespace {

// The text of a field of width w: cut, then filled.
QByteArray Field(const QByteArray& value, int w, char fill = ' ')
{
    QByteArray r = value.left(w);
    if (r.size() < w) {
        r.append(QByteArray(w - r.size(), fill));
    }
    return r;
}

quint8 At(const QByteArray& p, int i)
{
    return i >= 0 && i < p.size() ? static_cast<quint8>(p[i]) : 0;
}

// w bytes of p from `from`; 0 for bytes past its end.
QByteArray Take(const QByteArray& p, int from, int w)
{
    QByteArray r(w, '\0');
    for (int i = 0; i < w; ++i) {
        r[i] = static_cast<char>(At(p, from + i));
    }
    return r;
}

quint32 Word(const QByteArray& p, int at)
{
    return (quint32(At(p, at)) << 24) | (quint32(At(p, at + 1)) << 16) | (quint32(At(p, at + 2)) << 8) | At(p, at + 3);
}

void Put(QByteArray& r, int at, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size() && at + i < r.size(); ++i) {
        r[at + i] = bytes[i];
    }
}

void PutByte(QByteArray& r, int at, quint32 v)
{
    if (at < r.size()) {
        r[at] = static_cast<char>(v & 0xFF);
    }
}

void PutWord(QByteArray& r, int at, quint32 w)
{
    PutByte(r, at, w >> 24);
    PutByte(r, at + 1, w >> 16);
    PutByte(r, at + 2, w >> 8);
    PutByte(r, at + 3, w);
}

} // namespace

SimModule::SimModule(SimHid& hid, SimModuleOptions options, bool plugNow) : hid_(hid), options_(std::move(options))
{
    clock_.start();
    connect(&monitorTimer_, &QTimer::timeout, this, [this] {
        SendState(monitorState_);
        monitorState_.traffic.clear();  // one traffic line, then plain state records
    });
    if (plugNow) {
        Plug();
    }
}

SimModule::~SimModule()
{
    monitorTimer_.stop();
    if (device_) {
        device_->OnOutputReport = nullptr;
        hid_.Unplug(device_, true);
        device_.reset();
    }
}

QString SimModule::ProductNameFor(int firmware, const QString& type)
{
    return QStringLiteral("%1 v.%2 ").arg(type).arg(firmware, 4, 10, QLatin1Char('0'));
}

void SimModule::Plug(bool notify)
{
    if (device_) {
        return;
    }
    platform::HidDeviceInfo info;
    info.vendorId = options_.vendorId;
    info.productId = options_.productId;
    info.versionNumber = options_.versionNumber;
    info.productString = options_.productName;
    info.serialString = options_.serialNumber;
    info.inputReportLength = options_.inputReportLength;
    info.path = options_.path;
    busy_ = false;
    replySeq_ = 0;
    usartSeq_ = 0;
    passwordRequired_ = requirePassword_;
    pending_.clear();
    device_ = hid_.Plug(info, notify);
    device_->OnOutputReport = [this](const QByteArray& report) {
        if (QThread::currentThread() == thread()) {
            OnWrite(report);
        } else {
            QMetaObject::invokeMethod(this, [this, report] { OnWrite(report); }, Qt::QueuedConnection);
        }
    };
}

void SimModule::Unplug(bool notify)
{
    if (!device_) {
        return;
    }
    device_->OnOutputReport = nullptr;
    hid_.Unplug(device_, notify);
    device_.reset();
    pending_.clear();
    busy_ = false;
}

void SimModule::Replug()
{
    Unplug(true);
    Plug(true);
}

void SimModule::RequirePassword(bool on)
{
    requirePassword_ = on;
    passwordRequired_ = on;
}

quint8 SimModule::StatusByte(bool monitoring) const
{
    quint8 s = replySeq_ & 0x03;
    if (busy_) {
        s |= 0x80;
    }
    if (error_) {
        s |= 0x40;
    }
    if (monitoring) {
        s |= 0x20;
    }
    if (passwordRequired_) {
        s |= 0x10;
    }
    if (gprsLocked_) {
        s |= 0x04;
    }
    return s;
}

QByteArray SimModule::NewReport(quint8 code) const
{
    QByteArray r(options_.inputReportLength, '\0');
    r[0] = static_cast<char>(StatusByte());
    PutByte(r, 1, code);
    return r;
}

void SimModule::SendStatus()
{
    QByteArray r(options_.inputReportLength, '\0');
    r[0] = static_cast<char>(StatusByte());
    Emit(r);
}

void SimModule::SendState(const SimStateRecord& state)
{
    QByteArray r(options_.inputReportLength, '\0');
    if (!state.traffic.isEmpty()) {
        usartSeq_ = (usartSeq_ + 1) & 0x03;
    }
    r[0] = static_cast<char>(StatusByte(true));
    PutByte(r, 1, state.modemFlags);
    PutByte(r, 2, state.modemCR);
    PutByte(r, 3, state.modemSR);
    PutByte(r, 4, state.tcpSR >> 8);
    PutByte(r, 5, state.tcpSR);
    PutByte(r, 6, state.outBufMessCount);
    PutByte(r, 7, state.sentCounter);
    PutByte(r, 8, usartSeq_ | (state.outGoing ? 0x00 : 0x40));
    const int room = std::max(0, static_cast<int>(r.size()) - 10);
    const QByteArray text = state.traffic.left(room);
    PutByte(r, 9, static_cast<quint32>(text.size()));
    Put(r, 10, text);
    Emit(r);
}

void SimModule::SetMonitoring(int ms, const SimStateRecord& state)
{
    monitorState_ = state;
    if (ms <= 0) {
        monitorTimer_.stop();
    } else {
        monitorTimer_.start(ms);
    }
}

void SimModule::SendRawReport(const QByteArray& report)
{
    Emit(report);
}

void SimModule::Emit(QByteArray report)
{
    if (silent_ || !device_) {
        return;
    }
    sent_.push_back(report);
    device_->QueueInputReport(report);
}

std::vector<QByteArray> SimModule::Packets() const
{
    std::vector<QByteArray> r;
    for (const Received& x : log_) {
        r.push_back(x.packet);
    }
    return r;
}

std::vector<quint8> SimModule::Codes() const
{
    std::vector<quint8> r;
    for (const Received& x : log_) {
        r.push_back(At(x.packet, 0));
    }
    return r;
}

void SimModule::ClearLog()
{
    log_.clear();
    sent_.clear();
}

void SimModule::SetStayBusy(bool on)
{
    stayBusy_ = on;
    if (!on) {
        ScheduleNext();
    }
}

void SimModule::OnWrite(const QByteArray& report)
{
    Received r;
    r.atNs = clock_.nsecsElapsed();
    r.atMs = r.atNs / 1000000;
    r.reportId = At(report, 0);
    r.packet = report.mid(1);
    log_.push_back(r);
    if (OnPacket) {
        OnPacket(r.packet);
    }
    if (silent_) {
        return;
    }
    busy_ = true;
    if (busyReportOnReceipt_) {
        SendStatus();
    }
    pending_.push_back(r.packet);
    ScheduleNext();
}

void SimModule::ScheduleNext()
{
    if (scheduled_ || pending_.empty() || stayBusy_) {
        return;
    }
    scheduled_ = true;
    QTimer::singleShot(std::max(0, replyDelayMs_), Qt::PreciseTimer, this, [this] {
        scheduled_ = false;
        ProcessNext();
    });
}

void SimModule::ProcessNext()
{
    if (pending_.empty() || stayBusy_ || !device_) {
        return;
    }
    const QByteArray packet = pending_.front();
    pending_.pop_front();
    busy_ = !pending_.empty();
    const QByteArray reply = Handle(packet);
    if (reply.isEmpty()) {
        SendStatus();
    } else {
        Emit(reply);
    }
    ScheduleNext();
}

QByteArray SimModule::Handle(const QByteArray& packet)
{
    const quint8 code = At(packet, 0);
    if (code == 0x42) {
        const bool right = Take(packet, 1, 16) == Field(config_.usbPassword, 16);
        if (right) {
            passwordRequired_ = false;
            gprsLocked_ = false;
            error_ = false;
        } else {
            error_ = true;
        }
        return QByteArray();
    }
    if (passwordRequired_) {
        return QByteArray();  // acknowledged, not acted upon
    }
    if (code >= 0x80 && code <= 0x9C) {
        replySeq_ = (replySeq_ + 1) & 0x03;
        return ReplyFor(packet);
    }
    Apply(packet);
    return QByteArray();
}

void SimModule::Apply(const QByteArray& p)
{
    SimModuleConfig& c = config_;
    const quint8 idx = At(p, 1);
    switch (At(p, 0)) {
    case 0x00: c.connectionString = Take(p, 1, 50); break;
    case 0x01: c.apn = Take(p, 1, 50); break;
    case 0x02: c.userName = Take(p, 1, 32); break;
    case 0x03: c.password = Take(p, 1, 32); break;
    case 0x04: c.tcpCR = Word(p, 1); break;
    case 0x05: c.connectionString2 = Take(p, 1, 50); break;
    case 0x06: c.connectionString3 = Take(p, 1, 50); break;
    case 0x07: c.usbPassword = Take(p, 1, 16); break;
    case 0x08:
        if (idx < c.reserveAccounts.size()) {
            c.reserveAccounts[idx] = Take(p, 2, 4);
        }
        break;
    case 0x09: c.ownerName = Take(p, 1, 16); break;
    case 0x0A: c.veq2CR = Word(p, 1); break;
    case 0x0B:
        if (idx < c.phones.size()) {
            c.phones[idx].cr = At(p, 2);
            c.phones[idx].number = Take(p, 3, 15);
        }
        break;
    case 0x0C: c.smsPstnCR = Word(p, 1); break;
    case 0x0D:
        if (idx < c.smsPhrases.size()) {
            c.smsPhrases[idx] = Take(p, 2, 16);
        }
        break;
    case 0x0E:
        if (idx < c.helpText.size()) {
            c.helpText[idx] = Take(p, 2, 47);
        }
        break;
    case 0x0F:
        if (idx < c.inputs.size()) {
            auto& in = c.inputs[idx];
            in.cr = At(p, 2);
            in.violations = At(p, 3);
            in.sensitivity = At(p, 4);
            in.noSenseInterval = static_cast<quint16>((At(p, 5) << 8) | At(p, 6));
            for (int i = 0; i < 5; ++i) {
                in.cid[static_cast<size_t>(i)] = At(p, 7 + i);
            }
        }
        break;
    case 0x10: {
        const quint8 group = idx;
        const quint8 item = At(p, 2);
        if (group >= 1 && group <= c.itemNames.size() && item < c.itemNames[0].size()) {
            c.itemNames[group - 1u][item] = Take(p, 3, 16);
        }
        break;
    }
    case 0x11:
        if (idx < c.pgmPhones.size()) {
            c.pgmPhones[idx].mask = At(p, 2);
            c.pgmPhones[idx].number = Take(p, 3, 15);
        }
        break;
    case 0x12:
        if (idx < c.outputs.size()) {
            c.outputs[idx].cr = At(p, 2);
            c.outputs[idx].impLength = static_cast<quint16>((At(p, 3) << 8) | At(p, 4));
        }
        break;
    case 0x13:
        if (idx < c.inputSmsTexts.size()) {
            c.inputSmsTexts[idx] = Take(p, 2, 50);
        }
        break;
    case 0x14: c.accessPin = Word(p, 1); break;
    case 0x15:
        c.smsBackupFlag = idx;
        c.smsBackupPhone = Take(p, 2, 15);
        break;
    case 0x16:
        if (idx < c.additionalSmsTexts.size()) {
            c.additionalSmsTexts[idx] = Take(p, 2, 50);
        }
        break;
    case 0x18: c.simPin = Take(p, 1, 8); break;
    case 0x19: c.heartBeat = static_cast<quint16>((At(p, 1) << 8) | At(p, 2)); break;
    case 0x1A:
        if (idx < c.phones.size()) {
            c.phones[idx].addCR = At(p, 2);
        }
        break;
    case 0x1B: c.cpCR = Word(p, 1); break;
    case 0x1C:
        if (idx < c.aesKeys.size()) {
            c.aesKeys[idx] = Take(p, 2, 16);
        }
        break;
    case 0x40:
    case 0x41: ++c.batchEnds; break;
    case 0x43: c.lastHour = At(p, 1); break;
    default: break;  // 0x17 and unknown codes: acknowledged only
    }
}

QByteArray SimModule::ReplyFor(const QByteArray& p) const
{
    const quint8 code = At(p, 0);
    if (code < 0x80 || code > 0x9C) {
        return QByteArray();
    }
    const SimModuleConfig& c = config_;
    const quint8 idx = At(p, 1);
    QByteArray r = NewReport(code);
    auto indexed = [&](auto& table) -> decltype(&table[0]) {
        return idx < table.size() ? &table[idx] : nullptr;
    };
    switch (code) {
    case 0x80: Put(r, 2, Field(c.connectionString, 50)); break;
    case 0x81: Put(r, 2, Field(c.apn, 50)); break;
    case 0x82: Put(r, 2, Field(c.userName, 32)); break;
    case 0x83: Put(r, 2, Field(c.password, 32)); break;
    case 0x84: PutWord(r, 2, c.tcpCR); break;
    case 0x85: Put(r, 2, Field(c.connectionString2, 50)); break;
    case 0x86: Put(r, 2, Field(c.connectionString3, 50)); break;
    case 0x87: Put(r, 2, Field(c.usbPassword, 16)); break;
    case 0x88: {
        PutByte(r, 2, idx);
        const auto* a = indexed(c.reserveAccounts);
        Put(r, 3, Field(a ? *a : QByteArray(), 4, '0'));
        break;
    }
    case 0x89: Put(r, 2, Field(c.ownerName, 16)); break;
    case 0x8A: PutWord(r, 2, c.veq2CR); break;
    case 0x8B: {
        PutByte(r, 2, idx);
        const auto* ph = indexed(c.phones);
        PutByte(r, 3, ph ? ph->cr : 0);
        Put(r, 4, Field(ph ? ph->number : QByteArray(), 15));
        break;
    }
    case 0x8C: PutWord(r, 2, c.smsPstnCR); break;
    case 0x8D: {
        PutByte(r, 2, idx);
        const auto* s = indexed(c.smsPhrases);
        Put(r, 3, Field(s ? *s : QByteArray(), 16));
        break;
    }
    case 0x8E: {
        // Three parts make one 140-character SMS: the last part carries 46 characters.
        PutByte(r, 2, idx);
        const auto* s = indexed(c.helpText);
        Put(r, 3, Field(s ? *s : QByteArray(), idx == 2 ? 46 : 47));
        break;
    }
    case 0x8F: {
        PutByte(r, 2, idx);
        if (const auto* in = indexed(c.inputs)) {
            PutByte(r, 3, in->cr);
            PutByte(r, 4, in->violations);
            PutByte(r, 5, in->sensitivity);
            PutByte(r, 6, in->noSenseInterval >> 8);
            PutByte(r, 7, in->noSenseInterval);
            for (int i = 0; i < 5; ++i) {
                PutByte(r, 8 + i, in->cid[static_cast<size_t>(i)]);
            }
        }
        break;
    }
    case 0x90: {
        const quint8 group = idx;
        const quint8 item = At(p, 2);
        PutByte(r, 2, group);
        PutByte(r, 3, item);
        QByteArray name;
        if (group >= 1 && group <= c.itemNames.size() && item < c.itemNames[0].size()) {
            name = c.itemNames[group - 1u][item];
        }
        Put(r, 4, Field(name, 16));
        break;
    }
    case 0x91: {
        PutByte(r, 2, idx);
        const auto* ph = indexed(c.pgmPhones);
        PutByte(r, 3, ph ? ph->mask : 0);
        Put(r, 4, Field(ph ? ph->number : QByteArray(), 15));
        break;
    }
    case 0x92: {
        PutByte(r, 2, idx);
        if (const auto* o = indexed(c.outputs)) {
            PutByte(r, 3, o->cr);
            PutByte(r, 4, o->impLength >> 8);
            PutByte(r, 5, o->impLength);
        }
        break;
    }
    case 0x93: {
        PutByte(r, 2, idx);
        const auto* s = indexed(c.inputSmsTexts);
        Put(r, 3, Field(s ? *s : QByteArray(), 50));
        break;
    }
    case 0x94: PutWord(r, 2, c.accessPin); break;
    case 0x95:
        PutByte(r, 2, c.smsBackupFlag);
        Put(r, 3, Field(c.smsBackupPhone, 15));
        break;
    case 0x96: {
        PutByte(r, 2, idx);
        const auto* s = indexed(c.additionalSmsTexts);
        Put(r, 3, Field(s ? *s : QByteArray(), 50));
        break;
    }
    case 0x97: Put(r, 2, Field(c.modemData, 28)); break;
    case 0x98: Put(r, 2, Field(c.simPin, 8)); break;
    case 0x99:
        PutByte(r, 2, c.heartBeat >> 8);
        PutByte(r, 3, c.heartBeat);
        break;
    case 0x9A: {
        PutByte(r, 2, idx);
        const auto* ph = indexed(c.phones);
        PutByte(r, 3, ph ? ph->addCR : 0);
        break;
    }
    case 0x9B: PutWord(r, 2, c.cpCR); break;
    case 0x9C: {
        PutByte(r, 2, idx);
        const auto* k = indexed(c.aesKeys);
        Put(r, 3, Field(k ? *k : QByteArray(), 16, '\0'));
        break;
    }
    default: break;
    }
    return r;
}

} // namespace sim
