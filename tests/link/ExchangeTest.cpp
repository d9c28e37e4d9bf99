#include "ScriptPort.h"
#include "base/Language.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

using Bytes = std::vector<uint8_t>;

// A reply as the device would send it; `payload` starts with the object id or error code.
Bytes Reply(uint8_t command, uint8_t type, const Bytes& payload) {
    uint8_t frame[FrameBufferSize] = {};
    if (!payload.empty()) std::memcpy(frame + 14, payload.data(), payload.size());
    const uint16_t n = CompleteFrame(frame, HostAddress, Link.DeviceAddress, command, type,
                                     uint16_t(payload.size()));
    return Bytes(frame, frame + n);
}

Bytes Ack() {
    return Reply(Cmd::Ack, vt::Struct, {});
}

Bytes BatteryReply(uint8_t objectId, uint32_t remaining) {
    Bytes p = {objectId, 5, 25, 25, 11, 1, 1, 0, 0, 0xA0, 0x41, 0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        p.push_back(uint8_t(remaining >> 8 * i));
    p.insert(p.end(), {80, 60});
    return Reply(Cmd::ReadReply, vt::Struct, p);
}

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override {
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        ConsoleBattery = DetectorBattery = {};
        LanguageIndex = 1;
        SetStatusSink(LanguageSink([this](const QString& text) { Status = text; }));
    }
    void TearDown() override {
        SetStatusSink(nullptr);
        LanguageIndex = 0;
    }
    // Sends a read request of DeviceSettings through the scripted port; returns the request.
    Bytes Transact(const Bytes& reply) {
        link.Port->Reply = reply;
        LinkTransact(Link.FrameBuffer,
                     BuildReadRequest(Link.FrameBuffer, Obj::DeviceSettings, Link.DeviceAddress));
        return link.Port->Sent;
    }
    TScriptedLink link;
    std::optional<QString> Status;
};

TEST_F(Exchange, ReadsAHeaderThenAtMostThePayload) {
    Bytes full = BatteryReply(ObjectId::ConsoleBattery, 7);
    Bytes badHeader = Ack();
    badHeader[11] ^= 1;
    const struct {
        const char* name;
        Bytes reply;
        uint16_t replyLength;
        std::vector<int> reads; // bytes asked for by each read
        bool drained;           // then the line is drained: the rest of the frame may follow
    } cases[] = {
        {"silent device", {}, 14, {14}, false},
        {"a few stray bytes", {0x01, 0x01, 0x01, 0x03, 0x05}, 19, {14}, true},
        {"bad header checksum", badHeader, 28, {14}, true},
        {"acknowledgement", Ack(), 14, {14}, false},
        {"complete reply", full, uint16_t(full.size()), {14, 25}, false},
        {"reply cut after 3 payload bytes",
         Bytes(full.begin(), full.begin() + 17),
         17,
         {14, 25},
         false},
    };
    for (const auto& c : cases) {
        link.Port->Reads.clear();
        const int purges = link.Port->Purges;
        const Bytes request = Transact(c.reply);
        EXPECT_EQ(link.Port->Purges, purges + 1) << c.name;
        EXPECT_EQ(request.size(), 19u) << c.name;
        EXPECT_EQ(Link.ReplyLength, c.replyLength) << c.name;
        std::vector<int> reads;
        bool drained = false;
        for (const TReadCall& r : link.Port->Reads) {
            if (r.TimeoutMs <= 10) {
                drained = true;
                continue;
            }
            EXPECT_FALSE(drained) << c.name << ": draining comes last";
            reads.push_back(r.Bytes);
            EXPECT_EQ(r.TimeoutMs, 30 + r.Bytes) << c.name;
        }
        EXPECT_EQ(reads, c.reads) << c.name;
        EXPECT_EQ(drained, c.drained) << c.name;
        // What did not arrive still holds the request.
        const size_t arrived = c.reply.size();
        for (size_t i = arrived; i < request.size(); ++i)
            EXPECT_EQ(Link.FrameBuffer[i], request[i]) << c.name << " " << i;
    }
}

