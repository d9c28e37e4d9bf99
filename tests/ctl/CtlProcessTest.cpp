// halvexctl as a process: usage errors, each command against the simulator on a pseudo-terminal,
// and an archive read the device breaks off.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/ChildProgram.h"
#include "tests/support/SimProcess.h"

#include <csignal>

namespace {

class TCtl : public TChildProgram {
  public:
    TCtl(const QString& dir, const QStringList& arguments)
        : TChildProgram(QStringLiteral(HALVEXCTL_PATH), dir, arguments, false) {}
};

QString ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A temporary folder holding the port folder, with the simulator linked there as COM3.
class CtlAgainstSim : public ::testing::Test {
  protected:
    void StartSim(const QStringList& extra = {}) {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(Sim.Start(QStringList{"--link", Dir.path() + "/data/halvex/ports/COM3",
                                          "--no-noise", "--pacing", "off"} +
                              extra))
            << Sim.Error().toStdString();
    }
    // Runs halvexctl to its end; the exit status.
    int Run(const QStringList& arguments) {
        TCtl p(Dir.path(), arguments);
        const int status = p.Finish(60000);
        Out = p.Stdout;
        Err = p.Stderr;
        return status;
    }

    QTemporaryDir Dir;
    TSimProcess Sim;
    QString Out, Err;
};

} // namespace

