#pragma once
// A simulated device that holds still: no counting noise, and its time moves only when a test
// advances it.
#include "sim/SimOptions.h"

TSimOptions QuietDevice();
