#include "link/LockFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray LockPath(const QString& portPath) {
    const QString folder = LockFolder();
    if (folder.isEmpty()) return {};
    return QFile::encodeName(folder + QLatin1Char('/') + LockFileName(portPath));
}

// The process id a lock file holds; 0 when it cannot be read or holds no number.
long LockPid(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 ? pid : 0;
}

bool ProcessAlive(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// A live holder's process id, or 0 after removing a lock whose holder is gone. A lock without a
// readable number names no one and counts as left over; one with this process's id too.
long CheckLock(const QByteArray& path) {
    if (path.isEmpty() || ::access(path.constData(), F_OK) != 0) return 0;
    const long pid = LockPid(path);
    if (pid > 0 && pid != ::getpid() && ProcessAlive(pid)) return pid;
    ::unlink(path.constData());
    return 0;
}

} // namespace

QString LockFileName(const QString& portPath) {
    QString device = QFileInfo(portPath).canonicalFilePath();
    if (device.isEmpty()) device = portPath;
    const QString dev = QStringLiteral("/dev/");
    device = device.startsWith(dev) ? device.mid(dev.size()) : QFileInfo(device).fileName();
    return QStringLiteral("LCK..") + device.replace(QLatin1Char('/'), QLatin1Char('_'));
}

QString LockFolder() {
    for (const char* folder : {"/run/lock", "/var/lock"})
        if (QFileInfo(QString::fromLatin1(folder)).isDir()) return QString::fromLatin1(folder);
    return {};
}

long LockHolder(const QString& portPath) {
    return CheckLock(LockPath(portPath));
}

long TPortLock::Take(const QString& portPath) {
    Release();
    const QByteArray path = LockPath(portPath);
    if (path.isEmpty()) return 0;
    // Twice: the first try may meet a lock left over, which CheckLock removes.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char text[16];
            const int n =
                std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
            const bool written = ::write(fd, text, static_cast<size_t>(n)) == n;
            ::close(fd);
            if (!written) {
                ::unlink(path.constData());
                return 0;
            }
            Path_ = path;
            return 0;
        }
        if (errno != EEXIST) return 0;
        if (const long holder = CheckLock(path)) return holder;
    }
    return 0;
}

void TPortLock::Release() {
    if (Path_.isEmpty()) return;
    if (LockPid(Path_) == ::getpid()) ::unlink(Path_.constData());
    Path_.clear();
}
