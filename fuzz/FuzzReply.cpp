// The reply path: ReadObject and WriteObject over a port that answers with the fuzzer's bytes.
// Input: exchanges one after another, each [op][fix][length lo][length hi][reply bytes]. op: bit 7
// write, else read, of table index (op & 0x7F) % 14. fix: bit 0 put the right addresses in the
// header, bit 1 make the header checksum good, bit 2 make the payload checksum good (so that the
// fuzzer reaches the decoding without solving checksums). Exchanges follow one another on one
// buffer, as in the program, so leftovers of one reply meet the next.
#include "fuzz/FuzzTargets.h"
#include "fuzz/StorageOracle.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "tests/link/ScriptPort.h"

#include <cstring>
#include <vector>

namespace {

void Fix(std::vector<uint8_t>& r, uint8_t fix) {
    if (r.size() < HeaderSize) return;
    if (fix & 1) {
        std::memcpy(r.data(), HostAddress, 3);
        std::memcpy(r.data() + 3, Link.DeviceAddress, 3);
    }
    if (fix & 2) SealHeader(r.data());
    const uint16_t l = PayloadLength(r.data());
    if ((fix & 4) && l > 0 && r.size() >= FrameSize(l)) SealPayload(r.data(), l);
}

void Exchange(uint8_t op, const std::vector<uint8_t>& r) {
    const uint8_t index = (op & 0x7F) % ObjectTableCount;
    const bool write = op & 0x80;
    const TExchangeVerdict verdict = JudgeExchange(TakeStorageBytes(), index, write, r);

    TScriptedLink link;
    link.Port->Reply = r;
    const uint8_t result = write ? WriteObject(index) : ReadObject(index);

    FuzzCheck(result == (verdict.Outcome == TReplyOutcome::Delivered ? 1 : 0),
              "result is 1 exactly when the object was delivered");
    FuzzCheck(Link.LastReplyOutcome == verdict.Outcome, "outcome matches what the device sent");
    FuzzCheck(TakeStorageBytes() == verdict.Storage,
              "storage holds exactly what the device sent in this exchange");
}

} // namespace

int FuzzReply(const uint8_t* data, size_t size) {
    static const bool sized = (ComputeEncodedSizes(ObjectTable, ObjectTableCount), true);
    (void)sized;
    size_t at = 0;
    while (size - at >= 4) {
        const uint8_t op = data[at], fix = data[at + 1];
        size_t n = size_t(data[at + 2]) | size_t(data[at + 3]) << 8;
        at += 4;
        n = std::min(n, size - at);
        std::vector<uint8_t> reply(data + at, data + at + n);
        at += n;
        Fix(reply, fix);
        Exchange(op, reply);
    }
    return 0;
}
