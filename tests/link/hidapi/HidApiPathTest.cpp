// The real HID path: the hidapi layer, its reader thread, the controller, the link and the
// main window against the simulated module behind the simulated hidapi library. The module
// answers from a thread of its own; it vanishes without any device-change notification.
#include "link/HidControllerClass.h"
#include "link/VEQ2_SDK.h"
#include "platform/HidBackend.h"

#include "support/WaitUntil.h"
#include "support/WindowTestBase.h"
#include "support/hidapi/SimHidApi.h"

#include <QElapsedTimer>
#include "editor/Controls.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTimer>

#include <cerrno>
#include <memory>

#include <sys/stat.h>

namespace {

// The module as each test starts: plugged in, answering, with an empty log. Each test runs
// in a process of its own under CTest; this also holds when they share one.
void ResetModule()
{
    sim::SimHidApiFailOpens(0, 0);
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) {
        m.OnPacket = nullptr;
        m.SetSilent(false);
        m.SetStayBusy(false);
        m.Plug(false);
        m.ClearLog();
    });
}

// Touches the module's node as udev does on a "change" event: a new change time, the same
// node. Returns whether the change time moved.
bool RestampNode()
{
    QByteArray path;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { path = m.Device()->Info().path; });
    struct stat before {}, after {};
    if (::stat(path.constData(), &before) != 0)
        return false;
    QThread::msleep(20);  // past the file system's time granularity
    if (::chmod(path.constData(), 0640) != 0 || ::stat(path.constData(), &after) != 0)
        return false;
    return after.st_ino == before.st_ino &&
           (after.st_ctim.tv_sec != before.st_ctim.tv_sec || after.st_ctim.tv_nsec != before.st_ctim.tv_nsec);
}

std::vector<quint8> ModuleCodes()
{
    std::vector<quint8> codes;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { codes = m.Codes(); });
    return codes;
}

class HidApiPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim::SimHidApiLoaded()) << "the simulated hidapi library was not loaded";
        ResetModule();
    }

    void MakeLink()
    {
        link = std::make_unique<TVEQ2>(nullptr, TVEQ2Timing{4, 400, 300});
        link->OnConnect = [this](QObject*) { ++connects; };
        link->OnDisconnect = [this](QObject*) { ++disconnects; };
    }

    void Connect()
    {
        ASSERT_TRUE(sim::WaitUntil([this] { return link->Connected; }));
        // The first report after connecting only sets the reply sequence.
        sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.SendStatus(); });
        ASSERT_TRUE(sim::WaitUntil([this] { return !link->SkipFirstReport; }));
    }

    std::unique_ptr<TVEQ2> link;
    int connects = 0;
    int disconnects = 0;
};

} // namespace

TEST_F(HidApiPath, ConnectsWalksAndWritesOnAHandleOfItsOwn)
{
    MakeLink();
    int replies = 0;
    link->OnConnectionString = link->OnAPN = [&](QObject*, const QByteArray&) { ++replies; };
    Connect();
    EXPECT_EQ(link->ProductName, "VEQ4m v.2035 ");
    EXPECT_EQ(link->SerialNumber, "VQ00012345");
    EXPECT_EQ(link->FirmwareVersion, 2035);

    // Only two events are assigned: the walk stops at the third reply.
    link->ReadAll();
    ASSERT_TRUE(sim::WaitUntil([&] { return replies == 2; }));
    sim::Pump(50);
    EXPECT_EQ(ModuleCodes(), (std::vector<quint8>{0x80, 0x81, 0x82}));

    // The reader's handle and the writer's handle are two connections of the device.
    int connections = 0;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { connections = m.Device()->OpenConnections(); });
    EXPECT_EQ(connections, 2);
}

