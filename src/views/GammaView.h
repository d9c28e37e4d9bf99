#pragma once
// The spectrum tab: table, bars and the sum, per reading or summed.
#include <cstdint>

#include "link/Catalogue.h"
#include "ui/ContextMenu.h"

#include <vector>

class TForm1;

// Counts summed over every successful reading since start or the last reset; wrap at 32 bits.
extern int32_t SpectrumSums[SpectrumChannels];

void InitSpectrumTable(TForm1& form);
void ShowSpectrum(TForm1& form);
// Blanks the counts column and the sum; SpectrumSums stay.
void ClearSpectrumValues(TForm1& form);
void Button7Click(TForm1& form);   // reset the sums
void CheckBox2Click(TForm1& form); // integral mode

// Right click on Chart2: the chart as PNG.
std::vector<TMenuEntry> Chart2Menu(TForm1& form);
