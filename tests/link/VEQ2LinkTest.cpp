// The module link against the simulated module: discovery, the send handshake, report
// handling, the read-all walk with its time-outs, unplug and reconnect.
#include "link/VEQ2_SDK.h"
#include "link/HidControllerClass.h"

#include "support/SimHid.h"
#include "support/SimModule.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

namespace {

QByteArray Request(int code, int idx = 0, int sub = 0)
{
    QByteArray p(63, '\0');
    p[0] = static_cast<char>(code);
    p[1] = static_cast<char>(idx);
    p[2] = static_cast<char>(sub);
    return p;
}

// Every request of a full read walk up to `last`, then the end-of-batch command, written
// out from the module's table of settings.
std::vector<QByteArray> ExpectedWalk(int last)
{
    const std::map<int, std::pair<int, int>> counts = {
        {0x88, {2, 1}}, {0x8B, {10, 1}}, {0x8D, {15, 1}}, {0x8E, {3, 1}}, {0x8F, {6, 1}},
        {0x91, {32, 1}}, {0x92, {4, 1}}, {0x93, {6, 1}}, {0x96, {2, 1}}, {0x9A, {10, 1}}, {0x9C, {2, 1}},
    };
    std::vector<QByteArray> r;
    for (int code = 0x80; code <= last; ++code) {
        if (code == 0x90) {
            for (int group = 1; group <= 4; ++group)
                for (int name = 0; name < 32; ++name)
                    r.push_back(Request(code, group, name));
            continue;
        }
        const auto it = counts.find(code);
        const int n = it == counts.end() ? 1 : it->second.first;
        for (int i = 0; i < n; ++i)
            r.push_back(Request(code, i));
    }
    r.push_back(Request(0x41));
    return r;
}

class Link : public ::testing::Test {
protected:
    // Fast walk time-outs; the 4 ms gap stays unless a test changes it.
    TVEQ2Timing timing{4, 150, 100};
    sim::SimHid hid;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<TVEQ2> link;
    std::map<int, int> raised; // reply code -> events raised
    int connects = 0;
    int disconnects = 0;

    void MakeModule(int firmware = 2035)
    {
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(firmware);
        module = std::make_unique<sim::SimModule>(hid, o);
    }

    void MakeLink(bool assignAll = true)
    {
        link = std::make_unique<TVEQ2>(nullptr, timing);
        link->OnConnect = [this](QObject*) { ++connects; };
        link->OnDisconnect = [this](QObject*) { ++disconnects; };
        if (assignAll)
            AssignReplyEvents();
    }

    void Connect()
    {
        ASSERT_TRUE(sim::WaitUntil([this] { return link->Connected; }));
        // The first report after connecting only sets the reply sequence: let it pass.
        module->SendStatus();
        ASSERT_TRUE(sim::WaitUntil([this] { return !link->SkipFirstReport; }));
    }

    void AssignReplyEvents()
    {
        auto s = [this](int code) { return [this, code](QObject*, const QByteArray&) { ++raised[code]; }; };
        auto is = [this](int code) { return [this, code](QObject*, int, const QByteArray&) { ++raised[code]; }; };
        auto dw = [this](int code) { return [this, code](QObject*, quint32) { ++raised[code]; }; };
        auto ph = [this](int code) { return [this, code](QObject*, quint8, quint8, const QByteArray&) { ++raised[code]; }; };
        auto pr = [this](int code) { return [this, code](QObject*, quint8, const QByteArray&) { ++raised[code]; }; };
        TVEQ2& l = *link;
        l.OnConnectionString = s(0x80);
        l.OnAPN = s(0x81);
        l.OnUserName = s(0x82);
        l.OnPassword = s(0x83);
        l.OnTCPCR = dw(0x84);
        l.OnConnectionString2 = s(0x85);
        l.OnConnectionString3 = s(0x86);
        l.OnUSBPassword = s(0x87);
        l.OnReserveAccount = is(0x88);
        l.OnVEQOwnerName = s(0x89);
        l.OnVEQ2CR = dw(0x8A);
        l.OnPhoneNumber = ph(0x8B);
        l.OnSMSPSTNCR = dw(0x8C);
        l.OnSMSPhrase = pr(0x8D);
        l.OnHelpText = pr(0x8E);
        l.OnInputSetting = [this](QObject*, quint8, quint8, quint8, quint8, quint16, const tduomenys&) { ++raised[0x8F]; };
        l.OnItemName = [this](QObject*, quint8, quint8, const QByteArray&) { ++raised[0x90]; };
        l.OnPGMPhoneNumber = ph(0x91);
        l.OnOutputSetting = [this](QObject*, quint8, quint8, quint16) { ++raised[0x92]; };
        l.OnInputSMSText = is(0x93);
        l.OnAccessPIN = dw(0x94);
        l.OnSMSBackupPhoneNumber = ph(0x95);
        l.OnAdditionalSMSText = is(0x96);
        l.OnModemData = s(0x97);
        l.OnSIMpin = s(0x98);
        l.OnHeartBeatEventId = [this](QObject*, quint16) { ++raised[0x99]; };
        l.OnPhoneNumberAdditionalCR = ph(0x9A);
        l.OnCPCR = dw(0x9B);
        l.OnAES128Key = pr(0x9C);
    }