TEST_F(HidApiPath, FullWalkEndsWithTheBatchEnd)
{
    MakeLink();
    int replies = 0;
    auto count = [&](QObject*, const QByteArray&) { ++replies; };
    link->OnConnectionString = link->OnConnectionString2 = link->OnConnectionString3 = link->OnAPN =
        link->OnUserName = link->OnPassword = link->OnUSBPassword = link->OnVEQOwnerName = link->OnModemData =
            link->OnSIMpin = count;
    link->OnTCPCR = link->OnVEQ2CR = link->OnSMSPSTNCR = link->OnAccessPIN = link->OnCPCR =
        [&](QObject*, quint32) { ++replies; };
    link->OnReserveAccount = link->OnInputSMSText = link->OnAdditionalSMSText =
        [&](QObject*, int, const QByteArray&) { ++replies; };
    link->OnPhoneNumber = link->OnPGMPhoneNumber = link->OnSMSBackupPhoneNumber = link->OnPhoneNumberAdditionalCR =
        [&](QObject*, quint8, quint8, const QByteArray&) { ++replies; };
    link->OnSMSPhrase = link->OnHelpText = link->OnAES128Key = [&](QObject*, quint8, const QByteArray&) { ++replies; };
    link->OnInputSetting = [&](QObject*, quint8, quint8, quint8, quint8, quint16, const tduomenys&) { ++replies; };
    link->OnOutputSetting = [&](QObject*, quint8, quint8, quint16) { ++replies; };
    link->OnItemName = [&](QObject*, quint8, quint8, const QByteArray&) { ++replies; };
    link->OnHeartBeatEventId = [&](QObject*, quint16) { ++replies; };
    Connect();
    link->ReadAll();
    ASSERT_TRUE(sim::WaitUntil([&] { return !link->ReadingAll; }, 10000));
    EXPECT_FALSE(link->TimedOut);
    EXPECT_EQ(replies, 237);
    ASSERT_TRUE(sim::WaitUntil([] { return ModuleCodes().size() == 238u; }));
    EXPECT_EQ(ModuleCodes().back(), 0x41);
}

TEST_F(HidApiPath, VanishedModuleIsLetGoAndASendReturnsAtOnce)
{
    MakeLink();
    Connect();
    // The module takes a command and then loses power: busy stays set, no report follows,
    // and nothing tells the program that it went.
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.SetStayBusy(true); });
    link->SendOwnerName("AB");
    ASSERT_TRUE(sim::WaitUntil([&] { return link->Busy.load(); }));
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.Unplug(false); });
    QElapsedTimer clock;
    clock.start();
    link->SendAPN("internet");
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(link->Connected);
    EXPECT_FALSE(link->Busy);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(link->Device, nullptr);
    sim::Pump(300);
    EXPECT_EQ(disconnects, 1);
}

TEST_F(HidApiPath, ReplugWithTheSamePathIsANewModule)
{
    MakeLink();
    Connect();
    QByteArray before;
    QByteArray after;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) {
        before = m.Device()->Info().path;
        m.Replug();
        after = m.Device()->Info().path;
    });
    EXPECT_EQ(before, after);
    // One listing sees the module go and come back under the same node name.
    platform::SimulateDeviceChangeForTests();
    ASSERT_TRUE(sim::WaitUntil([&] { return connects == 2; }));
    EXPECT_EQ(disconnects, 1);
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.SendStatus(); });
    ASSERT_TRUE(sim::WaitUntil([this] { return !link->SkipFirstReport; }));
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.ClearLog(); });
    link->SendOwnerName("AB");
    link->SendOwnerName("CD");
    EXPECT_EQ(ModuleCodes(), (std::vector<quint8>{0x09, 0x09}));
    EXPECT_TRUE(sim::WaitUntil([&] { return !link->Busy; }));
    sim::Pump(300);
    EXPECT_EQ(disconnects, 1);
    EXPECT_TRUE(link->Connected);
}

TEST_F(HidApiPath, FailedOpenClaimsNothingUntilAListingFindsItUsable)
{
    struct Case {
        const char* name;
        int okOpens;
        int error;
        bool toldWhy;
    };
    // Each open takes two handles (the reader's and the writer's). The two listings before
    // the claim (the link's own and the controller's first) probe the module once each.
    for (const Case c : {Case{"the claim's first handle", 4, EIO, false}, Case{"the claim's second handle", 5, EIO, false},
                         Case{"every handle, no permission", 0, EACCES, true}}) {
        SCOPED_TRACE(c.name);
        ResetModule();
        sim::SimHidApiFailOpens(c.okOpens, c.error);
        std::vector<bool> insideListing;
        MakeLink();
        link->OnOpenError = [&](const QString& reason) {
            insideListing.push_back(link->Controller->HandlingChange());
            EXPECT_TRUE(reason.contains("70-veq-loader.rules"));
        };
        sim::Pump(300);
        EXPECT_FALSE(link->Connected);
        EXPECT_EQ(link->Device, nullptr);
        ASSERT_EQ(link->Controller->Count(), 1);
        THidDevice* dev = link->Controller->Device(0);
        EXPECT_FALSE(dev->IsCheckedOut());
        EXPECT_FALSE(dev->ThreadRunning());
        EXPECT_EQ(insideListing, c.toldWhy ? std::vector<bool>{false} : std::vector<bool>{});
        int connections = -1;
        sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { connections = m.Device()->OpenConnections(); });
        EXPECT_EQ(connections, 0);  // a handle opened before the failure is closed again

        // The cause is mended (a udev rule installed, the node's permission changed): the
        // next device event lists the module again and it is claimed, with both handles.
        sim::SimHidApiFailOpens(0, 0);
        ASSERT_TRUE(RestampNode());
        platform::SimulateDeviceChangeForTests();
        ASSERT_TRUE(sim::WaitUntil([&] { return link->Connected; }));
        sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { connections = m.Device()->OpenConnections(); });
        EXPECT_EQ(connections, 2);
        EXPECT_EQ(connects, 1);
        link.reset();
        connects = disconnects = 0;
    }
}

