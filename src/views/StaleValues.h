#pragma once
// Values that stop being current turn grey: after StaleAfterFailures failed reads in a row of a
// view's own object, until the next delivered read. Nothing is cleared; grey wins over the alarm
// red meanwhile, and the normal colours come back as they would be now.
#include <cstdint>

class TForm1;

constexpr int StaleAfterFailures = 3;

enum class TLiveObject : uint8_t { Measurement, DetectorBattery, ConsoleBattery, Spectrum };

// The outcome of one read of the object, as the polling cycle made it.
void NoteLiveRead(TForm1& form, TLiveObject object, bool delivered);
bool LiveValuesStale(TLiveObject object);
// A fresh window (tests): every view current.
void ForgetLiveReads();
