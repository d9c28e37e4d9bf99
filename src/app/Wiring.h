#pragma once
// Puts the program together: the windows that ui/ builds, with every subsystem's handlers
// connected. The program, the screenshots and the tests all start their windows through here.
class TForm1;
class TForm2;

// Connects the handlers, then starts the window as the program does: status line, the empty dose
// chart, FormCreate (language, prog.ini), both timers, and the window centred on the screen.
void WireMainWindow(TForm1& form);
void WireConnectDialog(TForm2& form);

// Creates the six windows in order, the first two wired, gives the main window the others it
// opens, and shows it.
void CreateForms();
