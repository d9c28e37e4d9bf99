#pragma once
// Reading the device settings into the settings tab, and the recording-mode controls.
#include <cstdint>

class QLineEdit;
class TForm1;

uint8_t ReadSettings(TForm1& form);
// Fills the settings tab from DeviceSettings as a read has left it.
void ShowSettingsRead(TForm1& form);
// Blanks the module addresses, channels and thresholds a read would fill.
void ClearSettingsValues(TForm1& form);
// After a read found no unit: every tab's values go blank so that none passes for current.
void ClearDisplayedValues(TForm1& form);
void Button1Click(TForm1& form);
void CheckBox5Click(TForm1& form);
void RadioButton1Click(TForm1& form);
void RadioButton2Click(TForm1& form);
void RadioButton3Click(TForm1& form);
void CheckBox3Click(TForm1& form);

// Converts an address edit's text into `address`. A text that is no hexadecimal number is
// reported in a message box (ShowMessage) and gives false, leaving `address` as it was.
bool ConvertAddress(const QLineEdit* edit, uint8_t address[3]);

// Stores Edit2's text into DeviceAddress. False, with DeviceAddress as it was, when the text is no
// hexadecimal number; each caller reports that in its own way.
bool TakeEdit2Address(const TForm1& form);

// TakeEdit2Address, with a bad text reported in a message box (ShowMessage).
bool ConvertDeviceAddress(TForm1& form);
