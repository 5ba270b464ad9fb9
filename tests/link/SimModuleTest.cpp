// The simulated module, driven through the real controller and reader thread, so that its
// replies arrive as those of a real device do.
#include "link/HidControllerClass.h"
#include "link/VEQ2_Ids.h"

#include "support/SimModule.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QByteArray Packet(std::initializer_list<int> head, const QByteArray& text = QByteArray(), int textAt = -1)
{
    QByteArray p(63, '\0');
    int i = 0;
    for (int b : head) {
        p[i++] = static_cast<char>(b);
    }
    for (int k = 0; k < text.size() && textAt + k < 63; ++k) {
        p[textAt + k] = text[k];
    }
    return p;
}

// A text field as the packet builders fill it.
QByteArray Pad(const QByteArray& text, int width)
{
    return text.leftJustified(width, ' ', true);
}

quint8 B(const QByteArray& r, int i)
{
    return static_cast<quint8>(r[i]);
}

// The program side: one controller that claims the module and keeps every report.
struct Host {
    THidDeviceController controller;
    THidDevice* device = nullptr;
    std::vector<QByteArray> reports;

    bool Connect()
    {
        controller.SetOnEnumerate([this](THidDevice* d, int idx) {
            if (d->VendorID() == VEQ2_VendorID && d->ProductID() == VEQ2_ProductID) {
                controller.ClaimByIndex(device, idx);
            }
            return true;
        });
        controller.SetOnDeviceChange([this](QObject*) {
            if (device == nullptr) {
                controller.Enumerate();
                if (device != nullptr) {
                    device->SetOnData([this](THidDevice*, quint8, const quint8* data, quint16 size) {
                        reports.emplace_back(reinterpret_cast<const char*>(data), size);
                    });
                }
            }
        });
        controller.SetOnDeviceUnplug([this](THidDevice* d) {
            if (d == device) {
                controller.Release(device);
            }
        });
        return sim::WaitUntil([this] { return device != nullptr; });
    }

    void Send(const QByteArray& packet)
    {
        const QByteArray report = QByteArray(1, '\0') + packet;
        quint32 written = 0;
        device->WriteReport(report.constData(), static_cast<quint32>(report.size()), written);
    }

    // Sends and waits for the report with busy clear that ends the command.
    QByteArray Exchange(const QByteArray& packet)
    {
        const size_t before = reports.size();
        Send(packet);
        QByteArray done;
        sim::WaitUntil([&] {
            for (size_t i = before; i < reports.size(); ++i) {
                if ((B(reports[i], 0) & 0x80) == 0) {
                    done = reports[i];
                    return true;
                }
            }
            return false;
        });
        return done;
    }
};

} // namespace

TEST(SimModule, WriteThenReadBackThroughTheReader)
{
    sim::SimHid hid;
    sim::SimModule module(hid);
    Host host;
    ASSERT_TRUE(host.Connect());
    EXPECT_EQ(host.device->GetProductName(), "VEQ4m v.2035 ");
    EXPECT_EQ(host.device->GetSerialNumber(), "VQ00012345");

    // A write: busy at once, then done with the same reply sequence.
    QByteArray ack = host.Exchange(Packet({0x01}, Pad("internet.apn", 50), 1));
    ASSERT_EQ(ack.size(), 64);
    EXPECT_EQ(B(ack, 0), 0x00);
    ASSERT_GE(host.reports.size(), 2u);
    EXPECT_EQ(B(host.reports[0], 0), 0x80);
    EXPECT_EQ(module.Config().apn, QByteArray("internet.apn").append(QByteArray(38, ' ')));

    // A read: the reply carries a new sequence.
    QByteArray reply = host.Exchange(Packet({0x81}));
    EXPECT_EQ(B(reply, 0), 0x01);
    EXPECT_EQ(B(reply, 1), 0x81);
    EXPECT_EQ(reply.mid(2, 50), module.Config().apn);
    EXPECT_EQ(B(reply, 52), 0);
    reply = host.Exchange(Packet({0x84}));
    EXPECT_EQ(B(reply, 0), 0x02);

    const auto packets = module.Packets();
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[0], Packet({0x01}, Pad("internet.apn", 50), 1));
    EXPECT_EQ(module.Codes(), (std::vector<quint8>{0x01, 0x81, 0x84}));
    EXPECT_EQ(module.Log()[0].reportId, 0);
    EXPECT_LE(module.Log()[0].atNs, module.Log()[1].atNs);
}

