#include "fuzz/StorageOracle.h"

#include "link/ObjectTable.h"

#include <cstring>
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

struct TSlot {
    uint8_t Type;
    uint8_t* Storage;
};

std::vector<TSlot> SlotsOf(const TObjectEntry& e) {
    std::vector<TSlot> slots;
    if (e.ValueType == vt::Struct) {
        const auto* fields = static_cast<const TFieldEntry*>(e.Storage);
        for (uint8_t f = 0; f < e.FieldCount; ++f)
            slots.push_back({static_cast<uint8_t>(fields[f].ValueType),
                             static_cast<uint8_t*>(fields[f].Storage)});
    } else if (e.ValueType != vt::Array) {
        slots.push_back({e.ValueType, static_cast<uint8_t*>(e.Storage)});
    }
    return slots;
}

} // namespace

TStorageBytes TakeStorageBytes() {
    TStorageBytes bytes;
    for (uint8_t i = 0; i < ObjectTableCount; ++i)
        for (const TSlot& s : SlotsOf(ObjectTable[i]))
            for (size_t k = 0; k < WireSize(s.Type); ++k)
                bytes[s.Storage + k] = s.Storage[k];
    return bytes;
}

std::optional<TStorageBytes> ExpectedAfterDecode(const TStorageBytes& before, uint8_t index,
                                                 const uint8_t* data, size_t size) {
    const TObjectEntry& e = ObjectTable[index];
    const std::vector<TSlot> slots = SlotsOf(e);
    size_t at = 0;
    if (e.ValueType == vt::Struct) {
        if (size < 1u + slots.size() || data[0] != slots.size()) return std::nullopt;
        for (size_t f = 0; f < slots.size(); ++f)
            if (data[1 + f] != slots[f].Type) return std::nullopt;
        at = 1 + slots.size();
    }
    TStorageBytes after = before;
    for (const TSlot& s : slots) {
        const size_t n = WireSize(s.Type);
        if (at + n > size) return std::nullopt;
        for (size_t k = 0; k < n; ++k)
            // Addresses travel least significant byte first and are held the other way round.
            after[s.Storage + k] = data[at + (s.Type == vt::Address ? n - 1 - k : k)];
        at += n;
    }
    return after;
}
