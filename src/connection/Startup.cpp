#include "connection/Startup.h"

#include "ui/Forms.h"

void Timer2Timer(TForm1&) {}

bool StartupDone = false;
