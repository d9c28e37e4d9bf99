#pragma once
// The device settings as named values, for scripts: what a settings read shows and what a write
// takes, with the same rules as the settings tab.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "link/Catalogue.h"
#include "settings/SettingsCompose.h"

// Keys in the order they are listed.
const QStringList& SettingKeys();

// The tab's controls as a settings read of `settings` leaves a freshly opened tab.
TSettingsControls ControlsOfSettings(const TDeviceSettings& settings);

using TSettingValues = std::vector<std::pair<QString, QString>>;
// Every key with its value as the controls hold it, in SettingKeys() order.
TSettingValues SettingValues(const TSettingsControls& controls);
// What a settings read should show after `controls` were composed into `composed` and written:
// the thresholds as the device holds them (32-bit floats), not as they were typed.
TSettingValues ExpectedSettingValues(const TSettingsControls& controls,
                                     const TDeviceSettings& composed);

// Sets one key in `controls` from its text. False with a one-line reason for an unknown key or
// a value the key does not take; `controls` is then unchanged.
bool ApplySettingValue(const QString& key, const QString& value, TSettingsControls& controls,
                       QString& error);

// Keys whose values differ between `wanted` and `got` (both as SettingValues gives them).
QStringList DifferingSettings(const TSettingValues& wanted, const TSettingValues& got);