    bool WalkDone(int timeoutMs = 5000)
    {
        return sim::WaitUntil([this] { return !link->ReadingAll && module->Config().batchEnds > 0; }, timeoutMs);
    }

    // A reply report with a reply sequence the link has not seen yet.
    QByteArray FreshReply(const QByteArray& request)
    {
        QByteArray r = module->ReplyFor(request);
        r[0] = static_cast<char>((static_cast<quint8>(r[0]) & 0xFC) | ((link->LastReplySeq + 1) & 3));
        return r;
    }
};

} // namespace

TEST_F(Link, ModulePresentAtStartIsClaimedAfterFirstEventLoopPass)
{
    MakeModule(2035);
    MakeLink();
    EXPECT_FALSE(link->Connected);
    QCoreApplication::processEvents();
    EXPECT_TRUE(link->Connected);
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(link->ProductName, "VEQ4m v.2035 ");
    EXPECT_EQ(link->SerialNumber, "VQ00012345");
    EXPECT_EQ(link->DeviceVersion, "0100");
    EXPECT_EQ(link->FirmwareVersion, 2035);
    EXPECT_TRUE(link->SkipFirstReport);
}

TEST(LinkFirmware, ParseFirmwareVersion)
{
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ4m v.2035x"), 2035);
    // The version that ends the name counts whole.
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ4m v.2035"), 2035);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ3 v.1.0.2.4a"), 1024);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ3 v.12"), 12);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ3"), 1133);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ3 v.x"), 1133);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("VEQ3 v."), 1133);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("V.2035"), 1133);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion(""), 1133);
    EXPECT_EQ(TVEQ2::ParseFirmwareVersion("a v.1 v.2"), 12);
    EXPECT_EQ(TVEQ2::TrimTrailingSpaces(QByteArray("a b  ")), "a b");
    EXPECT_EQ(TVEQ2::TrimTrailingSpaces(QByteArray("   ")), "");
}

TEST_F(Link, NoWriteWhileBusyAndGapAfterEachWrite)
{
    timing = TVEQ2Timing(); // exact defaults
    MakeModule();
    MakeLink();
    Connect();
    EXPECT_EQ(link->Timing().GapMs, 4);
    EXPECT_EQ(link->Timing().ReplyTimeoutMs, 6000);
    EXPECT_EQ(link->Timing().FirstReplyMs, 4000);

    module->SetStayBusy(true);
    link->SendOwnerName("A");
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Busy.load(); }));
    QTimer::singleShot(80, [this] { module->SetStayBusy(false); });
    QElapsedTimer clock;
    clock.start();
    link->SendOwnerName("B"); // waits until the module is no longer busy
    EXPECT_GE(clock.elapsed(), 75);
    ASSERT_EQ(module->Log().size(), 2u);
    EXPECT_GE(module->Log()[1].atMs - module->Log()[0].atMs, 75);

    // Several sends in a row: at least 4 ms between consecutive writes.
    for (int i = 0; i < 5; ++i)
        link->SendHeartBeatEventId(true, static_cast<quint16>(i));
    const auto& log = module->Log();
    ASSERT_EQ(log.size(), 7u);
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_GE(log[i].atNs - log[i - 1].atNs, 4'000'000) << i;
    EXPECT_EQ(log[2].packet.left(3), QByteArray("\x19\x80\x00", 3));
    EXPECT_EQ(log[0].reportId, 0);
    EXPECT_EQ(log[0].packet.size(), 63);
}

