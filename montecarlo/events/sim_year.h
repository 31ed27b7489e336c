// One simulated year of a system, two ways that are the same chain in
// distribution: the event engine draws each unit's sojourns, one draw per
// change of state; the hourly loop, the reference, draws for every unit
// every hour.  Both put the capacity's changes in a row of differences by
// hour, from which the year's deficit hours, events and unserved energy
// follow in one pass over the hours.
#ifndef ADEQUACY_MONTECARLO_EVENTS_SIM_YEAR_H_
#define ADEQUACY_MONTECARLO_EVENTS_SIM_YEAR_H_

#include <cstdint>
#include <vector>

#include "montecarlo/events/unit_rates.h"
#include "montecarlo/statistics/year_sample.h"

namespace adequacy {

// The hours a year is simulated against: the net load of each, and
// whether it is its day's peak hour (the first of the day's largest net
// load).
struct YearLoad {
  std::vector<double> net_mw;
  std::vector<uint8_t> day_peak;

  explicit YearLoad(const std::vector<double>& net);
  int64_t hours() const { return static_cast<int64_t>(net_mw.size()); }
};

enum class YearMethod { kEvents, kHourly };

// Simulates years of one fleet against one load; one per thread, as it
// holds the year's row of differences.
class YearSimulator {
 public:
  YearSimulator(const std::vector<UnitRates>& units, const YearLoad& load,
                YearMethod method);

  // Simulates year `year` of the run keyed by `seed`.
  void Simulate(uint64_t seed, int64_t year, YearOutcome* out);

 private:
  void DrawSojourns(uint64_t seed, int64_t year);
  void StepHours(uint64_t seed, int64_t year);
  // The year's outcome from the row of differences, which it leaves zero.
  void Tally(YearOutcome* out);

  const std::vector<UnitRates>& units_;
  const YearLoad& load_;
  YearMethod method_;
  int64_t installed_mw_ = 0;
  // Capacity gained (or lost, negative) at the start of each hour, and
  // one entry past the year.
  std::vector<int32_t> change_mw_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_SIM_YEAR_H_
