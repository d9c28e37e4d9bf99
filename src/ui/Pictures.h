#pragma once
// The program's pictures, drawn by the program itself at the sizes the windows use.
#include <QIcon>
#include <QPixmap>
#include <vector>

// The program icon: the installed SVG file, or 16, 32 and 48 pixel drawings of it.
QIcon ProgramIcon();
// The logo with the name in Latin or in Cyrillic letters, filling a picture of the given size.
QPixmap LogoPicture(int width, int height, bool latin);
// The 9 x 12 plus-minus sign shown before the uncertainty.
QPixmap PlusMinusPicture();
// The round grey page button bearing « (back) or » (forward), 48 x 48.
QPixmap PageButtonPicture(bool forward);
// The strip of channel energies: text i centred at centres[i] (pixels from the strip's left).
QPixmap EnergyStrip(int width, int height, const std::vector<double>& centres);
// The energies as the strip writes them, channel 1 first.
extern const char* const StripEnergies[14];
