#pragma once
// Frames: header layout, checksum, building requests and judging replies.
#include <cstddef>
#include <cstdint>

// Where each part of a frame starts. The payload, when there is one, begins with the object id
// and is followed by its own 4-byte checksum.
namespace FrameAt {
constexpr uint16_t Destination = 0; // 3 bytes
constexpr uint16_t Source = 3;      // 3 bytes
constexpr uint16_t Command = 6;
constexpr uint16_t ValueType = 7;
constexpr uint16_t Length = 8;          // payload length, 2 bytes little-endian
constexpr uint16_t HeaderChecksum = 10; // FrameChecksum of bytes 0..9, 4 bytes little-endian
constexpr uint16_t Payload = 14;
constexpr uint16_t ObjectId = Payload;
} // namespace FrameAt

constexpr uint16_t HeaderSize = 14;
constexpr uint16_t MaxPayload = 4095;

namespace Cmd {
constexpr uint8_t Ack = 1;
constexpr uint8_t Error = 3;
constexpr uint8_t Probe = 4;
constexpr uint8_t Read = 6;
constexpr uint8_t ReadReply = 7;
constexpr uint8_t Write = 8;
} // namespace Cmd

namespace ErrorCode {
constexpr uint8_t Length = 3;
constexpr uint8_t Object = 4;
constexpr uint8_t Checksum = 7;
} // namespace ErrorCode

constexpr uint16_t FrameBufferSize = 4099;
extern const uint8_t HostAddress[3];

uint32_t FrameChecksum(const uint8_t* data, uint16_t length);
// Header bytes 10..13 hold the checksum of bytes 0..9.
bool HeaderIntact(const uint8_t* frame);
// Writes the header checksum over bytes 0..9 as they now stand.
void SealHeader(uint8_t* frame);
// Payload length announced by header bytes 8..9.
uint16_t PayloadLength(const uint8_t* frame);
// Sets header bytes 8..9; the header checksum is left to SealHeader.
void SetPayloadLength(uint8_t* frame, uint16_t length);
// Whether the payload of `length` bytes matches the checksum that follows it. The caller makes
// sure all 18 + length bytes are there.
bool PayloadIntact(const uint8_t* frame, uint16_t length);
// Writes the checksum of the `length` payload bytes after them.
void SealPayload(uint8_t* frame, uint16_t length);
// Bytes of the whole frame whose header announces a payload of `length`.
constexpr size_t FrameSize(uint16_t length) {
    return length == 0 ? HeaderSize : size_t(HeaderSize) + length + 4;
}
void PutLE32(uint8_t* at, uint32_t value);
uint32_t GetLE32(const uint8_t* at);

// Fills header bytes 0..13 and, when the payload (already at byte 14) is not empty, its checksum
// at 14 + length. Returns the frame's total size. Shared by the requests and the simulator.
uint16_t CompleteFrame(uint8_t* frame, const uint8_t* destination, const uint8_t* source,
                       uint8_t command, uint8_t valueType, uint16_t length);

// Requests for table entry `index` to the unit at `address`; they return the request's size and
// send nothing. A write request expects the encoded value already at byte 15.
uint16_t BuildReadRequest(uint8_t* frame, uint8_t index, const uint8_t* address);
uint16_t BuildWriteRequest(uint8_t* frame, uint8_t index, const uint8_t* address);
uint8_t FindReplyStart(const uint8_t* frame, uint16_t length);
uint8_t HandleReply(uint8_t* frame, uint16_t length);
void StoreReadReply(uint8_t* frame);

// Whether the reply at the start of `frame`, of which `received` bytes arrived in this exchange,
// carries table entry `index` whole: a read reply of its type and id, all 18 + L bytes of this
// exchange, payload checksum good. Leftover bytes of an earlier reply never complete a cut one.
bool ReplyCarriesObject(const uint8_t* frame, uint16_t received, uint8_t index);
