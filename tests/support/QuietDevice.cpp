#include "tests/support/QuietDevice.h"

TSimOptions QuietDevice() {
    TSimOptions options;
    options.Noise = false;
    options.RealTime = false;
    return options;
}
