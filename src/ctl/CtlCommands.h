#pragma once
// The commands of halvexctl over the program's own link, archive and settings code.
#include "ctl/CtlOptions.h"

enum CtlExit { ExitOk = 0, ExitDeviceFailed = 1, ExitUsage = 2 };

// Runs the command of `options` and gives the exit status. Output goes to standard output,
// failures as one line each to standard error.
int RunCtlCommand(const TCtlOptions& options);
