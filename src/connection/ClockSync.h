#pragma once
// Keeping the device's time of day in step with the PC: the comparison and the clock object.
#include <cstdint>

// A device time of day further than this from the PC's is rewritten; exactly this is accepted.
constexpr int64_t ClockTolerance = 300;

// The device's hours, minutes and seconds placed on the PC's local date at `now`, as seconds
// since 1970 by the local time rules in force at `now`. Only the time of day is the device's.
int64_t DeviceTimeOnPcDate(int64_t now, uint8_t hours, uint8_t minutes, uint8_t seconds);

// True when the device's time of day differs from the PC's by more than ClockTolerance.
bool DeviceClockOutOfStep(int64_t now, uint8_t hours, uint8_t minutes, uint8_t seconds);

// The DeviceClock bytes for the local time at `now`: year - 2000, month, day, hour, minute,
// second, 0, 0.
void FillDeviceClock(int64_t now, uint8_t clock[8]);

// A difference of two times of day (seconds) folded into -43200..43200: a device a few seconds
// behind at midnight is a few seconds behind, not a day ahead.
int64_t FoldedClockDifference(int64_t seconds);
