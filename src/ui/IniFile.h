#pragma once
// A small INI reader and writer for prog.ini. Writing changes one line (or adds the section and
// key) and leaves every other byte of the file as it was.
#include <QString>
#include <cstdint>
#include <optional>

// An integer as INI values write it: optional sign, then decimal digits, or hexadecimal ones after
// "0x" or "$" (up to 32 bits, taken as a signed value). Anything else, or a decimal number outside
// 32 bits, is no integer.
std::optional<int32_t> ParseIniInteger(const QString& text);

// The value of key in section (names compared without regard to case), trimmed and without
// surrounding quotes; nothing when the file, section or key is missing.
std::optional<QString> IniReadString(const QString& path, const QString& section,
                                     const QString& key);
int32_t IniReadInteger(const QString& path, const QString& section, const QString& key,
                       int32_t defaultValue);

// Sets key in section to value, creating the file, the section or the key as needed. False when
// the file cannot be read back or written; the file is then left untouched.
bool IniWriteString(const QString& path, const QString& section, const QString& key,
                    const QString& value);
