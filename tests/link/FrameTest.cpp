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
        std::memcpy(DeviceAddress, device, 3);
        std::memset(FrameBuffer, 0xEE, FrameBufferSize);
    }

    // ConsoleBattery as the device would send it, in FrameBuffer; the variables are cleared after.
    uint16_t BatteryReply() {
        ConsoleBattery = {21.5f, -120.0f, 3600, 90, 75};
        uint16_t size = 0;
        EncodeObject(ObjectTable, Obj::ConsoleBattery, FrameBuffer, size);
        FrameBuffer[FrameAt::ObjectId] = ObjectTable[Obj::ConsoleBattery].ObjectId;
        const uint16_t length = CompleteFrame(FrameBuffer, HostAddress, DeviceAddress,
                                              Cmd::ReadReply, vt::Struct, size);
        ConsoleBattery = {};
        return length;
    }
    static void Reseal() { SealHeader(FrameBuffer); }
    static void SetLength(uint16_t l) {
        SetPayloadLength(FrameBuffer, l);
        Reseal();
    }
    static bool BatteryStored() {
        return ConsoleBattery.RemainingTime == 3600 && ConsoleBattery.Charge == 75;
    }
};

TEST_F(Frames, ReadRequestWithoutAPortIsTheWorkedExample) {
    BuildReadRequest(FrameBuffer, Obj::DeviceSettings, DeviceAddress);
    const Bytes expected = {0x03, 0xC8, 0xFD, 0x01, 0x01, 0x01, 0x06, 0x7D, 0x01, 0x00,
                            0xA0, 0x4A, 0x04, 0x42, 0x11, 0x11, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(FrameBuffer, FrameBuffer + 19), expected);
    // No port: nothing arrived, and the request left in the buffer is not an answer.
    EXPECT_EQ(ReplyLength, 14);
    EXPECT_EQ(FindReplyStart(FrameBuffer, ReplyLength), 255);
}

TEST_F(Frames, AcknowledgementIsAnsweredAndChangesNothing) {
    EXPECT_EQ(CompleteFrame(FrameBuffer, HostAddress, DeviceAddress, Cmd::Ack, vt::Struct, 0), 14);
    EXPECT_EQ(Bytes(FrameBuffer + 10, FrameBuffer + 14), (Bytes{0xA0, 0x5B, 0xB2, 0x13}));
    const TDeviceSettings before = DeviceSettings;
    EXPECT_EQ(FindReplyStart(FrameBuffer, 14), 0);
    EXPECT_EQ(HandleReply(FrameBuffer, 14), 1);
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
        {"at the start", 0, DeviceAddress, 14, 0},
        {"after a stray byte", 1, DeviceAddress, 15, 1},
        {"after three stray bytes", 3, DeviceAddress, 17, 3},
        {"after four stray bytes", 4, DeviceAddress, 18, 255},
        {"from another source", 0, other, 14, 255},
        {"too short", 0, DeviceAddress, 13, 255},
    };
    for (const auto& c : cases) {
        std::memset(FrameBuffer, 0xEE, 8);
        CompleteFrame(FrameBuffer + c.shift, HostAddress, c.source, Cmd::Ack, 0, 0);
        EXPECT_EQ(FindReplyStart(FrameBuffer, c.length), c.start) << c.name;
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
        {"payload byte altered", [] { FrameBuffer[20] ^= 1; }, 1, false},
        {"payload checksum altered", [] { FrameBuffer[14 + 21] ^= 1; }, 1, false},
        {"header checksum altered", [] { FrameBuffer[12] ^= 1; }, 0, false},
        {"header byte altered", [] { FrameBuffer[FrameAt::Command] = Cmd::Ack; }, 0, false},
        {"even value type", [] { FrameBuffer[FrameAt::ValueType] = 124, Reseal(); }, 1, false},
        {"error reply", [] { FrameBuffer[FrameAt::Command] = Cmd::Error, Reseal(); }, 1, false},
        {"unknown object id",
         [] {
             FrameBuffer[FrameAt::ObjectId] = 0x7F;
             PutLE32(FrameBuffer + 35, FrameChecksum(FrameBuffer + 14, 21));
         },
         1, false},
        {"length differs from the object's",
         [] {
             SetLength(20);
             PutLE32(FrameBuffer + 34, FrameChecksum(FrameBuffer + 14, 20));
         },
         1, false},
        {"layout differs from the table",
         [] {
             FrameBuffer[16] = vt::U32;
             PutLE32(FrameBuffer + 35, FrameChecksum(FrameBuffer + 14, 21));
         },
         1, false},
    };
    for (const auto& c : cases) {
        const uint16_t length = BatteryReply();
        c.spoil();
        EXPECT_EQ(HandleReply(FrameBuffer, length), c.answered) << c.name;
        EXPECT_EQ(BatteryStored(), c.stored) << c.name;
    }
}

TEST_F(Frames, AnnouncedPayloadBeyondTheBufferIsAnsweredAndStoresNothing) {
    // The payload checksum of these would stand past the frame buffer's end.
    for (uint16_t l : {uint16_t(4082), uint16_t(4095), uint16_t(4096), uint16_t(65535)}) {
        BatteryReply();
        SetLength(l);
        EXPECT_EQ(HandleReply(FrameBuffer, FrameBufferSize), 1) << l;
        EXPECT_FALSE(BatteryStored()) << l;
    }
}

TEST_F(Frames, WriteRequestOfDeviceCommandIsTwentyBytes) {
    DeviceCommand = 1;
    uint16_t size = 0;
    EncodeObject(ObjectTable, Obj::DeviceCommand, FrameBuffer, size);
    BuildWriteRequest(FrameBuffer, Obj::DeviceCommand, DeviceAddress);
    const Bytes head = {0x03, 0xC8, 0xFD, 0x01, 0x01, 0x01, 0x08, 0x01, 0x02, 0x00};
    EXPECT_EQ(Bytes(FrameBuffer, FrameBuffer + 10), head);
    EXPECT_EQ(GetLE32(FrameBuffer + 10), FrameChecksum(head.data(), 10));
    EXPECT_EQ(Bytes(FrameBuffer + 14, FrameBuffer + 20),
              (Bytes{ObjectId::DeviceCommand, 0x01, 0x01, 0x16, 0x00, 0x00}));
}

} // namespace
