// The read-all walk against a simulated module that answers at once, on two paths: the
// in-memory HID layer, and the real hidapi layer (with its reader thread) in front of the
// simulated hidapi library. The walk cannot be faster than its own waits: one 4 ms gap
// after each of its 238 packets and the 1 ms pause before the modem data. Prints the
// elapsed time divided by that floor (goal: at most 1.15 on both paths).
#include "link/VEQ2_SDK.h"

#include "BenchPaths.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

void AssignAll(TVEQ2& link, int& replies)
{
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
}

// Returns the best ratio, or a negative value when the walk failed.
double Measure(const char* path, int runs, const WithModule& withModule)
{
    TVEQ2 link;
    int replies = 0;
    AssignAll(link, replies);
    if (!sim::WaitUntil([&] { return link.Connected; })) {
        std::fprintf(stderr, "%s: the simulated module was not claimed\n", path);
        return -1;
    }
    withModule([](sim::SimModule& m) { m.SendStatus(); }); // the first report is only taken for its sequence
    sim::WaitUntil([&] { return !link.SkipFirstReport; });

    const double floorMs = 238 * 4.0 + 1.0;
    double best = 1e9;
    double sum = 0;
    for (int run = 0; run < runs; ++run) {
        int endsBefore = 0;
        withModule([&](sim::SimModule& m) {
            m.ClearLog();
            endsBefore = m.Config().batchEnds;
        });
        replies = 0;
        QElapsedTimer clock;
        clock.start();
        link.ReadAll();
        size_t packets = 0;
        const bool done = sim::WaitUntil(
            [&] {
                bool ended = false;
                withModule([&](sim::SimModule& m) { ended = m.Config().batchEnds > endsBefore; });
                return !link.ReadingAll && ended;
            },
            30000);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (!done) {
            std::fprintf(stderr, "%s: the walk did not end\n", path);
            return -1;
        }
        withModule([&](sim::SimModule& m) { packets = m.Packets().size(); });
        best = ms < best ? ms : best;
        sum += ms;
        std::printf("%s run %d: %zu packets, %d replies, %.1f ms, ratio %.3f\n", path, run + 1, packets, replies, ms,
                    ms / floorMs);
    }
    std::printf("%s: floor %.0f ms; best ratio %.3f, mean ratio %.3f (goal <= 1.15)\n", path, floorMs, best / floorMs,
                sum / runs / floorMs);
    return best / floorMs;
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    return MeasureBothPaths([runs](const char* path, const WithModule& m) { return Measure(path, runs, m); });
}
