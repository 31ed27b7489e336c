#include "montecarlo/events/unit_rates.h"

#include <cmath>
#include <limits>

namespace adequacy {

bool UnitRatesOf(const System& system, std::vector<UnitRates>* units,
                 std::string* error) {
  units->clear();
  for (const UnitGroup& group : system.units) {
    UnitRates rates;
    rates.capacity_mw = group.capacity_mw;
    rates.repair = 1.0 / group.mean_repair_hours;
    const double q = group.forced_outage_rate;
    rates.fail = group.mean_time_to_failure_hours > 0.0
                     ? 1.0 / group.mean_time_to_failure_hours
                     : rates.repair * q / (1.0 - q);
    if (!(rates.repair <= 1.0) || !(rates.fail <= 1.0)) {
      *error = "'" + group.name +
               "': a failure or repair probability above 1 an hour (a mean "
               "time to failure or repair below an hour, or an outage rate "
               "too high for its repair time); the simulation steps by hours";
      return false;
    }
    rates.down_share = rates.fail / (rates.fail + rates.repair);
    rates.log_stay_up = std::log1p(-rates.fail);
    rates.log_stay_down = std::log1p(-rates.repair);
    units->insert(units->end(), static_cast<size_t>(group.count), rates);
  }
  return true;
}

int64_t Sojourn(double u, double log_stay) {
  if (log_stay == 0.0) return kNeverChanges;  // Never leaves the state.
  // log(u) < 0 and log_stay < 0 (-infinity where p is 1, giving 1).
  const double hours = std::ceil(std::log(u) / log_stay);
  if (!(hours < static_cast<double>(kNeverChanges))) return kNeverChanges;
  return hours < 1.0 ? 1 : static_cast<int64_t>(hours);
}

}  // namespace adequacy
