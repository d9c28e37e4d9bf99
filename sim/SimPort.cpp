#include "sim/SimPort.h"

TSimPort::TSimPort(TSimDevice& device) : Device(device) {}

void TSimPort::Purge() {
    Out.clear();
    Device.ReceiveTimeout();
}

int TSimPort::Write(const uint8_t* data, int n) {
    if (Hung || IsClosed || n < 0) return -1;
    std::vector<TOutgoing> replies;
    Device.Receive(data, static_cast<size_t>(n), replies);
    Written += static_cast<size_t>(n);
    for (const TOutgoing& r : replies) {
        for (size_t i = 0; i < r.Bytes.size(); ++i)
            Out.push_back({Now + r.DelayMs, r.Bytes[i], r.HangUpAfter && i + 1 == r.Bytes.size()});
        if (r.HangUpAfter && r.Bytes.empty()) Hung = true;
    }
    return n;
}

int TSimPort::Read(uint8_t* data, int n, int timeoutMs) {
    if (IsClosed || n <= 0) return 0;
    const int64_t deadline = Now + (timeoutMs > 0 ? timeoutMs : 0);
    int count = 0;
    while (count < n && !Out.empty() && Out.front().DueMs <= deadline) {
        const TByte b = Out.front();
        Out.pop_front();
        if (b.DueMs > Now) Now = b.DueMs;
        data[count++] = b.Value;
        if (b.HangUpAfter) {
            Hung = true;
            Out.clear();
            break;
        }
    }
    // Short of n bytes, a real read waits out its whole time-out.
    if (count < n) {
        Now = deadline;
        Device.ReceiveTimeout();
    }
    return count;
}

void TSimPort::Close() {
    IsClosed = true;
    Out.clear();
}
