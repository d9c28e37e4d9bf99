#pragma once
// One step of the polling cycle on the measurement tab, without the windows: the measurement
// read with the clock check, then both batteries. What shows the values is given as hooks.
#include <cstdint>
#include <functional>

struct TPollStep {
    // After every read of the step, with the object's table index and whether it was delivered.
    std::function<void(uint8_t index, bool delivered)> AfterRead;
    // A delivered measurement carrying the new-measurement bit.
    std::function<void()> NewMeasurement;
    // A delivered battery object (Obj::DetectorBattery or Obj::ConsoleBattery).
    std::function<void(uint8_t index)> BatteryRead;
    // Whether a device clock out of step is rewritten (and that measurement held back until the
    // next step); off, the step writes nothing to the device.
    bool SyncClock = true;
};

void PollMeasurementStep(const TPollStep& step);
// The battery half of the step alone (the battery tab's tick).
void PollBatteriesStep(const TPollStep& step);

// Writes the PC's local time now into the device clock; WriteObject's result.
uint8_t WriteDeviceClock();
