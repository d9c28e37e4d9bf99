#include <gtest/gtest.h>

#include "archive/ArchiveRecords.h"
#include "archive/ArchiveTransfer.h"
#include "link/Catalogue.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/QuietDevice.h"
#include "tests/support/SimOpener.h"

#include <cstring>
#include <memory>

namespace {

class Transfer : public ::testing::Test {
  protected:
    void SetUp() override {
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        TSimOptions options = QuietDevice();
        options.ArchiveRecords = 300;
        options.ArchivePages = 3;
        device = std::make_unique<TSimDevice>(options);
        opener = std::make_unique<TSimOpener>(*device, 3);
        ASSERT_NE(OpenPort(3), nullptr);
        ArchiveLoaded = false;
    }
    void TearDown() override {
        ClosePort();
        opener.reset();
        device.reset();
        ArchiveLoaded = false;
    }
    TDeviceModel& Model() { return device->Model(); }
    bool SlotIsDevices(int slot, int deviceSlot) {
        return std::memcmp(ArchiveBuffer + size_t(slot) * ArchiveSlotSize,
                           &Model().Archive()[size_t(deviceSlot)], ArchiveSlotSize) == 0;
    }
    std::unique_ptr<TSimDevice> device;
    std::unique_ptr<TSimOpener> opener;
};

TEST_F(Transfer, CopiesTheDeviceArchiveSlotBySlot) {
    std::vector<int> stored; // progress positions of the stored slots
    TArchiveReadHooks hooks;
    hooks.Progress = [&](int position, int s, int) {
        if (s > position) stored.push_back(position);
    };
    const TArchiveReadResult r = ReadArchive(hooks);
    EXPECT_TRUE(r.Completed);
    EXPECT_TRUE(ArchiveLoaded);
    EXPECT_EQ(r.Failures, 0);
    EXPECT_EQ(Model().Reads(ObjectId::ArchiveEntry), 903); // the discarded lead-in, then 902 kept
    for (int i = 0; i < ArchiveSlotCount; ++i)
        ASSERT_TRUE(SlotIsDevices(i, i)) << i;
    ASSERT_EQ(stored.size(), 902u);
    EXPECT_EQ(stored.front(), 0);
    EXPECT_EQ(stored.back(), 901);
    EXPECT_EQ(CurrentPage, 1);
}

TEST_F(Transfer, FailuresCountOverTheWholeRead) {
    // 100 lost requests still let the read complete; the 101st abandons it.
    for (int lost : {100, 101}) {
        TArchiveReadHooks hooks;
        hooks.Started = [&] { device->Faults().SetNext(TFault::NoAnswer, lost); };
        const TArchiveReadResult r = ReadArchive(hooks);
        EXPECT_EQ(r.Completed, lost == 100) << lost;
        EXPECT_EQ(ArchiveLoaded, lost == 100) << lost;
        EXPECT_EQ(r.Failures, lost) << lost;
        device->Faults().Clear();
        Model().RewindArchive();
    }
    // The slots filled before the abandon stay in the buffer (none here: every read was lost).
    EXPECT_TRUE(IsEmptySlot(0));
}

TEST_F(Transfer, NoDeviceAbandonsAfterTheDiscardedReadAnd101Failures) {
    ClosePort();
    int reads = 0;
    TArchiveReadHooks hooks;
    hooks.Progress = [&](int, int, int) { ++reads; };
    ArchiveLoaded = true;
    const TArchiveReadResult r = ReadArchive(hooks);
    EXPECT_FALSE(r.Completed);
    EXPECT_FALSE(ArchiveLoaded);
    EXPECT_EQ(reads, 101);
}

// A damaged answer still moved the device on: its slot is filled (with the record before it) and
// the next slot gets the next record, in step with the device; the slot is counted and named.
TEST_F(Transfer, DamagedAnswerKeepsTheSlotsInStep) {
    for (TFault fault : {TFault::CorruptPayload, TFault::CutReply, TFault::OtherObject}) {
        TArchiveReadHooks hooks;
        hooks.Progress = [&](int, int stored, int) {
            if (stored == 10) device->Faults().SetNext(fault, 1, 20);
        };
        const TArchiveReadResult r = ReadArchive(hooks);
        EXPECT_TRUE(r.Completed);
        EXPECT_EQ(r.Failures, 1);
        EXPECT_EQ(r.Damaged, std::vector<int>{11});
        EXPECT_EQ(ArchiveDamagedSlots, std::vector<int>{11});
        EXPECT_TRUE(IsDamagedSlot(11));
        EXPECT_TRUE(SlotIsDevices(10, 9)) << "the record before it, once more";
        EXPECT_TRUE(SlotIsDevices(11, 11));
        EXPECT_TRUE(SlotIsDevices(901, 901));
        device->Faults().Clear();
        Model().RewindArchive();
    }
}

TEST_F(Transfer, DamagedAnswersCountTowardTheLimit) {
    TArchiveReadHooks hooks;
    hooks.Started = [&] { device->Faults().SetNext(TFault::CorruptPayload, 101); };
    const TArchiveReadResult r = ReadArchive(hooks);
    EXPECT_FALSE(r.Completed);
    EXPECT_EQ(r.Failures, 101);
}

TEST_F(Transfer, Erase) {
    CurrentPage = 2;
    PageCount = 3;
    ArchiveLoaded = true;
    ArchiveBuffer[0] = 7;
    EXPECT_TRUE(EraseArchive());
    EXPECT_EQ(Model().Commands(2), 1);
    EXPECT_EQ(Model().RecordCount(), 0u);
    EXPECT_EQ(CurrentPage, 0);
    EXPECT_EQ(PageCount, 1);
    EXPECT_TRUE(ArchiveLoaded); // the copy is untouched
    EXPECT_EQ(ArchiveBuffer[0], 7);

    CurrentPage = 2;
    PageCount = 3;
    device->Faults().SetNext(TFault::NoAnswer, 1);
    EXPECT_FALSE(EraseArchive());
    EXPECT_EQ(CurrentPage, 2);
    EXPECT_EQ(PageCount, 3);
    ArchiveBuffer[0] = 0;
}

} // namespace
