#include <cstring>
#include <gtest/gtest.h>

#include "link/Address.h"

namespace {

struct TAddressCase {
    const char* Text;
    bool Valid;
    uint8_t Bytes[3];
};

// The text is a hexadecimal integer of at most 32 bits; its low 24 bits are the address, most
// significant byte first. Anything else leaves the address as it was.
TEST(AddressText, ParsesHexadecimalIntoThreeBytes) {
    const TAddressCase cases[] = {
        {"03C8FD", true, {0x03, 0xC8, 0xFD}},  {"03c8fd", true, {0x03, 0xC8, 0xFD}},
        {"1234567", true, {0x23, 0x45, 0x67}}, {"000003C8FD", true, {0x03, 0xC8, 0xFD}},
        {"FFFFFFFF", true, {0xFF, 0xFF, 0xFF}}, {"A", true, {0x00, 0x00, 0x0A}},
        {"123456789", false, {}},              {"", false, {}},
        {" 03C8FD", false, {}},                {"03C8FZ", false, {}},
        {"0x03C8FD", false, {}},               {"-1", false, {}},
    };
    const uint8_t before[3] = {0xAA, 0xBB, 0xCC};
    for (const TAddressCase& c : cases) {
        uint8_t address[3] = {before[0], before[1], before[2]};
        EXPECT_EQ(ParseAddressText(c.Text, address), c.Valid) << c.Text;
        EXPECT_EQ(0, std::memcmp(address, c.Valid ? c.Bytes : before, 3)) << c.Text;
    }
}

TEST(AddressText, FormatsSixUpperCaseDigits) {
    const uint8_t small[3] = {0x00, 0x00, 0x0A}, full[3] = {0x03, 0xC8, 0xFD};
    EXPECT_EQ(FormatAddressText(small), "00000A");
    EXPECT_EQ(FormatAddressText(full), "03C8FD");
    EXPECT_EQ(InvalidIntegerMessage("03C8FZ"), "'0x03C8FZ' is not a valid integer value");
}

} // namespace
