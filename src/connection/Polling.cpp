#include "connection/Polling.h"

#include "ui/Forms.h"

void Timer1Timer(TForm1&) {}

void WriteDeviceClock() {}

void PageControl1Change(TForm1&) {}