TEST_F(HidApiPath, LossThatNobodyReportedListsTheModulesOnceMore)
{
    for (const bool readsFail : {false, true}) {
        SCOPED_TRACE(readsFail);
        ResetModule();
        MakeLink();
        Connect();
        // One failed write, or failed reads: the module is taken as gone, and the listing
        // that follows finds it still plugged in.
        sim::OnSimModule([readsFail](sim::SimModule& m, sim::SimHid&) {
            m.Device()->FailReads = readsFail ? 3 : 0;
            m.Device()->FailWrites = !readsFail;
        });
        if (!readsFail)
            link->SendOwnerName("AB");
        ASSERT_TRUE(sim::WaitUntil([&] { return disconnects == 1 && connects == 2; }));
        sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) {
            m.Device()->FailWrites = false;
            m.ClearLog();
        });
        link->SendOwnerName("CD");
        EXPECT_EQ(ModuleCodes(), std::vector<quint8>{0x09});
        EXPECT_TRUE(sim::WaitUntil([&] { return !link->Busy; }));
        EXPECT_EQ(disconnects, 1);
        link.reset();
        connects = disconnects = 0;
    }
}

TEST_F(HidApiPath, LossWhileAReportHandlerWaitsEndsTheWaitAndUnplugsAfterIt)
{
    MakeLink();
    Connect();
    // The first command sent from the handler is the module's last: it loses power, with
    // the busy bit of that command still set and no report to follow.
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) {
        m.OnPacket = [&m](const QByteArray& p) {
            if (static_cast<quint8>(p[0]) == 0x09)
                m.Unplug(false);
        };
        m.ClearLog();
    });
    qint64 waited = -1;
    int disconnectsInHandler = -1;
    link->OnConnectionString = [&](QObject*, const QByteArray&) {
        // Should the wait never end, the test fails rather than hangs.
        QTimer::singleShot(5000, link.get(), [&] {
            link->Closing = true;
            link->WakeWaits();
        });
        link->SendOwnerName("AB");
        QElapsedTimer clock;
        clock.start();
        link->SendOwnerName("CD");
        waited = clock.elapsed();
        disconnectsInHandler = disconnects;
    };
    link->ReadConnectionString();
    ASSERT_TRUE(sim::WaitUntil([&] { return waited >= 0; }, 8000));
    EXPECT_LT(waited, 2000);
    EXPECT_EQ(disconnectsInHandler, 0);
    ASSERT_TRUE(sim::WaitUntil([&] { return disconnects == 1; }));
    EXPECT_FALSE(link->Connected);
    EXPECT_EQ(ModuleCodes(), (std::vector<quint8>{0x80, 0x09}));
}

// ---- the main window on this path ---------------------------------------------------------

namespace {

class HidApiWindow : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        hid.reset();  // the program's real HID layer, in front of the simulated library
        ASSERT_TRUE(sim::SimHidApiLoaded());
        ResetModule();
    }

    bool ReadDone()
    {
        if (!form->Link() || !form->Link()->Connected || form->Link()->ReadingAll || form->Timer2->isActive() ||
            form->Timer7->isActive() || Form5->isVisible())
            return false;
        const auto codes = ModuleCodes();
        return !codes.empty() && codes.back() == 0x41;
    }
};

} // namespace

TEST_F(HidApiWindow, WriteAllReachesTheModule)
{
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) {
        m.Config().apn = "internet";
        m.Config().ownerName = "Owner";
    });
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([this] { return ReadDone(); }, 15000));
    sim::Pump(700);  // the lock check after connect
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) {
        m.ClearLog();
        m.Config().apn.clear();
        m.Config().ownerName.clear();
    });
    form->TntButton1Click();
    ASSERT_TRUE(sim::WaitUntil([this] { return ReadDone(); }, 15000));
    QByteArray apn;
    QByteArray owner;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) {
        apn = m.Config().apn.trimmed();
        owner = m.Config().ownerName.trimmed();
    });
    EXPECT_EQ(apn, "internet");
    EXPECT_EQ(owner, "Owner");
    EXPECT_TRUE(ui::Record().empty());
}

