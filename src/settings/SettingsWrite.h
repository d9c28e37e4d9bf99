#pragma once
// Writing the settings and the link addresses back to the device.
class TForm1;

void Button2Click(TForm1& form);  // settings
void Button10Click(TForm1& form); // console address
void Button11Click(TForm1& form); // module 1 address
void Button12Click(TForm1& form); // module 2 address
