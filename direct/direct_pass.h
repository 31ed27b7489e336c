// One direct-solution pass: the hourly loads of a year evaluated against the
// availability table.
#ifndef ADEQUACY_DIRECT_DIRECT_PASS_H_
#define ADEQUACY_DIRECT_DIRECT_PASS_H_

#include <array>
#include <cstdint>

#include "direct/hourly_load.h"
#include "model/availability.h"

namespace adequacy {

struct DirectResult {
  double lolh = 0.0;      // Expected deficit hours per year.
  double lole = 0.0;      // Expected days with a deficit at the peak hour.
  double allr = 0.0;      // Probability of at least one such day.
  double mwheue = 0.0;    // Expected unserved energy, MWh per year.
  double mwhtotal = 0.0;  // Energy demanded, MWh per year.
  double pueueppm = 0.0;  // Unserved energy per million MWh demanded.
  float reserve_margin = 0.0f;  // Percent of the annual peak.
};

enum class ShortfallSum { kPlain, kFast };

// Rewrites all of `loads` from `params` and returns the indices of the
// year.  Both ways of summing the unserved energy give identical bits.
DirectResult RunDirectPass(const LoadParameters& params,
                           const AvailabilityTable& table, HourlyLoads* loads,
                           ShortfallSum method = ShortfallSum::kFast);

// Loss-of-load probability of a stored hourly load: 1 - P(n), n the load
// truncated to whole megawatts.
double LossOfLoadProbability(const AvailabilityTable& table, float load);

// One row of the sample-day table: the loads and loss-of-load
// probabilities of one hour of the winter, summer and off-peak days.
struct SampleDayRow {
  int32_t hour;
  std::array<float, 3> load;
  std::array<double, 3> lolp;
};

std::array<SampleDayRow, kHoursPerDay> SampleDayRows(
    const AvailabilityTable& table, const HourlyLoads& loads);

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_DIRECT_PASS_H_