TEST(CtlUsage, MistakesExitWithTwoAndOneLineBeforeAnyPortIsTouched) {
    QTemporaryDir dir;
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"status", "--frobnicate"},
        {"--port", "0", "status"},
        {"--address", "xyz", "status"},
        {"archive", "read"},
        {"archive", "erase"},
        {"watch", "--count", "0"},
        {"settings", "set"},
        {"settings", "set", "colour=red"},
        {"settings", "set", "brightness=11"},
        {"settings", "set", "dose_rate_threshold=2e7"},
        {"settings", "set", "screens=main,clock"},
        {"address", "set", "module3", "123456"},
        {"address", "set", "console", "xyz"},
        {"clock", "show", "extra"},
    };
    for (const QStringList& args : cases) {
        TCtl p(dir.path(), args);
        EXPECT_EQ(p.Finish(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.Stdout.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(p.Stderr.startsWith("halvexctl: ")) << p.Stderr.toStdString();
    }
    // No port folder was made: nothing was opened.
    EXPECT_FALSE(QFile::exists(dir.path() + "/data"));

    TCtl help(dir.path(), {"--help"});
    EXPECT_EQ(help.Finish(), 0);
    EXPECT_TRUE(help.Stdout.startsWith("Usage: halvexctl")) << help.Stdout.toStdString();
    EXPECT_TRUE(help.Stdout.contains("archive read"));
    TCtl version(dir.path(), {"--version"});
    EXPECT_EQ(version.Finish(), 0);
    EXPECT_EQ(version.Stdout, QStringLiteral("halvexctl " HALVEX_VERSION "\n"));
}

TEST_F(CtlAgainstSim, APortWithoutDeviceIsNamedWithWhatFailed) {
    EXPECT_EQ(Run({"--port", "3", "status"}), 1);
    EXPECT_EQ(Err, QStringLiteral("halvexctl: COM3: no such device\n"));
    StartSim({"--address", "123456"});
    EXPECT_EQ(Run({"--port", "3", "status"}), 1);
    EXPECT_EQ(Err, QStringLiteral("halvexctl: COM3: measurement read: no answer from the "
                                  "console unit at address 03C8FD\n"));
}

TEST_F(CtlAgainstSim, PortsProbeAndStatus) {
    StartSim();
    ASSERT_EQ(Run({"ports"}), 0) << Err.toStdString();
    const QString link = Dir.path() + "/data/halvex/ports/COM3";
    EXPECT_TRUE(Out.contains("COM3\t" + link + " -> ")) << Out.toStdString();
    EXPECT_TRUE(Out.contains(QRegularExpression("\nCOM3\t[^\n]*\topens\n")));
    // Every other port has its reason.
    for (const QString& line : Out.split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.endsWith("\topens") || line.contains("\tdoes not open: "))
            << line.toStdString();

    ASSERT_EQ(Run({"probe"}), 0) << Err.toStdString();
    EXPECT_EQ(Out, "3\n");

    ASSERT_EQ(Run({"--port", "3", "status"}), 0) << Err.toStdString();
    EXPECT_TRUE(Out.contains("dose_rate: 0.15 uSv/h\n")) << Out.toStdString();
    EXPECT_TRUE(Out.contains("archive_records: 240\n")) << Out.toStdString();
    ASSERT_EQ(Run({"--port", "3", "status", "--json"}), 0) << Err.toStdString();
    const QJsonObject status = QJsonDocument::fromJson(Out.toUtf8()).object();
    EXPECT_EQ(status["dose_rate_usv_h"].toDouble(), 0.15) << Out.toStdString();
    EXPECT_EQ(status["archive_records"].toInt(), 240);
    EXPECT_TRUE(status["console_battery"].toObject().contains("charge_percent"));
}

TEST_F(CtlAgainstSim, SettingsAreWrittenAndReadBack) {
    StartSim();
    ASSERT_EQ(Run({"--port", "3", "settings", "get"}), 0) << Err.toStdString();
    const QString before = Out;
    ASSERT_EQ(Run({"--port", "3", "settings", "set", "dose_rate_threshold=0.7", "sound=off",
                   "record=every_minute", "screens=main,dose", "brightness=4"}),
              0)
        << Err.toStdString();
    ASSERT_EQ(Run({"--port", "3", "settings", "get"}), 0);
    EXPECT_TRUE(Out.contains("dose_rate_threshold=0.7\n")) << Out.toStdString();
    EXPECT_TRUE(Out.contains("sound=off\nrecord=every_minute\n") ||
                (Out.contains("sound=off\n") && Out.contains("record=every_minute\n")));
    EXPECT_TRUE(Out.contains("screens=main,dose\n"));
    EXPECT_TRUE(Out.contains("brightness=4\n"));
    // Keys not given kept their values.
    for (const char* key : {"dose_threshold=", "language=", "gps=", "record_on_change="}) {
        const QString line = before.mid(before.indexOf(key)).section('\n', 0, 0);
        EXPECT_TRUE(Out.contains(line + '\n')) << line.toStdString();
    }
    ASSERT_EQ(Run({"--port", "3", "settings", "get", "--json"}), 0);
    const QJsonObject json = QJsonDocument::fromJson(Out.toUtf8()).object();
    EXPECT_DOUBLE_EQ(json["dose_rate_threshold"].toDouble(), 0.7);
    EXPECT_EQ(json["screens"].toArray().size(), 2);

    EXPECT_EQ(Run({"--port", "3", "address", "set", "module1", "0A0B0C"}), 0) << Err.toStdString();
    // The console unit answers at its new address from then on, and only there.
    ASSERT_EQ(Run({"--port", "3", "address", "set", "console", "123456"}), 0) << Err.toStdString();
    EXPECT_EQ(Run({"--port", "3", "--address", "123456", "clock", "show"}), 0) << Err.toStdString();
    EXPECT_EQ(Run({"--port", "3", "clock", "show"}), 1);
}

TEST_F(CtlAgainstSim, ClockWatchAndArchive) {
    StartSim({"--clock-offset", "-3000"});
    ASSERT_EQ(Run({"--port", "3", "clock", "show"}), 0) << Err.toStdString();
    EXPECT_NEAR(Out.trimmed().toInt(), -3000, 5) << Out.toStdString();
    ASSERT_EQ(Run({"--port", "3", "clock", "sync"}), 0) << Err.toStdString();
    ASSERT_EQ(Run({"--port", "3", "clock", "show"}), 0);
    EXPECT_NEAR(Out.trimmed().toInt(), 0, 5) << Out.toStdString();

    ASSERT_EQ(Run({"--port", "3", "--wire-log", "wire.log", "watch", "--count", "2"}), 0)
        << Err.toStdString();
    const QStringList lines = Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << Out.toStdString();
    EXPECT_TRUE(
        QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d,\d\d:\d\d:\d\d,0\.15,[0-9.e+-]+$)")
            .match(lines[0])
            .hasMatch())
        << lines[0].toStdString();
    EXPECT_FALSE(ReadFile(Dir.path() + "/wire.log").isEmpty());

    ASSERT_EQ(Run({"--port", "3", "archive", "read", "--csv", "a.csv", "--txt"}), 0)
        << Err.toStdString();
    EXPECT_EQ(Err, QString()); // no progress line: standard error is no terminal
    const QString csv = ReadFile(Dir.path() + "/a.csv");
    EXPECT_EQ(csv.count("\r\n"), 241); // the header and the simulator's 240 records
    EXPECT_TRUE(csv.contains(QRegularExpression(
        R"(\r\n1,1,\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d,dose_rate,[0-9.]+,uSv/h,[0-9.]+,[0-9.]+\r\n)")))
        << csv.left(300).toStdString();
    // archive.txt as the tab writes it: the records and the empty slot that ends the archive.
    EXPECT_EQ(ReadFile(Dir.path() + "/archive.txt").count("\r\n"), 241);

    ASSERT_EQ(Run({"--port", "3", "archive", "erase", "--yes"}), 0) << Err.toStdString();
    ASSERT_EQ(Run({"--port", "3", "status"}), 0);
    EXPECT_TRUE(Out.contains("archive_records: 0\n")) << Out.toStdString();
}

