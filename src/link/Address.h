#pragma once
// Address fields as the operator types them: six hexadecimal digits, most significant first.
#include <cstdint>
#include <string>

// "0x" + text read as a hexadecimal integer (at most 32 bits); its low 24 bits give the three
// bytes, most significant first ("03C8FD" -> 03 C8 FD, "1234567" -> 23 45 67). Returns false,
// leaving `address` untouched, when the text is not a hexadecimal number.
bool ParseAddressText(const std::string& text, uint8_t address[3]);

// The three bytes as six upper-case hexadecimal digits, leading zeros kept.
std::string FormatAddressText(const uint8_t address[3]);

// The message for a text ParseAddressText refused: "'0x…' is not a valid integer value".
std::string InvalidIntegerMessage(const std::string& text);
