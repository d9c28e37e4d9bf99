#include "fuzz/StorageOracle.h"

#include "link/Frame.h"
#include "link/ObjectTable.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

// Wire size of a value type, from the type table of the protocol; 0 for types that carry nothing
// (texts are not used by any object and count as nothing here too).
size_t WireSize(uint8_t type) {
    switch (type) {
    case 1:
    case 7:
        return 1;
    case 5:
    case 9:
    case 13:
        return 2;
    case 11:
    case 25:
        return 4;
    case 31:
    case 39:
        return 8;
    case 33:
        return 3;
    default:
        return 0;
    }
}

struct TPlace {
    uint8_t Type;
    uint8_t* Storage;
};

std::vector<TPlace> PlacesOf(const TObjectEntry& e) {
    std::vector<TPlace> places;
    if (e.ValueType == vt::Struct) {
        const auto* fields = static_cast<const TFieldEntry*>(e.Storage);
        for (uint8_t f = 0; f < e.FieldCount; ++f)
            places.push_back({static_cast<uint8_t>(fields[f].ValueType),
                              static_cast<uint8_t*>(fields[f].Storage)});
    } else if (e.ValueType != vt::Array) {
        places.push_back({e.ValueType, static_cast<uint8_t*>(e.Storage)});
    }
    return places;
}

// Every storage byte, in address order, and where each stands in a TStorageBytes. The table's
// storage never moves, so this is worked out once.
struct TLayout {
    std::vector<uint8_t*> Bytes;
    std::unordered_map<const uint8_t*, size_t> Position;
};

const TLayout& Layout() {
    static const TLayout layout = [] {
        TLayout l;
        for (uint8_t i = 0; i < ObjectTableCount; ++i)
            for (const TPlace& s : PlacesOf(ObjectTable[i]))
                for (size_t k = 0; k < WireSize(s.Type); ++k)
                    l.Bytes.push_back(s.Storage + k);
        std::sort(l.Bytes.begin(), l.Bytes.end());
        l.Bytes.erase(std::unique(l.Bytes.begin(), l.Bytes.end()), l.Bytes.end());
        for (size_t k = 0; k < l.Bytes.size(); ++k)
            l.Position[l.Bytes[k]] = k;
        return l;
    }();
    return layout;
}

} // namespace

TStorageBytes TakeStorageBytes() {
    const TLayout& l = Layout();
    TStorageBytes bytes(l.Bytes.size());
    for (size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = *l.Bytes[k];
    return bytes;
}

std::optional<TStorageBytes> ExpectedAfterDecode(const TStorageBytes& before, uint8_t index,
                                                 const uint8_t* data, size_t size) {
    const TObjectEntry& e = ObjectTable[index];
    const std::vector<TPlace> places = PlacesOf(e);
    size_t at = 0;
    if (e.ValueType == vt::Struct) {
        if (size < 1u + places.size() || data[0] != places.size()) return std::nullopt;
        for (size_t f = 0; f < places.size(); ++f)
            if (data[1 + f] != places[f].Type) return std::nullopt;
        at = 1 + places.size();
    }
    TStorageBytes after = before;
    for (const TPlace& s : places) {
        const size_t n = WireSize(s.Type);
        if (at + n > size) return std::nullopt;
        for (size_t k = 0; k < n; ++k)
            // Addresses travel least significant byte first and are held the other way round.
            after[Layout().Position.at(s.Storage + k)] =
                data[at + (s.Type == vt::Address ? n - 1 - k : k)];
        at += n;
    }
    return after;
}

TExchangeVerdict JudgeExchange(const TStorageBytes& before, uint8_t index, bool write,
                               const std::vector<uint8_t>& r) {
    const TObjectEntry& e = ObjectTable[index];
    // Answered: an intact header from the device to us at the first byte that arrived.
    const bool answered = r.size() >= HeaderSize && std::memcmp(r.data(), HostAddress, 3) == 0 &&
                          std::memcmp(r.data() + 3, Link.DeviceAddress, 3) == 0 &&
                          HeaderIntact(r.data());
    TExchangeVerdict verdict{
        answered ? TReplyOutcome::AnsweredNotDelivered : TReplyOutcome::NotAnswered, before};
    if (!answered) return verdict;
    if (write) {
        if (r[FrameAt::Command] == Cmd::Ack) verdict.Outcome = TReplyOutcome::Delivered;
        return verdict;
    }
    const uint16_t l = PayloadLength(r.data());
    if (r[FrameAt::Command] != Cmd::ReadReply || r[FrameAt::ValueType] != e.ValueType || l == 0 ||
        l != e.EncodedSize || FrameSize(l) > FrameBufferSize || r.size() < FrameSize(l) ||
        r[FrameAt::ObjectId] != e.ObjectId || !PayloadIntact(r.data(), l))
        return verdict;
    if (auto stored = ExpectedAfterDecode(before, index, r.data() + FrameAt::ObjectId + 1, l - 1)) {
        verdict.Outcome = TReplyOutcome::Delivered;
        verdict.Storage = std::move(*stored);
    }
    return verdict;
}
