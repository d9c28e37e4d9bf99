#pragma once
// Giving the console unit a new link address. The unit takes the address from a write sent to the
// address it answers at now and answers at the new one from its next request on, so the program
// must follow it.
#include <cstdint>

// Writes ConsoleAddress holding `next` to the unit answering at `current` (DeviceAddress := current
// for the request). When the unit answered, DeviceAddress becomes `next`, so that the following
// requests reach it; otherwise DeviceAddress stays `current`. Returns WriteObject's result.
// `current` may be DeviceAddress itself.
uint8_t ChangeConsoleAddress(const uint8_t current[3], const uint8_t next[3]);