TEST(SimModule, ReplyLayouts)
{
    sim::SimHid hid;
    sim::SimModule module(hid, {}, false);
    auto& c = module.Config();
    c.phones[3] = {"+37060000000", 0x21, 0x10};
    c.reserveAccounts[1] = "12";
    c.helpText[2] = QByteArray(47, 'h');
    c.itemNames[1][5] = "Kitchen";
    c.smsBackupFlag = 1;
    c.smsBackupPhone = "+3706";
    c.aesKeys[0] = "0123456789";
    c.inputs[2] = {0x05, 3, 7, 0x0102, {6, 1, 0x30, 0x01, 0x23}};
    c.outputs[1] = {0x44, 0x0E10};
    c.accessPin = 0x1234FFFF;
    c.heartBeat = 0x825A;

    QByteArray r = module.ReplyFor(Packet({0x8B, 3}));
    EXPECT_EQ(B(r, 1), 0x8B);
    EXPECT_EQ(B(r, 2), 3);
    EXPECT_EQ(B(r, 3), 0x21);
    EXPECT_EQ(r.mid(4, 15), QByteArray("+37060000000   "));
    r = module.ReplyFor(Packet({0x9A, 3}));
    EXPECT_EQ(B(r, 2), 3);
    EXPECT_EQ(B(r, 3), 0x10);
    r = module.ReplyFor(Packet({0x88, 1}));
    EXPECT_EQ(r.mid(2, 5), QByteArray("\x01" "1200", 5));
    r = module.ReplyFor(Packet({0x8E, 2}));
    EXPECT_EQ(r.mid(3, 46), QByteArray(46, 'h'));
    EXPECT_EQ(B(r, 49), 0);
    r = module.ReplyFor(Packet({0x8E, 0}));
    EXPECT_EQ(r.mid(3, 47), QByteArray(47, ' '));
    r = module.ReplyFor(Packet({0x90, 2, 5}));
    EXPECT_EQ(B(r, 2), 2);
    EXPECT_EQ(B(r, 3), 5);
    EXPECT_EQ(r.mid(4, 16), QByteArray("Kitchen         "));
    r = module.ReplyFor(Packet({0x95, 0}));
    EXPECT_EQ(B(r, 2), 1);
    EXPECT_EQ(r.mid(3, 15), QByteArray("+3706          "));
    r = module.ReplyFor(Packet({0x9C, 0}));
    EXPECT_EQ(r.mid(3, 16), QByteArray("0123456789").append(QByteArray(6, '\0')));
    r = module.ReplyFor(Packet({0x8F, 2}));
    EXPECT_EQ(r.mid(2, 11), QByteArray("\x02\x05\x03\x07\x01\x02\x06\x01\x30\x01\x23", 11));
    r = module.ReplyFor(Packet({0x92, 1}));
    EXPECT_EQ(r.mid(2, 4), QByteArray("\x01\x44\x0E\x10", 4));
    r = module.ReplyFor(Packet({0x94}));
    EXPECT_EQ(r.mid(2, 4), QByteArray("\x12\x34\xFF\xFF", 4));
    r = module.ReplyFor(Packet({0x99}));
    EXPECT_EQ(r.mid(2, 2), QByteArray("\x82\x5A", 2));
    // Out of range: the index is echoed with blank fields; no read request, no reply.
    r = module.ReplyFor(Packet({0x8B, 40}));
    EXPECT_EQ(B(r, 2), 40);
    EXPECT_EQ(r.mid(4, 15), QByteArray(15, ' '));
    EXPECT_TRUE(module.ReplyFor(Packet({0x9D})).isEmpty());
    EXPECT_TRUE(module.ReplyFor(Packet({0x01})).isEmpty());
}

