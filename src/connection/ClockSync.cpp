#include "connection/ClockSync.h"

#include <ctime>

static std::tm LocalFields(int64_t now) {
    const std::time_t t = static_cast<std::time_t>(now);
    std::tm fields{};
    tzset();
    localtime_r(&t, &fields);
    return fields;
}

int64_t DeviceTimeOnPcDate(int64_t now, uint8_t hours, uint8_t minutes, uint8_t seconds) {
    std::tm fields = LocalFields(now);
    fields.tm_hour = hours;
    fields.tm_min = minutes;
    fields.tm_sec = seconds;
    // Keeping the PC's daylight-saving flag compares by the rules in force now: in the hour that
    // repeats when the clocks go back, a device showing the PC's time is not an hour off.
    return static_cast<int64_t>(mktime(&fields));
}

bool DeviceClockOutOfStep(int64_t now, uint8_t hours, uint8_t minutes, uint8_t seconds) {
    const int64_t device = DeviceTimeOnPcDate(now, hours, minutes, seconds);
    const int64_t difference = device > now ? device - now : now - device;
    return difference > ClockTolerance;
}

void FillDeviceClock(int64_t now, uint8_t clock[8]) {
    const std::tm fields = LocalFields(now);
    clock[0] = static_cast<uint8_t>(fields.tm_year + 1900 - 2000);
    clock[1] = static_cast<uint8_t>(fields.tm_mon + 1);
    clock[2] = static_cast<uint8_t>(fields.tm_mday);
    clock[3] = static_cast<uint8_t>(fields.tm_hour);
    clock[4] = static_cast<uint8_t>(fields.tm_min);
    clock[5] = static_cast<uint8_t>(fields.tm_sec);
    clock[6] = 0;
    clock[7] = 0;
}

int64_t FoldedClockDifference(int64_t seconds) {
    constexpr int64_t day = 86400, half = day / 2;
    int64_t folded = ((seconds % day) + day) % day; // 0..86399
    return folded > half ? folded - day : folded;
}
