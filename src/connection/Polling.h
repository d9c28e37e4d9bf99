#pragma once
// The polling cycle and the device clock.
class TForm1;

void Timer1Timer(TForm1& form);
void WriteDeviceClock();
void PageControl1Change(TForm1& form);
