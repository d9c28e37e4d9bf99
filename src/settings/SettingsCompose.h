#pragma once
// What the settings write sends, from the state of the settings tab: the threshold checks and the
// bit rules of the options, recording mode and screens. Bits the tab does not own keep the values
// of the last settings read.
#include <QString>
#include <cstdint>
#include <optional>

#include "link/Catalogue.h"
#include "settings/SettingsDisplay.h"

constexpr double ThresholdMax = 10000000; // the same for both thresholds
constexpr int BrightnessStep = 25;        // the device takes the track-bar position times this

// The settings tab as the write reads it. A list without a selection has item -1.
struct TSettingsControls {
    QString DoseRateThreshold;      // Edit9
    QString DoseThreshold;          // Edit10
    int Brightness = 0;             // TrackBar1 position
    bool EveryMeasurement = false;  // RadioButton1
    bool EveryHour = false;         // RadioButton3
    bool EveryMinute = false;       // RadioButton2
    bool OnChange = false;          // CheckBox3
    int LanguageItem = -1;          // ComboBox1: 0 English
    int SoundItem = -1;             // ComboBox2: 0 on
    int GpsItem = -1;               // ComboBox4: 0 off
    bool AutoBrightness = false;    // CheckBox4
    bool Screens[ScreenCount] = {}; // CheckBox6..CheckBox10
};

// A decimal number as the operator types it: the operator's decimal separator, an optional
// exponent, spaces around it allowed; "nan" and "inf" convert too, so that the check below can
// refuse them. False, leaving `value` as it was, when the text is no number.
bool ParseThreshold(const QString& text, double& value);

// The message for a text ParseThreshold refused: "'…' is not a valid floating point value".
QString InvalidFloatMessage(const QString& text);

// Why a converted threshold cannot be sent: nothing when it can. Above the limit the message is
// the Russian one in every language; a negative or non-finite value gets the current language's.
std::optional<QString> ThresholdRefusal(double value);

uint8_t ComposeBrightness(int position);
uint8_t ComposeRecordingMode(uint8_t read, const TSettingsControls& c);
uint8_t ComposeOptions(uint8_t read, const TSettingsControls& c);
uint8_t ComposeScreens(const TSettingsControls& c);

// Puts the tab's values into the variables of DeviceSettingsWrite held in `settings`; a threshold
// whose text is still the one shown for the value held there keeps that value exactly. Returns the
// message that stops the write, or nothing when everything is ready to send. The checks run in
// the tab's order, so a dose-rate threshold already taken stays in `settings` when the dose
// threshold is refused, and goes out with the next write.
std::optional<QString> ComposeSettingsWrite(const TSettingsControls& c, TDeviceSettings& settings);
