#include <QLocale>
#include <gtest/gtest.h>

#include "settings/SettingsDisplay.h"

namespace {

TDeviceSettings Sample() {
    TDeviceSettings s{};
    s.DoseRateThreshold = 0.3f;
    s.DoseThreshold = 10.0f;
    s.Module1Address[2] = 0x0A;
    s.Module1Channel = 200;
    s.Module2Address[0] = 0x03;
    s.Module2Address[1] = 0xC8;
    s.Module2Address[2] = 0xFD;
    s.Module2Channel = 7;
    return s;
}

TEST(SettingsDisplay, TextsOfThresholdsAddressesAndChannels) {
    const TSettingsDisplay d = DescribeSettings(Sample());
    EXPECT_EQ(d.DoseRateThreshold, "3.00E-01");
    EXPECT_EQ(d.DoseThreshold, "1.00E+01");
    EXPECT_EQ(d.Module1Address, "00000A");
    EXPECT_EQ(d.Module1Channel, "200");
    EXPECT_EQ(d.Module2Address, "03C8FD");
    EXPECT_EQ(d.Module2Channel, "7");
}

TEST(SettingsDisplay, ThresholdsFollowTheLocaleSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TSettingsDisplay d = DescribeSettings(Sample());
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(d.DoseRateThreshold, "3,00E-01");
    EXPECT_EQ(d.DoseThreshold, "1,00E+01");
}

TEST(SettingsDisplay, OptionBitsPickItemsAndTicks) {
    struct Case {
        uint8_t options;
        int sound, language;
        bool autoBrightness;
        int gps;
    };
    const Case cases[] = {
        {0x00, 1, 0, false, 0}, {0x02, 0, 0, false, 0}, {0x04, 1, 1, false, 0},
        {0x08, 1, 0, true, 0},  {0x10, 1, 0, false, 1}, {0xFF, 0, 1, true, 1},
    };
    for (const Case& c : cases) {
        TDeviceSettings s = Sample();
        s.Options = c.options;
        const TSettingsDisplay d = DescribeSettings(s);
        SCOPED_TRACE(c.options);
        EXPECT_EQ(d.SoundItem, c.sound);
        EXPECT_EQ(d.LanguageItem, c.language);
        EXPECT_EQ(d.AutoBrightness, c.autoBrightness);
        EXPECT_EQ(d.GpsItem, c.gps);
    }
}

TEST(SettingsDisplay, BrightnessIsHeldWithinTheTrackBar) {
    for (auto [level, shown] : {std::pair{4, 4}, {10, 10}, {11, 10}, {100, 10}, {255, 10}}) {
        TDeviceSettings s = Sample();
        s.Brightness = static_cast<uint8_t>(level);
        EXPECT_EQ(DescribeSettings(s).Brightness, shown) << level;
    }
}

TEST(SettingsDisplay, ScreensOnePerLowBit) {
    TDeviceSettings s = Sample();
    s.Screens = 0xE5; // bits 5..7 belong to no screen
    const TSettingsDisplay d = DescribeSettings(s);
    const bool expected[ScreenCount] = {true, false, true, false, false};
    for (int i = 0; i < ScreenCount; ++i)
        EXPECT_EQ(d.Screens[i], expected[i]) << i;
}

} // namespace
