#include "sim/DeviceModel.h"
#include "SimTestUtil.h"
#include "base/Clock.h"
#include "link/ObjectTable.h"
#include "tests/support/QuietDevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

namespace {

struct TModelFixture : ::testing::Test {
    TDeviceModel Model{QuietDevice()};
    std::vector<uint8_t> Reply;

    bool Send(const std::vector<uint8_t>& f) {
        return Model.HandleRequest(f.data(), f.size(), Reply);
    }
    bool IsError(uint8_t code) const {
        return Reply.size() == 19 && Reply[FrameAt::Command] == Cmd::Error &&
               Reply[FrameAt::ValueType] == 0 && Reply[FrameAt::Payload] == code &&
               PayloadIntact(Reply.data(), 1);
    }
    bool IsAck(uint8_t valueType) const {
        return Reply.size() == 14 && Reply[FrameAt::Command] == Cmd::Ack &&
               Reply[FrameAt::ValueType] == valueType && PayloadLengthOf(Reply) == 0;
    }
    std::vector<uint8_t> Write(uint8_t valueType, uint8_t objectId, std::vector<uint8_t> value) {
        value.insert(value.begin(), objectId);
        return MakeFrame(SimDefaultAddress, Cmd::Write, valueType, value);
    }
};

TEST_F(TModelFixture, ReadRepliesCarryEachReadableObjectInFull) {
    struct {
        uint8_t Id, Type;
        uint16_t Size;
        uint8_t Fields;
    } cases[] = {{ObjectId::SpectrumData, 125, 111, 23},   {ObjectId::SpectrumData2, 125, 111, 23},
                 {ObjectId::MeasurementData, 125, 61, 16}, {ObjectId::ConsoleBattery, 125, 21, 5},
                 {ObjectId::DetectorBattery, 125, 21, 5},  {ObjectId::DeviceSettings, 125, 65, 18},
                 {ObjectId::ArchiveEntry, 125, 29, 9},     {ObjectId::ConsoleAddress, 33, 4, 0},
                 {ObjectId::Module1Address, 33, 4, 0},     {ObjectId::Module2Address, 33, 4, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Id));
        ASSERT_TRUE(Send(ReadRequest(c.Type, c.Id)));
        ASSERT_EQ(Reply.size(), 18u + c.Size);
        EXPECT_EQ(0, std::memcmp(Reply.data(), HostAddress, 3));
        EXPECT_EQ(0, std::memcmp(Reply.data() + FrameAt::Source, SimDefaultAddress, 3));
        EXPECT_EQ(Reply[FrameAt::Command], Cmd::ReadReply);
        EXPECT_EQ(Reply[FrameAt::ValueType], c.Type);
        EXPECT_EQ(PayloadLengthOf(Reply), c.Size);
        EXPECT_TRUE(HeaderIntact(Reply.data()));
        EXPECT_TRUE(PayloadIntact(Reply.data(), c.Size));
        EXPECT_EQ(Reply[FrameAt::ObjectId], c.Id);
        if (c.Fields) {
            EXPECT_EQ(Reply[15], c.Fields);
        }
    }
    // Addresses travel least significant byte first.
    ASSERT_TRUE(Send(ReadRequest(33, ObjectId::ConsoleAddress)));
    EXPECT_EQ(Reply[15], 0xFD);
    EXPECT_EQ(Reply[17], 0x03);
}

