#pragma once
// The connection's handlers: the menu and the tab change of the main window, its two timers, and
// the buttons of the connection dialog.
class TForm1;
class TForm2;

void ConnectConnectionHandlers(TForm1& form);
void ConnectConnectionHandlers(TForm2& form);
