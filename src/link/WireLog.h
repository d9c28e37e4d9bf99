#pragma once
// A text record of what the link does, for connection diagnostics: one line per port opened and
// per direction of each exchange, with a local time stamp and the bytes in hex.
#include "link/SerialLink.h"

#include <cstdint>
#include <cstdio>
#include <string>

// The line for one event of the link (see TWireEvent); empty for a port number that has no
// port at all, which every search meets by the hundred. `ms`: milliseconds since 1970. A port
// that did not open is explained in English when `english` is set, else in Russian.
std::string WireLogLine(TWireEvent event, const uint8_t* data, int n, int64_t ms, bool english);

class TWireLog {
  public:
    TWireLog() = default;
    ~TWireLog();
    TWireLog(const TWireLog&) = delete;
    TWireLog& operator=(const TWireLog&) = delete;

    // Appends to `path`; false with the reason when it cannot be opened.
    bool Open(const std::string& path, std::string& error);
    // Writes the event's line at once, so that the file is complete whenever the program ends.
    void Record(TWireEvent event, const uint8_t* data, int n, bool english);
    bool IsOpen() const { return File != nullptr; }

  private:
    std::FILE* File = nullptr;
};
