#pragma once
// The measurement tab: dose rate, dose, accumulation time, alarms, memory fill and the chart.
#include <vector>

#include "ui/ContextMenu.h"

class TForm1;

// Largest dose rate (uSv/h) since the chart was last cleared; 0 after start and clearing.
extern float ChartMax;
// Date-time (days since 1899-12-30) of the previous new measurement; 0 at start.
extern double LastPointTime;

void ShowMeasurement(TForm1& form);
// Blanks dose rate, dose and accumulation time and starts the chart's maximum and average afresh;
// the points of Series1 stay.
void ClearDoseValues(TForm1& form);
void PlotMeasurement(TForm1& form);
void Button3Click(TForm1& form); // dose reset
void Button6Click(TForm1& form); // clear the chart

// Empties Series1; the average line empties with it. ChartMax is left alone.
void ClearDoseSeries(TForm1& form);
// Empties only the average line; the next point computes it again from Series1.
void ClearAverageLine(TForm1& form);

class TDoseSeries;
// Every point of the dose-rate chart; Series1 draws it (or its envelope once it is long).
extern TDoseSeries DoseSeries;
// Hands Series1 and Series3 what DoseSeries holds and asks Chart1 for a redraw.
void RefreshDoseChart(TForm1& form);

// Right click on Chart1: the chart as PNG, every point kept as CSV.
std::vector<TMenuEntry> Chart1Menu(TForm1& form);
