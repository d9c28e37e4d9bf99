#pragma once
// The polling cycle and the device clock.
#include "connection/PollStep.h" // WriteDeviceClock

class TForm1;

void Timer1Timer(TForm1& form);
void PageControl1Change(TForm1& form);

// Converts the text of Edit2 into DeviceAddress. A text that is not a hexadecimal number leaves
// DeviceAddress as it was, marks Edit2 and says so in panel 0 once per change of the text (the
// cycle re-reads the field every tick, also while the operator types); a good text clears the
// mark. Returns false for a bad text.
bool TakeDeviceAddress(TForm1& form);
