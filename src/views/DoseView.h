#pragma once
// The measurement tab: dose rate, dose, accumulation time, alarms, memory fill and the chart.
class TForm1;

void ShowMeasurement(TForm1& form);
void PlotMeasurement(TForm1& form);
void Button3Click(TForm1& form); // dose reset
void Button6Click(TForm1& form); // clear the chart
