#pragma once
// Cuts a byte stream from the program into request frames: a 14-byte header with a good
// checksum, then its payload and payload checksum. Garbage before a header is skipped a byte at
// a time; a frame whose payload stops arriving is dropped when the caller reports the
// inter-byte time-out.
#include <cstddef>
#include <cstdint>
#include <vector>

class TFrameReader {
  public:
    // Appends bytes; complete frames are appended to `frames`. A header announcing more than
    // 4095 payload bytes is delivered alone (14 bytes), so that it can be refused.
    void Feed(const uint8_t* data, size_t n, std::vector<std::vector<uint8_t>>& frames);
    // The line went quiet in the middle of a frame: forget it.
    void Timeout() { Pending.clear(); }
    bool Waiting() const { return !Pending.empty(); }
    size_t Skipped() const { return SkippedBytes; }

  private:
    std::vector<uint8_t> Pending;
    size_t SkippedBytes = 0;
};
