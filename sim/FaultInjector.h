#pragma once
// Decides, request by request, which fault (if any) spoils the reply.
#include "sim/SimOptions.h"

#include <array>
#include <optional>
#include <random>

class TFaultInjector {
  public:
    explicit TFaultInjector(uint32_t seed = 1);
    void Set(TFault fault, const TFaultSetting& setting);
    void SetRate(TFault fault, double rate);
    // The fault fires for each of the next n requests (before any rate is consulted).
    void SetNext(TFault fault, int n, int parameter = -1);
    void Clear();
    const TFaultSetting& Setting(TFault fault) const;
    // One decision per request: the first kind, in declaration order, whose count is pending or
    // whose rate fires. Counts are consumed by the decision.
    std::optional<TFault> Draw();
    // The parameter of a kind, with its default applied.
    int Parameter(TFault fault) const;
    int Injected(TFault fault) const { return Fired[static_cast<int>(fault)]; }
    std::mt19937& Random() { return Rng; }

  private:
    std::array<TFaultSetting, FaultKindCount> Settings{};
    std::array<int, FaultKindCount> Fired{};
    std::mt19937 Rng;
};
