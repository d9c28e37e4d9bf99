#include "views/SpectrumView.h"

#include "ui/Forms.h"

void InitSpectrumTable(TForm1&) {}

void ShowSpectrum(TForm1&) {}

void Button7Click(TForm1&) {}

void CheckBox2Click(TForm1&) {}

int32_t SpectrumSums[SpectrumChannels] = {};
