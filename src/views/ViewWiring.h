#pragma once
// The measurement and spectrum tabs' handlers, connected to the main window's controls.
class TForm1;

void ConnectViewHandlers(TForm1& form);
