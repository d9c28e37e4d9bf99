#include <gtest/gtest.h>

#include "connection/ClockSync.h"
#include "tests/support/TimeZone.h"

namespace {

class ClockSync : public ::testing::Test {
  protected:
    TScopedTimeZone zone;
};

TEST_F(ClockSync, ToleranceIsThreeHundredSecondsEitherWay) {
    struct Case {
        int h, m, s;
        bool outOfStep;
    };
    const Case cases[] = {
        {12, 0, 0, false},  {12, 5, 0, false},  {12, 5, 1, true},
        {11, 55, 0, false}, {11, 54, 59, true}, {0, 0, 0, true},
    };
    for (int64_t now : {LocalTime(2024, 1, 15, 12, 0, 0), LocalTime(2024, 7, 15, 12, 0, 0)}) {
        for (const Case& c : cases)
            EXPECT_EQ(DeviceClockOutOfStep(now, c.h, c.m, c.s), c.outOfStep)
                << now << " " << c.h << ":" << c.m << ":" << c.s;
    }
}

TEST_F(ClockSync, DeviceTimeGoesOnThePcDate) {
    const int64_t now = LocalTime(2024, 3, 10, 23, 59, 58);
    EXPECT_EQ(DeviceTimeOnPcDate(now, 0, 0, 3) - now, -86395);
    EXPECT_TRUE(DeviceClockOutOfStep(now, 0, 0, 3));
    // Out-of-range fields from a device are carried over, not trusted as a time of day.
    EXPECT_TRUE(DeviceClockOutOfStep(now, 255, 255, 255));
}

TEST_F(ClockSync, ClockBytesAreTheLocalTime) {
    uint8_t clock[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    FillDeviceClock(LocalTime(2024, 7, 5, 7, 8, 9), clock);
    const uint8_t expected[8] = {24, 7, 5, 7, 8, 9, 0, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(clock[i], expected[i]) << i;
}

} // namespace

TEST(ClockDifference, FoldsIntoHalfADayEitherWay) {
    const int64_t cases[][2] = {{0, 0},      {43200, 43200}, {-43200, 43200}, {43201, -43199},
                                {86399, -1}, {-86399, 1},    {-3000, -3000},  {86400 * 3 + 5, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(FoldedClockDifference(c[0]), c[1]) << c[0];
}
