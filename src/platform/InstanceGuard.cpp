#include "platform/InstanceGuard.h"

#include "platform/UiDialogs.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

InstanceGuard* g_program = nullptr;

// How long a copy waits for another that is in the middle of counting itself.
constexpr int kGateWaitMs = 2000;
// A request line and the answer to it.
constexpr char kRequest[] = "raise\n";
constexpr char kAnswer[] = "ok\n";
constexpr int kMaxRequestBytes = 64;

[[noreturn]] void ThrowOsError(const QString& what, int err)
{
    throw InstanceGuardError((what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err))).toStdString());
}

// Opens an existing file (or creates it when create is set) without following links and
// without handing the descriptor to programs this one starts.
int OpenFile(const QString& path, bool create)
{
    const QByteArray native = QFile::encodeName(path);
    int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    if (create)
        flags |= O_CREAT;
    int fd;
    do {
        fd = ::open(native.constData(), flags, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void CloseFd(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

// The lock that makes counting and taking a slot one step across copies. The slot locks
// alone already keep two copies out of one slot; the gate keeps the count and the order
// of admission consistent. When another copy holds it for too long (stopped in a
// debugger), the step goes on without it.
class Gate {
public:
    explicit Gate(const QString& path)
    {
        fd_ = OpenFile(path, false);
        if (fd_ < 0 && errno == ENOENT)
            fd_ = OpenFile(path, true);
        if (fd_ < 0)
            ThrowOsError(QStringLiteral("Cannot open ") + path, errno);
        QElapsedTimer waited;
        waited.start();
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;
            if (waited.elapsed() > kGateWaitMs)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~Gate() { CloseFd(fd_); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

private:
    int fd_ = -1;
};

// "seq pid" as the admitted copy wrote it into its slot file.
void ReadStamp(int fd, std::uint64_t& seq, std::uint32_t& pid)
{
    char buf[64] = {};
    const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    seq = 0;
    pid = 0;
    if (n <= 0)
        return;
    const QList<QByteArray> parts = QByteArray(buf, static_cast<int>(n)).trimmed().split(' ');
    if (parts.size() != 2)
        return;
    bool ok1 = false, ok2 = false;
    const qulonglong s = parts[0].toULongLong(&ok1);
    const uint p = parts[1].toUInt(&ok2);
    if (ok1 && ok2) {
        seq = s;
        pid = p;
    }
}

// The longest path of a local socket that the toolkit listens on: one byte less than the
// address could hold with its closing 0 (107 bytes).
constexpr int kMaxSocketPath = static_cast<int>(sizeof(sockaddr_un::sun_path)) - 2;

// A slot's socket in the guard's folder: a short digest of the key and the slot, of one
// length for every slot, so that the folder's path has as much room as it can.
QString SocketFileName(const QString& key, int slot)
{
    const QByteArray id = (key + QLatin1Char('.') + QString::number(slot)).toUtf8();
    return QStringLiteral("vq") +
           QString::fromLatin1(QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().left(16)) +
           QStringLiteral(".sock");
}
constexpr int kSocketFileNameLength = 2 + 16 + 5;
// The longest folder path that leaves room for "/" and the socket's name.
constexpr int kMaxFolderPath = kMaxSocketPath - 1 - kSocketFileNameLength;

// Why a folder cannot hold the guard's files, or an empty text when it can: it must be a
// real folder (not a symbolic link) that belongs to this user and that nobody else can
// write to, or another user could plant or remove our lock files and sockets; and its path
// must be short enough for the sockets through which a copy asks another to come forward.
QString UnsafeFolderReason(const QString& dir)
{
    const QByteArray path = QFile::encodeName(dir);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("it is not a folder");
    if (st.st_uid != ::getuid())
        return QStringLiteral("it belongs to another user");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("other users can write to it");
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("this user cannot write to it");
    if (path.size() > kMaxFolderPath)
        return QStringLiteral("its path is longer than the %1 bytes that a local socket leaves for it").arg(kMaxFolderPath);
    return QString();
}

[[noreturn]] void ThrowUnsafeFolder(const QString& dir, const QString& reason)
{
    throw InstanceGuardError((QStringLiteral("The folder ") + dir +
                              QStringLiteral(" cannot hold the files that keep a second copy of the program out: ") +
                              reason + QLatin1Char('.'))
                                 .toStdString());
}

// The user's cache folder: $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
QString CacheHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.cache");
}

} // namespace

InstanceGuard::InstanceGuard(const QString& programPath, const QString& runtimeDir)
    : key_(KeyForProgram(programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath))
    , dir_(runtimeDir)
{
}

InstanceGuard::~InstanceGuard()
{
    release();
    if (g_program == this)
        g_program = nullptr;
}

QString InstanceGuard::KeyForProgram(const QString& programPath)
{
    QString name = programPath;
    name.remove(QLatin1Char('\\'));
    name.remove(QLatin1Char(' '));
    return QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

QString InstanceGuard::DefaultRuntimeDir()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg) && UnsafeFolderReason(xdg).isEmpty())
        return xdg;
    // No usable runtime folder: a private one of ours under the cache folder. The cache
    // folder lies in the user's home, where no other user can make ours first.
    const QString cache = CacheHome();
    const QString dir = cache + QStringLiteral("/veqloader");
    QDir().mkpath(cache);
    if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST)
        ThrowUnsafeFolder(dir, QString::fromLocal8Bit(std::strerror(errno)));
    const QString reason = UnsafeFolderReason(dir);
    if (!reason.isEmpty())
        ThrowUnsafeFolder(dir, reason);
    return dir;
}

InstanceGuard* InstanceGuard::Program()
{
    return g_program;
}

void InstanceGuard::SetProgram(InstanceGuard* guard)
{
    g_program = guard;
}

QString InstanceGuard::slotFile(int slot) const
{
    return dir_ + QStringLiteral("/veqloader-") + key_ + QStringLiteral(".slot") + QString::number(slot);
}

QString InstanceGuard::socketName(int slot) const
{
    return dir_ + QLatin1Char('/') + SocketFileName(key_, slot);
}

std::vector<InstanceGuard::SlotInfo> InstanceGuard::scanSlots() const
{
    std::vector<int> entries;
    if (!dir_.isEmpty()) {
        const QString prefix = QStringLiteral("veqloader-") + key_ + QStringLiteral(".slot");
        const QStringList names = QDir(dir_).entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::System);
        for (const QString& n : names) {
            bool ok = false;
            const int idx = n.mid(prefix.size()).toInt(&ok);
            if (ok && idx >= 0 && n.mid(prefix.size()) == QString::number(idx))
                entries.push_back(idx);
        }
    }
    std::sort(entries.begin(), entries.end());
    std::vector<SlotInfo> result;
    for (int idx : entries) {
        SlotInfo info;
        info.slot = idx;
        const int fd = OpenFile(slotFile(idx), false);
        if (fd >= 0) {
            // Whoever holds the lock is a running copy; our own slot shows up as held too,
            // since each opening of the file is a lock owner of its own.
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
                info.held = true;
                ReadStamp(fd, info.seq, info.pid);
            }
            CloseFd(fd);
        }
        result.push_back(info);
    }
    return result;
}

