// The loads a simulation of a system walks: one YearLoad for each weather
// year and each outcome of an uncertain load, built from the outcomes' net
// loads over the whole series.
#ifndef ADEQUACY_MONTECARLO_EVENTS_SERIES_LOADS_H_
#define ADEQUACY_MONTECARLO_EVENTS_SERIES_LOADS_H_

#include <memory>
#include <vector>

#include "montecarlo/events/sim_year.h"
#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

class SeriesLoads {
 public:
  SeriesLoads(const System& system, const ScenarioLoads& outcomes);

  // The load that sizes the simulators: the longest weather year's, of
  // the first outcome.
  const YearLoad& longest() const { return *loads_[longest_]; }
  // What the simulation draws from: empty for one year of a known load.
  const LoadOutcomes& outcomes() const { return outcomes_; }

 private:
  std::vector<std::unique_ptr<YearLoad>> loads_;
  size_t longest_ = 0;
  LoadOutcomes outcomes_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_SERIES_LOADS_H_
