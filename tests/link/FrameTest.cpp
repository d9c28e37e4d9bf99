#include "link/Frame.h"
#include "link/Catalogue.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(FrameChecksum, KnownValues) {
    const struct {
        const char* data;
        uint32_t sum;
    } cases[] = {{"", 0}, {"\x11", 0x11}, {"abc", 0x6E43}, {"abcd", 0x000C4F24}};
    for (const auto& c : cases)
        EXPECT_EQ(
            FrameChecksum(reinterpret_cast<const uint8_t*>(c.data), uint16_t(std::strlen(c.data))),
            c.sum)
            << c.data;
}

class Frames : public ::testing::Test {
  protected:
    void SetUp() override {
        ClosePort();
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        const uint8_t device[3] = {0x03, 0xC8, 0xFD};
        std::memcpy(Link.DeviceAddress, device, 3);
        std::memset(Link.FrameBuffer, 0xEE, FrameBufferSize);
    }

    // ConsoleBattery as the device would send it, in FrameBuffer; the variables are cleared after.
    uint16_t BatteryReply() {
        ConsoleBattery = {21.5f, -120.0f, 3600, 90, 75};
        uint16_t size = 0;
        EncodeObject(ObjectTable, Obj::ConsoleBattery, Link.FrameBuffer, size);
        Link.FrameBuffer[FrameAt::ObjectId] = ObjectTable[Obj::ConsoleBattery].ObjectId;
        const uint16_t length = CompleteFrame(Link.FrameBuffer, HostAddress, Link.DeviceAddress,
                                              Cmd::ReadReply, vt::Struct, size);
        ConsoleBattery = {};
        return length;
    }
    static void Reseal() { SealHeader(Link.FrameBuffer); }
    static void SetLength(uint16_t l) {
        SetPayloadLength(Link.FrameBuffer, l);
        Reseal();
    }
    static bool BatteryStored() {
        return ConsoleBattery.RemainingTime == 3600 && ConsoleBattery.Charge == 75;
    }
};

TEST_F(Frames, ReadRequestWithoutAPortIsTheWorkedExample) {
    const uint16_t size =
        BuildReadRequest(Link.FrameBuffer, Obj::DeviceSettings, Link.DeviceAddress);
    EXPECT_EQ(size, 19);
    LinkTransact(Link.FrameBuffer, size);
    const Bytes expected = {0x03, 0xC8, 0xFD, 0x01, 0x01, 0x01, 0x06, 0x7D, 0x01, 0x00,
                            0xA0, 0x4A, 0x04, 0x42, 0x11, 0x11, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(Link.FrameBuffer, Link.FrameBuffer + 19), expected);
    // No port: nothing arrived, and the request left in the buffer is not an answer.
    EXPECT_EQ(Link.ReplyLength, 14);
    EXPECT_EQ(FindReplyStart(Link.FrameBuffer, Link.ReplyLength), 255);
}

TEST_F(Frames, AcknowledgementIsAnsweredAndChangesNothing) {
    EXPECT_EQ(
        CompleteFrame(Link.FrameBuffer, HostAddress, Link.DeviceAddress, Cmd::Ack, vt::Struct, 0),
        14);
    EXPECT_EQ(Bytes(Link.FrameBuffer + 10, Link.FrameBuffer + 14), (Bytes{0xA0, 0x5B, 0xB2, 0x13}));
    const TDeviceSettings before = DeviceSettings;
    EXPECT_EQ(FindReplyStart(Link.FrameBuffer, 14), 0);
    EXPECT_EQ(HandleReply(Link.FrameBuffer, 14), 1);
    EXPECT_EQ(std::memcmp(&before, &DeviceSettings, sizeof before), 0);
}

