#pragma once
// A console unit on a line: the device model behind a frame reader, with faults applied to its
// replies. Both transports (in memory and pseudo-terminal) drive one of these.
#include "sim/DeviceModel.h"
#include "sim/FaultInjector.h"
#include "sim/FrameReader.h"

#include <cstdint>
#include <vector>

// One reply as it should leave the device.
struct TOutgoing {
    std::vector<uint8_t> Bytes;
    int DelayMs = 0;          // wait this long before the first byte
    bool HangUpAfter = false; // hang the line up once Bytes are sent
};

class TSimDevice {
  public:
    explicit TSimDevice(const TSimOptions& options = TSimOptions());
    TDeviceModel& Model() { return DeviceModel; }
    TFaultInjector& Faults() { return Injector; }

    // Bytes from the program; the replies to every frame they complete are appended to `out`.
    void Receive(const uint8_t* data, size_t n, std::vector<TOutgoing>& out);
    // The inter-byte time-out passed with a frame incomplete.
    void ReceiveTimeout() { Reader.Timeout(); }
    // Part of a request has arrived and the rest is awaited.
    bool Waiting() const { return Reader.Waiting(); }
    // One complete frame; false when nothing is sent back.
    bool Answer(const uint8_t* frame, size_t n, TOutgoing& out);

  private:
    TDeviceModel DeviceModel;
    TFaultInjector Injector;
    TFrameReader Reader;
};
