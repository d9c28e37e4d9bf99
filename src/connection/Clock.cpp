#include "connection/Clock.h"

#include <ctime>

static TNowFunction CurrentNow = nullptr;

int64_t NowSeconds() { return CurrentNow ? CurrentNow() : static_cast<int64_t>(std::time(nullptr)); }

void SetNowFunction(TNowFunction now) { CurrentNow = now; }