TEST_F(Exchange, NeverReadsPastTheFrameBuffer) {
    // A header announcing 65535 payload bytes followed by more filler than the buffer holds.
    Bytes huge = Reply(Cmd::ReadReply, vt::Struct, {});
    SetPayloadLength(huge.data(), 0xFFFF);
    SealHeader(huge.data());
    huge.resize(14 + 5000, 0x5A);
    Transact(huge);
    const std::vector<TReadCall>& reads = link.Port->Reads;
    ASSERT_GT(reads.size(), 2u);
    EXPECT_EQ(reads[1].Bytes, FrameBufferSize - 14);
    EXPECT_EQ(Link.ReplyLength, FrameBufferSize);
    EXPECT_EQ(HandleReply(Link.FrameBuffer, Link.ReplyLength), 1);
    // The rest is drained in reads that wait 10 ms at most, until one finds the line quiet.
    for (size_t i = 2; i < reads.size(); ++i)
        EXPECT_LE(reads[i].TimeoutMs, 10);
    uint8_t more = 0;
    EXPECT_EQ(link.Port->Read(&more, 1, 0), 0);
}

// A line that never falls quiet (another device chattering on the port) still ends the exchange:
// the draining behind its garbage gives up after its time.
TEST_F(Exchange, DrainingEndsOnALineThatNeverFallsQuiet) {
    struct TChatter : TSerialPort {
        int DrainReads = 0;
        void Purge() override {}
        int Write(const uint8_t*, int n) override { return n; }
        int Read(uint8_t* data, int n, int timeoutMs) override {
            if (timeoutMs <= 10) ++DrainReads;
            std::memset(data, 0x5A, size_t(n));
            return n;
        }
        void Close() override {}
    };
    TChatter* port = nullptr;
    SetPortOpener([&port](uint8_t) {
        auto p = std::make_unique<TChatter>();
        port = p.get();
        return p;
    });
    OpenPort(1);
    EXPECT_EQ(ReadObject(Obj::ConsoleBattery), 0);
    EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::NotAnswered);
    EXPECT_GT(port->DrainReads, 1);
    SetPortOpener(nullptr);
    ClosePort();
}

TEST_F(Exchange, StatusTextFollowsOutcomeAndLanguage) {
    const struct {
        uint8_t language;
        bool write;
        bool answered;
        std::optional<QString> text;
    } cases[] = {
        {0, false, true, QString::fromUtf8("Чтение")},
        {1, false, true, "Reading"},
        {0, true, true, QString::fromUtf8("Выполнено")},
        {1, true, true, "Ok"},
        {0, false, false, QString::fromUtf8("Ошибка связи")},
        {1, true, false, "Connection error"},
        {2, false, true, std::nullopt},
        {7, true, false, std::nullopt},
    };
    for (const auto& c : cases) {
        LanguageIndex = c.language;
        Status.reset();
        link.Port->Reply = !c.answered ? Bytes{}
                           : c.write   ? Ack()
                                       : BatteryReply(ObjectId::ConsoleBattery, 5);
        const uint8_t result =
            c.write ? WriteObject(Obj::DeviceCommand) : ReadObject(Obj::ConsoleBattery);
        EXPECT_EQ(result, c.answered ? 1 : 0) << int(c.language);
        EXPECT_EQ(Status, c.text) << int(c.language) << c.write << c.answered;
    }
}

TEST_F(Exchange, OnlyTheWholeObjectAskedForCountsAndIsStored) {
    using O = TReplyOutcome;
    const Bytes good = BatteryReply(ObjectId::ConsoleBattery, 4242);
    Bytes damaged = good;
    damaged[20] ^= 0x10;
    Bytes late = good;
    late.insert(late.begin(), 0x00);
    const struct {
        const char* name;
        Bytes reply;
        O outcome;
    } cases[] = {
        {"silence", {}, O::NotAnswered},
        {"a reply behind a stray byte", late, O::NotAnswered},
        {"the object whole", good, O::Delivered},
        {"an error reply", Reply(Cmd::Error, 0, {ErrorCode::Object}), O::AnsweredNotDelivered},
        {"an acknowledgement", Ack(), O::AnsweredNotDelivered},
        {"another object", BatteryReply(ObjectId::DetectorBattery, 4242), O::AnsweredNotDelivered},
        {"a damaged payload", damaged, O::AnsweredNotDelivered},
        {"cut after 20 payload bytes", Bytes(good.begin(), good.begin() + 34),
         O::AnsweredNotDelivered},
    };
    for (const auto& c : cases) {
        ConsoleBattery = DetectorBattery = {};
        link.Port->Reply = c.reply;
        EXPECT_EQ(ReadObject(Obj::ConsoleBattery), c.outcome == O::Delivered ? 1 : 0) << c.name;
        EXPECT_EQ(Link.LastReplyOutcome, c.outcome) << c.name;
        EXPECT_EQ(ConsoleBattery.RemainingTime, c.outcome == O::Delivered ? 4242u : 0u) << c.name;
        EXPECT_EQ(DetectorBattery.RemainingTime, 0u) << c.name;
    }
}