TEST_F(Link, FirstReportAfterConnectRaisesNothing)
{
    MakeModule();
    MakeLink();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Connected; }));
    QByteArray reply = module->ReplyFor(Request(0x89));
    reply[0] = static_cast<char>((static_cast<quint8>(reply[0]) & 0xFC) | 1);
    module->SendRawReport(reply);
    ASSERT_TRUE(sim::WaitUntil([this] { return !link->SkipFirstReport; }));
    EXPECT_EQ(link->LastReplySeq, 1);
    EXPECT_EQ(raised[0x89], 0);
    // The same sequence again raises nothing; a new one does.
    module->SendRawReport(reply);
    reply[0] = static_cast<char>((static_cast<quint8>(reply[0]) & 0xFC) | 2);
    module->SendRawReport(reply);
    ASSERT_TRUE(sim::WaitUntil([this] { return raised[0x89] > 0; }));
    sim::Pump(20);
    EXPECT_EQ(raised[0x89], 1);
    // Nothing of a reply to a single request continues a walk that is not running.
    EXPECT_TRUE(module->Log().empty());
}

TEST_F(Link, FullReadWalkForEachFirmwareBand)
{
    timing.GapMs = 1;
    const struct {
        int firmware;
        int last;
        std::size_t requests;
    } bands[] = {{1021, 0x96, 221}, {1023, 0x97, 222}, {1025, 0x98, 223}, {2029, 0x9B, 235}, {2035, 0x9C, 237}};
    for (const auto& b : bands) {
        link.reset();
        module.reset();
        raised.clear();
        MakeModule(b.firmware);
        MakeLink();
        Connect();
        ASSERT_EQ(link->FirmwareVersion, b.firmware);
        link->ReadAll();
        ASSERT_TRUE(WalkDone()) << b.firmware;
        const std::vector<QByteArray> expected = ExpectedWalk(b.last);
        ASSERT_EQ(expected.size(), b.requests + 1);
        const std::vector<QByteArray> got = module->Packets();
        ASSERT_EQ(got.size(), expected.size()) << b.firmware;
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], expected[i]) << b.firmware << " request " << i;
        EXPECT_FALSE(link->ReadingAll);
        EXPECT_FALSE(link->TimedOut);
        EXPECT_EQ(raised[0x90], 128);
        EXPECT_EQ(raised[0x91], 32);
        EXPECT_EQ(raised[b.last], std::count_if(expected.begin(), expected.end(), [&](const QByteArray& p) {
                      return static_cast<quint8>(p[0]) == b.last;
                  }));
        // The last walk request: code | index << 12 | sub-index << 20.
        const QByteArray& lastReq = expected[expected.size() - 2];
        EXPECT_EQ(link->LastRequest, static_cast<quint8>(lastReq[0]) | (static_cast<quint8>(lastReq[1]) << 12));
    }
}

TEST_F(Link, NoFirstReplyTimesOutAfterFourRestartsAndSendsNothingAgain)
{
    MakeModule();
    MakeLink();
    Connect();
    module->SetSilent(true);
    QElapsedTimer clock;
    clock.start();
    link->ReadAll();
    // 4 x 100 + 150 ms with these intervals (4 x 4000 + 6000 by default).
    sim::Pump(450);
    EXPECT_FALSE(link->TimedOut);
    ASSERT_TRUE(sim::WaitUntil([this] { return link->TimedOut; }, 2000));
    EXPECT_GE(clock.elapsed(), 545);
    EXPECT_TRUE(link->ReadingAll);
    EXPECT_EQ(link->LastRequest, 0);
    EXPECT_EQ(link->RetryCount, 0);
    sim::Pump(300);
    EXPECT_EQ(module->Packets().size(), 1u);
}

