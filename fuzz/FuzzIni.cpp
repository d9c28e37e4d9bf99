// The INI reader and writer on any text. Input: [value][text]. Setting Common/Language to the
// value's decimal text must make the reader find exactly that, change only the one line (or add
// lines at one place), and be idempotent; the integer rule must agree with the text it reads.
#include "base/IniFile.h"
#include "fuzz/FuzzTargets.h"

#include <algorithm>

int FuzzIni(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1u << 16) return 0;
    const QString section = QStringLiteral("Common"), key = QStringLiteral("Language");
    const QString value = QString::number(data[0]);
    const QByteArray in(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    if (const auto found = IniFindString(in, section, key)) (void)ParseIniInteger(*found);

    const QByteArray out = IniSetString(in, section, key, value);
    const auto found = IniFindString(out, section, key);
    FuzzCheck(found && *found == value, "the value written is the value read back");
    FuzzCheck(ParseIniInteger(*found) == std::optional<int32_t>(data[0]),
              "the decimal text reads back as the integer");
    FuzzCheck(IniSetString(out, section, key, value) == out,
              "writing the same value again is no change");

    // Between the common beginning and the common end lies what changed: within one line of the
    // input, and at most a new section line and a key line (three line ends with the one a last
    // line may gain) in the output.
    const qsizetype limit = std::min(in.size(), out.size());
    qsizetype prefix = 0;
    while (prefix < limit && in[prefix] == out[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < limit - prefix && in[in.size() - 1 - suffix] == out[out.size() - 1 - suffix])
        ++suffix;
    const QByteArray removed = in.mid(prefix, in.size() - prefix - suffix);
    const QByteArray added = out.mid(prefix, out.size() - prefix - suffix);
    FuzzCheck(!removed.contains('\n'), "no line end of the input is lost");
    FuzzCheck(added.count('\n') <= 3, "no more than the new lines are added");
    return 0;
}