TEST_F(TModelFixture, BadRequestsGetTheErrorCodeOrSilence) {
    auto badChecksum = Write(1, ObjectId::DeviceCommand, {1});
    badChecksum[16] ^= 0x01;
    // Only the header of a frame announcing 5000 payload bytes is sent; it is built whole
    // first, since completing a frame also writes the payload checksum.
    std::vector<uint8_t> tooLong(14 + 5000 + 4);
    CompleteFrame(tooLong.data(), SimDefaultAddress, HostAddress, Cmd::Write, 125, 5000);
    tooLong.resize(14);
    struct {
        const char* What;
        std::vector<uint8_t> Frame;
        uint8_t Code;
    } errors[] = {
        {"read of a write-only object", ReadRequest(31, ObjectId::DeviceClock), ErrorCode::Object},
        {"read of an unknown id", ReadRequest(125, 0x42), ErrorCode::Object},
        {"read with the wrong value type", ReadRequest(11, ObjectId::MeasurementData),
         ErrorCode::Object},
        {"write of an unknown object", Write(125, 0x99, {}), ErrorCode::Object},
        {"write of the wrong length", Write(1, ObjectId::DeviceCommand, {1, 2}), ErrorCode::Length},
        {"write with a wrong field type",
         Write(125, ObjectId::TaggedAddress, {2, 1, 11, 5, 1, 2, 3}), ErrorCode::Object},
        {"write with a wrong field count",
         Write(125, ObjectId::TaggedAddress, {3, 1, 33, 5, 1, 2, 3}), ErrorCode::Object},
        {"payload checksum", badChecksum, ErrorCode::Checksum},
        {"payload over 4095", tooLong, ErrorCode::Length},
        {"unknown command", MakeFrame(SimDefaultAddress, 9, 1, {ObjectId::DeviceCommand}),
         ErrorCode::Object},
    };
    for (const auto& e : errors) {
        SCOPED_TRACE(e.What);
        ASSERT_TRUE(Send(e.Frame));
        EXPECT_TRUE(IsError(e.Code));
        EXPECT_EQ(0, std::memcmp(Reply.data() + FrameAt::Source, SimDefaultAddress, 3));
    }
    EXPECT_EQ(Model.Commands(1) + Model.Commands(2), 0);

    const uint8_t other[3] = {0x03, 0xC8, 0xFE};
    auto badHeader = ReadRequest(125, ObjectId::MeasurementData);
    badHeader[12] ^= 0x40;
    auto ack = MakeFrame(SimDefaultAddress, Cmd::Ack, 0, {});
    for (const auto& silent :
         {ReadRequest(125, ObjectId::MeasurementData, other), badHeader, ack}) {
        EXPECT_FALSE(Send(silent));
        EXPECT_TRUE(Reply.empty());
    }
}

TEST_F(TModelFixture, WritesAreAcknowledgedAndApplied) {
    ASSERT_TRUE(Send(MakeFrame(SimDefaultAddress, Cmd::Probe, 0, {})));
    EXPECT_TRUE(IsAck(0));
    EXPECT_EQ(Model.Probes(), 1);

    // Settings: thresholds 0.5 and 20, brightness position 7 sent as 175, and four bytes of
    // bits; the device keeps the brightness as the level 7.
    std::vector<uint8_t> settings = {7, 25, 25, 1, 1, 1, 1, 1};
    const float t1 = 0.5f, t2 = 20.0f;
    settings.resize(8 + 8);
    std::memcpy(&settings[8], &t1, 4);
    std::memcpy(&settings[12], &t2, 4);
    for (uint8_t b : {uint8_t(175), uint8_t(2), uint8_t(0x1A), uint8_t(0x10), uint8_t(0x05)})
        settings.push_back(b);
    ASSERT_TRUE(Send(Write(125, ObjectId::DeviceSettingsWrite, settings)));
    EXPECT_TRUE(IsAck(125));
    EXPECT_EQ(Model.Settings().Brightness, 7);
    EXPECT_FLOAT_EQ(Model.Settings().DoseRateThreshold, 0.5f);
    EXPECT_EQ(Model.Settings().Options, 0x1A);
    EXPECT_EQ(Model.Settings().Screens, 0x05);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::DeviceSettings)));
    EXPECT_EQ(Reply[14 + 2 + 18 + 4 + 4 + 4 + 4 + 4 + 3 + 1 + 4 + 4], 7) << "brightness as held";

    ASSERT_TRUE(Send(Write(33, ObjectId::Module1Address, {0x33, 0x22, 0x11})));
    const uint8_t module1[3] = {0x11, 0x22, 0x33};
    EXPECT_EQ(0, std::memcmp(Model.Settings().Module1Address, module1, 3));
}

