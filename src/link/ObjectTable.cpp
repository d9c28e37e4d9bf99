#include "link/ObjectTable.h"

#include <cstring>

uint16_t ValueSize(uint32_t type, const void* value) {
    switch (static_cast<TValueType>(type)) {
    case vt::U8:
    case vt::Byte7:
        return 1;
    case vt::Word5:
    case vt::Word9:
    case vt::Word13:
        return 2;
    case vt::U32:
    case vt::Float:
        return 4;
    case vt::Bytes8:
    case vt::Bytes8b:
        return 8;
    case vt::Address:
        return 3;
    case vt::Text:
        return value ? static_cast<uint16_t>(std::strlen(static_cast<const char*>(value)) + 1) : 0;
    default:
        return 0; // arrays and structures are sized by their entry, not as one value
    }
}

uint16_t CopyValue(uint32_t type, void* destination, const void* source) {
    auto* to = static_cast<uint8_t*>(destination);
    const auto* from = static_cast<const uint8_t*>(source);
    if (static_cast<TValueType>(type) == vt::Address) {
        // Held in header order, sent least significant byte first.
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        return 3;
    }
    const uint16_t size = ValueSize(type, source);
    if (size) std::memcpy(to, from, size);
    return size;
}

namespace {

const TFieldEntry* Fields(const TObjectEntry& e) {
    return static_cast<const TFieldEntry*>(e.Storage);
}

uint32_t FieldsValueSize(const TFieldEntry* fields, uint8_t count) {
    uint32_t sum = 0;
    for (uint8_t f = 0; f < count; ++f)
        sum += ValueSize(fields[f].ValueType, fields[f].Storage);
    return sum;
}

uint32_t EncodedSizeOf(const TObjectEntry& e) {
    switch (e.ValueType) {
    case vt::Struct:
        return 2u + e.FieldCount + FieldsValueSize(Fields(e), e.FieldCount);
    case vt::Array: {
        const auto* a = static_cast<const TArrayDescriptor*>(e.Storage);
        if (a->ElementType != vt::Struct)
            return 2u + uint32_t(a->ElementCount) * ValueSize(a->ElementType, a->ElementStorage);
        const auto* columns = static_cast<const TFieldEntry*>(a->ElementStorage);
        uint32_t record = 0;
        // A column's storage is a reference to the column; its first element gives the size.
        for (uint8_t f = 0; f < a->FieldCount; ++f)
            record +=
                ValueSize(columns[f].ValueType, *static_cast<void* const*>(columns[f].Storage));
        return 3u + a->FieldCount + uint32_t(a->ElementCount) * record;
    }
    default:
        return 1u + ValueSize(e.ValueType, e.Storage);
    }
}

} // namespace

void ComputeEncodedSizes(TObjectEntry* table, uint8_t count) {
    for (uint8_t i = 0; i < count; ++i)
        table[i].EncodedSize = static_cast<uint16_t>(EncodedSizeOf(table[i]));
}

void EncodeObject(const TObjectEntry* table, uint8_t index, uint8_t* frame, uint16_t& size) {
    const TObjectEntry& e = table[index];
    size = e.EncodedSize;
    uint8_t* out = frame + 15;
    switch (e.ValueType) {
    case vt::Struct: {
        const TFieldEntry* fields = Fields(e);
        *out++ = e.FieldCount;
        for (uint8_t f = 0; f < e.FieldCount; ++f)
            *out++ = static_cast<uint8_t>(fields[f].ValueType);
        for (uint8_t f = 0; f < e.FieldCount; ++f)
            out += CopyValue(fields[f].ValueType, out, fields[f].Storage);
        break;
    }
    case vt::Array: {
        const auto* a = static_cast<const TArrayDescriptor*>(e.Storage);
        *out++ = a->ElementType;
        if (a->ElementType != vt::Struct) {
            // One block as held: addresses in an array are not reversed.
            const size_t block =
                size_t(a->ElementCount) * ValueSize(a->ElementType, a->ElementStorage);
            std::memcpy(out, a->ElementStorage, block);
            break;
        }
        const auto* columns = static_cast<const TFieldEntry*>(a->ElementStorage);
        *out++ = a->FieldCount;
        for (uint8_t f = 0; f < a->FieldCount; ++f)
            *out++ = static_cast<uint8_t>(columns[f].ValueType);
        for (uint16_t j = 0; j < a->ElementCount; ++j) {
            for (uint8_t f = 0; f < a->FieldCount; ++f) {
                const auto* column = *static_cast<const uint8_t* const*>(columns[f].Storage);
                const uint16_t width = ValueSize(columns[f].ValueType, column);
                out += CopyValue(columns[f].ValueType, out, column + size_t(j) * width);
            }
        }
        break;
    }
    default:
        CopyValue(e.ValueType, out, e.Storage);
        break;
    }
}

namespace {

// A received text may be longer than the variable that holds it, or lack its terminator: it is
// cut to the room the variable had at start-up (which is also what its encoded size counted),
// and always terminated. Returns the bytes the text takes in the payload.
uint16_t DecodeText(char* storage, const uint8_t* data) {
    const size_t room = std::strlen(storage); // characters, without the terminator
    const size_t n = strnlen(reinterpret_cast<const char*>(data), room);
    std::memcpy(storage, data, n);
    storage[n] = 0;
    return static_cast<uint16_t>(n + 1);
}

uint16_t DecodeValue(uint32_t type, void* storage, const uint8_t* data) {
    if (static_cast<TValueType>(type) == vt::Text)
        return DecodeText(static_cast<char*>(storage), data);
    CopyValue(type, storage, data);
    return ValueSize(type, data);
}

} // namespace

uint8_t DecodeObject(const TObjectEntry* table, uint8_t index, const uint8_t* data) {
    const TObjectEntry& e = table[index];
    if (e.ValueType == vt::Array) return 1; // arrays are only ever sent
    if (e.ValueType != vt::Struct) {
        DecodeValue(e.ValueType, e.Storage, data);
        return 1;
    }
    const TFieldEntry* fields = Fields(e);
    // Check the whole layout before the first store, so a mismatch changes nothing.
    if (data[0] != e.FieldCount) return 0;
    for (uint8_t f = 0; f < e.FieldCount; ++f)
        if (data[1 + f] != static_cast<uint8_t>(fields[f].ValueType)) return 0;
    data += 1 + e.FieldCount;
    for (uint8_t f = 0; f < e.FieldCount; ++f) {
        data += DecodeValue(fields[f].ValueType, fields[f].Storage, data);
    }
    return 1;
}
