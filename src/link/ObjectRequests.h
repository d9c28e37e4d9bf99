#pragma once
// ReadObject and WriteObject: the only way the program talks to the console unit.
#include <QString>
#include <cstdint>
#include <functional>

// Both return 1 only when the object was delivered (read: it arrived whole and was stored; write:
// the device acknowledged it), else 0 with storage unchanged; LastReplyOutcome tells more.
uint8_t ReadObject(uint8_t index);
uint8_t WriteObject(uint8_t index);

// What the last ReadObject/WriteObject amounted to. "Answered" means an intact header from the
// device stood at the start of what arrived: a damaged payload, a cut reply, an error reply or a
// reply for another object. Callers that must keep in step with the device (the archive read,
// whose requests carry no record number) or give it another chance (the probe) look at it.
enum class TReplyOutcome : uint8_t { NotAnswered, AnsweredNotDelivered, Delivered };
extern TReplyOutcome LastReplyOutcome;

// Where ReadObject and WriteObject report their outcome (panel 0 of the status bar). The window
// layer installs it; without one the texts go nowhere.
using TStatusSink = std::function<void(const QString&)>;
void SetStatusSink(TStatusSink sink);
