#pragma once
// Start-up: the splash, the first device search and the later showing of the main window.
#include <cstdint>

class TForm1;

extern bool StartupDone;
// A port given on the command line: the first search probes only this one, as the manual mode
// of the connection dialog does; 0 searches every port.
extern uint8_t StartupPort;

void Timer2Timer(TForm1& form);
