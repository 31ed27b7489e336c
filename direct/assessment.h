// The direct solution for any system: its availability table against its
// hourly load, exact to double precision.  A deficit is an hour whose
// available capacity is strictly below its load, the load as given.
#ifndef ADEQUACY_DIRECT_ASSESSMENT_H_
#define ADEQUACY_DIRECT_ASSESSMENT_H_

#include <cstdint>
#include <span>
#include <vector>

#include "model/capacity_table.h"

namespace adequacy {

// One hour's risk.
struct HourRisk {
  double lolp = 0.0;          // P(available < net load).
  double unserved_mwh = 0.0;  // E[max(net load - available, 0)].
};

struct Assessment {
  double lolh = 0.0;       // Expected deficit hours in the series.
  double lole = 0.0;       // Expected days with a deficit at the day's peak.
  double allr = 0.0;       // Probability of at least one such day.
  double eue = 0.0;        // Expected unserved energy, MWh.
  double energy = 0.0;     // Energy demanded, MWh: the load's sum.
  double ppm = 0.0;        // Unserved energy per million MWh demanded.
  double peak_load = 0.0;  // The load's largest hour, MW.
  double reserve_margin = 0.0;  // Installed over peak, percent above it.
  std::vector<HourRisk> hours;  // Every hour's risk, when asked for.
};

// The indices of `load` (MW each hour, whole days of 24) with `net_load`
// (the load less variable generation, the same length) to be served by
// the fleet of `table`.  A day's peak hour is the first hour of its
// largest net load.
Assessment Assess(const CapacityTable& table, const std::vector<double>& load,
                  const std::vector<double>& net_load, bool keep_hours);

// The fleets of a year under planned maintenance: the table of each, and
// the fleet of each day (every day has the first where it is empty).  The
// first is the whole fleet, whose capacity the reserve margin counts.
struct FleetByDay {
  std::span<const CapacityTable* const> tables;
  std::span<const int32_t> fleet_of_day;
};

// Assess with each day's hours against that day's fleet.
Assessment Assess(const FleetByDay& fleets, std::span<const double> load,
                  std::span<const double> net_load, bool keep_hours);

// Adds `weight` times `one` to `sum`: each index, each hour's risk (where
// kept), energy and the peak load.
void AddWeighted(const Assessment& one, double weight, Assessment* sum);
// Sets ppm and the reserve margin of `sum` from its sums.
void FinishWeighted(int64_t installed_mw, Assessment* sum);

// The same over the outcomes of an uncertain load: `loads[k]` and
// `net_loads[k]` with probability `probabilities[k]`.  Every index, each
// hour's risk and ALLR are the probability-weighted sums of the outcomes'
// (exact); energy and the peak load too, and ppm and the reserve margin
// follow from those.  One outcome of probability 1 is Assess itself.
Assessment AssessOutcomes(const CapacityTable& table,
                          const std::vector<std::vector<double>>& loads,
                          const std::vector<std::vector<double>>& net_loads,
                          const std::vector<double>& probabilities,
                          bool keep_hours);

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_ASSESSMENT_H_
