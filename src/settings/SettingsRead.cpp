#include "settings/SettingsRead.h"

#include "ui/Forms.h"

uint8_t ReadSettings(TForm1&) { return 0; }

void ClearDisplayedValues(TForm1&) {}

void Button1Click(TForm1&) {}

void CheckBox5Click(TForm1&) {}

void RadioButton1Click(TForm1&) {}

void RadioButton2Click(TForm1&) {}

void RadioButton3Click(TForm1&) {}

void CheckBox3Click(TForm1&) {}

