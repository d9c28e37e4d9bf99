#include "connection/PollStep.h"

#include "base/Clock.h"
#include "connection/ClockSync.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"

static bool ReadStepObject(const TPollStep& step, uint8_t index) {
    const bool delivered = ReadObject(index) == 1;
    if (step.AfterRead) step.AfterRead(index, delivered);
    return delivered;
}

void PollBatteriesStep(const TPollStep& step) {
    for (uint8_t index : {Obj::DetectorBattery, Obj::ConsoleBattery})
        if (ReadStepObject(step, index) && step.BatteryRead) step.BatteryRead(index);
}

void PollMeasurementStep(const TPollStep& step) {
    if (ReadStepObject(step, Obj::MeasurementData)) {
        const TMeasurementData& m = MeasurementData;
        if (step.SyncClock &&
            DeviceClockOutOfStep(NowSeconds(), m.ClockHours, m.ClockMinutes, m.ClockSeconds)) {
            // The values of a device whose clock is off wait for the next step.
            WriteDeviceClock();
            return;
        }
        if ((m.Status & StatusNewMeasurement) && step.NewMeasurement) step.NewMeasurement();
    }
    PollBatteriesStep(step);
}

uint8_t WriteDeviceClock() {
    FillDeviceClock(NowSeconds(), DeviceClock);
    return WriteObject(Obj::DeviceClock);
}
