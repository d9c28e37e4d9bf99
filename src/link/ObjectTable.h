#pragma once
// The typed object dictionary: value types, object entries, the table of the fourteen objects and
// the conversions between an object's stored value and the bytes of a payload.
#include <cstdint>

// One-byte type code of an object or of a structure's field. Every code in use is odd.
using TValueType = uint8_t;

namespace vt {
constexpr TValueType U8 = 1;       // 1 byte
constexpr TValueType Text = 3;     // zero-terminated text, terminator encoded
constexpr TValueType Word5 = 5;    // 2 bytes
constexpr TValueType Byte7 = 7;    // 1 byte
constexpr TValueType Word9 = 9;    // 2 bytes
constexpr TValueType U32 = 11;     // 4 bytes, little-endian
constexpr TValueType Word13 = 13;  // 2 bytes
constexpr TValueType Array = 17;   // array of values or structures
constexpr TValueType Float = 25;   // IEEE-754 single, little-endian
constexpr TValueType Bytes8 = 31;  // 8 bytes as held
constexpr TValueType Address = 33; // 3-byte link address, byte-reversed on the wire
constexpr TValueType Bytes8b = 39; // 8 bytes as held
constexpr TValueType Struct = 125; // ordered list of typed fields
} // namespace vt

// Access flags of an entry.
constexpr uint8_t AccessRead = 1;
constexpr uint8_t AccessWrite = 2;

struct TFieldEntry {
    uint32_t ValueType; // only the low byte is significant and sent
    void* Storage;      // the variable; for a field of an array of structures: void** to its column
};

struct TArrayDescriptor {
    TValueType ElementType;
    void* ElementStorage; // simple elements: the values; structures: a TFieldEntry list of columns
    uint16_t ElementCount;
    uint8_t FieldCount; // structure elements only
};

struct TObjectEntry {
    uint8_t Access;
    uint8_t ObjectId;
    TValueType ValueType;
    void* Storage; // 125: TFieldEntry[FieldCount]; 17: TArrayDescriptor; else the variable
    uint8_t FieldCount;
    uint16_t EncodedSize; // payload bytes with the object id; filled by ComputeEncodedSizes
};

constexpr uint8_t ObjectCount = 14;
extern TObjectEntry ObjectTable[ObjectCount];
extern uint8_t ObjectTableCount; // 14

uint16_t ValueSize(uint32_t type, const void* value);
uint16_t CopyValue(uint32_t type, void* destination, const void* source);
void ComputeEncodedSizes(TObjectEntry* table, uint8_t count);
// Writes entry `index` into the payload from frame byte 15 on; `size` gets its encoded size.
void EncodeObject(const TObjectEntry* table, uint8_t index, uint8_t* frame, uint16_t& size);
// `data` points at payload byte 1. Returns 1 when stored, 0 when the layout does not match.
uint8_t DecodeObject(const TObjectEntry* table, uint8_t index, const uint8_t* data);
