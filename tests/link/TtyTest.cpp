#include "base/Language.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/LockFile.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/PortFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal whose slave is entered in the port folder as COMn.
struct TPty {
    int Master = -1;
    QString Slave;
    TPty() {
        Master = posix_openpt(O_RDWR | O_NOCTTY);
        if (Master >= 0 && grantpt(Master) == 0 && unlockpt(Master) == 0)
            Slave = QString::fromLocal8Bit(ptsname(Master));
    }
    ~TPty() { CloseMaster(); }
    void CloseMaster() {
        if (Master >= 0) ::close(Master);
        Master = -1;
    }
    bool Enter(const QString& entry) const { return QFile::link(Slave, entry); }
    // Another program's descriptor on the line, as a terminal program or the simulator has it.
    int OpenSlave() const {
        return ::open(QFile::encodeName(Slave).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    QString LockPath() const {
        return QString::fromStdString(LockFolder() + '/' + LockFileName(Slave.toStdString()));
    }
};

bool Exclusive(int fd) {
    int exclusive = 0;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

QByteArray LockText(long pid) {
    return QStringLiteral("%1\n").arg(pid, 10).toLatin1();
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A process of its own that lives until it is killed.
struct TOtherProcess {
    pid_t Pid = fork();
    TOtherProcess() {
        if (Pid == 0) {
            pause();
            _exit(0);
        }
    }
    ~TOtherProcess() { End(); }
    void End() {
        if (Pid <= 0) return;
        kill(Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
        Pid = -1;
    }
};

class Tty : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(ports.IsValid()); }
    TPortFolder ports;
};

TEST_F(Tty, PortNumbersMapToDeviceNames) {
    ASSERT_TRUE(QFile::link("/dev/null", ports.Entry(2)));
    const struct {
        uint8_t n;
        QString name;
    } cases[] = {
        {0, ""},
        {1, "/dev/ttyS0"},
        {2, ports.Entry(2)}, // the folder's entry wins over the table
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"},
        {97, ""},
        {254, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString::fromStdString(PortDeviceName(c.n)), c.name) << int(c.n);
}

TEST_F(Tty, OpeningANumberWithoutAPortClosesTheOpenOne) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(5)));
    ASSERT_NE(OpenPort(5), nullptr);
    EXPECT_EQ(OpenPort(200), nullptr);
    EXPECT_EQ(Link.PortHandle, nullptr);
    EXPECT_TRUE(LastOpenProblem.Empty());
    // The slave was closed: the master side sees the hang-up.
    pollfd p{pty.Master, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
}

TEST_F(Tty, SomethingThatIsNotATtyIsRefusedWithAReason) {
    ASSERT_TRUE(QFile::link("/dev/null", ports.Entry(9)));
    EXPECT_EQ(OpenPort(9), nullptr);
    EXPECT_NE(LastOpenProblem.English.find("/COM9 is not a serial port"), std::string::npos)
        << LastOpenProblem.English;
    EXPECT_NE(LastOpenProblem.Russian.find("/COM9 не является последовательным портом"),
              std::string::npos)
        << LastOpenProblem.Russian;
}

TEST_F(Tty, ExclusiveOpen) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(6)));
    ASSERT_NE(OpenPort(6), nullptr);
    // A second opener of the same device (here: as root, which TIOCEXCL lets through) is refused.
    const int fd = ::open(QFile::encodeName(pty.Slave).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
        ::close(fd);
    }
}

