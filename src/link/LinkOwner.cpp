#include "link/LinkOwner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// fcntl record locks, not flock: F_GETLK asks who holds the lock without taking it, so a program
// looking at the record never gets in the way of a simulator starting up.
struct flock WholeFile(short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    l.l_start = 0;
    l.l_len = 0;
    return l;
}

} // namespace

QString LinkOwnerRecordPath(const QString& link) {
    return link + QStringLiteral(".lock");
}

TLinkOwnerState LinkOwnerState(const QString& link, long long* pid) {
    const int fd = ::open(QFile::encodeName(LinkOwnerRecordPath(link)).constData(),
                          O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return TLinkOwnerState::None;
    struct flock l = WholeFile(F_WRLCK);
    const int r = fcntl(fd, F_GETLK, &l);
    ::close(fd);
    // A record that cannot be asked is no proof of a dead owner.
    if (r != 0 || l.l_type != F_UNLCK) {
        if (pid) *pid = r == 0 ? l.l_pid : 0;
        return TLinkOwnerState::Alive;
    }
    return TLinkOwnerState::Gone;
}

TLinkOwnerRecord::~TLinkOwnerRecord() {
    if (Fd < 0) return;
    // Removed while still locked, so that no one takes a record about to vanish for a dead one.
    ::unlink(QFile::encodeName(Path).constData());
    ::close(Fd);
}

bool TLinkOwnerRecord::Claim(const QString& link, QString& error) {
    const QString path = LinkOwnerRecordPath(link);
    QDir().mkpath(QFileInfo(link).absolutePath());
    const bool hadRecord = QFileInfo::exists(path);
    const QFileInfo linkInfo(link);
    // exists() follows the link: true only when it leads to something.
    if (!hadRecord && linkInfo.isSymLink() && linkInfo.exists()) {
        error = QStringLiteral("%1 is a link to %2 that no simulator made; not replacing it")
                    .arg(link, linkInfo.symLinkTarget());
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    int locked = -1;
    // A simulator that is just ending removes its record while it still holds the lock; a lock
    // won on that removed file would guard nothing, so take the record afresh then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            error =
                QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        struct flock l = WholeFile(F_WRLCK);
        locked = fcntl(fd, F_SETLK, &l);
        struct stat held {
        }, named{};
        if (locked != 0 || (fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 &&
                            held.st_ino == named.st_ino && held.st_dev == named.st_dev))
            break;
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        error = QStringLiteral("%1: taken and given up again meanwhile; try again").arg(path);
        return false;
    }
    if (locked != 0) {
        struct flock holder = WholeFile(F_WRLCK);
        const bool known = fcntl(fd, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK;
        ::close(fd);
        error = known ? QStringLiteral("%1 belongs to a running simulator (process %2); "
                                       "stop it or choose another port")
                            .arg(link)
                            .arg(holder.l_pid)
                      : QStringLiteral("%1 belongs to a running simulator; stop it or choose "
                                       "another port")
                            .arg(link);
        return false;
    }
    const QByteArray pid = QByteArray::number(static_cast<long long>(getpid())) + '\n';
    if (ftruncate(fd, 0) != 0 || ::write(fd, pid.constData(), size_t(pid.size())) != pid.size()) {
        error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
        return false;
    }
    Fd = fd;
    Path = path;
    return true;
}
