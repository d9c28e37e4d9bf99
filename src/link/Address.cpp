#include "link/Address.h"

#include <cstdio>

bool ParseAddressText(const std::string& text, uint8_t address[3]) {
    if (text.empty()) return false;
    uint32_t value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        // The conversion takes a 32-bit integer: leading zeros are fine, a larger value is not.
        if (value > 0x0FFFFFFFu) return false;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    address[0] = static_cast<uint8_t>(value >> 16);
    address[1] = static_cast<uint8_t>(value >> 8);
    address[2] = static_cast<uint8_t>(value);
    return true;
}

std::string FormatAddressText(const uint8_t address[3]) {
    const uint32_t value = uint32_t(address[0]) << 16 | uint32_t(address[1]) << 8 | address[2];
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(value));
    return text;
}

std::string InvalidIntegerMessage(const std::string& text) {
    return "'0x" + text + "' is not a valid integer value";
}