TEST_F(Link, LaterRequestTimesOutAndALateReplyContinuesTheWalk)
{
    timing.GapMs = 1;
    MakeModule();
    MakeLink();
    Connect();
    link->OnPhoneNumber = [this](QObject*, quint8 idx, quint8, const QByteArray&) {
        ++raised[0x8B];
        if (idx == 4)
            module->SetSilent(true); // the request for phone 5 stays unanswered
    };
    QElapsedTimer clock;
    link->ReadAll();
    ASSERT_TRUE(sim::WaitUntil([this] { return raised[0x8B] == 5; }));
    ASSERT_TRUE(sim::WaitUntil([this] { return module->Packets().back() == Request(0x8B, 5); }));
    clock.start();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->TimedOut; }, 2000));
    EXPECT_GE(clock.elapsed(), 120);
    EXPECT_EQ(link->LastRequest, 0x8B | (5 << 12));
    EXPECT_TRUE(link->ReadingAll);
    const std::size_t sent = module->Packets().size();
    EXPECT_EQ(module->Packets().back(), Request(0x8B, 5));
    sim::Pump(200);
    EXPECT_EQ(module->Packets().size(), sent);

    module->SetSilent(false);
    module->SendRawReport(FreshReply(Request(0x8B, 5)));
    ASSERT_TRUE(WalkDone());
    EXPECT_FALSE(link->TimedOut);
    EXPECT_EQ(module->Packets().size(), ExpectedWalk(0x9C).size());
}

TEST_F(Link, UnassignedEventEndsTheWalk)
{
    timing.GapMs = 1;
    MakeModule();
    MakeLink();
    link->OnSMSPhrase = nullptr;
    Connect();
    link->ReadAll();
    ASSERT_TRUE(sim::WaitUntil([this] { return !module->Packets().empty() && module->Packets().back()[0] == '\x8D'; }));
    sim::Pump(100);
    EXPECT_EQ(module->Packets().back(), Request(0x8D, 0));
    EXPECT_TRUE(link->ReadingAll);
}

TEST_F(Link, EchoedPositionsOutsideTheTablesEndNothingBadly)
{
    timing.GapMs = 1;
    MakeModule(2035);
    MakeLink(false); // replies raise nothing, so only the steps called here are taken
    Connect();
    link->ReadingAll = true;
    link->ReadNext(0x8B, 255, 0); // no 8-bit wrap back to index 0
    EXPECT_EQ(module->Packets().back(), Request(0x8C));
    link->ReadNext(0x90, 4, 255);
    EXPECT_EQ(module->Packets().back(), Request(0x91));
    link->ReadNext(0x90, 255, 255);
    EXPECT_EQ(module->Packets().back(), Request(0x91));
    link->ReadNext(0x9C, 200, 200);
    EXPECT_FALSE(link->ReadingAll);
    EXPECT_EQ(module->Packets().back(), Request(0x41));
    // A walk position beyond the firmware's last code ends the walk too.
    link->FirmwareVersion = 1021;
    link->ReadingAll = true;
    link->ReadNext(0x9A, 9, 0);
    EXPECT_FALSE(link->ReadingAll);
    EXPECT_EQ(module->Packets().back(), Request(0x41));
    // And a module that echoes an index past the table on its own moves the walk on.
    const std::size_t before = module->Packets().size();
    link->ReadNext(0x8B, 3, 0); // not walking: nothing
    EXPECT_EQ(module->Packets().size(), before);
}

TEST_F(Link, UnplugInTheMiddleOfAWalk)
{
    timing.GapMs = 1;
    MakeModule(2035);
    MakeLink();
    Connect();
    link->OnPhoneNumber = [this](QObject*, quint8 idx, quint8, const QByteArray&) {
        if (idx == 3)
            module->Unplug();
    };
    link->ReadAll();
    ASSERT_TRUE(sim::WaitUntil([this] { return !link->Connected; }));
    EXPECT_EQ(disconnects, 1);
    EXPECT_TRUE(link->ProductName.isEmpty());
    EXPECT_TRUE(link->SerialNumber.isEmpty());
    EXPECT_EQ(link->FirmwareVersion, 2035);
    EXPECT_TRUE(link->ReadingAll); // kept; the editor sees the time-out or the disconnect
    EXPECT_FALSE(link->Busy);
    EXPECT_EQ(link->Device, nullptr);
    sim::Pump(50);
    // Nothing more is written to a module that is gone; sends are dropped quietly.
    link->SendOwnerName("x");
    EXPECT_FALSE(module->IsPlugged());

    // Plugged in again: claimed again, and its first report is skipped again.
    const int before = connects;
    module->Plug();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Connected; }));
    EXPECT_EQ(connects, before + 1);
    EXPECT_TRUE(link->SkipFirstReport);
    raised.clear();
    AssignReplyEvents();
    Connect();
    module->ClearLog();
    link->ReadAll();
    ASSERT_TRUE(WalkDone());
    EXPECT_EQ(module->Packets().size(), ExpectedWalk(0x9C).size());
}

