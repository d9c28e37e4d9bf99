#pragma once
// The PC clock, replaceable so that tests can put the PC at any moment.
#include <cstdint>

using TNowFunction = int64_t (*)();

// Seconds since 1970-01-01 00:00 UTC.
int64_t NowSeconds();
// nullptr restores the system clock.
void SetNowFunction(TNowFunction now);

// Milliseconds of a clock that never jumps, for spacing retries; replaceable like the PC clock.
int64_t SteadyMilliseconds();
// nullptr restores the steady system clock.
void SetSteadyFunction(TNowFunction steady);