TEST_F(Exchange, ACutReplyIsNotCompletedByTheBytesOfAnEarlierOne) {
    // The device sent new values, but only part of them arrived; the rest of the buffer still
    // holds the previous, identical-looking reply.
    link.Port->Reply = BatteryReply(ObjectId::ConsoleBattery, 1111);
    ASSERT_EQ(ReadObject(Obj::ConsoleBattery), 1);
    const Bytes second = BatteryReply(ObjectId::ConsoleBattery, 1111);
    link.Port->Reply = Bytes(second.begin(), second.begin() + 30);
    EXPECT_EQ(ReadObject(Obj::ConsoleBattery), 0);
    EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::AnsweredNotDelivered);
    EXPECT_EQ(Status, QString("Connection error"));
}

TEST_F(Exchange, AWriteCountsOnlyWhenAcknowledged) {
    const struct {
        Bytes reply;
        TReplyOutcome outcome;
    } cases[] = {
        {Ack(), TReplyOutcome::Delivered},
        {Reply(Cmd::Error, 0, {ErrorCode::Checksum}), TReplyOutcome::AnsweredNotDelivered},
        {{}, TReplyOutcome::NotAnswered},
    };
    for (const auto& c : cases) {
        link.Port->Reply = c.reply;
        EXPECT_EQ(WriteObject(Obj::DeviceCommand), c.outcome == TReplyOutcome::Delivered ? 1 : 0);
        EXPECT_EQ(Link.LastReplyOutcome, c.outcome);
    }
}

TEST_F(Exchange, SilenceIsNotAnAnswerEvenWhenTheDeviceHasTheHostAddress) {
    // The unanswered request left in the buffer then reads as a frame from the device.
    const uint8_t saved[3] = {Link.DeviceAddress[0], Link.DeviceAddress[1], Link.DeviceAddress[2]};
    std::memcpy(Link.DeviceAddress, HostAddress, 3);
    link.Port->Reply = {};
    EXPECT_EQ(ReadObject(Obj::DeviceSettings), 0);
    link.Port->Reply = Ack();
    EXPECT_EQ(WriteObject(Obj::DeviceCommand), 1);
    std::memcpy(Link.DeviceAddress, saved, 3);
}

TEST_F(Exchange, WriteSendsWhatTheStorageHolds) {
    const uint8_t address[3] = {0x12, 0x34, 0x56};
    std::memcpy(DeviceSettings.Module2Address, address, 3);
    link.Port->Reply = Ack();
    EXPECT_EQ(WriteObject(Obj::Module2Address), 1);
    const Bytes& sent = link.Port->Sent;
    ASSERT_EQ(sent.size(), 22u);
    EXPECT_EQ(Bytes(sent.begin() + 6, sent.begin() + 10), (Bytes{Cmd::Write, vt::Address, 4, 0}));
    EXPECT_EQ(Bytes(sent.begin() + 14, sent.begin() + 18),
              (Bytes{ObjectId::Module2Address, 0x56, 0x34, 0x12}));
    EXPECT_EQ(GetLE32(sent.data() + 18), FrameChecksum(sent.data() + 14, 4));
}

TEST(NoPort, RequestsFailWithTheConnectionErrorText) {
    ClosePort();
    SetPortOpener(nullptr);
    std::optional<QString> status;
    SetStatusSink(LanguageSink([&](const QString& text) { status = text; }));
    LanguageIndex = 1;
    EXPECT_EQ(ReadObject(Obj::MeasurementData), 0);
    EXPECT_EQ(status, QString("Connection error"));
    EXPECT_EQ(WriteObject(Obj::DeviceClock), 0);
    EXPECT_EQ(ReadObject(ObjectCount), 0); // an index past the table sends nothing
    SetStatusSink(nullptr);
    LanguageIndex = 0;
}

} // namespace
