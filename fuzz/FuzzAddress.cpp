// The address field's parser on any text, against the rule: hexadecimal digits only, at most
// 32 bits once leading zeros are set aside, the low 24 bits most significant byte first.
#include "fuzz/FuzzTargets.h"
#include "link/Address.h"

#include <cstring>
#include <string>

int FuzzAddress(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    bool valid = !text.empty();
    int significant = 0;
    uint64_t value = 0;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const int digit = u >= '0' && u <= '9'   ? u - '0'
                          : u >= 'a' && u <= 'f' ? u - 'a' + 10
                          : u >= 'A' && u <= 'F' ? u - 'A' + 10
                                                 : -1;
        if (digit < 0) valid = false;
        if (!valid) break;
        if (significant > 0 || digit > 0) ++significant;
        value = (value << 4 | static_cast<uint64_t>(digit)) & 0xFFFFFFFFFull;
    }
    valid = valid && significant <= 8;

    uint8_t address[3] = {0xA5, 0x5A, 0xC3};
    const bool parsed = ParseAddressText(text, address);
    FuzzCheck(parsed == valid, "address text accepted exactly when it is a 32-bit hex number");
    if (valid) {
        const uint8_t want[3] = {static_cast<uint8_t>(value >> 16),
                                 static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
        FuzzCheck(std::memcmp(address, want, 3) == 0, "address bytes are the low 24 bits");
        uint8_t again[3] = {0, 0, 0};
        FuzzCheck(ParseAddressText(FormatAddressText(address), again) &&
                      std::memcmp(again, address, 3) == 0,
                  "a shown address reads back as itself");
    } else {
        const uint8_t untouched[3] = {0xA5, 0x5A, 0xC3};
        FuzzCheck(std::memcmp(address, untouched, 3) == 0,
                  "a refused text leaves the address alone");
    }
    return 0;
}
