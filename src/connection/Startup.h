#pragma once
// Start-up: the splash, the first device search and the later showing of the main window.
class TForm1;

extern bool StartupDone;

void Timer2Timer(TForm1& form);
