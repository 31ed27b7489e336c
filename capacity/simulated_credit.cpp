#include "capacity/simulated_credit.h"

#include <algorithm>
#include <cmath>

#include "direct/assessment.h"
#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/system_simulation.h"
#include "montecarlo/statistics/standard_error.h"
#include "system/load_change.h"

namespace adequacy {
SimulatedCredit::SimulatedCredit(const System& system, const DirectStudy& study,
                                 RiskIndex index, uint64_t seed, int threads)
    : system_(system),
      study_(study),
      index_(index),
      seed_(seed),
      threads_(threads) {
  if (!UnitRatesOf(system_, &units_, &fault_)) return;
  DeviceRatesOf(system_, &devices_, &fault_);
}

SampleInterval SimulatedCredit::IndexAt(double added, int64_t years) {
  ++evaluations_;
  const ScenarioLoads outcomes = LoadsOfScenarios(system_, {1.0, added});
  const Assessment exact = study_.AssessOutcomes(outcomes, false);
  const ExactIndices controls{exact.lolh, exact.lole, exact.eue};
  const SeriesLoads loads(system_, outcomes);
  SystemSimulation simulation(units_, loads.longest(), seed_, threads_,
                              YearMethod::kEvents, devices_, controls,
                              loads.outcomes());
  simulation.RunTo(years);
  return simulation.paired().Reported(FigureOf(index_), controls);
}

Estimated SimulatedCredit::LoadAt(double value, int64_t years, double tolerance,
                                  double scale_mw) {
  return SimulatedLargest([&](double added) { return IndexAt(added, years); },
                          value, 0.0, std::max(1.0, scale_mw), 0.0, tolerance,
                          0.05 * scale_mw);
}

int64_t YearsFor(double pilot_error_mw, int64_t pilot_years, double goal_mw,
                 int64_t most) {
  if (!(pilot_error_mw > goal_mw)) return pilot_years;
  const double ratio = pilot_error_mw / goal_mw;
  const double years =
      std::ceil(static_cast<double>(pilot_years) * ratio * ratio * 1.05);
  return std::min<int64_t>(most,
                           years > 1e15 ? most : static_cast<int64_t>(years));
}

}  // namespace adequacy