TEST_F(CtlAgainstSim, WatchHoldsThePortAndEndsCleanlyWhenInterrupted) {
    StartSim();
    TCtl p(Dir.path(), {"--port", "3", "watch"});
    ASSERT_TRUE(p.WaitForLines(1)) << p.Stderr.toStdString();
    // Meanwhile the port is another program's, and says so.
    const QString inUse = QStringLiteral("in use by another program (pid %1)").arg(p.Pid);
    ASSERT_EQ(Run({"ports"}), 0);
    EXPECT_TRUE(Out.contains(QRegularExpression("\nCOM3\t[^\n]*\tdoes not open: [^\n]*" +
                                                QRegularExpression::escape(inUse))))
        << Out.toStdString();
    EXPECT_EQ(Run({"--port", "3", "status"}), 1);
    EXPECT_TRUE(Err.startsWith("halvexctl: COM3: ") && Err.contains(inUse)) << Err.toStdString();
    ::kill(p.Pid, SIGINT);
    EXPECT_EQ(p.Finish(), 0);
    EXPECT_TRUE(p.Stdout.endsWith('\n'));
    EXPECT_EQ(p.Stderr, QString());
}

TEST_F(CtlAgainstSim, WatchGoesOnAfterTheLineIsLostAndBack) {
    StartSim();
    TCtl p(Dir.path(), {"--port", "3", "watch"});
    ASSERT_TRUE(p.WaitForLines(1)) << p.Stderr.toStdString();
    Sim.Stop();
    ASSERT_TRUE(p.WaitForError("COM3: the line is gone")) << p.Stderr.toStdString();
    StartSim();
    ASSERT_TRUE(p.WaitForError("COM3: the line is back")) << p.Stderr.toStdString();
    const int before = p.Stdout.count('\n');
    ASSERT_TRUE(p.WaitForLines(before + 1)) << p.Stderr.toStdString();
    ::kill(p.Pid, SIGINT);
    EXPECT_EQ(p.Finish(), 0);
}

TEST_F(CtlAgainstSim, AnArchiveReadTheDeviceBreaksOffWritesNothing) {
    // The line hangs up part way through the archive.
    StartSim({"--fault", "hang-up=0.004", "--seed", "3"});
    QFile old(Dir.path() + "/a.json");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier file");
    old.close();
    EXPECT_EQ(Run({"--port", "3", "archive", "read", "--json", "a.json", "--txt"}), 1);
    EXPECT_TRUE(Err.startsWith("halvexctl: COM3: archive read stopped after "))
        << Err.toStdString();
    EXPECT_EQ(Err.count('\n'), 1);
    EXPECT_EQ(ReadFile(Dir.path() + "/a.json"), "earlier file");
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"a.json"});
}
