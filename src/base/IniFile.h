#pragma once
// A small INI reader and writer for prog.ini. Writing changes one line (or adds the section and
// key) and leaves every other byte of the file as it was.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// An integer as INI values write it: optional sign, then decimal digits, or hexadecimal ones after
// "0x" or "$" (up to 32 bits, taken as a signed value). Anything else, or a decimal number outside
// 32 bits, is no integer.
std::optional<int32_t> ParseIniInteger(const QString& text);

// prog.ini holds one key; a file larger than this is not one the program wrote or an operator
// edited, and reading it whole would only cost memory.
constexpr int IniFileLimit = 1 << 20;

// The whole content of path when it is a regular file of at most IniFileLimit bytes; nothing
// for anything else (missing, unreadable, a FIFO, a device, a directory, too big). Never blocks.
std::optional<QByteArray> IniReadFile(const QString& path);

// The value of key in section of INI text, as IniReadString gives it.
std::optional<QString> IniFindString(const QByteArray& text, const QString& section,
                                     const QString& key);
// The text with key in section set to value, the section or key added when missing. Every other
// line keeps its bytes and its own line end; a new line takes the line end of the line before it.
QByteArray IniSetString(const QByteArray& text, const QString& section, const QString& key,
                        const QString& value);

// The value of key in section (names compared without regard to case), trimmed and without
// surrounding quotes; nothing when the file, section or key is missing.
std::optional<QString> IniReadString(const QString& path, const QString& section,
                                     const QString& key);
int32_t IniReadInteger(const QString& path, const QString& section, const QString& key,
                       int32_t defaultValue);

// Sets key in section to value, creating the file, the section or the key as needed. False when
// an existing path is not a file IniReadFile reads, the result would be too big for it, or the file
// cannot be written; it is then left untouched.
bool IniWriteString(const QString& path, const QString& section, const QString& key,
                    const QString& value);
