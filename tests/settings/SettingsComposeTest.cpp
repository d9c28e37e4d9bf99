#include <QLocale>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

#include "base/Language.h"
#include "settings/SettingsCompose.h"
#include "views/Numbers.h"

namespace {

const QString TooLarge = QString::fromUtf8("Введите значение порога < 1e7");
const QString OutOfRangeRu = QString::fromUtf8("Порог должен быть числом от 0 до 1e7");
const QString OutOfRangeEn = QStringLiteral("The threshold must be a number from 0 to 1e7");

// As a settings read leaves them: thresholds 1 and 2, and brightness 7, which a composed write
// can never give, so that a refused write shows it stopped before the other fields.
TDeviceSettings AsRead() {
    TDeviceSettings s{};
    s.DoseRateThreshold = 1;
    s.DoseThreshold = 2;
    s.Brightness = 7;
    return s;
}

class SettingsCompose : public ::testing::Test {
  protected:
    void TearDown() override {
        LanguageIndex = 0;
        QLocale::setDefault(QLocale::c());
    }
};

TEST_F(SettingsCompose, ThresholdsAreCheckedInTheTabsOrder) {
    struct Case {
        const char* doseRate;
        const char* dose;
        uint8_t language;
        QString refusal; // empty: the write goes ahead
        float field8, field9;
    };
    const Case cases[] = {
        {"10000000", "5", 0, "", 1e7f, 5},
        {"10000001", "5", 1, TooLarge, 1, 2}, // the Russian text in every language
        {"3.00E-01", "1.00E+01", 0, "", 0.3f, 10},
        {" 2.5e3 ", "+.5", 0, "", 2500, 0.5f},
        {"1e-400", "0", 0, "", 0, 0},
        // Refused, not skipped: a write that went ahead would report the old value as written.
        {"-5", "5", 0, OutOfRangeRu, 1, 2},
        {"-5", "5", 1, OutOfRangeEn, 1, 2},
        {"-5", "5", 7, OutOfRangeRu, 1, 2},
        {"nan", "5", 0, OutOfRangeRu, 1, 2},
        {"INF", "5", 1, OutOfRangeEn, 1, 2},
        {"3", "-inf", 0, OutOfRangeRu, 3, 2},
        {"1e400", "5", 0, OutOfRangeRu, 1, 2},
        // The dose threshold is checked after the dose-rate one has been taken.
        {"3", "2e7", 0, TooLarge, 3, 2},
        {"abc", "5", 0, InvalidFloatMessage("abc"), 1, 2},
        {"3", " ", 0, InvalidFloatMessage(" "), 3, 2},
        {"1e", "5", 0, InvalidFloatMessage("1e"), 1, 2},
        {"3,5", "5", 0, InvalidFloatMessage("3,5"), 1, 2},
        {"1 000", "5", 0, InvalidFloatMessage("1 000"), 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.doseRate) + " / " + c.dose);
        LanguageIndex = c.language;
        TSettingsControls controls;
        controls.DoseRateThreshold = QString::fromUtf8(c.doseRate);
        controls.DoseThreshold = QString::fromUtf8(c.dose);
        controls.Brightness = 4;
        TDeviceSettings s = AsRead();
        const std::optional<QString> refusal = ComposeSettingsWrite(controls, s);
        EXPECT_EQ(refusal.value_or(QString()), c.refusal);
        EXPECT_EQ(s.DoseRateThreshold, c.field8);
        EXPECT_EQ(s.DoseThreshold, c.field9);
        EXPECT_EQ(s.Brightness, c.refusal.isEmpty() ? 100 : 7);
    }
}

// The tab shows thresholds to three digits; writing back what was read must not round them.
TEST_F(SettingsCompose, AThresholdLeftAsShownKeepsTheValueRead) {
    struct Case {
        float read;
        const char* text; // nullptr: the text the read showed
        QString refusal;
        float written;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {0.7123f, nullptr, "", 0.7123f},
        {12345.67f, nullptr, "", 12345.67f},
        {0.7123f, "7.12E-01", "", 0.7123f}, // the same text typed again: still the value read
        {0.7123f, "7.13E-01", "", 0.713f},
        {0.7123f, "0.712", "", 0.712f},
        // A value no write may send is refused, even when left as shown.
        {nan, nullptr, OutOfRangeRu, nan},
        {-1.0f, nullptr, OutOfRangeRu, -1.0f},
    };
    for (const Case& c : cases) {
        TSettingsControls controls;
        controls.DoseRateThreshold = c.text ? QString::fromUtf8(c.text) : FormatThreshold(c.read);
        controls.DoseThreshold = QStringLiteral("5");
        SCOPED_TRACE(controls.DoseRateThreshold.toStdString());
        TDeviceSettings s = AsRead();
        s.DoseRateThreshold = c.read;
        EXPECT_EQ(ComposeSettingsWrite(controls, s).value_or(QString()), c.refusal);
        if (std::isnan(c.written)) {
            EXPECT_TRUE(std::isnan(s.DoseRateThreshold));
        } else {
            EXPECT_EQ(s.DoseRateThreshold, c.written);
        }
        EXPECT_EQ(s.DoseThreshold, c.refusal.isEmpty() ? 5.0f : 2.0f);
    }
}

