#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/PortFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
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
        EXPECT_EQ(PortDeviceName(c.n), c.name) << int(c.n);
}

TEST_F(Tty, OpeningANumberWithoutAPortClosesTheOpenOne) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(5)));
    ASSERT_NE(OpenPort(5), nullptr);
    EXPECT_EQ(OpenPort(200), nullptr);
    EXPECT_EQ(PortHandle, nullptr);
    EXPECT_TRUE(LastOpenProblem.isEmpty());
    // The slave was closed: the master side sees the hang-up.
    pollfd p{pty.Master, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
}

TEST_F(Tty, SomethingThatIsNotATtyIsRefusedWithAReason) {
    ASSERT_TRUE(QFile::link("/dev/null", ports.Entry(9)));
    EXPECT_EQ(OpenPort(9), nullptr);
    EXPECT_TRUE(LastOpenProblem.contains("/COM9")) << LastOpenProblem.toStdString();
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

// The simulator keeps its own end of the line open, so the tty outlives our close: a port left
// exclusive would refuse every later open by an ordinary user (root is let through, hence the
// flag itself is checked).
TEST_F(Tty, ClosingReleasesTheExclusiveFlag) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(6)));
    const int held =
        ::open(QFile::encodeName(pty.Slave).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_NE(OpenPort(6), nullptr);
    int exclusive = 0;
    ASSERT_EQ(ioctl(held, TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0);
    ClosePort();
    ASSERT_EQ(ioctl(held, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(held);
}

TEST_F(Tty, HungUpPortFailsRequestsAndTheNextOpenStartsClean) {
    TPty pty;
    ASSERT_TRUE(pty.Enter(ports.Entry(7)));
    ASSERT_NE(OpenPort(7), nullptr);
    pty.CloseMaster();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadObject(2), 0);
        EXPECT_EQ(WriteObject(9), 0);
    }
    QFile::remove(ports.Entry(7));
    TPty fresh;
    ASSERT_TRUE(fresh.Enter(ports.Entry(7)));
    ASSERT_NE(OpenPort(7), nullptr);
    BuildReadRequest(FrameBuffer, 2, DeviceAddress);
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
                std::fprintf(stderr, "%s\n", LastOpenProblem.toLocal8Bit().constData());
                std::exit(failed ? 0 : 1);
            },
            ::testing::ExitedWithCode(0),
            std::string("COM8: permission denied.*member of the ") + name + " group");
        QFile::remove(ports.Entry(8));
    }
}

} // namespace
