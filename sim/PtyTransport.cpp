#include "sim/PtyTransport.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// A frame whose payload stops for this long is dropped; a paced 4 KB payload never pauses.
constexpr int InterByteTimeoutMs = 20;
constexpr size_t PacingGroup = 8;

QString Errno(const char* what) {
    return QStringLiteral("%1: %2").arg(what, strerror(errno));
}

} // namespace

TPtyTransport::TPtyTransport(TSimDevice& device, bool pacing) : Device(device), Pacing(pacing) {}

TPtyTransport::~TPtyTransport() {
    Unlink();
    Close();
}

bool TPtyTransport::Open(QString& error) {
    Master = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master < 0) {
        error = Errno("posix_openpt");
        return false;
    }
    if (grantpt(Master) != 0 || unlockpt(Master) != 0) {
        error = Errno("grantpt/unlockpt");
        Close();
        return false;
    }
    const char* name = ptsname(Master);
    if (!name) {
        error = Errno("ptsname");
        Close();
        return false;
    }
    Slave = QString::fromLocal8Bit(name);
    OwnSlave = ::open(name, O_RDWR | O_NOCTTY);
    if (OwnSlave < 0) {
        error = Errno("open slave");
        Close();
        return false;
    }
    // Raw on both sides: no echo, no line editing, no CR/LF translation of binary frames.
    termios t{};
    if (tcgetattr(OwnSlave, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B115200);
        cfsetospeed(&t, B115200);
        tcsetattr(OwnSlave, TCSANOW, &t);
    }
    if (tcgetattr(Master, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(Master, TCSANOW, &t);
    }
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    return true;
}

bool TPtyTransport::Link(const QString& path, QString& error) {
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    const QByteArray p = QFile::encodeName(path);
    if (info.isSymLink()) {
        ::unlink(p.constData());
    } else if (info.exists()) {
        error = QStringLiteral("%1 exists and is not a link; not replacing it").arg(path);
        return false;
    }
    if (::symlink(QFile::encodeName(Slave).constData(), p.constData()) != 0) {
        error = QStringLiteral("%1: %2").arg(path, strerror(errno));
        return false;
    }
    LinkPath = path;
    return true;
}

void TPtyTransport::Unlink() {
    if (LinkPath.isEmpty()) return;
    // Only our own link: another simulator may have taken the name since.
    const QByteArray p = QFile::encodeName(LinkPath);
    char target[4096];
    const ssize_t n = ::readlink(p.constData(), target, sizeof target - 1);
    if (n > 0 && QString::fromLocal8Bit(target, int(n)) == Slave) ::unlink(p.constData());
    LinkPath.clear();
}

void TPtyTransport::Close() {
    if (Master >= 0) ::close(Master);
    if (OwnSlave >= 0) ::close(OwnSlave);
    Master = OwnSlave = -1;
}

void TPtyTransport::Send(const TOutgoing& reply, std::chrono::steady_clock::time_point notBefore,
                         volatile std::sig_atomic_t& stop) {
    using Clock = std::chrono::steady_clock;
    // In small steps, so that a stop request during a long injected delay is not kept waiting.
    const auto sendAt =
        std::max(Clock::now() + std::chrono::milliseconds(reply.DelayMs), notBefore);
    while (!stop && Clock::now() < sendAt)
        std::this_thread::sleep_until(
            std::min(sendAt, Clock::now() + std::chrono::milliseconds(5)));
    const auto start = Clock::now();
    const auto byteTime = std::chrono::duration<double, std::micro>(LineByteMicroseconds);
    size_t sent = 0;
    const size_t total = reply.Bytes.size();
    while (sent < total && !stop) {
        size_t due = total;
        // Bytes leave in small groups, each once its last byte has crossed the line (byte j
        // after j + 1 byte times): the reply ends exactly when a real line would end it, with a
        // few wake-ups instead of one a byte, which a busy machine would delay.
        const size_t groupEnd = std::min(total, sent + PacingGroup);
        if (Pacing) {
            const double us =
                std::chrono::duration<double, std::micro>(Clock::now() - start).count();
            due = std::min(total, size_t(us / LineByteMicroseconds));
        }
        if (due >= groupEnd) {
            const ssize_t n = ::write(Master, reply.Bytes.data() + sent, due - sent);
            if (n > 0) {
                sent += size_t(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return;
            // The far side is not reading: wait a little, then give the rest up.
            pollfd w{Master, POLLOUT, 0};
            if (::poll(&w, 1, 100) <= 0) return;
            continue;
        }
        std::this_thread::sleep_until(
            start + std::chrono::duration_cast<Clock::duration>(byteTime * double(groupEnd)));
    }
}

TPtyTransport::TEnd TPtyTransport::Run(volatile std::sig_atomic_t& stop) {
    // Sleeps end on time to the microsecond rather than within Linux's default 50 us slack: two
    // of them per exchange would otherwise add about 2 % to every paced exchange.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    uint8_t buffer[4096];
    while (!stop) {
        pollfd p{Master, POLLIN, 0};
        const int r = ::poll(&p, 1, InterByteTimeoutMs);
        if (r < 0) {
            if (errno == EINTR) continue;
            return Failed;
        }
        if (r == 0) {
            Device.ReceiveTimeout();
            continue;
        }
        const auto arrived = std::chrono::steady_clock::now();
        const ssize_t n = ::read(Master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            // Our own slave descriptor keeps the master alive, so this is a real failure.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        // A real device answers only once the request's last byte has crossed the line; on a
        // pseudo-terminal the whole request arrives at once, so its line time is waited here,
        // counted from the arrival of its first byte.
        if (!Device.Waiting()) {
            RequestStart = arrived;
            RequestBytes = 0;
        }
        RequestBytes += size_t(n);
        std::vector<TOutgoing> replies;
        Device.Receive(buffer, size_t(n), replies);
        const auto requestEnd =
            RequestStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                               std::chrono::duration<double, std::micro>(
                                   Pacing ? double(RequestBytes) * LineByteMicroseconds : 0.0));
        if (!replies.empty()) RequestBytes = 0;
        for (const TOutgoing& reply : replies) {
            Send(reply, requestEnd, stop);
            if (reply.HangUpAfter) {
                // Let the bytes already sent reach the other side before the line dies, as with
                // a cable pulled mid-reply: closing the master at once would flush them there.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                Close();
                return HungUp;
            }
        }
    }
    return Stopped;
}
