#pragma once
// What a correct decoder stores: every byte of every object variable before a request, and the
// bytes an object's payload must leave behind. Decodes payloads on its own, from the wire rules,
// without the program's DecodeObject.
#include "link/ObjectRequests.h"

#include <cstdint>
#include <optional>
#include <vector>

// The value of every storage byte of ObjectTable's entries (shared variables once), in address
// order.
using TStorageBytes = std::vector<uint8_t>;

TStorageBytes TakeStorageBytes();

// The storage after entry `index` is decoded from the payload bytes after the object id (`data`,
// `size` bytes of them), or nothing when a correct decoder refuses it (layout does not match).
std::optional<TStorageBytes> ExpectedAfterDecode(const TStorageBytes& before, uint8_t index,
                                                 const uint8_t* data, size_t size);

// What one exchange must amount to: the outcome, and the storage afterwards. `received` is every
// byte the device sent after the request of ReadObject or WriteObject (`write`) of `index`, in
// this exchange only; `before` the storage when the request left.
struct TExchangeVerdict {
    TReplyOutcome Outcome;
    TStorageBytes Storage;
};
TExchangeVerdict JudgeExchange(const TStorageBytes& before, uint8_t index, bool write,
                               const std::vector<uint8_t>& received);
