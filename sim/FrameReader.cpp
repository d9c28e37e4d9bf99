#include "sim/FrameReader.h"

#include "link/Frame.h"

void TFrameReader::Feed(const uint8_t* data, size_t n, std::vector<std::vector<uint8_t>>& frames) {
    Pending.insert(Pending.end(), data, data + n);
    size_t start = 0;
    while (Pending.size() - start >= HeaderSize) {
        const uint8_t* h = Pending.data() + start;
        if (FrameChecksum(h, 10) != GetLE32(h + 10)) {
            ++start; // not a header here: look one byte further
            ++SkippedBytes;
            continue;
        }
        const size_t L = size_t(h[8]) | size_t(h[9]) << 8;
        size_t total = L == 0 ? HeaderSize : HeaderSize + L + 4;
        if (L > MaxPayload) total = HeaderSize; // refused on the header alone
        if (Pending.size() - start < total) break;
        frames.emplace_back(h, h + total);
        start += total;
    }
    Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(start));
}
