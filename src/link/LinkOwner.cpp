#include "link/LinkOwner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct flock l = WholeFile(F_WRLCK);
    if (fcntl(fd, F_SETLK, &l) != 0) {
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
