// The fleet as 110 two-state up/down chains: per-unit probabilities fixed
// at set-up, and the state that runs on from year to year.
#ifndef ADEQUACY_MONTECARLO_CHAIN_H_
#define ADEQUACY_MONTECARLO_CHAIN_H_

#include <array>
#include <cstdint>

#include "model/fleet.h"
#include "montecarlo/estimates.h"

namespace adequacy {

// Units of the type table converted once, when the phase starts.
struct ChainParameters {
  std::array<float, kUnitTypes> repair_hours;
  std::array<float, kUnits> repair_probability;   // Per hour, down to up.
  std::array<float, kUnits> failure_probability;  // Per hour, up to down.
};

ChainParameters SetUpChainParameters();

// Accumulated over every simulated year since the phase began.
struct ChainAccumulators {
  double years = 0.0;
  double deficit_hours = 0.0;
  double unserved_mwh = 0.0;
  double event_free_years = 0.0;
  // 64 bits so that no run can overflow it.
  int64_t events = 0;

  bool operator==(const ChainAccumulators&) const = default;
};

// Capacity margin below which an hour is still served, MW.
inline constexpr float kDeficitTolerance = 0.0001f;

inline constexpr int32_t kUnitUp = 1;
inline constexpr int32_t kUnitDown = 0;

struct ChainState {
  std::array<int32_t, kUnits> unit_state;
  uint32_t seed;
  ChainAccumulators totals;

  bool operator==(const ChainState&) const = default;
};

// Every unit up, the seed at its start value, the accumulators at 0.
ChainState InitialChainState();

Estimates EstimatesOf(const ChainAccumulators& totals);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_CHAIN_H_
