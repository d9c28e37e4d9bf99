// The wire log's lines and the link hook that feeds it.
#include "link/WireLog.h"
#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "tests/link/ScriptPort.h"
#include "tests/support/TimeZone.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct TEvent {
    TWireEvent Event;
    std::vector<uint8_t> Bytes;
    int N;
};

// Records what the link reports for the life of the object.
struct TTapRecorder {
    std::vector<TEvent> Events;
    TTapRecorder() {
        SetWireTap([this](TWireEvent e, const uint8_t* data, int n) {
            Events.push_back(
                {e, data ? std::vector<uint8_t>(data, data + n) : std::vector<uint8_t>(), n});
        });
    }
    ~TTapRecorder() { SetWireTap(nullptr); }
};

TEST(WireLog, LinesCarryLocalTimeDirectionAndHexBytes) {
    TScopedTimeZone zone;
    const int64_t ms = LocalTime(2026, 7, 1, 9, 5, 7) * 1000 + 42;
    const uint8_t bytes[] = {0x03, 0xC8, 0xFD, 0x0A};
    EXPECT_EQ(WireLogLine(TWireEvent::Sent, bytes, 4, ms, true),
              "2026-07-01 09:05:07.042 > 03 C8 FD 0A");
    EXPECT_EQ(WireLogLine(TWireEvent::Received, bytes, 2, ms, true),
              "2026-07-01 09:05:07.042 < 03 C8");
    EXPECT_EQ(WireLogLine(TWireEvent::Received, bytes, 0, ms, true),
              "2026-07-01 09:05:07.042 < (nothing)");
}

TEST(WireLog, PortLinesSayWhyAPortDidNotOpenAndSkipPortsThatAreNotThere) {
    SetPortOpener([](uint8_t n) -> std::unique_ptr<TSerialPort> {
        if (n == 2) LastOpenProblem = {"/dev/ttyS1: занят", "/dev/ttyS1: busy"};
        return n == 1 ? std::make_unique<TScriptPort>() : nullptr;
    });
    OpenPort(1);
    EXPECT_TRUE(EndsWith(WireLogLine(TWireEvent::Opened, nullptr, 1, 0, true), " COM1 opened"));
    OpenPort(2);
    EXPECT_TRUE(
        EndsWith(WireLogLine(TWireEvent::Opened, nullptr, 2, 0, true), " COM2: /dev/ttyS1: busy"));
    EXPECT_TRUE(EndsWith(WireLogLine(TWireEvent::Opened, nullptr, 2, 0, false),
                         " COM2: /dev/ttyS1: занят"));
    OpenPort(3);
    EXPECT_TRUE(WireLogLine(TWireEvent::Opened, nullptr, 3, 0, true).empty());
    ClosePort();
    SetPortOpener(nullptr);
}

TEST(WireLog, TheTapSeesTheRequestAndExactlyTheBytesThatArrived) {
    ComputeEncodedSizes(ObjectTable, ObjectTableCount);
    TTapRecorder tap;
    TScriptedLink link(1);
    ASSERT_EQ(tap.Events.size(), 1u);
    EXPECT_EQ(tap.Events[0].Event, TWireEvent::Opened);
    EXPECT_EQ(tap.Events[0].N, 1);

    uint8_t frame[FrameBufferSize] = {};
    for (int i = 0; i < 19; ++i)
        frame[i] = uint8_t(0x40 + i);
    link.Port->Reply = {1, 2, 3, 4, 5}; // a cut header: five bytes and then silence
    LinkTransact(frame, 19);
    ASSERT_EQ(tap.Events.size(), 3u);
    EXPECT_EQ(tap.Events[1].Event, TWireEvent::Sent);
    EXPECT_EQ(tap.Events[1].Bytes.size(), 19u);
    EXPECT_EQ(tap.Events[1].Bytes[0], 0x40);
    EXPECT_EQ(tap.Events[2].Event, TWireEvent::Received);
    EXPECT_EQ(tap.Events[2].Bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5}));

    link.Port->Reply.clear();
    LinkTransact(frame, 19);
    ASSERT_EQ(tap.Events.size(), 5u);
    EXPECT_EQ(tap.Events[4].N, 0) << "silence is reported as nothing, not as the request";
}

TEST(PortFolder, FollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const bool had = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(DefaultPortFolder(), "/srv/data/halvex/ports");
    // Relative and empty values are invalid by the XDG rules and fall back to the default.
    // The home folder is taken as the rest of the desktop takes it: slashes tidied, "/" without.
    const QByteArray savedHome = qgetenv("HOME");
    for (const char* home : {savedHome.constData(), "/home/op/", "/home//op", "/", ""}) {
        qputenv("HOME", home);
        for (const char* value : {"relative/data", ""}) {
            qputenv("XDG_DATA_HOME", value);
            EXPECT_EQ(QString::fromStdString(DefaultPortFolder()),
                      QDir::homePath() + "/.local/share/halvex/ports")
                << "HOME=" << home << " XDG_DATA_HOME=" << value;
        }
    }
    qputenv("HOME", savedHome);
    if (had)
        qputenv("XDG_DATA_HOME", saved);
    else
        qunsetenv("XDG_DATA_HOME");
}

} // namespace
