#pragma once
// The spectrum tab: table, bars and the sum, per reading or summed.
class TForm1;

void InitSpectrumTable(TForm1& form);
void ShowSpectrum(TForm1& form);
void Button7Click(TForm1& form);   // reset the sums
void CheckBox2Click(TForm1& form); // integral mode
