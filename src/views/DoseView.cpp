#include "views/DoseView.h"

#include "ui/Forms.h"

void ShowMeasurement(TForm1&) {}

void PlotMeasurement(TForm1&) {}

void Button3Click(TForm1&) {}

void Button6Click(TForm1&) {}

float ChartMax = 0;
double LastPointTime = 0;

void ClearDoseSeries(TForm1&) {}

void ClearAverageLine(TForm1&) {}
