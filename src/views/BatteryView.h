#pragma once
// The battery tab and the two battery summaries of the status bar.
class TForm1;

void ShowConsoleBattery(TForm1& form);
void ShowDetectorBattery(TForm1& form);
// Blanks both batteries' values and status bar summaries.
void ClearBatteryValues(TForm1& form);
