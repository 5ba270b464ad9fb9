// The folder of the single-instance guard against folders that other users could have
// prepared: only a real folder of this user that nobody else can write to is used, and
// when there is none the program start says which folder and ends without a crash.
#include "platform/InstanceGuard.h"
#include "platform/UiDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using platform::InstanceGuard;
using platform::InstanceGuardError;

namespace {

// Sets an environment variable for one scope (unset when the value is empty).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

const uid_t kOtherUser = 65534;

// A folder with the given mode (and, when asked, given to another user).
void MakeFolder(const QString& path, mode_t mode, bool otherOwner = false)
{
    ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    if (otherOwner) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser), 0);
    }
}

void MakeLink(const QString& path, const QString& target)
{
    ASSERT_TRUE(QDir().mkpath(target));
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

mode_t Mode(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace

TEST(InstanceGuardFolder, OnlyAFolderOfThisUserThatNobodyElseCanWriteIsUsed)
{
    const bool root = ::getuid() == 0;
    struct Case {
        const char* name;
        bool needsRoot;           // giving a folder to another user takes root
        const char* runtime;      // $XDG_RUNTIME_DIR below the test folder ("" unset)
        std::function<void(const QString& base)> prepare;
        const char* expected;     // the folder used, below the test folder; "" when none is usable
    };
    const Case cases[] = {
        {"runtime folder of this user", false, "run", [](const QString& b) { MakeFolder(b + "/run", 0700); }, "run"},
        {"runtime folder writable by others", false, "run",
         [](const QString& b) { MakeFolder(b + "/run", 0777); }, "cache/veqloader"},
        {"runtime folder writable by its group", false, "run",
         [](const QString& b) { MakeFolder(b + "/run", 0770); }, "cache/veqloader"},
        {"runtime folder is a symbolic link", false, "run",
         [](const QString& b) { MakeLink(b + "/run", b + "/real"); }, "cache/veqloader"},
        {"runtime folder of another user", true, "run",
         [](const QString& b) { MakeFolder(b + "/run", 0700, true); }, "cache/veqloader"},
        {"runtime folder missing", false, "run", [](const QString&) {}, "cache/veqloader"},
        {"no runtime folder, cache folder missing too", false, "", [](const QString&) {}, "cache/veqloader"},
        {"own folder already there and private", false, "",
         [](const QString& b) { MakeFolder(b + "/cache/veqloader", 0700); }, "cache/veqloader"},
        {"own folder planted as a symbolic link", false, "",
         [](const QString& b) {
             MakeFolder(b + "/cache", 0700);
             MakeLink(b + "/cache/veqloader", b + "/elsewhere");
         },
         ""},
        {"own folder planted writable by others", false, "",
         [](const QString& b) { MakeFolder(b + "/cache/veqloader", 0777); }, ""},
        {"own folder planted by another user", true, "",
         [](const QString& b) { MakeFolder(b + "/cache/veqloader", 0700, true); }, ""},
        {"own folder name taken by a file", false, "",
         [](const QString& b) {
             MakeFolder(b + "/cache", 0700);
             QFile f(b + "/cache/veqloader");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && !root)
            continue;
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        const QString base = tmp.path();
        c.prepare(base);
        const ScopedEnv runtime("XDG_RUNTIME_DIR", *c.runtime ? base + "/" + c.runtime : QString());
        const ScopedEnv cache("XDG_CACHE_HOME", base + "/cache");
        const QString expected = *c.expected ? base + "/" + c.expected : QString();
        if (!expected.isEmpty()) {
            EXPECT_EQ(InstanceGuard::DefaultRuntimeDir(), expected);
            if (expected.endsWith("/veqloader")) {
                EXPECT_EQ(Mode(expected), 0700u);
            }
            // The guard works there.
            InstanceGuard guard(base + "/program");
            EXPECT_TRUE(guard.acquire(1));
            EXPECT_EQ(guard.runtimeDir(), expected);
            continue;
        }
        // No usable folder: an error that names ours, and a program start that says so
        // and ends with a non-zero status.
        const QString ours = base + "/cache/veqloader";
        try {
            InstanceGuard::DefaultRuntimeDir();
            ADD_FAILURE() << "no error";
        } catch (const InstanceGuardError& e) {
            EXPECT_TRUE(QString::fromStdString(e.what()).contains(ours)) << e.what();
        }
        ui::ClearRecord();
        InstanceGuard guard(base + "/program");
        std::optional<int> rc;
        EXPECT_NO_THROW(rc = platform::AdmitProgramCopy(guard, 1));
        EXPECT_EQ(rc, std::optional<int>(1));
        ASSERT_EQ(ui::Record().size(), 1u);
        EXPECT_EQ(ui::Record()[0].kind, QStringLiteral("plain"));
        EXPECT_TRUE(ui::Record()[0].text.contains(ours));
        EXPECT_FALSE(guard.isCounted());
    }
}

TEST(InstanceGuardFolder, AGivenFolderIsCheckedToo)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString open = tmp.path() + "/open";
    MakeFolder(open, 0777);
    InstanceGuard guard(tmp.path() + "/program", open);
    try {
        guard.acquire(1);
        ADD_FAILURE() << "no error";
    } catch (const InstanceGuardError& e) {
        EXPECT_TRUE(QString::fromStdString(e.what()).contains(open)) << e.what();
    }
    EXPECT_FALSE(guard.isCounted());
    EXPECT_TRUE(QDir(open).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).isEmpty());

    // A usable one admits the first copy and turns the second away (exit status 0).
    const QString run = tmp.path() + "/run";
    MakeFolder(run, 0700);
    InstanceGuard first(tmp.path() + "/program", run), second(tmp.path() + "/program", run);
    EXPECT_EQ(platform::AdmitProgramCopy(first, 1), std::nullopt);
    EXPECT_EQ(platform::AdmitProgramCopy(second, 1), std::optional<int>(0));
}

TEST(InstanceGuardFolder, SocketFitsUpToTheLongestFolderAndALongerOneIsToldClearly)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    // A local socket's path holds at most 106 bytes; the socket's own name takes 24 of them.
    const auto folder = [&](int length) {
        const QString run = tmp.path() + "/" + QString(length - tmp.path().size() - 1, QLatin1Char('d'));
        MakeFolder(run, 0700);
        return run;
    };
    const QString tooLong = folder(83);
    ui::ClearRecord();
    InstanceGuard refused(tmp.path() + "/program", tooLong);
    EXPECT_EQ(platform::AdmitProgramCopy(refused, 1), std::optional<int>(1));
    ASSERT_EQ(ui::Record().size(), 1u);
    EXPECT_TRUE(ui::Record()[0].text.contains(tooLong));
    EXPECT_TRUE(QDir(tooLong).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).isEmpty());

    // At the longest, a copy turned away asks the first to come forward (from a thread of
    // its own: it blocks while it asks).
    const QString longest = folder(82);
    InstanceGuard first(tmp.path() + "/program", longest), second(tmp.path() + "/program", longest);
    ui::ClearRecord();
    ASSERT_EQ(platform::AdmitProgramCopy(first, 1), std::nullopt);
    int raised = 0;
    first.setComeForwardHandler([&] { ++raised; });
    ASSERT_FALSE(second.acquire(1));
    std::atomic<int> answer{-1};
    std::thread asker([&] { answer = second.askFirstToComeForward(3000) ? 1 : 0; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer != -1 && raised == 1; }, 5000));
    asker.join();
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(ui::Record().empty());
}
