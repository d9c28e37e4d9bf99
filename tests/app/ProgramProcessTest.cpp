// halvex as a process: its command line without a display, and its end on a signal.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/ChildProgram.h"
#include "tests/support/SimProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// One run of halvex in `dir` with its port folder there, and with or without a display.
class TProgram : public TChildProgram {
  public:
    TProgram(const QString& dir, const QStringList& arguments, bool display)
        : TChildProgram(QStringLiteral(HALVEX_PATH), dir, arguments, display) {}
};

QString ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void WriteFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(ProgramProcess, HelpVersionAndMistakesNeedNoDisplay) {
    QTemporaryDir dir;
    {
        TProgram p(dir.path(), {"--help"}, false);
        EXPECT_EQ(p.Finish(), 0);
        EXPECT_TRUE(p.Stdout.startsWith("Usage: halvex")) << p.Stdout.toStdString();
        EXPECT_TRUE(p.Stdout.contains("--wire-log"));
    }
    {
        TProgram p(dir.path(), {"--version"}, false);
        EXPECT_EQ(p.Finish(), 0);
        EXPECT_EQ(p.Stdout, QStringLiteral("halvex " HALVEX_VERSION "\n"));
    }
    {
        TProgram p(dir.path(), {"--port", "3", "--frobnicate"}, false);
        EXPECT_EQ(p.Finish(), 2);
        EXPECT_TRUE(p.Stdout.isEmpty());
        EXPECT_EQ(p.Stderr.count('\n'), 1) << p.Stderr.toStdString();
        EXPECT_TRUE(p.Stderr.contains("frobnicate"));
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/prog.ini"));
}

// Port 200 has no device behind it, so the start-up search ends at once.
const QStringList QuietStart = {"--port", "200", "--verbose"};
const QString Ready = QStringLiteral("SIGINT, SIGTERM and SIGHUP close it");

TEST(ProgramProcess, EachEndingSignalClosesTheWindowAndSavesTheLanguage) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        QTemporaryDir dir;
        WriteFile(dir.path() + "/prog.ini", "[Common]\nLanguage=1\n; the operator's note\n");
        TProgram p(dir.path(), QuietStart, true);
        ASSERT_TRUE(p.WaitForError(Ready)) << p.Stderr.toStdString();
        ::kill(p.Pid, signal);
        EXPECT_EQ(p.Finish(), 0) << "signal " << signal << ": " << p.Stderr.toStdString();
        const QString ini = ReadFile(dir.path() + "/prog.ini");
        EXPECT_TRUE(ini.contains("Language=1") && ini.contains("the operator's note"))
            << ini.toStdString();
    }
}

TEST(ProgramProcess, AClosingBySignalReportsAnUnwritableIniOnStandardError) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("prog.ini")); // not writable as a file, even for root
    TProgram p(dir.path(), QuietStart, true);
    ASSERT_TRUE(p.WaitForError(Ready)) << p.Stderr.toStdString();
    ::kill(p.Pid, SIGTERM);
    EXPECT_EQ(p.Finish(), 0);
    EXPECT_TRUE(p.Stderr.contains("Unable to write to " + dir.path() + "/prog.ini"))
        << p.Stderr.toStdString();
}

TEST(ProgramProcess, ALanguageForOneRunLeavesTheStoredOneAlone) {
    QTemporaryDir dir;
    WriteFile(dir.path() + "/prog.ini", "[Common]\nLanguage=0\n");
    // Qt's own options reach Qt: here the display comes from -platform alone.
    TProgram p(dir.path(),
               QuietStart + QStringList{"--language", "en", "--wire-log", "wire.log", "-platform",
                                        "offscreen"},
               false);
    ASSERT_TRUE(p.WaitForError(Ready)) << p.Stderr.toStdString();
    ::kill(p.Pid, SIGTERM);
    EXPECT_EQ(p.Finish(), 0);
    EXPECT_EQ(ReadFile(dir.path() + "/prog.ini"), QStringLiteral("[Common]\nLanguage=0\n"));
    EXPECT_TRUE(QFile::exists(dir.path() + "/wire.log"));
}

// The wire log against the simulated console unit: the port, then each request and its reply.
TEST(ProgramProcess, TheWireLogRecordsThePortAndBothDirections) {
    QTemporaryDir dir;
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", dir.path() + "/data/halvex/ports/COM7", "--no-noise"}))
        << sim.Error().toStdString();
    TProgram p(dir.path(), {"--port", "7", "--verbose", "--wire-log", "wire.log"}, true);
    ASSERT_TRUE(p.WaitForError("COM7 (")) << p.Stderr.toStdString();
    // A few polling ticks.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ::kill(p.Pid, SIGTERM);
    EXPECT_EQ(p.Finish(), 0);
    const QStringList lines = ReadFile(dir.path() + "/wire.log").split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    for (const QString& line : lines)
        EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(lines[0].endsWith(" COM7 opened")) << lines[0].toStdString();
    // To the device from the host 01 01 01, and back.
    EXPECT_TRUE(lines[1].contains(" > 03 C8 FD 01 01 01 ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(" < 01 01 01 03 C8 FD ")) << lines[2].toStdString();
}

} // namespace
