#include "settings/SettingsValues.h"

#include "settings/SettingsDisplay.h"
#include "views/Numbers.h"

namespace {

const char* const ScreenNames[ScreenCount] = {"main", "short", "search", "spectrum", "dose"};

QString OnOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

bool TakeOnOff(const QString& value, bool& on) {
    if (value == QLatin1String("on") || value == QLatin1String("off")) {
        on = value == QLatin1String("on");
        return true;
    }
    return false;
}

QString RecordText(const TSettingsControls& c) {
    if (c.EveryMinute) return QStringLiteral("every_minute");
    if (c.EveryHour) return QStringLiteral("every_hour");
    if (c.EveryMeasurement) return QStringLiteral("every_measurement");
    return QStringLiteral("off");
}

// The same check as the tab's write, made before anything is sent.
bool TakeThreshold(const QString& value, QString& text, QString& error) {
    double number = 0;
    if (!ParseThreshold(value, number)) {
        error = InvalidFloatMessage(value);
        return false;
    }
    if (auto refusal = ThresholdRefusal(number)) {
        error = *refusal;
        return false;
    }
    text = value;
    return true;
}

} // namespace

const QStringList& SettingKeys() {
    static const QStringList keys = {QStringLiteral("dose_rate_threshold"),
                                     QStringLiteral("dose_threshold"),
                                     QStringLiteral("language"),
                                     QStringLiteral("sound"),
                                     QStringLiteral("gps"),
                                     QStringLiteral("auto_brightness"),
                                     QStringLiteral("brightness"),
                                     QStringLiteral("record"),
                                     QStringLiteral("record_on_change"),
                                     QStringLiteral("screens")};
    return keys;
}

TSettingsControls ControlsOfSettings(const TDeviceSettings& s) {
    const TSettingsDisplay d = DescribeSettings(s);
    TSettingsControls c;
    // Exact, unlike the tab's three digits: a key not given goes back as it was read.
    c.DoseRateThreshold = QString::fromStdString(ShortestFloatText(s.DoseRateThreshold));
    c.DoseThreshold = QString::fromStdString(ShortestFloatText(s.DoseThreshold));
    c.Brightness = d.Brightness;
    // The three recording radio buttons are one group: of several bits set, minute wins over
    // hour, and either over every measurement, as the tab's read leaves them.
    const uint8_t mode = s.RecordingMode;
    c.EveryMinute = (mode & RecordEveryMinute) != 0;
    c.EveryHour = !c.EveryMinute && (mode & RecordEveryHour) != 0;
    c.EveryMeasurement = !c.EveryMinute && !c.EveryHour && (mode & RecordEveryMeasurement) != 0;
    c.OnChange = (mode & RecordOnChange) != 0;
    c.LanguageItem = d.LanguageItem;
    c.SoundItem = d.SoundItem;
    c.GpsItem = d.GpsItem;
    c.AutoBrightness = d.AutoBrightness;
    for (int i = 0; i < ScreenCount; ++i)
        c.Screens[i] = d.Screens[i];
    return c;
}

TSettingValues SettingValues(const TSettingsControls& c) {
    QStringList screens;
    for (int i = 0; i < ScreenCount; ++i)
        if (c.Screens[i]) screens << QString::fromLatin1(ScreenNames[i]);
    const QStringList& k = SettingKeys();
    return {{k[0], c.DoseRateThreshold.trimmed()},
            {k[1], c.DoseThreshold.trimmed()},
            {k[2], c.LanguageItem == 1 ? QStringLiteral("ru") : QStringLiteral("en")},
            {k[3], OnOff(c.SoundItem == 0)},
            {k[4], OnOff(c.GpsItem == 1)},
            {k[5], OnOff(c.AutoBrightness)},
            {k[6], QString::number(c.Brightness)},
            {k[7], RecordText(c)},
            {k[8], OnOff(c.OnChange)},
            {k[9], screens.join(QLatin1Char(','))}};
}

TSettingValues ExpectedSettingValues(const TSettingsControls& controls,
                                     const TDeviceSettings& composed) {
    TSettingsControls c = controls;
    c.DoseRateThreshold = QString::fromStdString(ShortestFloatText(composed.DoseRateThreshold));
    c.DoseThreshold = QString::fromStdString(ShortestFloatText(composed.DoseThreshold));
    return SettingValues(c);
}

bool ApplySettingValue(const QString& key, const QString& value, TSettingsControls& controls,
                       QString& error) {
    TSettingsControls c = controls;
    bool ok = true;
    if (key == QLatin1String("dose_rate_threshold")) {
        if (!TakeThreshold(value, c.DoseRateThreshold, error)) return false;
    } else if (key == QLatin1String("dose_threshold")) {
        if (!TakeThreshold(value, c.DoseThreshold, error)) return false;
    } else if (key == QLatin1String("language")) {
        ok = value == QLatin1String("ru") || value == QLatin1String("en");
        c.LanguageItem = value == QLatin1String("ru") ? 1 : 0;
    } else if (key == QLatin1String("sound")) {
        bool on = false;
        ok = TakeOnOff(value, on);
        c.SoundItem = on ? 0 : 1;
    } else if (key == QLatin1String("gps")) {
        bool on = false;
        ok = TakeOnOff(value, on);
        c.GpsItem = on ? 1 : 0;
    } else if (key == QLatin1String("auto_brightness")) {
        ok = TakeOnOff(value, c.AutoBrightness);
    } else if (key == QLatin1String("brightness")) {
        const uint n = value.toUInt(&ok);
        ok = ok && n <= uint(BrightnessMax);
        c.Brightness = int(n);
    } else if (key == QLatin1String("record")) {
        c.EveryMeasurement = value == QLatin1String("every_measurement");
        c.EveryMinute = value == QLatin1String("every_minute");
        c.EveryHour = value == QLatin1String("every_hour");
        ok = c.EveryMeasurement || c.EveryMinute || c.EveryHour || value == QLatin1String("off");
    } else if (key == QLatin1String("record_on_change")) {
        ok = TakeOnOff(value, c.OnChange);
    } else if (key == QLatin1String("screens")) {
        for (bool& s : c.Screens)
            s = false;
        const QStringList names = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& name : names) {
            int i = 0;
            while (i < ScreenCount && name.trimmed() != QLatin1String(ScreenNames[i]))
                ++i;
            if (i == ScreenCount) {
                error = QStringLiteral("screens: '%1' is none of main, short, search, spectrum, "
                                       "dose.")
                            .arg(name);
                return false;
            }
            c.Screens[i] = true;
        }
    } else {
        error = QStringLiteral("'%1' is no settings key; the keys are %2.")
                    .arg(key, SettingKeys().join(QStringLiteral(", ")));
        return false;
    }
    if (!ok) {
        error = QStringLiteral("%1: '%2' is not a value it takes.").arg(key, value);
        return false;
    }
    controls = c;
    return true;
}

QStringList DifferingSettings(const TSettingValues& wanted, const TSettingValues& got) {
    QStringList keys;
    for (size_t i = 0; i < wanted.size() && i < got.size(); ++i)
        if (wanted[i].second != got[i].second) keys << wanted[i].first;
    return keys;
}
