#include "sim/FaultInjector.h"

TFaultInjector::TFaultInjector(uint32_t seed) : Rng(seed ^ 0x5EEDu) {}

void TFaultInjector::Set(TFault fault, const TFaultSetting& setting) {
    Settings[static_cast<int>(fault)] = setting;
}

void TFaultInjector::SetRate(TFault fault, double rate) {
    Settings[static_cast<int>(fault)].Rate = rate;
}

void TFaultInjector::SetNext(TFault fault, int n, int parameter) {
    TFaultSetting& s = Settings[static_cast<int>(fault)];
    s.Next = n;
    if (parameter >= 0) s.Parameter = parameter;
}

void TFaultInjector::Clear() {
    Settings.fill(TFaultSetting{});
}

const TFaultSetting& TFaultInjector::Setting(TFault fault) const {
    return Settings[static_cast<int>(fault)];
}

std::optional<TFault> TFaultInjector::Draw() {
    for (int k = 0; k < FaultKindCount; ++k) {
        if (Settings[k].Next > 0) {
            --Settings[k].Next;
            ++Fired[k];
            return static_cast<TFault>(k);
        }
    }
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int k = 0; k < FaultKindCount; ++k) {
        if (Settings[k].Rate > 0 && u(Rng) < Settings[k].Rate) {
            ++Fired[k];
            return static_cast<TFault>(k);
        }
    }
    return std::nullopt;
}

int TFaultInjector::Parameter(TFault fault) const {
    const int p = Settings[static_cast<int>(fault)].Parameter;
    if (p >= 0) return p;
    return fault == TFault::Delay ? 200 : 10;
}
