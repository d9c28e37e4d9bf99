#include "settings/SettingsDisplay.h"

#include "link/Address.h"
#include "views/Numbers.h"

TSettingsDisplay DescribeSettings(const TDeviceSettings& s) {
    TSettingsDisplay d;
    d.DoseRateThreshold = FormatThreshold(s.DoseRateThreshold);
    d.DoseThreshold = FormatThreshold(s.DoseThreshold);
    d.Module1Address = QString::fromStdString(FormatAddressText(s.Module1Address));
    d.Module1Channel = QString::number(s.Module1Channel);
    d.Module2Address = QString::fromStdString(FormatAddressText(s.Module2Address));
    d.Module2Channel = QString::number(s.Module2Channel);
    d.SoundItem = (s.Options & OptionSound) ? 0 : 1;
    d.LanguageItem = (s.Options & OptionRussian) ? 1 : 0;
    d.AutoBrightness = (s.Options & OptionAutoBrightness) != 0;
    d.GpsItem = (s.Options & OptionGps) ? 1 : 0;
    d.Brightness = s.Brightness > BrightnessMax ? BrightnessMax : s.Brightness;
    d.DisplayModeItem = s.DisplayMode;
    for (int i = 0; i < ScreenCount; ++i)
        d.Screens[i] = (s.Screens >> i) & 1;
    return d;
}