TEST_F(SettingsCompose, ThresholdsTakeTheOperatorsDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct Case {
        const char* text;
        bool number;
        double value;
    };
    const Case cases[] = {
        {"3,00E-01", true, 0.3}, {"1,5", true, 1.5}, {"0.5", false, 0}, {"1.000", false, 0}};
    for (const Case& c : cases) {
        double value = -1;
        EXPECT_EQ(ParseThreshold(c.text, value), c.number) << c.text;
        if (c.number) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
}

TEST_F(SettingsCompose, BitsFromTheControlsOverTheBitsRead) {
    struct Case {
        const char* name;
        std::function<void(TSettingsControls&)> set;
        uint8_t readOptions, readMode, readScreens;
        uint8_t brightness, options, mode, screens;
    };
    // Lists as a settings read leaves them: sound on, English, GPS off.
    auto readLists = [](TSettingsControls& c) {
        c.SoundItem = 0;
        c.LanguageItem = 0;
        c.GpsItem = 0;
    };
    const Case cases[] = {
        {"track bar 4",
         [&](auto& c) {
             readLists(c);
             c.Brightness = 4;
         },
         0, 0, 0, 100, 0x02, 0, 0},
        {"track bar 10",
         [&](auto& c) {
             readLists(c);
             c.Brightness = 10;
         },
         0, 0, 0, 250, 0x02, 0, 0},
        {"hourly and on change over 0x81",
         [&](auto& c) {
             readLists(c);
             c.EveryHour = c.OnChange = true;
         },
         0, 0x81, 0, 0, 0x02, 0x8B, 0},
        {"every measurement replaces every minute",
         [&](auto& c) {
             readLists(c);
             c.EveryMeasurement = true;
         },
         0, 0x06, 0, 0, 0x02, 0x10, 0},
        {"nothing chosen clears the recording bits", readLists, 0, 0xFF, 0, 0, 0x02, 0xE1, 0},
        // Only the item that names the other state turns a bit the other way.
        {"no list selected over 0", [](auto&) {}, 0, 0, 0, 0, 0x14, 0, 0},
        {"lists and tick over 0xFF",
         [](auto& c) {
             c.LanguageItem = 0;
             c.SoundItem = 1;
             c.GpsItem = 0;
         },
         0xFF, 0, 0, 0, 0xE1, 0, 0},
        {"GPS's empty third item",
         [&](auto& c) {
             readLists(c);
             c.GpsItem = 2;
         },
         0, 0, 0, 0, 0x12, 0, 0},
        {"automatic brightness",
         [&](auto& c) {
             readLists(c);
             c.AutoBrightness = true;
         },
         0, 0, 0, 0, 0x0A, 0, 0},
        {"first and last screen over 0xE0",
         [&](auto& c) {
             readLists(c);
             c.Screens[0] = c.Screens[4] = true;
         },
         0, 0, 0xE0, 0, 0x02, 0, 0x11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSettingsControls controls;
        controls.DoseRateThreshold = controls.DoseThreshold = "1";
        c.set(controls);
        TDeviceSettings s = AsRead();
        s.Options = c.readOptions;
        s.RecordingMode = c.readMode;
        s.Screens = c.readScreens;
        s.DisplayMode = 0xC3;
        ASSERT_FALSE(ComposeSettingsWrite(controls, s));
        EXPECT_EQ(s.Brightness, c.brightness);
        EXPECT_EQ(s.Options, c.options);
        EXPECT_EQ(s.RecordingMode, c.mode);
        EXPECT_EQ(s.Screens, c.screens);
        EXPECT_EQ(s.DisplayMode, 0xC3); // field 11 goes back as read
    }
}

} // namespace
