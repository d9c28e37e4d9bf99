#pragma once
// The serial port on a POSIX system: a tty opened raw at 115200 8N1, held against other programs
// (flock, the exclusive flag, a terminal program's lock file) and read and written against
// deadlines with poll. Another platform puts its own serial API beside this file.
#include "link/SerialLink.h"

#include <memory>
#include <string>

// Opens the tty at `path`; nullptr, with LastOpenProblem telling why where there is something to
// tell, when it cannot be had.
std::unique_ptr<TSerialPort> OpenTtyPort(const std::string& path);