TEST_F(Link, UnplugWhileASendWaitsForTheBusyBit)
{
    MakeModule();
    MakeLink();
    Connect();
    module->SetStayBusy(true);
    link->SendOwnerName("A");
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Busy.load(); }));
    QTimer::singleShot(50, [this] { module->Unplug(); });
    link->SendOwnerName("B");
    EXPECT_FALSE(link->Connected);
    EXPECT_EQ(module->Log().size(), 1u);
    EXPECT_EQ(disconnects, 1);
}

TEST_F(Link, ClosingEndsABusyWaitWithoutWriting)
{
    MakeModule();
    MakeLink();
    Connect();
    module->SetStayBusy(true);
    link->SendOwnerName("A");
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Busy.load(); }));
    QTimer::singleShot(30, [this] { link->Closing = true; });
    link->SendOwnerName("B");
    EXPECT_EQ(module->Log().size(), 1u);
    EXPECT_TRUE(link->Connected);
}

TEST_F(Link, PasswordAndLockFlags)
{
    MakeModule();
    MakeLink();
    Connect();
    module->Config().usbPassword = "secret";
    module->RequirePassword(true);
    module->SetGPRSLocked(true);
    module->SendStatus();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->PasswordRequired && link->GPRSLocked; }));
    EXPECT_FALSE(link->Error);
    link->SendLogin("wrong");
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Error.load(); }));
    EXPECT_TRUE(link->PasswordRequired);
    link->SendLogin("secret");
    ASSERT_TRUE(sim::WaitUntil([this] { return !link->PasswordRequired && !link->GPRSLocked && !link->Error; }));
    EXPECT_EQ(module->Packets().back().left(17), QByteArray("\x42secret          ", 17));

    // The flags survive an unplug; Error and Busy do not.
    module->RequirePassword(true);
    module->SetError(true);
    module->SendStatus();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->PasswordRequired && link->Error; }));
    module->Unplug();
    ASSERT_TRUE(sim::WaitUntil([this] { return !link->Connected; }));
    EXPECT_TRUE(link->PasswordRequired);
    EXPECT_FALSE(link->Error);
}

TEST_F(Link, StateRecordRaisesStateThenTraffic)
{
    MakeModule();
    MakeLink();
    Connect();
    std::vector<QString> order;
    QByteArray traffic;
    bool outGoing = true;
    int states = 0;
    link->OnState = [&](QObject*, quint8 f, quint8 cr, quint8 sr, quint16 tcp, quint8 buf, quint8 sent) {
        ++states;
        order.push_back("state");
        EXPECT_EQ(f, 1);
        EXPECT_EQ(cr, 2);
        EXPECT_EQ(sr, 3);
        EXPECT_EQ(tcp, 0x0405);
        EXPECT_EQ(buf, 6);
        EXPECT_EQ(sent, 7);
    };
    link->OnUsart = [&](QObject*, const QByteArray& t, bool out) {
        order.push_back("usart");
        traffic = t;
        outGoing = out;
    };
    sim::SimStateRecord st{1, 2, 3, 0x0405, 6, 7, QByteArray("2 AT+CSQ "), false};
    module->SendState(st);
    ASSERT_TRUE(sim::WaitUntil([&] { return !traffic.isEmpty(); }));
    EXPECT_TRUE(link->Monitoring);
    EXPECT_EQ(traffic, "2 AT+CSQ ");
    EXPECT_FALSE(outGoing);
    // The same traffic sequence again: state only.
    st.traffic.clear();
    module->SendState(st);
    ASSERT_TRUE(sim::WaitUntil([&] { return states == 2; }));
    sim::Pump(20);
    EXPECT_EQ(order, (std::vector<QString>{"state", "usart", "state"}));
    module->SendStatus();
    ASSERT_TRUE(sim::WaitUntil([this] { return !link->Monitoring; }));
}