TEST_F(HidApiWindow, ModuleThatVanishesMidWalkLeavesTheNoModuleStateWithoutATimeOut)
{
    SetLinkTiming(600, 400);
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([this] { return ReadDone(); }, 15000));
    sim::Pump(700);
    // The 60th request of the next walk is the module's last: it loses power.
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) {
        m.ClearLog();
        m.OnPacket = [&m, n = 0](const QByteArray&) mutable {
            if (++n == 60)
                m.Unplug(false);
        };
    });
    form->TntButton19Click();
    ASSERT_TRUE(sim::WaitUntil([] { return ModuleCodes().size() >= 60u; }, 10000));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(sim::WaitUntil([this] { return !form->Link()->Connected && !Form5->isVisible(); }, 3000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(form->Image1->isHidden());
    EXPECT_TRUE(form->PageControl1->isHidden());
    // Long after the reply time-out: still no message.
    sim::Pump(1500);
    EXPECT_TRUE(ui::Record().empty()) << ui::Record().front().text.toStdString();
    EXPECT_FALSE(Form5->isVisible());
}

TEST_F(HidApiWindow, ChangeEventsWithoutReplugKeepAnEdit)
{
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([this] { return ReadDone(); }, 15000));
    sim::Pump(700);
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.ClearLog(); });
    form->Edit2->setText(QStringLiteral("edited.apn"));  // typed, not written yet
    ASSERT_TRUE(RestampNode());
    platform::SimulateDeviceChangeForTests();
    sim::Pump(500);
    EXPECT_TRUE(form->Link()->Connected);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("edited.apn"));
    EXPECT_TRUE(ModuleCodes().empty());

    // A write-all with change events in its middle sends everything once and reads back.
    sim::SimModuleConfig before;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) {
        before = m.Config();
        m.OnPacket = [n = 0](const QByteArray&) mutable {
            if (++n % 10 == 0)
                QMetaObject::invokeMethod(qApp, [] {
                    RestampNode();
                    platform::SimulateDeviceChangeForTests();
                }, Qt::QueuedConnection);
        };
    });
    form->TntButton1Click();
    ASSERT_TRUE(sim::WaitUntil([this] { return ReadDone(); }, 20000));
    sim::SimModuleConfig after;
    std::vector<quint8> codes;
    sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) {
        m.OnPacket = nullptr;
        after = m.Config();
        codes = m.Codes();
    });
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x43), 0);  // never connected anew
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x80), 1);
    EXPECT_EQ(after.apn.trimmed(), QByteArray("edited.apn"));
    for (const auto& [a, b] : {std::pair{after.connectionString, before.connectionString},
                               {after.ownerName, before.ownerName}, {after.phones[0].number, before.phones[0].number},
                               {after.itemNames[0][0], before.itemNames[0][0]}})
        EXPECT_EQ(a.trimmed(), b.trimmed());
    EXPECT_EQ(after.inputs[5].cid, before.inputs[5].cid);
    EXPECT_TRUE(ui::Record().empty());
}

TEST_F(HidApiWindow, ModulePluggedInAgainDuringAWriteGetsNoneOfIt)
{
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([this] { return ReadDone(); }, 15000));
    sim::Pump(700);
    // The fifth name is the first module's last packet: it keeps its busy bit, and while
    // the next packet waits for it, it goes and a module comes back on the same node, and
    // udev reports the change.
    std::atomic<std::size_t> backAt{0};
    sim::OnSimModule([&backAt](sim::SimModule& m, sim::SimHid&) {
        m.ClearLog();
        m.OnPacket = [&m, &backAt, n = 0](const QByteArray& p) mutable {
            if (static_cast<quint8>(p[0]) != 0x10 || ++n != 5)
                return;
            m.SetStayBusy(true);
            QTimer::singleShot(20, &m, [&m, &backAt] {
                m.Unplug(false);
                m.SetStayBusy(false);
                backAt = m.Log().size();
                m.Plug(false);
                QMetaObject::invokeMethod(qApp, [] { platform::SimulateDeviceChangeForTests(); },
                                          Qt::QueuedConnection);
            });
        };
    });
    ui::ClearRecord();
    form->TntButton1Click();
    // The module that came back is read by its own connection.
    ASSERT_TRUE(sim::WaitUntil([&] { return backAt > 0 && ReadDone(); }, 20000));
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.OnPacket = nullptr; });
    const auto codes = ModuleCodes();
    ASSERT_LT(backAt.load(), codes.size());
    EXPECT_EQ(codes[backAt], 0x43);
    for (std::size_t i = backAt; i < codes.size(); ++i)
        EXPECT_GE(codes[i], 0x40) << "packet " << i;
    // The module that left is named by its serial number (the one back is the same).
    const QString cut = form->GetLangText(111).arg(form->Link()->SerialNumber);
    ASSERT_FALSE(cut.isEmpty());
    EXPECT_EQ(std::count_if(ui::Record().begin(), ui::Record().end(),
                            [&](const ui::ShownDialog& d) { return d.text == cut; }),
              1);
}