bool InstanceGuard::tryTakeSlot(int slot, std::uint64_t seq)
{
    const int fd = OpenFile(slotFile(slot), true);
    if (fd < 0)
        ThrowOsError(QStringLiteral("Cannot open ") + slotFile(slot), errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        CloseFd(fd);
        if (err == EWOULDBLOCK)
            return false;
        ThrowOsError(QStringLiteral("Cannot lock ") + slotFile(slot), err);
    }
    const QByteArray stamp = QByteArray::number(static_cast<qulonglong>(seq)) + ' ' +
                             QByteArray::number(static_cast<qlonglong>(::getpid())) + '\n';
    // A stamp that cannot be written only leaves the order of admission unknown.
    const bool stamped = ::ftruncate(fd, 0) == 0 &&
                         ::pwrite(fd, stamp.constData(), static_cast<size_t>(stamp.size()), 0) == stamp.size();
    (void)stamped;
    slotFd_ = fd;
    slot_ = slot;
    return true;
}

bool InstanceGuard::acquire(std::uint32_t maxInstances)
{
    if (acted_)
        return admitted_;
    if (dir_.isEmpty())
        dir_ = DefaultRuntimeDir();
    const QString reason = UnsafeFolderReason(dir_);
    if (!reason.isEmpty())
        ThrowUnsafeFolder(dir_, reason);

    Gate gate(dir_ + QStringLiteral("/veqloader-") + key_ + QStringLiteral(".lock"));
    std::vector<SlotInfo> entries = scanSlots();
    std::uint64_t lastSeq = 0;
    std::uint32_t held = 0;
    for (const SlotInfo& s : entries) {
        if (!s.held)
            continue;
        ++held;
        if (s.seq >= lastSeq) {
            lastSeq = s.seq;
            lastId_ = s.pid;
        }
    }
    bool admitted = false;
    for (int idx = 0; held < maxInstances; ++idx) {
        const auto it = std::find_if(entries.begin(), entries.end(), [idx](const SlotInfo& s) { return s.slot == idx; });
        if (it != entries.end() && it->held)
            continue;
        if (tryTakeSlot(idx, lastSeq + 1)) {
            admitted = true;
            break;
        }
        ++held; // another copy took it just now
    }
    acted_ = true;
    admitted_ = admitted;
    if (admitted_) {
        lastId_ = static_cast<std::uint32_t>(::getpid());
        listen();
    }
    return admitted_;
}