TEST_F(TModelFixture, ConsoleAddressChangeTakesEffectAfterTheAck) {
    ASSERT_TRUE(Send(Write(33, ObjectId::ConsoleAddress, {0x03, 0x02, 0x01})));
    EXPECT_TRUE(IsAck(33));
    EXPECT_EQ(0, std::memcmp(Reply.data() + FrameAt::Source, SimDefaultAddress, 3))
        << "ack from the old address";
    EXPECT_FALSE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    const uint8_t now[3] = {0x01, 0x02, 0x03};
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData, now)));
    EXPECT_EQ(0, std::memcmp(Reply.data() + FrameAt::Source, now, 3));
}

TEST_F(TModelFixture, ArchiveReadsStartAtSlotZeroAfterTheLeadInAndErase) {
    Model.GenerateArchive(902, 4, true);
    const std::vector<uint8_t> read = ReadRequest(125, ObjectId::ArchiveEntry);
    auto record = [&]() {
        EXPECT_TRUE(Send(read));
        TArchiveEntry e{};
        // Fields begin after id, count and nine type bytes.
        std::memcpy(&e, Reply.data() + 14 + 11, ArchiveRecordSize);
        return e;
    };
    for (int pass = 0; pass < 2; ++pass) {
        record(); // the read the program discards
        for (int slot = 0; slot < SimArchiveCapacity; ++slot) {
            const TArchiveEntry e = record();
            ASSERT_EQ(0, std::memcmp(&e, &Model.Archive()[slot], ArchiveRecordSize)) << slot;
        }
    }
    // Another request between archive reads starts the next archive read afresh.
    record();
    record();
    Send(ReadRequest(125, ObjectId::MeasurementData));
    record();
    TArchiveEntry first = record();
    EXPECT_EQ(0, std::memcmp(&first, &Model.Archive()[0], ArchiveRecordSize));

    ASSERT_TRUE(Send(Write(1, ObjectId::DeviceCommand, {2})));
    EXPECT_TRUE(IsAck(1));
    EXPECT_EQ(Model.Commands(2), 1);
    EXPECT_EQ(Model.RecordCount(), 0u);
    const TArchiveEntry zero{};
    record();
    first = record();
    EXPECT_EQ(0, std::memcmp(&first, &zero, ArchiveRecordSize));
}

TEST_F(TModelFixture, DoseAccumulatesAndResets) {
    Model.SetDoseRateLevel(3.6e-6); // 1 uSv per 1000 s
    Model.Advance(1000);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_NEAR(Model.Measurement().Dose, 1e-6, 1e-8);
    EXPECT_EQ(Model.Measurement().AccumulationTime, 1000u);
    ASSERT_TRUE(Send(Write(1, ObjectId::DeviceCommand, {1})));
    EXPECT_EQ(Model.Commands(1), 1);
    Model.Advance(10);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_NEAR(Model.Measurement().Dose, 1e-8, 1e-9);
    EXPECT_EQ(Model.Measurement().AccumulationTime, 10u);
}

TEST_F(TModelFixture, StatusBitsFollowMeasurementsThresholdsAndArchive) {
    Model.Settings().DoseRateThreshold = 1.0f; // uSv/h
    Model.Settings().DoseThreshold = 0;        // off
    Model.SetDoseRateLevel(0.5e-6);
    Model.Advance(1);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_EQ(Model.Measurement().Status, StatusNewMeasurement);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_EQ(Model.Measurement().Status, 0) << "reported once";

    Model.SetDoseRateLevel(2e-6);
    Model.Settings().DoseThreshold = 0.0001f;
    Model.SetRecordCount(902);
    Model.Advance(1);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_EQ(Model.Measurement().Status,
              StatusNewMeasurement | StatusDoseRateAlarm | StatusDoseAlarm | StatusMemoryFull);
    EXPECT_EQ(Model.Measurement().RecordCount, 902u);

    Model.SetStatusOverride(uint8_t(0x20));
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_EQ(Reply[14 + 61 - 1], 0x20);
}

