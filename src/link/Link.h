#pragma once
// The link's state in one place: what one exchange with the console unit reads and writes.
#include "link/Frame.h"

#include <cstdint>
#include <functional>
#include <string>

class TSerialPort;

// What the last ReadObject/WriteObject amounted to. "Answered" means an intact header from the
// device stood at the start of what arrived: a damaged payload, a cut reply, an error reply or a
// reply for another object. Callers that must keep in step with the device (the archive read,
// whose requests carry no record number) or give it another chance (the probe) look at it.
enum class TReplyOutcome : uint8_t { NotAnswered, AnsweredNotDelivered, Delivered };

// Where ReadObject and WriteObject report their outcome (panel 0 of the status bar), as the pair
// of UTF-8 texts; the window layer installs it and picks the operator's language. Without one
// the texts go nowhere.
using TStatusSink = std::function<void(const std::string& russian, const std::string& english)>;

struct TLink {
    uint8_t FrameBuffer[FrameBufferSize] = {};
    // Bytes of the reply as the exchange counts them: 14 both for a 14-byte acknowledgement and
    // for silence.
    uint16_t ReplyLength = 0;
    // Bytes that actually arrived in the last exchange. With silence the frame still holds the
    // request, which looks like a reply when DeviceAddress equals HostAddress; this tells the
    // two apart.
    uint16_t ReceivedCount = 0;
    uint8_t DeviceAddress[3] = {0x03, 0xC8, 0xFD};
    // The open port, or nullptr ("0") when none is open.
    TSerialPort* PortHandle = nullptr;
    TReplyOutcome LastReplyOutcome = TReplyOutcome::NotAnswered;
    TStatusSink StatusSink;
};

extern TLink Link;