std::uint32_t InstanceGuard::count() const
{
    std::uint32_t n = 0;
    for (const SlotInfo& s : scanSlots())
        n += s.held ? 1 : 0;
    return n;
}

std::uint32_t InstanceGuard::lastInstanceId() const
{
    if (admitted_ || !acted_) {
        std::uint64_t lastSeq = 0;
        std::uint32_t id = 0;
        for (const SlotInfo& s : scanSlots()) {
            if (s.held && s.seq >= lastSeq) {
                lastSeq = s.seq;
                id = s.pid;
            }
        }
        return id;
    }
    return lastId_;
}

void InstanceGuard::listen()
{
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = socketName(slot_);
    // A socket left behind by a copy that crashed in this slot; the slot is ours now.
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) {
        qWarning("Instance guard cannot listen on %s: %s", qPrintable(name), qPrintable(server_->errorString()));
        return;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        try {
            while (QLocalSocket* socket = server_->nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                // A client that says nothing is dropped.
                QTimer::singleShot(5000, socket, [socket] { socket->abort(); });
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                    try {
                        QByteArray line = socket->property("veqRequest").toByteArray();
                        line += socket->read(kMaxRequestBytes - line.size());
                        socket->setProperty("veqRequest", line);
                        if (line.contains('\n')) {
                            if (line == kRequest) {
                                socket->write(kAnswer);
                                socket->flush();
                                comeForwardRequested();
                            }
                            socket->disconnectFromServer();
                        } else if (line.size() >= kMaxRequestBytes) {
                            socket->abort();
                        }
                    } catch (...) {
                    }
                });
            }
        } catch (...) {
        }
    });
}

void InstanceGuard::comeForwardRequested()
{
    if (!handler_) {
        pendingRequest_ = true;
        return;
    }
    try {
        handler_();
    } catch (...) {
    }
}

void InstanceGuard::setComeForwardHandler(std::function<void()> handler)
{
    handler_ = std::move(handler);
    if (handler_ && pendingRequest_ && server_) {
        pendingRequest_ = false;
        QTimer::singleShot(0, server_.get(), [this] { comeForwardRequested(); });
    }
}

bool InstanceGuard::askFirstToComeForward(int timeoutMs)
{
    if (dir_.isEmpty())
        return false;
    std::vector<SlotInfo> entries = scanSlots();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [this](const SlotInfo& s) { return !s.held || s.slot == slot_; }),
                entries.end());
    // The copy admitted last first.
    std::stable_sort(entries.begin(), entries.end(), [](const SlotInfo& a, const SlotInfo& b) { return a.seq > b.seq; });
    for (const SlotInfo& s : entries) {
        QLocalSocket socket;
        socket.connectToServer(socketName(s.slot));
        if (!socket.waitForConnected(timeoutMs))
            continue;
        socket.write(kRequest);
        if (!socket.waitForBytesWritten(timeoutMs))
            continue;
        QByteArray answer;
        QElapsedTimer waited;
        waited.start();
        while (!answer.contains('\n') && answer.size() < kMaxRequestBytes && waited.elapsed() < timeoutMs) {
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(static_cast<int>(timeoutMs - waited.elapsed())))
                break;
            answer += socket.read(kMaxRequestBytes - answer.size());
        }
        socket.abort();
        if (answer == kAnswer)
            return true;
    }
    return false;
}

void InstanceGuard::release()
{
    server_.reset();
    if (slotFd_ >= 0) {
        CloseFd(slotFd_);
        slotFd_ = -1;
    }
    slot_ = -1;
    pendingRequest_ = false;
    if (admitted_) {
        // Released: a later acquire counts this copy anew.
        acted_ = false;
        admitted_ = false;
    }
}

std::optional<int> AdmitProgramCopy(InstanceGuard& guard, std::uint32_t maxInstances)
{
    try {
        if (guard.acquire(maxInstances))
            return std::nullopt;
    } catch (const InstanceGuardError& e) {
        const QString text = QString::fromStdString(e.what());
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
        ui::ShowPlainMessage(text);
        return 1;
    }
    guard.askFirstToComeForward();
    return 0;
}

} // namespace platform
