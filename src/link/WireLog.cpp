#include "link/WireLog.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace {

// Local time with milliseconds: "yyyy-MM-dd HH:mm:ss.zzz ".
std::string TimeStamp(int64_t ms) {
    int64_t seconds = ms / 1000;
    int64_t milli = ms % 1000;
    if (milli < 0) {
        milli += 1000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[48];
    const size_t k = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + k, sizeof text - k, ".%03d ", static_cast<int>(milli));
    return text;
}

} // namespace

std::string WireLogLine(TWireEvent event, const uint8_t* data, int n, int64_t ms, bool english) {
    std::string line = TimeStamp(ms);
    switch (event) {
    case TWireEvent::Opened:
        if (Link.PortHandle) return line + "COM" + std::to_string(n) + " opened";
        if (LastOpenProblem.Empty()) return {};
        return line + "COM" + std::to_string(n) + ": " + LastOpenProblem.In(english);
    case TWireEvent::Sent:
        line += '>';
        break;
    case TWireEvent::Received:
        line += '<';
        if (n <= 0) return line + " (nothing)";
        break;
    }
    static const char digits[] = "0123456789ABCDEF";
    line += ' ';
    for (int i = 0; i < n; ++i) {
        if (i > 0) line += ' ';
        line += digits[data[i] >> 4];
        line += digits[data[i] & 0x0F];
    }
    return line;
}

TWireLog::~TWireLog() {
    if (File) std::fclose(File);
}

bool TWireLog::Open(const std::string& path, std::string& error) {
    if (File) std::fclose(File);
    File = std::fopen(path.c_str(), "a");
    if (!File) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void TWireLog::Record(TWireEvent event, const uint8_t* data, int n, bool english) {
    if (!File) return;
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    const std::string line = WireLogLine(event, data, n, ms, english);
    if (line.empty()) return;
    std::fputs((line + '\n').c_str(), File);
    std::fflush(File);
}