TEST_F(Frames, ReplyStartIsFoundOnlyForTheRightPair) {
    const uint8_t other[3] = {0x03, 0xC8, 0xFE};
    const struct {
        const char* name;
        int shift;
        const uint8_t* source;
        uint16_t length;
        uint8_t start;
    } cases[] = {
        {"at the start", 0, Link.DeviceAddress, 14, 0},
        {"after a stray byte", 1, Link.DeviceAddress, 15, 1},
        {"after three stray bytes", 3, Link.DeviceAddress, 17, 3},
        {"after four stray bytes", 4, Link.DeviceAddress, 18, 255},
        {"from another source", 0, other, 14, 255},
        {"too short", 0, Link.DeviceAddress, 13, 255},
    };
    for (const auto& c : cases) {
        std::memset(Link.FrameBuffer, 0xEE, 8);
        CompleteFrame(Link.FrameBuffer + c.shift, HostAddress, c.source, Cmd::Ack, 0, 0);
        EXPECT_EQ(FindReplyStart(Link.FrameBuffer, c.length), c.start) << c.name;
    }
}

TEST_F(Frames, RepliesAreJudgedAndRoutedByTheirOwnHeader) {
    const struct {
        const char* name;
        std::function<void()> spoil;
        uint8_t answered;
        bool stored;
    } cases[] = {
        {"intact", [] {}, 1, true},
        {"payload byte altered", [] { Link.FrameBuffer[20] ^= 1; }, 1, false},
        {"payload checksum altered", [] { Link.FrameBuffer[14 + 21] ^= 1; }, 1, false},
        {"header checksum altered", [] { Link.FrameBuffer[12] ^= 1; }, 0, false},
        {"header byte altered", [] { Link.FrameBuffer[FrameAt::Command] = Cmd::Ack; }, 0, false},
        {"even value type", [] { Link.FrameBuffer[FrameAt::ValueType] = 124, Reseal(); }, 1, false},
        {"error reply", [] { Link.FrameBuffer[FrameAt::Command] = Cmd::Error, Reseal(); }, 1,
         false},
        {"unknown object id",
         [] {
             Link.FrameBuffer[FrameAt::ObjectId] = 0x7F;
             PutLE32(Link.FrameBuffer + 35, FrameChecksum(Link.FrameBuffer + 14, 21));
         },
         1, false},
        {"length differs from the object's",
         [] {
             SetLength(20);
             PutLE32(Link.FrameBuffer + 34, FrameChecksum(Link.FrameBuffer + 14, 20));
         },
         1, false},
        {"layout differs from the table",
         [] {
             Link.FrameBuffer[16] = vt::U32;
             PutLE32(Link.FrameBuffer + 35, FrameChecksum(Link.FrameBuffer + 14, 21));
         },
         1, false},
    };
    for (const auto& c : cases) {
        const uint16_t length = BatteryReply();
        c.spoil();
        EXPECT_EQ(HandleReply(Link.FrameBuffer, length), c.answered) << c.name;
        EXPECT_EQ(BatteryStored(), c.stored) << c.name;
    }
}

TEST_F(Frames, AnnouncedPayloadBeyondTheBufferIsAnsweredAndStoresNothing) {
    // The payload checksum of these would stand past the frame buffer's end.
    for (uint16_t l : {uint16_t(4082), uint16_t(4095), uint16_t(4096), uint16_t(65535)}) {
        BatteryReply();
        SetLength(l);
        EXPECT_EQ(HandleReply(Link.FrameBuffer, FrameBufferSize), 1) << l;
        EXPECT_FALSE(BatteryStored()) << l;
    }
}

TEST_F(Frames, WriteRequestOfDeviceCommandIsTwentyBytes) {
    DeviceCommand = 1;
    uint16_t size = 0;
    EncodeObject(ObjectTable, Obj::DeviceCommand, Link.FrameBuffer, size);
    EXPECT_EQ(BuildWriteRequest(Link.FrameBuffer, Obj::DeviceCommand, Link.DeviceAddress), 20);
    const Bytes head = {0x03, 0xC8, 0xFD, 0x01, 0x01, 0x01, 0x08, 0x01, 0x02, 0x00};
    EXPECT_EQ(Bytes(Link.FrameBuffer, Link.FrameBuffer + 10), head);
    EXPECT_EQ(GetLE32(Link.FrameBuffer + 10), FrameChecksum(head.data(), 10));
    EXPECT_EQ(Bytes(Link.FrameBuffer + 14, Link.FrameBuffer + 20),
              (Bytes{ObjectId::DeviceCommand, 0x01, 0x01, 0x16, 0x00, 0x00}));
}

} // namespace
