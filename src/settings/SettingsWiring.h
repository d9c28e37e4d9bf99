#pragma once
// The settings tab's handlers, connected to the main window's controls.
class TForm1;

void ConnectSettingsHandlers(TForm1& form);
