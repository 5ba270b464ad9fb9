// The single-instance guard: counting copies through slot locks in one process, and the
// whole hand-over with real processes. The copies are this test program itself, started
// with a filter that runs only GuardChild.Copy and told its role through the environment.
#include "platform/InstanceGuard.h"
#include "widgets/InstanceControl.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <cstdio>
#include <thread>

#include <unistd.h>

using platform::InstanceGuard;

namespace {

// Names, sizes and times of everything in a folder.
QStringList Snapshot(const QString& dir)
{
    QStringList out;
    for (const QFileInfo& fi : QDir(dir).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        out << fi.fileName() + QLatin1Char(' ') + QString::number(fi.size()) + QLatin1Char(' ') +
                   QString::number(fi.lastModified().toMSecsSinceEpoch());
    out.sort();
    return out;
}

struct GuardDirs {
    QTemporaryDir root;
    QString program; // never run: it only names the shared count
    QString runtime;
    GuardDirs()
    {
        program = root.path() + QStringLiteral("/My Loader/VEQ3Loader");
        runtime = root.path() + QStringLiteral("/run");
        QDir().mkpath(runtime);
        // The guard uses only a folder nobody else can write to, whatever the umask.
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

void Say(const QByteArray& line)
{
    std::fputs(("GUARD " + line + "\n").constData(), stdout);
    std::fflush(stdout);
}

// Runs the event loop until stdin reaches a "quit" line or its end (or a safety limit).
void ServeUntilQuit(const std::function<void()>& poll = {})
{
    QSocketNotifier stdinReady(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinReady, &QSocketNotifier::activated, &stdinReady, [&] {
        char buf[64];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0 || QByteArray(buf, static_cast<int>(n)).contains("quit")) {
            stdinReady.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    QTimer pollTimer;
    if (poll) {
        QObject::connect(&pollTimer, &QTimer::timeout, &pollTimer, poll);
        pollTimer.start(10);
    }
    QTimer::singleShot(60000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// A copy of the program: this test program running only GuardChild.Copy in a role.
class Copy {
public:
    Copy(const GuardDirs& dirs, const QString& role, int maxInstances = 1)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VEQ_GUARD_ROLE"), role);
        env.insert(QStringLiteral("VEQ_GUARD_PROGRAM"), dirs.program);
        env.insert(QStringLiteral("VEQ_GUARD_RUNDIR"), dirs.runtime);
        env.insert(QStringLiteral("VEQ_GUARD_MAX"), QString::number(maxInstances));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        proc.setProcessEnvironment(env);
        proc.setProcessChannelMode(QProcess::SeparateChannels);
        proc.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=GuardChild.Copy")});
    }
    ~Copy()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(5000);
        }
    }
    // Waits until the copy has said the line (without the "GUARD " prefix).
    bool WaitFor(const QByteArray& line, int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (!HasSaid(line)) {
            if (t.elapsed() > ms)
                return false;
            if (proc.state() == QProcess::NotRunning) {
                out += proc.readAllStandardOutput();
                return HasSaid(line);
            }
            QCoreApplication::processEvents();
            proc.waitForReadyRead(50);
            out += proc.readAllStandardOutput();
        }
        return true;
    }
    bool HasSaid(const QByteArray& line) const { return out.contains("GUARD " + line + "\n"); }
    bool Finish(int ms = 20000)
    {
        const bool done = proc.waitForFinished(ms);
        out += proc.readAllStandardOutput();
        return done && proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
    }
    void Quit()
    {
        proc.write("quit\n");
        proc.closeWriteChannel();
    }
    QProcess proc;
    QByteArray out;
};

} // namespace

// Runs only as a copy started by the tests below.
TEST(GuardChild, Copy)
{
    const QString role = qEnvironmentVariable("VEQ_GUARD_ROLE");
    if (role.isEmpty())
        GTEST_SKIP() << "runs only as a copy started by the guard tests";
    const QString program = qEnvironmentVariable("VEQ_GUARD_PROGRAM");
    const QString runtime = qEnvironmentVariable("VEQ_GUARD_RUNDIR");
    const auto maxInstances = static_cast<std::uint32_t>(qEnvironmentVariableIntValue("VEQ_GUARD_MAX"));

    if (role == QLatin1String("block")) {
        // The program block: the guard comes before any window.
        InstanceGuard guard(program, runtime);
        if (!guard.acquire(maxInstances)) {
            const bool asked = guard.askFirstToComeForward();
            Say("TURNED_AWAY asked=" + QByteArray::number(asked) + " count=" + QByteArray::number(guard.count()));
            return;
        }
        guard.setComeForwardHandler([] { Say("CAME_FORWARD"); });
        Say("ADMITTED count=" + QByteArray::number(guard.count()));
        ServeUntilQuit();
        return;
    }
    if (role == QLatin1String("window")) {
        // No guard from the program block: the window's control acquires one itself.
        QWidget window;
        window.setObjectName(QStringLiteral("Form1"));
        auto* control = new TInstanceControl(&window);
        control->setObjectName(QStringLiteral("InstanceControl1"));
        control->setGuardLocation(program, runtime);
        control->setMaxInstances(maxInstances);
        std::uint32_t reached = 0;
        control->OnMaxInstancesReached = [&](QObject*, std::uint32_t handle) { reached = handle; };
        control->setLoading(true);
        control->loaded();
        if (!control->Counted()) {
            // Even a careless caller that shows the window does not put it on screen.
            window.show();
            const bool onScreen = window.windowHandle() && window.windowHandle()->isVisible();
            QTimer::singleShot(10000, qApp, &QCoreApplication::quit); // must not be needed
            QElapsedTimer ran;
            ran.start();
            QCoreApplication::exec();
            Say("TURNED_AWAY onscreen=" + QByteArray::number(onScreen) + " quit=" +
                QByteArray::number(ran.elapsed() < 5000) + " handle=" + QByteArray::number(reached));
            return;
        }
        window.showMinimized();
        Say("ADMITTED pid=" + QByteArray::number(static_cast<qlonglong>(::getpid())));
        bool restored = false;
        ServeUntilQuit([&] {
            if (!restored && !window.isMinimized()) {
                restored = true;
                Say("RESTORED");
            }
        });
        return;
    }
    FAIL() << "unknown role";
}

TEST(InstanceGuard, NameIgnoresSpacesAndBackslashes)
{
    EXPECT_EQ(InstanceGuard::KeyForProgram(QStringLiteral("C:\\Program Files\\VEQ\\Loader.exe")),
              InstanceGuard::KeyForProgram(QStringLiteral("C:ProgramFilesVEQLoader.exe")));
    EXPECT_EQ(InstanceGuard::KeyForProgram(QStringLiteral("/opt/veq loader/VEQ3Loader")),
              InstanceGuard::KeyForProgram(QStringLiteral("/opt/veqloader/VEQ3Loader")));
    EXPECT_NE(InstanceGuard::KeyForProgram(QStringLiteral("/opt/a/VEQ3Loader")),
              InstanceGuard::KeyForProgram(QStringLiteral("/opt/b/VEQ3Loader")));
    EXPECT_EQ(InstanceGuard::KeyForProgram(QStringLiteral("/x")).size(), 32);
}

TEST(InstanceGuard, CountsEachCopyOnceAndNeverBelowZero)
{
    GuardDirs dirs;
    {
        InstanceGuard a(dirs.program, dirs.runtime), b(dirs.program, dirs.runtime);
        EXPECT_EQ(a.count(), 0u);
        ASSERT_TRUE(a.acquire(2));
        EXPECT_TRUE(a.acquire(2)); // asking again does not count again
        EXPECT_EQ(a.count(), 1u);
        ASSERT_TRUE(b.acquire(2));
        EXPECT_EQ(a.count(), 2u);
        EXPECT_NE(a.slot(), b.slot());

        // A third copy is turned away without creating or changing any file.
        const QStringList before = Snapshot(dirs.runtime);
        InstanceGuard c(dirs.program, dirs.runtime);
        EXPECT_FALSE(c.acquire(2));
        EXPECT_FALSE(c.isCounted());
        EXPECT_EQ(c.count(), 2u);
        EXPECT_EQ(c.lastInstanceId(), static_cast<std::uint32_t>(::getpid()));
        EXPECT_EQ(Snapshot(dirs.runtime), before);

        a.release();
        a.release();
        EXPECT_EQ(b.count(), 1u);
        // The freed slot is taken again.
        InstanceGuard d(dirs.program, dirs.runtime);
        EXPECT_TRUE(d.acquire(2));
        EXPECT_EQ(d.slot(), 0);
        EXPECT_EQ(d.count(), 2u);
    }
    InstanceGuard probe(dirs.program, dirs.runtime);
    EXPECT_EQ(probe.count(), 0u);

    // Paths that differ only in spaces share one count; other programs do not.
    InstanceGuard first(dirs.root.path() + QStringLiteral("/a b/VEQ3Loader"), dirs.runtime);
    InstanceGuard same(dirs.root.path() + QStringLiteral("/ab/VEQ3Loader"), dirs.runtime);
    InstanceGuard other(dirs.root.path() + QStringLiteral("/other/VEQ3Loader"), dirs.runtime);
    EXPECT_TRUE(first.acquire(1));
    EXPECT_FALSE(same.acquire(1));
    EXPECT_TRUE(other.acquire(1));

    // No copy at all may run with a limit of 0.
    InstanceGuard none(dirs.root.path() + QStringLiteral("/zero"), dirs.runtime);
    EXPECT_FALSE(none.acquire(0));
    EXPECT_EQ(none.count(), 0u);
}

TEST(InstanceGuard, TurnedAwayCopyAsksTheLastAdmittedToComeForward)
{
    GuardDirs dirs;
    InstanceGuard a(dirs.program, dirs.runtime), b(dirs.program, dirs.runtime);
    ASSERT_TRUE(a.acquire(2));
    ASSERT_TRUE(b.acquire(2));
    int aCalls = 0, bCalls = 0;
    a.setComeForwardHandler([&] { ++aCalls; });

    InstanceGuard c(dirs.program, dirs.runtime);
    ASSERT_FALSE(c.acquire(2));
    // The copy that asks blocks, so it asks from a thread of its own here.
    std::atomic<int> answer{-1};
    std::thread asker([&] { answer = c.askFirstToComeForward(3000) ? 1 : 0; });
    const bool answered = QTest::qWaitFor([&] { return answer != -1; }, 5000);
    asker.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer, 1);
    // b was admitted last; it had no handler yet and gets the request when it sets one.
    EXPECT_EQ(aCalls, 0);
    EXPECT_EQ(bCalls, 0);
    b.setComeForwardHandler([&] { ++bCalls; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return bCalls == 1; }, 2000));

    // Something that is not a request is dropped.
    std::atomic<bool> done{false};
    QByteArray reply;
    const QString socketName = a.socketName(a.slot());
    std::thread stranger([&] {
        QLocalSocket s;
        s.connectToServer(socketName);
        if (s.waitForConnected(2000)) {
            s.write(QByteArray(100, 'x'));
            s.waitForBytesWritten(2000);
            s.waitForReadyRead(500);
            reply = s.readAll();
        }
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
    stranger.join();
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(aCalls, 0);
}

TEST(InstanceControl, OneControlPerProgramReflectingTheProgramGuard)
{
    GuardDirs dirs;
    QWidget window;
    {
        TInstanceControl control(&window);
        EXPECT_EQ(TInstanceControl::Instance(), &control);
        try {
            TInstanceControl second;
            ADD_FAILURE() << "a second control was created";
        } catch (const EInstanceControl& e) {
            EXPECT_STREQ(e.what(), "Only one copy of this component can be dropped on a form!");
        }
        EXPECT_EQ(TInstanceControl::Instance(), &control);
        EXPECT_TRUE(control.Counted());
        EXPECT_TRUE(control.Enabled());
        EXPECT_EQ(control.MaxInstances(), 1u);
        // Disabled, it does nothing when the form has loaded.
        control.setEnabled(false);
        control.loaded();
        EXPECT_EQ(control.Guard(), nullptr);
    }
    EXPECT_EQ(TInstanceControl::Instance(), nullptr);

    // The program block's guard is the one the control reflects and serves.
    InstanceGuard guard(dirs.program, dirs.runtime);
    ASSERT_TRUE(guard.acquire(1));
    InstanceGuard::SetProgram(&guard);
    {
        TInstanceControl control(&window);
        control.setLoading(true);
        control.loaded();
        EXPECT_EQ(control.Guard(), &guard);
        EXPECT_TRUE(control.Counted());
        EXPECT_EQ(guard.count(), 1u);

        window.showMinimized();
        ASSERT_TRUE(window.isMinimized());
        InstanceGuard other(dirs.program, dirs.runtime);
        ASSERT_FALSE(other.acquire(1));
        std::atomic<int> answer{-1};
        std::thread asker([&] { answer = other.askFirstToComeForward(3000) ? 1 : 0; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isMinimized(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer != -1; }, 5000));
        asker.join();
        EXPECT_EQ(answer, 1);
    }
    // The window is gone from the guard's point of view, but the program still counts.
    EXPECT_EQ(guard.count(), 1u);
    InstanceGuard::SetProgram(nullptr);
    window.hide();
}

TEST(InstanceGuardProcesses, SecondCopyHandsOverAndACrashedCopyLocksNobodyOut)
{
    GuardDirs dirs;
    InstanceGuard probe(dirs.program, dirs.runtime);

    auto first = std::make_unique<Copy>(dirs, QStringLiteral("block"));
    ASSERT_TRUE(first->WaitFor("ADMITTED count=1")) << first->out.constData();

    // The second copy asks the first to come forward and ends, touching no file.
    const QStringList before = Snapshot(dirs.runtime);
    {
        Copy second(dirs, QStringLiteral("block"));
        ASSERT_TRUE(second.Finish()) << second.out.constData();
        EXPECT_TRUE(second.HasSaid("TURNED_AWAY asked=1 count=1")) << second.out.constData();
    }
    EXPECT_TRUE(first->WaitFor("CAME_FORWARD"));
    EXPECT_EQ(Snapshot(dirs.runtime), before);
    EXPECT_EQ(probe.count(), 1u);

    // The first copy is killed: its slot is free at once.
    first->proc.kill();
    ASSERT_TRUE(first->proc.waitForFinished(5000));
    EXPECT_EQ(probe.count(), 0u);

    Copy next(dirs, QStringLiteral("block"));
    ASSERT_TRUE(next.WaitFor("ADMITTED count=1")) << next.out.constData();
    {
        // The socket the killed copy left behind was replaced.
        Copy asking(dirs, QStringLiteral("block"));
        ASSERT_TRUE(asking.Finish());
        EXPECT_TRUE(asking.HasSaid("TURNED_AWAY asked=1 count=1")) << asking.out.constData();
    }
    EXPECT_TRUE(next.WaitFor("CAME_FORWARD"));

    // A normal end frees the slot too.
    next.Quit();
    EXPECT_TRUE(next.Finish()) << next.out.constData();
    EXPECT_EQ(probe.count(), 0u);
}

TEST(InstanceGuardProcesses, WindowOfASecondCopyNeverShowsAndTheFirstIsRestored)
{
    GuardDirs dirs;
    InstanceGuard probe(dirs.program, dirs.runtime);
    Copy first(dirs, QStringLiteral("window"));
    const QByteArray pid = QByteArray::number(first.proc.processId());
    ASSERT_TRUE(first.WaitFor("ADMITTED pid=" + pid)) << first.out.constData();
    EXPECT_FALSE(first.HasSaid("RESTORED"));

    Copy second(dirs, QStringLiteral("window"));
    ASSERT_TRUE(second.Finish()) << second.out.constData();
    EXPECT_TRUE(second.HasSaid("TURNED_AWAY onscreen=0 quit=1 handle=" + pid)) << second.out.constData();
    EXPECT_TRUE(first.WaitFor("RESTORED"));
    EXPECT_EQ(probe.count(), 1u);

    first.Quit();
    EXPECT_TRUE(first.Finish());
    EXPECT_EQ(probe.count(), 0u);
}
