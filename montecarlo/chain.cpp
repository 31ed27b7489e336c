#include "montecarlo/chain.h"

#include "montecarlo/rng.h"

namespace adequacy {

ChainParameters SetUpChainParameters() {
  ChainParameters params;
  for (int type = 0; type < kUnitTypes; ++type) {
    params.repair_hours[type] = static_cast<float>(
        static_cast<double>(kUnitTypeTable[type].mean_repair_days) * 24.0);
  }
  for (int unit = 0; unit < kUnits; ++unit) {
    const int type = TypeOfUnit(unit);
    const double hours = params.repair_hours[type];
    const double q = kUnitTypeTable[type].forced_outage_rate;
    const double repair_rate = 1.0 / hours;
    params.repair_probability[unit] = static_cast<float>(repair_rate);
    params.failure_probability[unit] =
        static_cast<float>(repair_rate * q / (1.0 - q));
  }
  return params;
}

ChainState InitialChainState() {
  ChainState state;
  state.unit_state.fill(kUnitUp);
  state.seed = kStartSeed;
  return state;
}

Estimates EstimatesOf(const ChainAccumulators& totals) {
  return Estimates{
      totals.years,
      totals.deficit_hours / totals.years,
      static_cast<double>(totals.events) / totals.years,
      1.0 - totals.event_free_years / totals.years,
      totals.unserved_mwh / totals.years,
  };
}

}  // namespace adequacy
