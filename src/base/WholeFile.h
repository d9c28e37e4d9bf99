#pragma once
// Files the operator asks for (exports, the chart's CSV) written all at once.
#include <string>

// Writes through a temporary file in the same folder and a rename, so the file is either
// whole or not there; false with a one-line reason otherwise.
bool WriteFileWhole(const std::string& path, const std::string& content, std::string& error);
