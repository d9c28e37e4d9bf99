#include "link/SerialLink.h"

#include "link/Frame.h"
#include "link/LinkOwner.h"
#include "link/LockFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

TLink Link;
TOpenProblem LastOpenProblem;

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

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

std::string OpenProblem(const std::string& path, int error) {
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
        if (!g) return path + ": permission denied; the user may not read and write it";
        return path + ": permission denied; to use this port the user must be a member of the " +
               g->gr_name + " group (log in again after adding it)";
    }
    case EBUSY:
    case EWOULDBLOCK:
        return path + ": the port is in use by another program";
    default:
        return path + ": " + std::strerror(error);
    }
}

TOpenProblem InUseProblem(const std::string& path, long pid) {
    const std::string where = path + ": ";
    const std::string who = " (pid " + std::to_string(pid) + ")";
    return {where + "занят другой программой" + who, where + "in use by another program" + who};
}

// A reason that names only system facts reads the same in either language.
TOpenProblem Either(const std::string& text) {
    return {text, text};
}

std::unique_ptr<TSerialPort> OpenTty(uint8_t n) {
    // A simulator killed outright leaves its link to a pseudo-terminal number that someone's new
    // terminal may get; opening it would talk to that terminal.
    const std::string entry = PortFolderEntry(n);
    if (LinkOwnerState(entry) == TLinkOwnerState::Gone) {
        LastOpenProblem = Either(entry + ": left behind by a simulator that has ended; not opened");
        return nullptr;
    }
    const std::string path = PortDeviceName(n);
    if (path.empty()) return nullptr;
    // A terminal program's lock: the port is not even opened, so nothing reaches its session.
    if (const long holder = LockHolder(path)) {
        LastOpenProblem = InUseProblem(path, holder);
        return nullptr;
    }
    auto hold = std::make_unique<TTtyHold>();
    hold->Fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int fd = hold->Fd;
    if (fd < 0) {
        LastOpenProblem = Either(OpenProblem(path, errno));
        return nullptr;
    }
    auto fail = [&](const TOpenProblem& problem) -> std::unique_ptr<TSerialPort> {
        hold->Release();
        LastOpenProblem = problem;
        return nullptr;
    };
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return fail(Either(path + " is not a serial port"));
    // flock keeps out a second copy of this program, even as root; an exclusive flag already set
    // is another program's hold, which root would otherwise walk through.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ExclusiveFlagSet(fd))
        return fail(Either(OpenProblem(path, EBUSY)));
    if (const long holder = hold->Lock.Take(path)) return fail(InUseProblem(path, holder));
    if (!IsPseudoTerminal(fd)) {
        if (ioctl(fd, TIOCEXCL) != 0) return fail(Either(OpenProblem(path, EBUSY)));
        hold->ExclusiveSet = true;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0 ||
        tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(Either(path + ": the line settings 115200 8N1 cannot be applied"));
    return std::make_unique<TTtyPort>(std::move(hold));
}

TPortOpener Opener;
std::unique_ptr<TSerialPort> OpenPortObject;
std::string Folder;
TWireTap WireTap;

} // namespace

void SetPortOpener(TPortOpener opener) {
    Opener = std::move(opener);
}

namespace {

// $HOME with the slashes tidied, "/" without one.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "/";
    std::string path = std::filesystem::path(home).lexically_normal().string();
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

} // namespace

std::string DefaultPortFolder() {
    // The XDG base directory rule: a relative XDG_DATA_HOME is invalid and ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string data = xdg ? xdg : "";
    if (data.empty() || data.front() != '/') data = HomeFolder() + "/.local/share";
    return data + "/halvex/ports";
}

void SetPortFolder(const std::string& folder) {
    Folder = folder;
}

std::string PortFolder() {
    return Folder.empty() ? DefaultPortFolder() : Folder;
}

std::string PortFolderEntry(uint8_t n) {
    return PortFolder() + "/COM" + std::to_string(n);
}

std::string PortDeviceName(uint8_t n) {
    const std::string entry = PortFolderEntry(n);
    std::error_code error;
    if (std::filesystem::exists(entry, error)) return entry;
    struct Range {
        int first;
        const char* prefix;
    };
    static const Range table[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
    for (const Range& r : table)
        if (n >= r.first && n < r.first + 32) return r.prefix + std::to_string(n - r.first);
    return {};
}

void ClosePort() {
    if (OpenPortObject) OpenPortObject->Close();
    OpenPortObject.reset();
    Link.PortHandle = nullptr;
}

TSerialPort* OpenPort(uint8_t n) {
    ClosePort();
    LastOpenProblem = {};
    OpenPortObject = Opener ? Opener(n) : OpenTty(n);
    Link.PortHandle = OpenPortObject.get();
    if (WireTap) WireTap(TWireEvent::Opened, nullptr, n);
    return Link.PortHandle;
}

void SetWireTap(TWireTap tap) {
    WireTap = std::move(tap);
}

namespace {

// A port implementation that claims more than was asked for must not move ReplyLength past the
// buffer.
int ReadInto(uint8_t* at, int n) {
    const int got = Link.PortHandle->Read(at, n, 30 + n);
    return got < 0 ? 0 : std::min(got, n);
}

// The rest of a reply that was not read whole (too long for the buffer, or behind a damaged
// header) may still be on its way when the next exchange purges, and would then be read as that
// exchange's header: wait until the line has been quiet for 10 ms, for at most 0.6 s. Whatever
// comes later is dropped by the next purge.
void DrainLine() {
    uint8_t scratch[512];
    const auto end = Clock::now() + std::chrono::milliseconds(600);
    for (int left = MsLeft(end); left > 0; left = MsLeft(end))
        if (Link.PortHandle->Read(scratch, sizeof scratch, std::min(10, left)) <= 0) break;
}

} // namespace

void LinkTransact(uint8_t* frame, uint16_t requestLength) {
    int c = 0;
    int received = 0;
    if (Link.PortHandle) {
        Link.PortHandle->Purge();
        Link.PortHandle->Write(frame, requestLength);
        if (WireTap) WireTap(TWireEvent::Sent, frame, requestLength);
        const int got = ReadInto(frame, HeaderSize);
        received = got;
        if (got == HeaderSize && HeaderIntact(frame)) {
            const uint16_t l = PayloadLength(frame);
            if (l > 0) {
                // A header may announce up to 65535 payload bytes; read only what the buffer
                // holds, and HandleReply treats such a frame as too long.
                const int room = FrameBufferSize - HeaderSize;
                c = ReadInto(frame + HeaderSize, std::min<int>(l + 4, room));
                received += c;
                if (l + 4 > room) DrainLine();
            }
        } else {
            c = got;
            // Behind a damaged header the rest of its frame may still be coming; read as the
            // next reply's header, it would put every later exchange out of step.
            if (got > 0) DrainLine();
        }
    }
    Link.ReceivedCount = static_cast<uint16_t>(received);
    Link.ReplyLength = static_cast<uint16_t>(c + HeaderSize);
    // Whatever arrived lies at the start of the frame, header and payload in one run.
    if (Link.PortHandle && WireTap) WireTap(TWireEvent::Received, frame, received);
}
