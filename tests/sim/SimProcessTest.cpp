#include "tests/support/SimProcess.h"
#include "SimTestUtil.h"
#include "link/SerialLink.h"
#include "sim/SimOptions.h"
#include "tests/support/PortFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Reads until `want` bytes came or the line stayed quiet for quietMs.
std::vector<uint8_t> ReadReply(int fd, size_t want, int quietMs = 500) {
    std::vector<uint8_t> got;
    uint8_t buffer[512];
    while (got.size() < want) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN)) break;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

int OpenRaw(const QString& path) {
    const int fd = open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) return fd;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

TEST(SimProcess, AnswersOnItsLinkAndRemovesItWhenStopped) {
    QTemporaryDir dir;
    const QString link = dir.path() + "/ports/COM7";
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", link, "--seed", "5"})) << sim.Error().toStdString();
    EXPECT_EQ(sim.ReadyPath(), link);
    ASSERT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(link).symLinkTarget().startsWith("/dev/pts/"));

    const int fd = OpenRaw(link);
    ASSERT_GE(fd, 0);
    const auto request = ReadRequest(125, ObjectId::MeasurementData);
    ASSERT_EQ(write(fd, request.data(), request.size()), ssize_t(request.size()));
    const std::vector<uint8_t> reply = ReadReply(fd, 79);
    ASSERT_EQ(reply.size(), 79u);
    EXPECT_EQ(reply[FrameAt::Command], Cmd::ReadReply);
    EXPECT_EQ(reply[FrameAt::ObjectId], ObjectId::MeasurementData);
    close(fd);

    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "link removed";
    EXPECT_FALSE(QFileInfo::exists(link));
}

