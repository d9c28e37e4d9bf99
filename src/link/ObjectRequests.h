#pragma once
// ReadObject and WriteObject: the only way the program talks to the console unit.
#include <QString>
#include <cstdint>
#include <functional>

uint8_t ReadObject(uint8_t index);
uint8_t WriteObject(uint8_t index);

// Where ReadObject and WriteObject report their outcome (panel 0 of the status bar). The window
// layer installs it; without one the texts go nowhere.
using TStatusSink = std::function<void(const QString&)>;
void SetStatusSink(TStatusSink sink);
