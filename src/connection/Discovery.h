#pragma once
// Finding the console unit on a serial port, and the connection dialog.
#include <cstdint>

class TForm1;
class TForm2;

extern uint8_t PortNumber;    // 0 = none
extern uint8_t DiscoveryMode; // 1 manual, 0 automatic

// Reports to the main window; the dialog holds the port list and shows the progress.
void FindDevice(TForm1& form, TForm2& dialog, uint8_t mode);
void N5Click(TForm1& form);
void Button1Click(TForm2& form); // manual
void Button2Click(TForm2& form); // automatic