TEST(SimModule, IndexedWritesLandWhereTheyBelong)
{
    sim::SimHid hid;
    sim::SimModule module(hid);
    Host host;
    ASSERT_TRUE(host.Connect());
    host.Exchange(Packet({0x10, 4, 31}, Pad("Partition 8", 16), 3));
    host.Exchange(Packet({0x0F, 5, 1, 2, 3, 0x0A, 0x0B, 6, 1, 2, 3, 4}));
    host.Exchange(Packet({0x1C, 1}, QByteArray("\x00\x01\xFFkey", 6), 2));
    host.Exchange(Packet({0x19, 0x82, 0x5A}));
    host.Exchange(Packet({0x14, 0x12, 0x34, 0xFF, 0xFF}));
    host.Exchange(Packet({0x43, 17}));
    host.Exchange(Packet({0x41}));
    const auto& c = module.Config();
    EXPECT_EQ(c.itemNames[3][31], QByteArray("Partition 8     "));
    EXPECT_EQ(c.inputs[5].noSenseInterval, 0x0A0B);
    EXPECT_EQ(c.inputs[5].cid[4], 4);
    EXPECT_EQ(c.aesKeys[1], QByteArray("\x00\x01\xFFkey", 6).append(QByteArray(10, '\0')));
    EXPECT_EQ(c.heartBeat, 0x825A);
    EXPECT_EQ(c.accessPin, 0x1234FFFFu);
    EXPECT_EQ(c.lastHour, 17);
    EXPECT_EQ(c.batchEnds, 1);
    QByteArray r = host.Exchange(Packet({0x90, 4, 31}));
    EXPECT_EQ(r.mid(1, 19), QByteArray("\x90\x04\x1FPartition 8     ", 19));
}

TEST(SimModule, PasswordLockAndError)
{
    sim::SimHid hid;
    sim::SimModule module(hid);
    module.Config().usbPassword = "1234";
    module.RequirePassword(true);
    module.SetGPRSLocked(true);
    Host host;
    ASSERT_TRUE(host.Connect());

    // A read is acknowledged but not answered while the password is asked for.
    QByteArray r = host.Exchange(Packet({0x80}));
    EXPECT_EQ(B(r, 0), 0x14);
    r = host.Exchange(Packet({0x42}, "9999", 1));
    EXPECT_EQ(B(r, 0), 0x54);  // error, password, lock
    r = host.Exchange(Packet({0x42}, "1234            ", 1));
    EXPECT_EQ(B(r, 0), 0x00);
    r = host.Exchange(Packet({0x80}));
    EXPECT_EQ(B(r, 0), 0x01);
    EXPECT_EQ(B(r, 1), 0x80);
}

TEST(SimModule, SilentBusyStateAndReplug)
{
    sim::SimHid hid;
    sim::SimModule module(hid);
    Host host;
    ASSERT_TRUE(host.Connect());

    module.SetStayBusy(true);
    host.Send(Packet({0x81}));
    sim::Pump(30);
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(B(host.reports[0], 0), 0x80);
    module.SetStayBusy(false);
    ASSERT_TRUE(sim::WaitUntil([&] { return host.reports.size() == 2; }));
    EXPECT_EQ(B(host.reports[1], 0), 0x01);

    module.SetSilent(true);
    host.Send(Packet({0x82}));
    sim::Pump(30);
    EXPECT_EQ(host.reports.size(), 2u);
    EXPECT_EQ(module.Packets().size(), 2u);
    module.SetSilent(false);

    sim::SimStateRecord s;
    s.modemFlags = 1;
    s.modemCR = 2;
    s.modemSR = 3;
    s.tcpSR = 0x0405;
    s.outBufMessCount = 6;
    s.sentCounter = 7;
    s.traffic = "AT+CSQ";
    s.outGoing = false;
    module.SendState(s);
    ASSERT_TRUE(sim::WaitUntil([&] { return host.reports.size() == 3; }));
    const QByteArray st = host.reports[2];
    EXPECT_EQ(B(st, 0), 0x21);
    EXPECT_EQ(st.mid(1, 9), QByteArray("\x01\x02\x03\x04\x05\x06\x07\x41\x06", 9));
    EXPECT_EQ(st.mid(10, 6), QByteArray("AT+CSQ"));
    EXPECT_EQ(B(st, 16), 0);

    const QByteArray before = host.device->PnPInfo()->DeviceInstance();
    module.Replug();
    EXPECT_EQ(module.ReplySequence(), 0);
    ASSERT_TRUE(sim::WaitUntil(
        [&] { return host.device != nullptr && host.device->PnPInfo()->DeviceInstance() != before; }));
    QByteArray r = host.Exchange(Packet({0x81}));
    EXPECT_EQ(B(r, 0), 0x01);
}