TEST_F(Link, StateAndReplyInOneReport)
{
    MakeModule();
    MakeLink();
    Connect();
    std::vector<int> order;
    link->OnState = [&](QObject*, quint8, quint8, quint8, quint16, quint8, quint8) { order.push_back(1); };
    link->OnAPN = [&](QObject*, const QByteArray&) { order.push_back(2); };
    QByteArray r = FreshReply(Request(0x81));
    r[0] = static_cast<char>(static_cast<quint8>(r[0]) | 0x20);
    module->SendRawReport(r);
    ASSERT_TRUE(sim::WaitUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(Link, SecondModuleInOneListingIsKeptAndTheFirstReleased)
{
    sim::SimModuleOptions o1;
    o1.serialNumber = "FIRST";
    sim::SimModuleOptions o2;
    o2.serialNumber = "SECOND";
    auto first = std::make_unique<sim::SimModule>(hid, o1);
    module = std::make_unique<sim::SimModule>(hid, o2);
    MakeLink();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Connected; }));
    EXPECT_EQ(link->SerialNumber, "SECOND");
    sim::Pump(20);
    EXPECT_EQ(first->Device()->OpenConnections(), 0);
    // Unplugging the module that is not held changes nothing.
    first->Unplug();
    sim::Pump(50);
    EXPECT_TRUE(link->Connected);
    EXPECT_EQ(disconnects, 0);
    Connect();
    link->SendOwnerName("AB");
    ASSERT_EQ(module->Packets().size(), 1u);
    EXPECT_TRUE(first->Packets().empty());
    link.reset();
    EXPECT_EQ(disconnects, 1); // freeing the link lets the program see the module go
}

TEST_F(Link, ModuleThatCannotBeOpenedIsReportedWithTheUdevRule)
{
    sim::SimModuleOptions o;
    module = std::make_unique<sim::SimModule>(hid, o, false);
    module->Plug(false);
    module->Device()->OpenError = EACCES;
    std::vector<QString> reasons;
    MakeLink();
    link->OnOpenError = [&](const QString& r) { reasons.push_back(r); };
    sim::Pump(50);
    EXPECT_FALSE(link->Connected);
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_TRUE(reasons[0].contains("packaging/udev/70-veq-loader.rules")) << reasons[0].toStdString();
    EXPECT_EQ(link->OpenError, reasons[0]);
    // Another device change does not repeat the same message.
    hid.NotifyChange();
    sim::Pump(20);
    EXPECT_EQ(reasons.size(), 1u);
    // With access granted and the module plugged in again it is claimed.
    module->Unplug();
    sim::Pump(20);
    module->Plug();
    ASSERT_TRUE(sim::WaitUntil([this] { return link->Connected; }));
    EXPECT_TRUE(link->OpenError.isEmpty());
}

TEST_F(Link, PermissionMessageDoesNotHoldUpPlugEvents)
{
    sim::SimModuleOptions o;
    module = std::make_unique<sim::SimModule>(hid, o, false);
    module->Plug(false);
    module->Device()->OpenError = EACCES;
    std::unique_ptr<sim::SimModule> second;
    bool claimedWhileShown = false;
    MakeLink();
    // The message is shown after the listing; a module plugged in while it is open is found.
    link->OnOpenError = [&](const QString&) {
        EXPECT_FALSE(link->Controller->HandlingChange());
        second = std::make_unique<sim::SimModule>(hid);
        claimedWhileShown = sim::WaitUntil([this] { return link->Connected; }, 1000);
    };
    ASSERT_TRUE(sim::WaitUntil([&] { return second != nullptr; }));
    EXPECT_TRUE(claimedWhileShown);
    link.reset();
}

TEST_F(Link, CommandsWithoutAModuleAreDropped)
{
    MakeLink();
    sim::Pump(20);
    EXPECT_FALSE(link->Connected);
    link->SendAPN("x");
    link->SendAccessPIN("12x4"); // not even checked without a module
    link->ReadAll();
    EXPECT_EQ(link->LastRequest, 0);
    MakeModule();
    Connect();
    EXPECT_THROW(link->SendAccessPIN("12x4"), EConvertError);
    EXPECT_TRUE(module->Packets().empty());
    link->SendAccessPIN("1234");
    ASSERT_EQ(module->Packets().size(), 1u);
    EXPECT_EQ(module->Packets()[0].left(5), QByteArray("\x14\x12\x34\xFF\xFF", 5));
}
