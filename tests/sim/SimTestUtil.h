#pragma once
// Request frames as the program sends them, for talking to the simulator directly.
#include "link/Catalogue.h"
#include "link/Frame.h"

#include <cstdint>
#include <vector>

inline const uint8_t SimDefaultAddress[3] = {0x03, 0xC8, 0xFD};

inline std::vector<uint8_t> MakeFrame(const uint8_t* to, uint8_t command, uint8_t valueType,
                                      const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> f(HeaderSize + payload.size() + (payload.empty() ? 0 : 4));
    std::copy(payload.begin(), payload.end(), f.begin() + HeaderSize);
    CompleteFrame(f.data(), to, HostAddress, command, valueType,
                  static_cast<uint16_t>(payload.size()));
    return f;
}

inline std::vector<uint8_t> ReadRequest(uint8_t valueType, uint8_t objectId,
                                        const uint8_t* to = SimDefaultAddress) {
    return MakeFrame(to, Cmd::Read, valueType, {objectId});
}

inline uint16_t PayloadLengthOf(const std::vector<uint8_t>& f) {
    return PayloadLength(f.data());
}
