// DecodeObject for each object, on payloads of exactly the object's size so that any read past
// them is seen by the address sanitizer. Input: [index][fix][payload bytes after the object id].
// fix bit 0 writes the right structure layout first, so values get stored.
#include "fuzz/FuzzTargets.h"
#include "fuzz/StorageOracle.h"
#include "link/ObjectTable.h"

#include <algorithm>
#include <cstring>
#include <memory>

int FuzzDecode(const uint8_t* data, size_t size) {
    static const bool sized = (ComputeEncodedSizes(ObjectTable, ObjectTableCount), true);
    (void)sized;
    if (size < 2) return 0;
    const uint8_t index = data[0] % ObjectTableCount;
    const TObjectEntry& e = ObjectTable[index];
    if (e.EncodedSize < 1) return 0;
    const size_t n = e.EncodedSize - 1u;
    // Heap memory of exactly n bytes: the sanitizer guards both of its ends.
    std::unique_ptr<uint8_t[]> payload(new uint8_t[n ? n : 1]);
    std::memset(payload.get(), 0, n);
    std::memcpy(payload.get(), data + 2, std::min(n, size - 2));
    if ((data[1] & 1) && e.ValueType == vt::Struct && n >= 1u + e.FieldCount) {
        const auto* fields = static_cast<const TFieldEntry*>(e.Storage);
        payload[0] = e.FieldCount;
        for (uint8_t f = 0; f < e.FieldCount; ++f)
            payload[1 + f] = static_cast<uint8_t>(fields[f].ValueType);
    }

    const TStorageBytes before = TakeStorageBytes();
    const auto expected = ExpectedAfterDecode(before, index, payload.get(), n);
    const uint8_t stored = DecodeObject(ObjectTable, index, payload.get());
    FuzzCheck(stored == (expected ? 1 : 0), "DecodeObject stores exactly the payloads that fit");
    FuzzCheck(TakeStorageBytes() == (expected ? *expected : before),
              "storage holds the payload's values, or is unchanged when refused");
    return 0;
}
