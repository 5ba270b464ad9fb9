// The read-all walk against a simulated module that answers at once. The walk cannot be
// faster than its own waits: one 4 ms gap after each of its 238 packets and the 1 ms pause
// before the modem data. Prints the elapsed time divided by that floor (goal: at most 1.15).
#include "link/VEQ2_SDK.h"

#include "support/SimHid.h"
#include "support/SimModule.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;

    sim::SimHid hid;
    sim::SimModule module(hid);
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

    if (!sim::WaitUntil([&] { return link.Connected; })) {
        std::fprintf(stderr, "the simulated module was not claimed\n");
        return 1;
    }
    module.SendStatus(); // the first report after connecting is only taken for its sequence
    sim::WaitUntil([&] { return !link.SkipFirstReport; });

    const double floorMs = 238 * 4.0 + 1.0;
    double best = 1e9;
    double sum = 0;
    for (int run = 0; run < runs; ++run) {
        module.ClearLog();
        const int endsBefore = module.Config().batchEnds;
        replies = 0;
        QElapsedTimer clock;
        clock.start();
        link.ReadAll();
        if (!sim::WaitUntil([&] { return !link.ReadingAll && module.Config().batchEnds > endsBefore; }, 30000)) {
            std::fprintf(stderr, "the walk did not end\n");
            return 1;
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        best = ms < best ? ms : best;
        sum += ms;
        std::printf("run %d: %zu packets, %d replies, %.1f ms, ratio %.3f\n", run + 1, module.Packets().size(), replies,
                    ms, ms / floorMs);
    }
    std::printf("floor %.0f ms; best ratio %.3f, mean ratio %.3f (goal <= 1.15)\n", floorMs, best / floorMs,
                sum / runs / floorMs);
    return 0;
}
