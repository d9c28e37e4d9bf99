#pragma once
// The PC clock, replaceable so that tests can put the PC at any moment.
#include <cstdint>

using TNowFunction = int64_t (*)();

// Seconds since 1970-01-01 00:00 UTC.
int64_t NowSeconds();
// nullptr restores the system clock.
void SetNowFunction(TNowFunction now);
