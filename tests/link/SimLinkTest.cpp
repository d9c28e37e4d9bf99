// Exchanges over a real pseudo-terminal against the simulator running as its own process.
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/PortFolder.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t Port = 3;

class SimLink : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ports.IsValid());
        const uint8_t device[3] = {0x03, 0xC8, 0xFD};
        std::memcpy(Link.DeviceAddress, device, 3);
    }
    // Starts the simulator as COM3 with `faults` and opens the port.
    void Start(const QStringList& faults) {
        ASSERT_TRUE(ports.StartSim(Port, faults)) << ports.Sim.Error().toStdString();
        ASSERT_NE(OpenPort(Port), nullptr) << LastOpenProblem.English;
    }
    // A read of MeasurementData; returns the request as it stood before the reply came in.
    uint8_t Read(Bytes* request = nullptr) {
        const uint8_t result = ReadObject(Obj::MeasurementData);
        if (request) {
            uint8_t frame[19];
            std::memcpy(frame, Link.FrameBuffer, 19);
            CompleteFrame(frame, Link.DeviceAddress, HostAddress, Cmd::Read, vt::Struct, 1);
            frame[FrameAt::ObjectId] = ObjectTable[Obj::MeasurementData].ObjectId;
            PutLE32(frame + 15, FrameChecksum(frame + 14, 1));
            request->assign(frame, frame + 19);
        }
        return result;
    }
    TPortFolder ports;
};

TEST_F(SimLink, CompleteReplyAndAcknowledgement) {
    Start({});
    MeasurementData = {};
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(Link.ReplyLength, 18 + 61);
    EXPECT_GT(MeasurementData.DoseRate, 0.0f);

    DeviceCommand = 1;
    EXPECT_EQ(WriteObject(Obj::DeviceCommand), 1);
    EXPECT_EQ(Link.ReplyLength, 14);
    EXPECT_EQ(Link.FrameBuffer[FrameAt::Command], Cmd::Ack);
}

TEST_F(SimLink, SilentDeviceLeavesTheRequest) {
    Start({"--fault-next", "no-answer=1"});
    Bytes request;
    EXPECT_EQ(Read(&request), 0);
    EXPECT_EQ(Link.ReplyLength, 14);
    EXPECT_EQ(Bytes(Link.FrameBuffer, Link.FrameBuffer + 19), request);
    EXPECT_EQ(Read(), 1); // the device is still there
}

TEST_F(SimLink, DamagedReplies) {
    const struct {
        const char* fault;
        TReplyOutcome outcome;
        uint16_t replyLength;
    } cases[] = {
        {"corrupt-header-checksum=1", TReplyOutcome::NotAnswered, 28},
        // header intact, 6 of 65 payload bytes: answered, nothing stored
        {"cut=1,20", TReplyOutcome::AnsweredNotDelivered, 20},
        {"corrupt-payload=1", TReplyOutcome::AnsweredNotDelivered, 79},
        {"stray-byte=1", TReplyOutcome::NotAnswered, 28}, // the shifted header fails its checksum
        {"wrong-source=1", TReplyOutcome::NotAnswered, 79},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        Start({"--fault-next", c.fault});
        // Left over from an earlier reply, the missing bytes could complete a cut one.
        std::memset(Link.FrameBuffer, 0, FrameBufferSize);
        MeasurementData = {};
        EXPECT_EQ(Read(), 0);
        EXPECT_EQ(Link.LastReplyOutcome, c.outcome);
        EXPECT_EQ(Link.ReplyLength, c.replyLength);
        EXPECT_EQ(MeasurementData.DoseRate, 0.0f);
        ClosePort();
        ports.Sim.Stop();
    }
}

TEST_F(SimLink, OversizeReplyIsBoundedByTheBuffer) {
    Start({"--fault-next", "huge-length=1"});
    MeasurementData = {};
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::AnsweredNotDelivered);
    EXPECT_EQ(Link.ReplyLength, FrameBufferSize);
    EXPECT_EQ(MeasurementData.DoseRate, 0.0f);
    // The filler beyond the buffer was still on its way when the read ended; had the next request
    // gone out at once, its tail would have been taken for the reply's header.
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(Link.ReplyLength, 79);
    EXPECT_GT(MeasurementData.DoseRate, 0.0f);
}

TEST_F(SimLink, HangUpFailsLaterRequestsAndReopeningStartsClean) {
    Start({"--fault-next", "hang-up=1", "--reopen"});
    Read(); // half a reply, then the line is gone
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Read(), 0);
    // The simulator put a new line behind the same name.
    for (int i = 0; i < 100 && !QFileInfo::exists(ports.Entry(Port)); ++i)
        usleep(20000);
    ASSERT_NE(OpenPort(Port), nullptr);
    int answered = 0;
    for (int i = 0; i < 50 && !answered; ++i) {
        answered = Read();
        if (!answered) {
            usleep(20000);
            OpenPort(Port);
        }
    }
    EXPECT_EQ(answered, 1);
}

TEST_F(SimLink, NumberWithoutAPort) {
    Start({});
    EXPECT_EQ(OpenPort(200), nullptr);
    EXPECT_EQ(Link.PortHandle, nullptr);
    EXPECT_TRUE(LastOpenProblem.Empty());
    EXPECT_EQ(Read(), 0);
}

} // namespace
