#include "settings/SettingsWrite.h"

#include "ui/Forms.h"

void Button2Click(TForm1&) {}

void Button10Click(TForm1&) {}

void Button11Click(TForm1&) {}

void Button12Click(TForm1&) {}