TEST(SimProcess, HangUpFaultEndsTheLineMidReply) {
    QTemporaryDir dir;
    const QString link = dir.path() + "/COM9";
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", link, "--fault-next", "hang-up=1"}))
        << sim.Error().toStdString();
    const int fd = OpenRaw(link);
    ASSERT_GE(fd, 0);
    const auto request = ReadRequest(125, ObjectId::DeviceSettings);
    ASSERT_EQ(write(fd, request.data(), request.size()), ssize_t(request.size()));
    const std::vector<uint8_t> reply = ReadReply(fd, 83);
    EXPECT_GT(reply.size(), 0u);
    EXPECT_LT(reply.size(), 83u);
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    close(fd);
    EXPECT_EQ(sim.Stop(), 3);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(SimArguments, ParsesOptionsAndRefusesBadOnes) {
    TSimCommandLine cl;
    QString error;
    ASSERT_TRUE(ParseSimArguments({"--address", "1A2B3C", "--port", "4", "--dose-rate", "2.5",
                                   "--archive-records", "902", "--archive-pages", "5",
                                   "--clock-offset", "-3600", "--pacing", "off", "--fault",
                                   "cut=0.1,8", "--fault-next", "no-answer=3"},
                                  cl, error))
        << error.toStdString();
    const uint8_t address[3] = {0x1A, 0x2B, 0x3C};
    EXPECT_TRUE(std::equal(address, address + 3, cl.Options.Address));
    EXPECT_EQ(cl.Port, 4);
    EXPECT_DOUBLE_EQ(cl.Options.DoseRateLevel, 2.5e-6);
    EXPECT_EQ(cl.Options.ArchiveRecords, 902);
    EXPECT_EQ(cl.Options.ClockOffset, -3600);
    EXPECT_FALSE(cl.Options.Pacing);
    EXPECT_DOUBLE_EQ(cl.Options.Faults[int(TFault::CutReply)].Rate, 0.1);
    EXPECT_EQ(cl.Options.Faults[int(TFault::CutReply)].Parameter, 8);
    EXPECT_EQ(cl.Options.Faults[int(TFault::NoAnswer)].Next, 3);
    for (const char* v : {"-v", "--version"}) {
        ASSERT_TRUE(ParseSimArguments({v}, cl, error)) << v;
        EXPECT_TRUE(cl.Version && !cl.Help) << v;
    }

    const QStringList bad[] = {{"--address", "xyz"},
                               {"--address", "1234567"},
                               {"--port", "0"},
                               {"--port", "3", "--link", "/tmp/x"},
                               {"--archive-records", "903"},
                               {"--fault", "cut=2"},
                               {"--fault", "sideways=0.1"},
                               {"--pacing", "maybe"},
                               {"--seed"},
                               {"--frobnicate"}};
    for (const QStringList& args : bad) {
        error.clear();
        EXPECT_FALSE(ParseSimArguments(args, cl, error)) << args.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

// Runs halvex-sim to its end (it must end by itself: a refusal) and gives its exit status;
// `err` gets what it wrote to standard error.
int RunSimToEnd(const QStringList& arguments, QString& err) {
    QTemporaryDir dir;
    const QString errFile = dir.path() + "/stderr";
    QString command = QStringLiteral("timeout 10 '%1'").arg(HALVEX_SIM_PATH);
    for (const QString& a : arguments)
        command += QStringLiteral(" '%1'").arg(a);
    command += QStringLiteral(" >/dev/null 2>'%1'").arg(errFile);
    const int status = std::system(command.toLocal8Bit().constData());
    QFile f(errFile);
    if (f.open(QIODevice::ReadOnly)) err = QString::fromLocal8Bit(f.readAll());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SimOwner, ASecondSimulatorOnTheSameLinkIsRefusedWhileTheFirstRuns) {
    QTemporaryDir dir;
    const QString link = dir.path() + "/COM3";
    TSimProcess first;
    ASSERT_TRUE(first.Start({"--link", link})) << first.Error().toStdString();
    const QString target = QFileInfo(link).symLinkTarget();

    QString err;
    EXPECT_EQ(RunSimToEnd({"--link", link}, err), 1);
    EXPECT_TRUE(err.contains("belongs to a running simulator") &&
                err.contains(QString::number(first.ProcessId())))
        << err.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target) << "the first one's link is untouched";
    EXPECT_EQ(first.Stop(), 0);
    EXPECT_FALSE(QFileInfo::exists(link + ".lock")) << "the owner record goes with the link";
}

TEST(SimOwner, ALinkLeftByAKilledSimulatorIsSkippedByTheProgramAndReplacedByTheNext) {
    TPortFolder ports;
    ASSERT_TRUE(ports.StartSim(6)) << ports.Sim.Error().toStdString();
    ::kill(ports.Sim.ProcessId(), SIGKILL);
    ports.Sim.Stop();
    ASSERT_TRUE(QFileInfo(ports.Entry(6)).isSymLink()) << "SIGKILL leaves the link behind";

    // The link's pseudo-terminal may belong to someone's terminal by now.
    EXPECT_EQ(OpenPort(6), nullptr);
    EXPECT_NE(LastOpenProblem.English.find("simulator that has ended"), std::string::npos)
        << LastOpenProblem.English;
    EXPECT_NE(LastOpenProblem.Russian.find("завершившимся симулятором"), std::string::npos)
        << LastOpenProblem.Russian;

    ASSERT_TRUE(ports.StartSim(6)) << ports.Sim.Error().toStdString();
    EXPECT_NE(OpenPort(6), nullptr) << LastOpenProblem.English;
}

TEST(SimOwner, ALinkTheOperatorMadeIsNeitherReplacedNorSkipped) {
    TPortFolder ports;
    TSimProcess device; // behind a tty that the operator linked by hand, as a USB adapter
    ASSERT_TRUE(device.Start({"--no-noise"})) << device.Error().toStdString();
    const QString tty = device.ReadyPath();
    ASSERT_TRUE(QFile::link(tty, ports.Entry(7)));
    QString err;
    EXPECT_EQ(RunSimToEnd({"--link", ports.Entry(7)}, err), 1);
    EXPECT_TRUE(err.contains("no simulator made")) << err.toStdString();
    EXPECT_EQ(QFileInfo(ports.Entry(7)).symLinkTarget(), tty);
    EXPECT_NE(OpenPort(7), nullptr) << LastOpenProblem.English;
}

} // namespace
