#include "montecarlo/plain_loop.h"

#include "montecarlo/rng.h"

namespace adequacy {

void SimulatePlainYear(const ChainParameters& params, const HourlyLoads& loads,
                       ChainState* state, YearsTally* tally) {
  ChainAccumulators& totals = state->totals;
  totals.years += 1.0;
  EventCounter year;
  for (int hour = 0; hour < kHoursPerYear; ++hour) {
    float available = 0.0f;
    for (int unit = 0; unit < kUnits; ++unit) {
      const float r = DrawUniform(&state->seed);
      int32_t& unit_state = state->unit_state[unit];
      if (unit_state == kUnitUp) {
        if (r <= params.failure_probability[unit]) unit_state = kUnitDown;
      } else {
        if (r <= params.repair_probability[unit]) unit_state = kUnitUp;
      }
      if (unit_state == kUnitUp) {
        available += static_cast<float>(UnitTypeOf(unit).capacity_mw);
      }
    }
    const double load = loads[hour];
    // Not "<": a load that is not a number is served by no capacity.
    if (!(static_cast<double>(available) +
              static_cast<double>(kDeficitTolerance) >=
          load)) {
      totals.unserved_mwh = (totals.unserved_mwh + load) - available;
      totals.deficit_hours += 1.0;
      year.Add(hour);
      if (tally) tally->AddDeficit(hour, static_cast<uint16_t>(available));
    }
  }
  totals.events += year.events;
  if (year.events == 0) totals.event_free_years += 1.0;
  if (tally) tally->EndYear();
}

}  // namespace adequacy
