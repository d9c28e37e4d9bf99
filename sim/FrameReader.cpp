#include "sim/FrameReader.h"

#include "link/Frame.h"

void TFrameReader::Feed(const uint8_t* data, size_t n, std::vector<std::vector<uint8_t>>& frames) {
    Pending.insert(Pending.end(), data, data + n);
    size_t start = 0;
    while (Pending.size() - start >= HeaderSize) {
        const uint8_t* h = Pending.data() + start;
        if (!HeaderIntact(h)) {
            ++start; // not a header here: look one byte further
            ++SkippedBytes;
            continue;
        }
        const uint16_t L = PayloadLength(h);
        const size_t total =
            L > MaxPayload ? HeaderSize : FrameSize(L); // refused on the header alone
        if (Pending.size() - start < total) break;
        frames.emplace_back(h, h + total);
        start += total;
    }
    Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(start));
}
