// The simulator's request parser and device model on any byte stream from the program. Input
// comes in chunks: [length][bytes]...; a length of 0 stands for the line going quiet (inter-byte
// time-out). Every reply the device sends must be a whole frame with intact checksums.
#include "fuzz/FuzzTargets.h"
#include "link/Frame.h"
#include "sim/SimDevice.h"

#include <cstring>

namespace {

void CheckReply(const std::vector<uint8_t>& b) {
    FuzzCheck(b.size() >= HeaderSize, "a reply has a whole header");
    if (b.size() < HeaderSize) return;
    FuzzCheck(HeaderIntact(b.data()), "a reply's header checksum is good");
    FuzzCheck(std::memcmp(b.data(), HostAddress, 3) == 0, "a reply goes to the program");
    const uint16_t l = PayloadLength(b.data());
    FuzzCheck(b.size() == FrameSize(l), "a reply is as long as it says");
    if (l > 0 && b.size() == FrameSize(l))
        FuzzCheck(PayloadIntact(b.data(), l), "a reply's payload checksum is good");
}

} // namespace

int FuzzSimRequest(const uint8_t* data, size_t size) {
    static const bool sized = (ComputeEncodedSizes(ObjectTable, ObjectTableCount), true);
    (void)sized;
    TSimOptions options;
    options.RealTime = false;
    TSimDevice device(options);
    // Requests need the device's address and good checksums to get anywhere; the first byte
    // asks for both to be put into every chunk that holds a header.
    const bool fix = size > 0 && (data[0] & 1);
    size_t at = size > 0 ? 1 : 0;
    while (at < size) {
        const size_t want = data[at++];
        const size_t n = std::min(want, size - at);
        if (n == 0) {
            device.ReceiveTimeout();
            continue;
        }
        std::vector<uint8_t> chunk(data + at, data + at + n);
        at += n;
        if (fix && chunk.size() >= HeaderSize) {
            std::memcpy(chunk.data(), device.Model().Address(), 3);
            std::memcpy(chunk.data() + 3, HostAddress, 3);
            SealHeader(chunk.data());
            const uint16_t l = PayloadLength(chunk.data());
            if (l > 0 && chunk.size() >= FrameSize(l)) SealPayload(chunk.data(), l);
        }
        std::vector<TOutgoing> out;
        device.Receive(chunk.data(), chunk.size(), out);
        for (const TOutgoing& o : out)
            CheckReply(o.Bytes);
    }
    return 0;
}
