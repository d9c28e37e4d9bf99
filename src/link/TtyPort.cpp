#include "link/TtyPort.h"

#include "link/LockFile.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Pseudo-terminal slaves (major numbers 136 to 143). Their exclusive flag outlives a program
// killed with SIGKILL while the simulator holds the other end, and would then keep every ordinary
// user out; on them flock and the lock file, which both die with their holder, are the hold.
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
           major(st.st_rdev) <= 143;
}

bool ExclusiveFlagSet(int fd) {
    int exclusive = 0;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

// What this process put on one tty, and only that, is undone when the tty is let go: the
// exclusive flag belongs to the tty, not to our descriptor, and clearing one that another program
// set would break that program's hold.
struct TTtyHold {
    int Fd = -1;
    bool ExclusiveSet = false;
    TPortLock Lock;

    ~TTtyHold() { Release(); }
    void Release() {
        if (Fd < 0) return;
        if (ExclusiveSet) ioctl(Fd, TIOCNXCL);
        ::close(Fd);
        Fd = -1;
        ExclusiveSet = false;
        Lock.Release();
    }
};

// A tty opened non-blocking; every wait is a poll against a deadline, so a port that hangs up
// (unplugged adapter, pseudo-terminal whose master closed) ends the wait instead of spinning.
class TTtyPort final : public TSerialPort {
  public:
    explicit TTtyPort(std::unique_ptr<TTtyHold> hold) : hold_(std::move(hold)), fd_(hold_->Fd) {}
    ~TTtyPort() override { Close(); }

    void Purge() override {
        if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
    }

    int Write(const uint8_t* data, int n) override {
        if (fd_ < 0 || hungUp_) return -1;
        // The line needs under 0.1 ms a byte; the margin only matters for a port that stopped
        // taking bytes (hardware flow control held off), which must not hold the program forever.
        const auto deadline = Clock::now() + std::chrono::milliseconds(500 + n);
        int sent = 0;
        while (sent < n) {
            const ssize_t k = ::write(fd_, data + sent, static_cast<size_t>(n - sent));
            if (k > 0) {
                sent += static_cast<int>(k);
                continue;
            }
            if (k < 0 && errno == EINTR) continue;
            if (k < 0 && errno != EAGAIN) {
                hungUp_ = errno == EIO || errno == ENXIO || errno == ENODEV;
                return -1;
            }
            pollfd p{fd_, POLLOUT, 0};
            const int left = MsLeft(deadline);
            if (left == 0 || poll(&p, 1, left) <= 0) break;
            if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
                hungUp_ = true;
                break;
            }
        }
        return sent > 0 ? sent : -1;
    }

    int Read(uint8_t* data, int n, int timeoutMs) override {
        if (fd_ < 0 || hungUp_ || n <= 0) return 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        int got = 0;
        while (got < n) {
            pollfd p{fd_, POLLIN, 0};
            const int r = poll(&p, 1, MsLeft(deadline));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            if (p.revents & POLLIN) {
                const ssize_t k = ::read(fd_, data + got, static_cast<size_t>(n - got));
                if (k > 0) {
                    got += static_cast<int>(k);
                    continue;
                }
                if (k < 0 && (errno == EINTR || errno == EAGAIN)) continue;
                hungUp_ = true; // 0 bytes with POLLIN, or EIO: the other end is gone
                break;
            }
            if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
                hungUp_ = true;
                break;
            }
            if (MsLeft(deadline) == 0) break;
        }
        return got;
    }

    void Close() override {
        hold_->Release();
        fd_ = -1;
    }

    // Also between exchanges, so that a line pulled while nothing is asked is noticed: a hang-up
    // is reported by poll whatever events are asked for.
    bool HungUp() const override {
        if (hungUp_ || fd_ < 0) return hungUp_;
        pollfd p{fd_, 0, 0};
        return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }

  private:
    std::unique_ptr<TTtyHold> hold_;
    int fd_;
    bool hungUp_ = false;
};

TOpenProblem OpenProblem(const std::string& path, int error) {
    const std::string where = path + ": ";
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return {}; // nothing there: not worth a message
    case EACCES:
    case EPERM: {
        // Distributions give serial ports to different groups (dialout, uucp, plugdev): name the
        // one that owns this node.
        struct stat st {};
        const group* g =
            ::stat(path.c_str(), &st) == 0 && st.st_gid != 0 ? getgrgid(st.st_gid) : nullptr;
        if (!g)
            return {where + "нет доступа; у пользователя нет прав на чтение и запись",
                    where + "permission denied; the user may not read and write it"};
        const std::string group = g->gr_name;
        return {where + "нет доступа; чтобы работать с этим портом, пользователь должен входить в "
                        "группу " + group + " (после добавления войдите в систему заново)",
                where + "permission denied; to use this port the user must be a member of the " +
                    group + " group (log in again after adding it)"};
    }
    case EBUSY:
    case EWOULDBLOCK:
        return {where + "порт занят другой программой",
                where + "the port is in use by another program"};
    default: {
        const std::string system = where + std::strerror(error); // the system's own wording
        return {system, system};
    }
    }
}

TOpenProblem InUseProblem(const std::string& path, long pid) {
    const std::string where = path + ": ";
    const std::string who = " (pid " + std::to_string(pid) + ")";
    return {where + "занят другой программой" + who, where + "in use by another program" + who};
}

} // namespace

std::unique_ptr<TSerialPort> OpenTtyPort(const std::string& path) {
    // A terminal program's lock: the port is not even opened, so nothing reaches its session.
    if (const long holder = LockHolder(path)) {
        LastOpenProblem = InUseProblem(path, holder);
        return nullptr;
    }
    auto hold = std::make_unique<TTtyHold>();
    hold->Fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int fd = hold->Fd;
    if (fd < 0) {
        LastOpenProblem = OpenProblem(path, errno);
        return nullptr;
    }
    auto fail = [&](const TOpenProblem& problem) -> std::unique_ptr<TSerialPort> {
        hold->Release();
        LastOpenProblem = problem;
        return nullptr;
    };
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return fail({path + " не является последовательным портом", path + " is not a serial port"});
    // flock keeps out a second copy of this program, even as root; an exclusive flag already set
    // is another program's hold, which root would otherwise walk through.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ExclusiveFlagSet(fd))
        return fail(OpenProblem(path, EBUSY));
    if (const long holder = hold->Lock.Take(path)) return fail(InUseProblem(path, holder));
    if (!IsPseudoTerminal(fd)) {
        if (ioctl(fd, TIOCEXCL) != 0) return fail(OpenProblem(path, EBUSY));
        hold->ExclusiveSet = true;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0 ||
        tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail({path + ": не удаётся установить параметры линии 115200 8N1",
                     path + ": the line settings 115200 8N1 cannot be applied"});
    return std::make_unique<TTtyPort>(std::move(hold));
}
