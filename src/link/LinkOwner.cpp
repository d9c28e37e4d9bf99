#include "link/LinkOwner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

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

std::string SystemError(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

// Where a link points, as an absolute path (a relative target is read from the link's folder).
std::string LinkTarget(const std::string& link) {
    std::error_code error;
    fs::path target = fs::read_symlink(link, error);
    if (error) return {};
    if (target.is_relative()) target = fs::absolute(link, error).parent_path() / target;
    std::string text = target.lexically_normal().string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

} // namespace

std::string LinkOwnerRecordPath(const std::string& link) {
    return link + ".lock";
}

TLinkOwnerState LinkOwnerState(const std::string& link, long long* pid) {
    const int fd = ::open(LinkOwnerRecordPath(link).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
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
    ::unlink(Path.c_str());
    ::close(Fd);
}

bool TLinkOwnerRecord::Claim(const std::string& link, std::string& error) {
    const std::string path = LinkOwnerRecordPath(link);
    std::error_code ignored;
    fs::create_directories(fs::absolute(link, ignored).parent_path(), ignored);
    const bool hadRecord = fs::exists(path, ignored);
    // exists() follows the link: true only when it leads to something.
    if (!hadRecord && fs::is_symlink(fs::symlink_status(link, ignored)) &&
        fs::exists(link, ignored)) {
        error = link + " is a link to " + LinkTarget(link) +
                " that no simulator made; not replacing it";
        return false;
    }
    const char* name = path.c_str();
    int fd = -1;
    int locked = -1;
    // A simulator that is just ending removes its record while it still holds the lock; a lock
    // won on that removed file would guard nothing, so take the record afresh then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        fd = ::open(name, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            error = SystemError(path);
            return false;
        }
        struct flock l = WholeFile(F_WRLCK);
        locked = fcntl(fd, F_SETLK, &l);
        struct stat held {
        }, named{};
        if (locked != 0 || (fstat(fd, &held) == 0 && ::stat(name, &named) == 0 &&
                            held.st_ino == named.st_ino && held.st_dev == named.st_dev))
            break;
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        error = path + ": taken and given up again meanwhile; try again";
        return false;
    }
    if (locked != 0) {
        struct flock holder = WholeFile(F_WRLCK);
        const bool known = fcntl(fd, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK;
        ::close(fd);
        error = link + " belongs to a running simulator" +
                (known ? " (process " + std::to_string(holder.l_pid) + ")" : std::string()) +
                "; stop it or choose another port";
        return false;
    }
    const std::string pid = std::to_string(static_cast<long long>(getpid())) + '\n';
    if (ftruncate(fd, 0) != 0 ||
        ::write(fd, pid.data(), pid.size()) != static_cast<ssize_t>(pid.size())) {
        error = SystemError(path);
        ::unlink(name);
        ::close(fd);
        return false;
    }
    Fd = fd;
    Path = path;
    return true;
}
