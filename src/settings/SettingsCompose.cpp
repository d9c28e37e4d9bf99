#include "settings/SettingsCompose.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "base/Language.h"
#include "views/Numbers.h"

namespace {

bool IsDigit(QChar c) {
    return c >= '0' && c <= '9';
}

// Moves `at` past a run of digits; true when there was at least one.
bool SkipDigits(const QString& s, int& at) {
    const int start = at;
    while (at < s.size() && IsDigit(s[at]))
        ++at;
    return at > start;
}

} // namespace

bool ParseThreshold(const QString& text, double& value) {
    QString s = text.trimmed();
    int at = 0;
    const bool negative = at < s.size() && s[at] == '-';
    if (at < s.size() && (s[at] == '-' || s[at] == '+')) ++at;

    const QString word = s.mid(at).toLower();
    if (word == "nan") {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (word == "inf" || word == "infinity") {
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return true;
    }

    // The grammar is checked here and not left to the conversion, which takes only '.' and would
    // take the other separator's text for a number.
    bool digits = SkipDigits(s, at);
    const QChar separator = DecimalSeparator();
    if (at < s.size() && s[at] == separator) {
        s[at] = '.';
        ++at;
        digits = SkipDigits(s, at) || digits;
    }
    if (!digits) return false;
    if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
        ++at;
        if (at < s.size() && (s[at] == '-' || s[at] == '+')) ++at;
        if (!SkipDigits(s, at)) return false;
    }
    if (at != s.size()) return false;
    // A valid text too large for a double converts to infinity, one too small to 0; both are
    // numbers the checks can judge, so the conversion's own verdict is not needed.
    value = QLocale::c().toDouble(s);
    return true;
}

QString InvalidFloatMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

std::optional<QString> ThresholdRefusal(double value) {
    if (!std::isfinite(value) || value < 0) {
        // No alarm level at all: the write stops here, so that the status bar never reports as
        // written a threshold the device did not get.
        if (LanguageIndex == 1)
            return QStringLiteral("The threshold must be a number from 0 to 1e7");
        return QString::fromUtf8("Порог должен быть числом от 0 до 1e7");
    }
    if (value > ThresholdMax) return QString::fromUtf8("Введите значение порога < 1e7");
    return std::nullopt;
}

uint8_t ComposeBrightness(int position) {
    return static_cast<uint8_t>(std::clamp(position, 0, BrightnessMax) * BrightnessStep);
}

uint8_t ComposeRecordingMode(uint8_t read, const TSettingsControls& c) {
    constexpr uint8_t intervals = RecordEveryMinute | RecordEveryHour | RecordEveryMeasurement;
    uint8_t mode = read;
    // Of the three intervals at most one goes out: each one chosen clears the others.
    const std::pair<bool, uint8_t> choices[] = {{c.EveryMeasurement, RecordEveryMeasurement},
                                                {c.EveryHour, RecordEveryHour},
                                                {c.EveryMinute, RecordEveryMinute}};
    for (const auto& [chosen, bit] : choices)
        mode = chosen ? static_cast<uint8_t>((mode & ~intervals) | bit)
                      : static_cast<uint8_t>(mode & ~bit);
    return c.OnChange ? mode | RecordOnChange : mode & ~RecordOnChange;
}

uint8_t ComposeOptions(uint8_t read, const TSettingsControls& c) {
    uint8_t options = read;
    auto put = [&options](bool on, uint8_t bit) { options = on ? options | bit : options & ~bit; };
    // Only the item that names the other state clears (or sets) a bit; an unselected list takes
    // the other side.
    put(c.LanguageItem != 0, OptionRussian);
    put(c.SoundItem == 0, OptionSound);
    put(c.GpsItem != 0, OptionGps);
    put(c.AutoBrightness, OptionAutoBrightness);
    return options;
}

uint8_t ComposeScreens(const TSettingsControls& c) {
    uint8_t screens = 0;
    for (int i = 0; i < ScreenCount; ++i)
        if (c.Screens[i]) screens |= uint8_t(1u << i);
    return screens;
}

std::optional<QString> ComposeSettingsWrite(const TSettingsControls& c, TDeviceSettings& settings) {
    const std::pair<const QString&, float&> thresholds[] = {
        {c.DoseRateThreshold, settings.DoseRateThreshold},
        {c.DoseThreshold, settings.DoseThreshold}};
    for (const auto& [text, field] : thresholds) {
        // The tab shows a threshold to three digits; a text the operator left as the read showed
        // it writes back the value read, not the value rounded to what is shown.
        if (text == FormatThreshold(field)) {
            if (auto refusal = ThresholdRefusal(field)) return refusal;
            continue;
        }
        double value = 0;
        if (!ParseThreshold(text, value)) return InvalidFloatMessage(text);
        if (auto refusal = ThresholdRefusal(value)) return refusal;
        field = static_cast<float>(value);
    }
    settings.Brightness = ComposeBrightness(c.Brightness);
    settings.RecordingMode = ComposeRecordingMode(settings.RecordingMode, c);
    settings.Options = ComposeOptions(settings.Options, c);
    settings.Screens = ComposeScreens(c);
    return std::nullopt;
}
