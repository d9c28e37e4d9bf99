#pragma once
// The fuzz targets: each takes one input of any bytes, drives one piece of the program with it and
// checks the outcome against what a correct implementation gives. A failed check is reported
// through FuzzFail; libFuzzer builds turn it into a crash, the corpus replay test into a failure.
#include <cstddef>
#include <cstdint>
#include <functional>

using TFuzzEntry = int (*)(const uint8_t* data, size_t size);

struct TFuzzTarget {
    const char* Name; // also the corpus folder fuzz/corpus/<Name>
    TFuzzEntry Entry;
};

int FuzzReply(const uint8_t* data, size_t size);
int FuzzDecode(const uint8_t* data, size_t size);
int FuzzIni(const uint8_t* data, size_t size);
int FuzzAddress(const uint8_t* data, size_t size);
int FuzzThreshold(const uint8_t* data, size_t size);
int FuzzSimRequest(const uint8_t* data, size_t size);

// Every target, in the order tools/fuzz runs them.
extern const TFuzzTarget FuzzTargets[];
extern const size_t FuzzTargetCount;

// Reports a failed check: by default prints it and aborts.
void FuzzFail(const char* what);
inline void FuzzCheck(bool ok, const char* what) {
    if (!ok) FuzzFail(what);
}
using TFuzzFailureHandler = std::function<void(const char* what)>;
void SetFuzzFailureHandler(TFuzzFailureHandler handler);
