#include "fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

const TFuzzTarget FuzzTargets[] = {
    {"reply", FuzzReply},
    {"decode", FuzzDecode},
    {"ini", FuzzIni},
    {"address", FuzzAddress},
    {"threshold", FuzzThreshold},
    {"sim-request", FuzzSimRequest},
};
const size_t FuzzTargetCount = sizeof(FuzzTargets) / sizeof(FuzzTargets[0]);

namespace {
TFuzzFailureHandler FailureHandler;
}

void SetFuzzFailureHandler(TFuzzFailureHandler handler) {
    FailureHandler = std::move(handler);
}

void FuzzFail(const char* what) {
    if (FailureHandler) {
        FailureHandler(what);
        return;
    }
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
