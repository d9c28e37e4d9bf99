#include "views/BatteryView.h"

#include "ui/Forms.h"

void ShowConsoleBattery(TForm1&) {}

void ShowDetectorBattery(TForm1&) {}

