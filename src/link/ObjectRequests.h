#pragma once
// ReadObject and WriteObject: the only way the program talks to the console unit.
#include "link/Link.h"

#include <cstdint>
#include <functional>

// Both return 1 only when the object was delivered (read: it arrived whole and was stored; write:
// the device acknowledged it), else 0 with storage unchanged; Link.LastReplyOutcome tells more.
uint8_t ReadObject(uint8_t index);
uint8_t WriteObject(uint8_t index);

// Installs where the outcome is reported (Link.StatusSink).
void SetStatusSink(TStatusSink sink);
