// "Send data to Module" against a simulated module that answers at once, on two paths: the
// in-memory HID layer, and the real hidapi layer in front of the simulated hidapi library.
// The write cannot be faster than its own waits: the 4 ms gap after each packet plus the
// pause that follows most packets (5 ms; 50 ms between additional texts and help-text
// parts; none after the owner name, the access PIN, the keys and a batch end). Prints the
// elapsed time of the write divided by that sum (goal: at most 1.15 on both paths). The
// read-back that follows is not timed.
#include "editor/Main.h"
#include "editor/MainTables.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit4.h"
#include "editor/Unit5.h"
#include "editor/Unit6.h"
#include "platform/AppPaths.h"
#include "platform/UiDialogs.h"

#include "BenchPaths.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

int PauseAfter(quint8 code)
{
    switch (code) {
    case 0x09: // owner name
    case 0x14: // access PIN
    case 0x1C: // AES keys
    case 0x40:
    case 0x41: // end of a batch
        return 0;
    case 0x0E: // help-text parts
    case 0x16: // additional texts
        return 50;
    default:
        return 5;
    }
}


void Configure(sim::SimModuleConfig& c)
{
    c.connectionString = "10.0.0.1:5000";
    c.tcpCR = 0x0811;
    c.reserveAccounts[0] = "1234";
    c.apn = "internet";
    for (auto& in : c.inputs) {
        in.cr = 0x21; // "Send CID", 24 hours, as the event's preset
        in.cid = {6, 0x11, 0x00, 0x10, 0x01}; // fire alarm, partition 1, zone 1
    }
    c.veq2CR = 0x40 | (600u << 8); // SIM PIN used
    for (int i = 0; i < 10; ++i)
        c.phones[static_cast<size_t>(i)].number = "+37060000" + QByteArray::number(100 + i);
    c.accessPin = 0x1234FFFF;
}

std::vector<quint8> Codes(const WithModule& withModule)
{
    std::vector<quint8> codes;
    withModule([&](sim::SimModule& m) { codes = m.Codes(); });
    return codes;
}

// Returns the best ratio, or a negative value when the write could not be measured.
double Measure(const char* path, int runs, const WithModule& withModule)
{
    withModule([](sim::SimModule& m) { Configure(m.Config()); });
    auto* form = new TForm1();
    Form2 = new TForm2(form);
    Form3 = new TForm3(form);
    Form4 = new TForm4(form);
    Form5 = new TForm5(form);
    Form6 = new TForm6(form);
    auto readDone = [&] {
        if (!form->Link() || !form->Link()->Connected || form->Link()->ReadingAll || form->Timer2->isActive() ||
            form->Timer7->isActive() || Form5->isVisible())
            return false;
        const auto codes = Codes(withModule);
        return !codes.empty() && codes.back() == 0x41;
    };
    struct Free {
        TForm1* form;
        ~Free() { delete form; }
    } free{form};
    if (!sim::WaitUntil(readDone, 30000)) {
        std::fprintf(stderr, "%s: the simulated module was not read\n", path);
        return -1;
    }
    sim::Pump(700); // the lock check after connect

    double best = 1e9;
    double sum = 0;
    for (int run = 0; run < runs; ++run) {
        withModule([](sim::SimModule& m) { m.ClearLog(); });
        QElapsedTimer clock;
        clock.start();
        form->TntButton1Click();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const auto codes = Codes(withModule);
        for (const auto& shown : ui::Record())
            std::fprintf(stderr, "message: %s\n", qPrintable(shown.text));
        ui::ClearRecord();
        double floorMs = 0;
        for (quint8 code : codes)
            floorMs += 4 + PauseAfter(code);
        const double ratio = ms / floorMs;
        best = ratio < best ? ratio : best;
        sum += ratio;
        std::printf("%s run %d: %zu packets, %.1f ms, waits %.0f ms, ratio %.3f\n", path, run + 1, codes.size(), ms,
                    floorMs, ratio);
        if (!sim::WaitUntil(readDone, 30000)) {
            std::fprintf(stderr, "%s: the read-back did not end\n", path);
            return -1;
        }
    }
    std::printf("%s: best ratio %.3f, mean ratio %.3f (goal <= 1.15)\n", path, best, sum / runs);
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ui::SetNonInteractive(true); // a message would otherwise wait for a user
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;

    QTemporaryDir dir;
    const QString bin = QCoreApplication::applicationDirPath();
    for (const char* f : {"comps.txt", "CID_Descriptions.txt", "APN.txt"})
        QFile::copy(bin + "/" + f, dir.path() + "/" + f);
    platform::SetProgramDirForTests(dir.path());

    const int rc =
        MeasureBothPaths([runs](const char* path, const WithModule& m) { return Measure(path, runs, m); });
    platform::SetProgramDirForTests(QString());
    return rc;
}
