// The capacity credit of resources with storage, which has no exact
// solution: the ELCC by simulation, with common random numbers.
//
// Every load tried is simulated over the same years (the same seed and
// year numbers, so the same outages), and each year's index with the
// devices is controlled by the same year without them, whose exact value
// at that load the direct solution gives.  Within one sample the index then
// rises with the load as the exact one does, and the search for the load
// that brings it to the value asked for is exact for that sample; what is
// left is the sample's own error, carried to the answer through the slope
// of the index around it.
#ifndef ADEQUACY_CAPACITY_SIMULATED_CREDIT_H_
#define ADEQUACY_CAPACITY_SIMULATED_CREDIT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "capacity/carrying.h"
#include "capacity/simulated_search.h"
#include "capacity/target.h"
#include "direct/study.h"
#include "montecarlo/events/storage_dispatch.h"
#include "montecarlo/events/unit_rates.h"
#include "montecarlo/statistics/year_sample.h"
#include "system/system.h"

namespace adequacy {

class SimulatedCredit {
 public:
  // `system` holds the units, profiles and devices (the base with the
  // additions, its maintenance placed); `study` is its direct solution.
  // Both must outlive the search.
  SimulatedCredit(const System& system, const DirectStudy& study,
                  RiskIndex index, uint64_t seed, int threads);

  // Why the system cannot be simulated (a chain's rate beyond an hour),
  // or empty; nothing below may be asked where it is not.
  const std::string& fault() const { return fault_; }

  // The index with the devices, `added` MW in every hour, over years
  // [0, years), controlled by the same years without them.
  SampleInterval IndexAt(double added, int64_t years);

  // The added MW at which the index over `years` years comes to `value`,
  // to `tolerance` MW: 0 where even no added load is above it.
  Estimated LoadAt(double value, int64_t years, double tolerance,
                   double scale_mw);

  int evaluations() const { return evaluations_; }

 private:
  const System& system_;
  const DirectStudy& study_;
  RiskIndex index_;
  uint64_t seed_;
  int threads_;
  std::vector<UnitRates> units_;
  std::vector<DeviceRates> devices_;
  std::string fault_;
  int evaluations_ = 0;
};

// The years that bring the ELCC's standard error to `goal_mw`, from a
// pilot run's error over its years: at least the pilot's, at most `most`.
int64_t YearsFor(double pilot_error_mw, int64_t pilot_years, double goal_mw,
                 int64_t most);

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_SIMULATED_CREDIT_H_