int64_t StampOf(const TArchiveEntry& e) {
    tm t{};
    t.tm_sec = e.SecondsFlags & 0x3F;
    t.tm_min = e.Minutes;
    t.tm_hour = e.Hours;
    t.tm_mday = e.KindDay & 0x3F;
    t.tm_mon = e.Month - 1;
    t.tm_year = e.Year + 100;
    t.tm_isdst = -1;
    return mktime(&t);
}

TEST_F(TModelFixture, GeneratedArchiveHasSessionsKindsAndGaps) {
    for (bool gaps : {false, true}) {
        SCOPED_TRACE(gaps);
        Model.GenerateArchive(100, 4, gaps);
        const TArchiveEntry zero{};
        int backwards = 0, empty = 0, unusable = 0, located = 0, kinds = 0;
        int64_t last = 0;
        const int used = int(Model.RecordCount());
        for (int i = 0; i < used; ++i) {
            const TArchiveEntry& e = Model.Archive()[i];
            if (std::memcmp(&e, &zero, ArchiveRecordSize) == 0) {
                ++empty;
                continue;
            }
            if (!(e.Value > 0)) {
                ++unusable;
                continue;
            }
            const int64_t t = StampOf(e);
            backwards += t < last;
            last = t;
            located += (e.SecondsFlags & 0x80) != 0;
            kinds |= 1 << (e.KindDay >> 6);
        }
        EXPECT_EQ(backwards, 3);
        EXPECT_EQ(kinds, 0xF);
        EXPECT_GT(located, 0);
        EXPECT_LT(located, 100);
        EXPECT_EQ(empty, gaps ? 3 : 0);
        EXPECT_EQ(unusable > 0, gaps);
        EXPECT_EQ(used, gaps ? 103 : 100);
        EXPECT_EQ(0, std::memcmp(&Model.Archive()[used], &zero, ArchiveRecordSize));
    }
}

int64_t FixedNow() {
    return 1781000000;
}

TEST_F(TModelFixture, ClockWriteSetsTheDeviceTimeOfDay) {
    setenv("TZ", "UTC", 1);
    tzset();
    SetNowFunction(FixedNow);
    Model.SetClockOffset(-5000);
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    time_t t = FixedNow() - 5000;
    tm local{};
    localtime_r(&t, &local);
    EXPECT_EQ(Model.Measurement().ClockHours, local.tm_hour);
    EXPECT_EQ(Model.Measurement().ClockMinutes, local.tm_min);

    t = FixedNow() + 3600;
    localtime_r(&t, &local);
    const std::vector<uint8_t> clock = {uint8_t(local.tm_year - 100),
                                        uint8_t(local.tm_mon + 1),
                                        uint8_t(local.tm_mday),
                                        uint8_t(local.tm_hour),
                                        uint8_t(local.tm_min),
                                        uint8_t(local.tm_sec),
                                        0,
                                        0};
    ASSERT_TRUE(Send(Write(31, ObjectId::DeviceClock, clock)));
    EXPECT_TRUE(IsAck(31));
    EXPECT_EQ(Model.ClockOffset(), 3600);
    ASSERT_TRUE(Model.LastClockWrite());
    EXPECT_TRUE(std::equal(clock.begin(), clock.end(), Model.LastClockWrite()->begin()));
    ASSERT_TRUE(Send(ReadRequest(125, ObjectId::MeasurementData)));
    EXPECT_EQ(Model.Measurement().ClockHours, local.tm_hour);
    EXPECT_EQ(Model.Measurement().ClockSeconds, local.tm_sec);
    SetNowFunction(nullptr);
}

} // namespace