// The exclusive flag of a pseudo-terminal outlives a holder killed with SIGKILL while the simulator
// keeps its end open, and would keep every ordinary user out (the suite runs as root, which the
// flag does not stop, hence the flag itself is checked). flock and the lock file are the hold.
TEST_F(Tty, APseudoTerminalIsNeverLeftExclusiveAndAKilledHoldersLockIsTakenOver) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(6)));
    const int held = pty.OpenSlave();
    ASSERT_GE(held, 0);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const char opened = OpenPort(6) ? '1' : '0';
        if (::write(ready[1], &opened, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    char opened = 0;
    ASSERT_EQ(::read(ready[0], &opened, 1), 1);
    EXPECT_EQ(opened, '1');
    EXPECT_FALSE(Exclusive(held));
    EXPECT_EQ(ReadAll(pty.LockPath()), LockText(holder));

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_FALSE(Exclusive(held));
    ASSERT_NE(OpenPort(6), nullptr) << LastOpenProblem.English;
    EXPECT_EQ(ReadAll(pty.LockPath()), LockText(getpid()));
    ClosePort();
    EXPECT_FALSE(QFile::exists(pty.LockPath()));
    ::close(held);
    ::close(ready[0]);
    ::close(ready[1]);
}

// A second copy of the program that cannot have the port must not undo the first copy's hold:
// the exclusive flag belongs to the tty, whoever set it.
TEST_F(Tty, AFailedOpenLeavesAnotherHoldersExclusiveFlag) {
    for (const bool withFlock : {false, true}) {
        SCOPED_TRACE(withFlock ? "flag and flock" : "flag");
        TPty pty;
        ASSERT_TRUE(pty.Enter(ports.Entry(6)));
        const int held = pty.OpenSlave();
        ASSERT_GE(held, 0);
        ASSERT_EQ(ioctl(held, TIOCEXCL), 0);
        if (withFlock) {
            ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
        }
        EXPECT_EQ(OpenPort(6), nullptr); // root gets through the flag, and still stays out
        EXPECT_NE(LastOpenProblem.English.find("in use"), std::string::npos)
            << LastOpenProblem.English;
        EXPECT_NE(LastOpenProblem.Russian.find("занят"), std::string::npos)
            << LastOpenProblem.Russian;
        EXPECT_TRUE(Exclusive(held));
        EXPECT_FALSE(QFile::exists(pty.LockPath()));
        ::close(held);
        QFile::remove(ports.Entry(6));
    }
}

// Terminal programs announce their hold with a lock file, which stops us also as root: the port is
// neither opened nor written to, nor are its line settings changed.
TEST_F(Tty, PortUnderALiveProgramsLockIsLeftAlone) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(4)));
    const int held = pty.OpenSlave();
    ASSERT_GE(held, 0);
    termios session{};
    ASSERT_EQ(tcgetattr(held, &session), 0);
    session.c_lflag |= ICANON | ECHO;
    cfsetospeed(&session, B9600);
    ASSERT_EQ(tcsetattr(held, TCSANOW, &session), 0);

    TOtherProcess other;
    {
        QFile lock(pty.LockPath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(LockText(other.Pid));
    }
    const struct {
        uint8_t language;
        const char* text;
    } cases[] = {{0, ": занят другой программой (pid %1)"},
                 {1, ": in use by another program (pid %1)"},
                 {7, ": занят другой программой (pid %1)"}};
    for (const auto& c : cases) {
        LanguageIndex = c.language;
        EXPECT_EQ(OpenPort(4), nullptr);
        EXPECT_EQ(OpenProblemText(), ports.Entry(4) + QString::fromUtf8(c.text).arg(other.Pid));
        EXPECT_EQ(ReadObject(Obj::MeasurementData), 0);
    }
    LanguageIndex = 0;
    pollfd p{pty.Master, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 100), 0) << "nothing was written";
    termios after{};
    ASSERT_EQ(tcgetattr(held, &after), 0);
    EXPECT_TRUE(after.c_lflag & ICANON);
    EXPECT_EQ(cfgetospeed(&after), speed_t(B9600));
    EXPECT_EQ(ReadAll(pty.LockPath()), LockText(other.Pid));

    // Its holder gone, the lock is left over: removed, and the port is ours.
    other.End();
    ASSERT_NE(OpenPort(4), nullptr) << LastOpenProblem.English;
    EXPECT_EQ(ReadAll(pty.LockPath()), LockText(getpid()));
    ::close(held);
}

TEST_F(Tty, LockFileNamesFollowThePortFoldersLink) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(4)));
    const std::string pts = pty.Slave.mid(5).replace('/', '_').toStdString();
    EXPECT_EQ(LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(LockFileName(pty.Slave.toStdString()), "LCK.." + pts);
    EXPECT_EQ(LockFileName(ports.Entry(4).toStdString()), "LCK.." + pts);
    EXPECT_TRUE(LockFolder() == "/run/lock" || LockFolder() == "/var/lock");
}

// Closing, and a clean end of the program without it, remove the lock.
TEST_F(Tty, LockFileIsRemovedOnCloseAndOnExit) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(4)));
    ASSERT_NE(OpenPort(4), nullptr);
    EXPECT_EQ(ReadAll(pty.LockPath()), LockText(getpid()));
    ClosePort();
    EXPECT_FALSE(QFile::exists(pty.LockPath()));

    EXPECT_EXIT(
        {
            const bool opened = OpenPort(4) && QFile::exists(pty.LockPath());
            std::exit(opened ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(QFile::exists(pty.LockPath()));
}

TEST_F(Tty, HungUpPortFailsRequestsAndTheNextOpenStartsClean) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(7)));
    ASSERT_NE(OpenPort(7), nullptr);
    EXPECT_FALSE(Link.PortHandle->HungUp());
    pty.CloseMaster();
    EXPECT_TRUE(Link.PortHandle->HungUp()) << "seen before any exchange";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadObject(2), 0);
        EXPECT_EQ(WriteObject(9), 0);
    }
    QFile::remove(ports.Entry(7));
    TPty fresh;
    ASSERT_TRUE(fresh.Enter(ports.Entry(7)));
    ASSERT_NE(OpenPort(7), nullptr);
    LinkTransact(Link.FrameBuffer, BuildReadRequest(Link.FrameBuffer, 2, Link.DeviceAddress));
    uint8_t request[19] = {};
    pollfd p{fresh.Master, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_EQ(::read(fresh.Master, request, sizeof request), 19);
}

// Distributions give serial ports to different groups; the hint names the node's own.
TEST_F(Tty, PermissionDeniedNamesTheDeviceAndItsGroup) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    for (const char* name : {"dialout", "uucp", "plugdev"}) {
        const group* g = getgrnam(name);
        if (!g) continue;
        TPty pty;
        ASSERT_EQ(chmod(QFile::encodeName(pty.Slave).constData(), 0660), 0);
        ASSERT_EQ(chown(QFile::encodeName(pty.Slave).constData(), 0, g->gr_gid), 0);
        ASSERT_EQ(chmod(QFile::encodeName(ports.Path()).constData(), 0755), 0);
        ASSERT_TRUE(pty.Enter(ports.Entry(8)));
        // Dropping the user happens in a child so the test process stays root.
        EXPECT_EXIT(
            {
                if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                    std::exit(2);
                const bool failed = OpenPort(8) == nullptr;
                std::fprintf(stderr, "%s\n%s\n", LastOpenProblem.English.c_str(),
                             LastOpenProblem.Russian.c_str());
                std::exit(failed ? 0 : 1);
            },
            ::testing::ExitedWithCode(0),
            std::string("COM8: permission denied.*member of the ") + name +
                " group.*\n.*COM8: нет доступа.*группу " + name + " ");
        QFile::remove(ports.Entry(8));
    }
}

} // namespace
