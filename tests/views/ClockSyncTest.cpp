#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

#include "connection/ClockSync.h"

namespace {

class ClockSync : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        hadTz_ = old != nullptr;
        if (old) savedTz_ = old;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", savedTz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static int64_t Local(int year, int month, int day, int h, int m, int s) {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = h;
        t.tm_min = m;
        t.tm_sec = s;
        t.tm_isdst = -1;
        return int64_t(mktime(&t));
    }
    bool hadTz_ = false;
    std::string savedTz_;
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
    for (int64_t now : {Local(2024, 1, 15, 12, 0, 0), Local(2024, 7, 15, 12, 0, 0)}) {
        for (const Case& c : cases)
            EXPECT_EQ(DeviceClockOutOfStep(now, c.h, c.m, c.s), c.outOfStep)
                << now << " " << c.h << ":" << c.m << ":" << c.s;
    }
}

TEST_F(ClockSync, DeviceTimeGoesOnThePcDate) {
    const int64_t now = Local(2024, 3, 10, 23, 59, 58);
    EXPECT_EQ(DeviceTimeOnPcDate(now, 0, 0, 3) - now, -86395);
    EXPECT_TRUE(DeviceClockOutOfStep(now, 0, 0, 3));
    // Out-of-range fields from a device are carried over, not trusted as a time of day.
    EXPECT_TRUE(DeviceClockOutOfStep(now, 255, 255, 255));
}

TEST_F(ClockSync, ClockBytesAreTheLocalTime) {
    uint8_t clock[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    FillDeviceClock(Local(2024, 7, 5, 7, 8, 9), clock);
    const uint8_t expected[8] = {24, 7, 5, 7, 8, 9, 0, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(clock[i], expected[i]) << i;
}

} // namespace
