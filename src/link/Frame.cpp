#include "link/Frame.h"

#include "link/Link.h"
#include "link/ObjectTable.h"

#include <cstring>

const uint8_t HostAddress[3] = {0x01, 0x01, 0x01};

uint32_t FrameChecksum(const uint8_t* data, uint16_t length) {
    uint32_t h = 0;
    uint32_t i = 0;
    if (length & 1) h = data[i++];
    for (; i < length; i += 2) {
        h = h << 5 | h >> 27;
        h ^= uint32_t(data[i]) << 8 | data[i + 1];
    }
    return h;
}

void PutLE32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t GetLE32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

uint16_t PayloadLength(const uint8_t* frame) {
    return uint16_t(frame[8] | frame[9] << 8);
}

bool HeaderIntact(const uint8_t* frame) {
    return FrameChecksum(frame, 10) == GetLE32(frame + 10);
}

void SetPayloadLength(uint8_t* frame, uint16_t length) {
    frame[FrameAt::Length] = static_cast<uint8_t>(length);
    frame[FrameAt::Length + 1] = static_cast<uint8_t>(length >> 8);
}

void SealHeader(uint8_t* frame) {
    PutLE32(frame + FrameAt::HeaderChecksum, FrameChecksum(frame, FrameAt::HeaderChecksum));
}

bool PayloadIntact(const uint8_t* frame, uint16_t length) {
    return FrameChecksum(frame + FrameAt::Payload, length) ==
           GetLE32(frame + FrameAt::Payload + length);
}

void SealPayload(uint8_t* frame, uint16_t length) {
    PutLE32(frame + FrameAt::Payload + length, FrameChecksum(frame + FrameAt::Payload, length));
}

uint16_t CompleteFrame(uint8_t* frame, const uint8_t* destination, const uint8_t* source,
                       uint8_t command, uint8_t valueType, uint16_t length) {
    std::memcpy(frame, destination, 3);
    std::memcpy(frame + 3, source, 3);
    frame[6] = command;
    frame[7] = valueType;
    SetPayloadLength(frame, length);
    SealHeader(frame);
    if (length > 0) SealPayload(frame, length);
    return static_cast<uint16_t>(FrameSize(length));
}

uint16_t BuildReadRequest(uint8_t* frame, uint8_t index, const uint8_t* address) {
    const TObjectEntry& e = ObjectTable[index];
    frame[HeaderSize] = e.ObjectId;
    return CompleteFrame(frame, address, HostAddress, Cmd::Read, e.ValueType, 1);
}

uint16_t BuildWriteRequest(uint8_t* frame, uint8_t index, const uint8_t* address) {
    const TObjectEntry& e = ObjectTable[index];
    frame[HeaderSize] = e.ObjectId;
    CompleteFrame(frame, address, HostAddress, Cmd::Write, e.ValueType, e.EncodedSize);
    // A write request always carries a payload checksum, even for an object whose size is still
    // 0 before the sizes are computed.
    return static_cast<uint16_t>(HeaderSize + e.EncodedSize + 4);
}

uint8_t FindReplyStart(const uint8_t* frame, uint16_t length) {
    if (length < HeaderSize) return 255;
    for (uint8_t i = 0; i < 4; ++i) {
        if (std::memcmp(frame + i, HostAddress, 3) != 0) continue;
        return std::memcmp(frame + i + 3, Link.DeviceAddress, 3) == 0 ? i : 255;
    }
    return 255;
}

// `frame` is a buffer of FrameBufferSize bytes. Whatever length the header announces, nothing is
// read past that buffer: a payload whose frame would not fit counts as too long.
uint8_t HandleReply(uint8_t* frame, uint16_t length) {
    if (length < HeaderSize) return 0;
    if (!HeaderIntact(frame)) return 0;
    const uint16_t l = PayloadLength(frame);
    bool good = true;
    if (l > 0) {
        const bool tooLong = l > MaxPayload || HeaderSize + l + 4 > FrameBufferSize;
        good = !tooLong && FrameChecksum(frame + HeaderSize, l) == GetLE32(frame + HeaderSize + l);
    }
    if (good && frame[6] == Cmd::ReadReply) StoreReadReply(frame);
    return 1;
}

void StoreReadReply(uint8_t* frame) {
    const uint8_t type = frame[7];
    if ((type & 1) == 0) return;
    const uint8_t id = frame[HeaderSize];
    for (uint8_t i = 0; i < ObjectTableCount; ++i) {
        const TObjectEntry& e = ObjectTable[i];
        if (e.ValueType != type || e.ObjectId != id || !(e.Access & AccessWrite)) continue;
        if (PayloadLength(frame) == e.EncodedSize)
            DecodeObject(ObjectTable, i, frame + HeaderSize + 1);
        return;
    }
}

bool ReplyCarriesObject(const uint8_t* frame, uint16_t received, uint8_t index) {
    if (index >= ObjectTableCount || received < HeaderSize || !HeaderIntact(frame)) return false;
    const TObjectEntry& e = ObjectTable[index];
    const uint16_t l = PayloadLength(frame);
    if (frame[6] != Cmd::ReadReply || frame[7] != e.ValueType || l == 0 || l != e.EncodedSize)
        return false;
    if (HeaderSize + l + 4 > FrameBufferSize || received < HeaderSize + l + 4) return false;
    return frame[HeaderSize] == e.ObjectId &&
           FrameChecksum(frame + HeaderSize, l) == GetLE32(frame + HeaderSize + l);
}
