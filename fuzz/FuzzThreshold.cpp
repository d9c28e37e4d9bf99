// The threshold fields' parser on any text, against the rule: an optional sign, digits with at
// most one decimal separator (the operator's), an optional exponent, spaces around it, or the
// words nan/inf/infinity; the value is what strtod makes of it, and the refusal follows the value.
#include "fuzz/FuzzTargets.h"
#include "settings/SettingsCompose.h"
#include "views/Numbers.h"

#include <QString>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>

int FuzzThreshold(const uint8_t* data, size_t size) {
    if (size > 256) return 0;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The separator is an ASCII character in every locale the program is run in; the oracle
    // reads the text with it turned into a point, and a point itself is then no separator.
    const char separator = DecimalSeparator().toLatin1();
    std::string trimmed = text.trimmed().toStdString();
    if (separator != '.') {
        if (trimmed.find('.') != std::string::npos) trimmed.insert(0, "x");
        for (char& c : trimmed)
            if (c == separator) c = '.';
    }
    static const std::regex number("[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?");
    static const std::regex word("[+-]?(nan|inf|infinity)", std::regex::icase);
    const bool isNumber = std::regex_match(trimmed, number);
    const bool isWord = std::regex_match(trimmed, word);

    const double untouched = 12345.5;
    double value = untouched;
    const bool parsed = ParseThreshold(text, value);
    FuzzCheck(parsed == (isNumber || isWord),
              "a threshold is accepted exactly when it is a number");
    if (!parsed) {
        FuzzCheck(value == untouched, "a refused text leaves the value alone");
        return 0;
    }
    if (isNumber) {
        const double want = std::strtod(trimmed.c_str(), nullptr);
        FuzzCheck(value == want || (std::isinf(value) && std::isinf(want) &&
                                    std::signbit(value) == std::signbit(want)),
                  "a threshold converts to the nearest double");
    }
    const bool sendable = std::isfinite(value) && value >= 0 && value <= ThresholdMax;
    FuzzCheck(ThresholdRefusal(value).has_value() == !sendable,
              "a threshold is refused exactly when it is outside 0..1e7 or no finite number");
    return 0;
}
