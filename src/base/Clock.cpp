#include "base/Clock.h"

#include <chrono>
#include <ctime>

static TNowFunction CurrentNow = nullptr;

int64_t NowSeconds() {
    return CurrentNow ? CurrentNow() : static_cast<int64_t>(std::time(nullptr));
}

void SetNowFunction(TNowFunction now) {
    CurrentNow = now;
}

static TNowFunction CurrentSteady = nullptr;

int64_t SteadyMilliseconds() {
    if (CurrentSteady) return CurrentSteady();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SetSteadyFunction(TNowFunction steady) {
    CurrentSteady = steady;
}
