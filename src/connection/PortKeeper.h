#pragma once
// Keeping the polled port: a port found dead (hung up, or not open while one is named) is closed,
// opened again at most once every ReopenIntervalMs, and counts as back once the device answers
// on it. Shared by the polling cycle of the window and halvexctl's watch.
#include <cstdint>

constexpr int64_t ReopenIntervalMs = 2000;

enum class TPortChange { Unchanged, Lost, Back };

// Before every polling step on port `n`. Lost while the port is lost at this step (then it has
// been closed, and perhaps opened again for the step to try).
TPortChange KeepPortBeforeStep(uint8_t n);
// After each exchange of a step. The first exchange on a reopened port decides: answered, the
// port is Back; silent, it is Lost again (closed) so that the step costs no more than that one.
TPortChange KeepPortAfterExchange();
// The port in use is a good one (found by a search, or none at all).
void MarkPortInUse();
// Whether the port is lost or reopened but not yet confirmed.
bool PortBeingReopened();
// A fresh run (tests): no port lost.
void ForgetPortState();
