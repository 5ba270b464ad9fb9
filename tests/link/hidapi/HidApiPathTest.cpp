// The real HID layer (hidapi), reader thread and link against the simulated module behind
// the simulated hidapi library.
#include "link/HidControllerClass.h"
#include "link/VEQ2_SDK.h"
#include "platform/HidBackend.h"

#include "support/WaitUntil.h"
#include "support/hidapi/SimHidApi.h"

#include <gtest/gtest.h>

TEST(HidApiPath, ConnectAndWalk)
{
    ASSERT_TRUE(sim::SimHidApiLoaded());
    TVEQ2 link;
    int replies = 0;
    link.OnConnectionString = [&](QObject*, const QByteArray&) { ++replies; };
    link.OnConnectionString2 = link.OnConnectionString3 = link.OnAPN = link.OnUserName = link.OnPassword =
        link.OnUSBPassword = link.OnVEQOwnerName = link.OnModemData = link.OnSIMpin = link.OnConnectionString;
    link.OnTCPCR = link.OnVEQ2CR = link.OnSMSPSTNCR = link.OnAccessPIN = link.OnCPCR = [&](QObject*, quint32) { ++replies; };
    link.OnReserveAccount = link.OnInputSMSText = link.OnAdditionalSMSText = [&](QObject*, int, const QByteArray&) { ++replies; };
    link.OnPhoneNumber = link.OnPGMPhoneNumber = link.OnSMSBackupPhoneNumber = link.OnPhoneNumberAdditionalCR =
        [&](QObject*, quint8, quint8, const QByteArray&) { ++replies; };
    link.OnSMSPhrase = link.OnHelpText = link.OnAES128Key = [&](QObject*, quint8, const QByteArray&) { ++replies; };
    link.OnInputSetting = [&](QObject*, quint8, quint8, quint8, quint8, quint16, const tduomenys&) { ++replies; };
    link.OnOutputSetting = [&](QObject*, quint8, quint8, quint16) { ++replies; };
    link.OnItemName = [&](QObject*, quint8, quint8, const QByteArray&) { ++replies; };
    link.OnHeartBeatEventId = [&](QObject*, quint16) { ++replies; };
    ASSERT_TRUE(sim::WaitUntil([&] { return link.Connected; }));
    sim::OnSimModule([](sim::SimModule& m, sim::SimHid&) { m.SendStatus(); });
    ASSERT_TRUE(sim::WaitUntil([&] { return !link.SkipFirstReport; }));
    link.ReadAll();
    EXPECT_TRUE(sim::WaitUntil([&] { return !link.ReadingAll; }, 10000)) << replies;
    EXPECT_EQ(replies, 237);
}
