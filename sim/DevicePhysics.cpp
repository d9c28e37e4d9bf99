#include "sim/DeviceModel.h"

#include "base/Clock.h"

#include <algorithm>
#include <cmath>
#include <ctime>

// The live values: once-a-second measurement with its counting noise, dose, spectrum, batteries
// and the device clock.

namespace {

// Share of the count rate that falls into each of the 14 channels: a falling scatter continuum
// with the lines a field operator expects to see in the background (0.66, 1.46, 2.61 MeV).
constexpr double ChannelShare[SpectrumChannels] = {0.16,  0.17,  0.14, 0.11, 0.09,  0.075, 0.07,
                                                   0.045, 0.035, 0.04, 0.02, 0.012, 0.015, 0.006};
// Pulses per second per uSv/h of the detection unit.
constexpr double Sensitivity = 2000.0;
constexpr double BatteryCapacity = 2000.0; // mAh
} // namespace

void TDeviceModel::SetRealTime(bool on) {
    RealTimeOn = on;
    LastWall = std::chrono::steady_clock::now();
}

void TDeviceModel::SetDoseRateLevel(double svPerHour) {
    Level = std::max(0.0, svPerHour);
}

double TDeviceModel::Gauss() {
    if (!NoiseOn) return 0.0;
    std::normal_distribution<double> n(0.0, 1.0);
    return n(Rng);
}

int64_t TDeviceModel::DeviceTime() const {
    return NowSeconds() + Offset;
}

uint8_t TDeviceModel::ComputedStatus() const {
    uint8_t s = 0;
    if (Records >= SimArchiveCapacity) s |= StatusMemoryFull;
    if (Set.DoseThreshold > 0 && double(Meas.Dose) * 1e6 >= Set.DoseThreshold) s |= StatusDoseAlarm;
    if (Set.DoseRateThreshold > 0 && double(Meas.DoseRate) * 1e6 >= Set.DoseRateThreshold)
        s |= StatusDoseRateAlarm;
    if (NewMeasurement) s |= StatusNewMeasurement;
    return s;
}

void TDeviceModel::Advance(double seconds) {
    if (!(seconds > 0)) return;
    // A long jump (a suspended PC, a test skipping hours) is taken in bulk up to the last hour,
    // which is then run second by second so that recent values look as usual.
    if (seconds > 7200) {
        const double bulk = seconds - 3600;
        DoseSv += Level * bulk / 3600.0;
        AccumulatedSeconds += bulk;
        DeviceSeconds += bulk;
        NextMeasurement = std::floor(DeviceSeconds) + 1;
        seconds = 3600;
    }
    const double end = DeviceSeconds + seconds;
    while (NextMeasurement <= end) {
        const double dt = NextMeasurement - DeviceSeconds;
        DoseSv += MeasuredRate * dt / 3600.0;
        AccumulatedSeconds += dt;
        DeviceSeconds = NextMeasurement;
        NextMeasurement += 1;
        Measure();
    }
    const double rest = end - DeviceSeconds;
    DoseSv += MeasuredRate * rest / 3600.0;
    AccumulatedSeconds += rest;
    DeviceSeconds = end;
}

void TDeviceModel::Measure() {
    const double cps = Level * 1e6 * Sensitivity + 2.0;
    const double window = std::min(AccumulatedSeconds + 1.0, 30.0);
    const double uncertainty = std::min(99.0, 200.0 / std::sqrt(cps * window));
    MeasuredRate = std::max(0.0, Level * (1.0 + Gauss() * uncertainty / 200.0));
    NewMeasurement = true;

    if (!Held) {
        uint32_t total = 0;
        for (int c = 0; c < SpectrumChannels; ++c) {
            const double expected = cps * ChannelShare[c];
            uint32_t n = static_cast<uint32_t>(std::lround(expected));
            if (NoiseOn && expected > 0) {
                std::poisson_distribution<uint32_t> p(expected);
                n = p(Rng);
            }
            SpectrumValues.Counts[c] = n;
            SpectrumSum.Counts[c] += n;
            total += n;
        }
        SpectrumValues.Field1 = 1;
        SpectrumSum.Field1 = static_cast<uint32_t>(AccumulatedSeconds);
        SpectrumValues.Field19 = SpectrumSum.Field19 = total;
        SpectrumValues.Field16 = SpectrumSum.Field16 = static_cast<float>(cps);
        Meas.Uncertainty = static_cast<float>(uncertainty);
        Meas.DoseRate = static_cast<float>(MeasuredRate);
        Meas.Dose = static_cast<float>(DoseSv);
        Meas.AccumulationTime = static_cast<uint32_t>(AccumulatedSeconds);
        Meas.Field1 = static_cast<float>(cps);
        Meas.Field5 = total;
        Meas.Field7 = static_cast<float>(Level);
        Meas.Field8 = static_cast<float>(window);
        Tick();
    }

    RecordLive();
}

void TDeviceModel::Tick() {
    // Batteries: the console unit runs down and the detection unit charges, each turning round
    // at the ends so that a long demo shows both directions.
    const double rates[2] = {150.0, 400.0};
    for (int b = 0; b < 2; ++b) {
        TBattery& bat = Batteries[b];
        const bool charging = bat.Current > 0;
        const double change = rates[b] / BatteryCapacity / 36.0; // percent per second
        ChargeLevel[b] += charging ? change : -change;
        if (ChargeLevel[b] >= 100) ChargeLevel[b] = 100;
        if (ChargeLevel[b] <= 5) ChargeLevel[b] = 5;
        const bool nowCharging = charging ? ChargeLevel[b] < 100 : ChargeLevel[b] <= 5;
        double current = rates[b] * (1.0 + Gauss() * 0.02);
        bat.Current = static_cast<float>(nowCharging ? current : -current);
        const double remaining = nowCharging ? (100 - ChargeLevel[b]) : ChargeLevel[b];
        bat.RemainingTime =
            static_cast<uint32_t>(remaining / 100.0 * BatteryCapacity / rates[b] * 3600.0);
        bat.Charge = static_cast<uint8_t>(std::lround(ChargeLevel[b]));
        bat.Temperature = static_cast<float>((b == 0 ? 24.5 : 27.0) + Gauss() * 0.15);
    }
}

void TDeviceModel::ResetDose() {
    DoseSv = 0;
    AccumulatedSeconds = 0;
    Meas.Dose = 0;
    Meas.AccumulationTime = 0;
    SpectrumSum = TSpectrumData{};
}
