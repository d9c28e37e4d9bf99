#pragma once
// What the settings tab shows for the values of a settings read: texts, list items and ticks.
// The recording mode is left out: it goes through the controls' own handlers.
#include <QString>

#include "link/Catalogue.h"

constexpr int ScreenCount = 5;
constexpr int BrightnessMax = 10; // the track bar's range

struct TSettingsDisplay {
    QString DoseRateThreshold; // Edit9
    QString DoseThreshold;     // Edit10
    QString Module1Address;    // Edit3
    QString Module1Channel;    // Edit5
    QString Module2Address;    // Edit4
    QString Module2Channel;    // Edit7
    int SoundItem;             // ComboBox2: 0 on, 1 off
    int LanguageItem;          // ComboBox1: 0 English, 1 Russian
    bool AutoBrightness;       // CheckBox4
    int GpsItem;               // ComboBox4: 0 off, 1 on
    int Brightness;            // TrackBar1, held within 0..BrightnessMax
    int DisplayModeItem;       // ComboBox3; the byte as it came, the list decides what it shows
    bool Screens[ScreenCount]; // CheckBox6..CheckBox10
};

TSettingsDisplay DescribeSettings(const TDeviceSettings& settings);
