#pragma once
// A serial port wired straight to a simulated console unit, for fast deterministic tests: no
// pacing and no real waiting. Time is virtual: a read that finds nothing due within its time-out
// returns at once as if the time-out had passed, and a delayed reply becomes due only after
// that much read time-out has gone by (a purge drops it, as on a real line).
#include "link/SerialLink.h"
#include "sim/SimDevice.h"

#include <deque>
#include <memory>

class TSimPort : public TSerialPort {
  public:
    // The device must outlive the port; several ports may be opened on one device in turn.
    explicit TSimPort(TSimDevice& device);
    void Purge() override;
    int Write(const uint8_t* data, int n) override;
    int Read(uint8_t* data, int n, int timeoutMs) override;
    void Close() override;

    bool HungUp() const override { return Hung; }
    bool Closed() const { return IsClosed; }
    int64_t VirtualMs() const { return Now; }
    size_t BytesWritten() const { return Written; }

  private:
    struct TByte {
        int64_t DueMs;
        uint8_t Value;
        bool HangUpAfter;
    };
    TSimDevice& Device;
    std::deque<TByte> Out;
    int64_t Now = 0;
    bool Hung = false;
    bool IsClosed = false;
    size_t Written = 0;
};
