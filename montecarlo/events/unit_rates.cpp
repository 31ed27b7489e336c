#include "montecarlo/events/unit_rates.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace adequacy {

bool ChainRatesOf(const std::string& name, double outage_rate,
                  double mean_time_to_failure_hours, double mean_repair_hours,
                  UnitRates* rates, std::string* error) {
  rates->repair = 1.0 / mean_repair_hours;
  const double q = outage_rate;
  rates->fail = mean_time_to_failure_hours > 0.0
                    ? 1.0 / mean_time_to_failure_hours
                    : rates->repair * q / (1.0 - q);
  if (!(rates->repair <= 1.0) || !(rates->fail <= 1.0)) {
    *error = "'" + name +
             "': a failure or repair probability above 1 an hour (a mean "
             "time to failure or repair below an hour, or an outage rate "
             "too high for its repair time); the simulation steps by hours";
    return false;
  }
  rates->down_share = rates->fail / (rates->fail + rates->repair);
  rates->log_stay_up = std::log1p(-rates->fail);
  rates->log_stay_down = std::log1p(-rates->repair);
  return true;
}

namespace {

// The chain of a unit with derates: up left for state k with probability
// lambda_k in an hour, state k left for up with mu_k.
bool StatesRatesOf(const UnitGroup& group, UnitRates* rates,
                   std::string* error) {
  double up = 0.0;
  const std::vector<OutageState> states = OutageStates(group, &up);
  double enter = 0.0;
  for (const OutageState& state : states) {
    OutageRates o;
    o.lost_mw = group.capacity_mw - state.available_mw;
    o.share = state.share;
    o.enter = state.enter;
    o.leave = state.leave;
    o.log_stay = std::log1p(-state.leave);
    enter += state.enter;
    if (!(state.leave <= 1.0)) enter = 2.0;  // Told below.
    rates->outages.push_back(o);
  }
  if (!(enter < 1.0) || !(up > 0.0)) {
    *error = "'" + group.name +
             "': its outage states' probabilities of an hour sum to 1 or "
             "more (mean times to failure or repair below an hour, or "
             "shares too high for their repair times); the simulation "
             "steps by hours";
    return false;
  }
  rates->fail = enter;
  rates->down_share = 1.0 - up;
  rates->log_stay_up = std::log1p(-enter);
  return true;
}

// Gives each maintenance entry of `group` to its first units free for
// it, among `units`, the group's units.
void AssignMaintenance(const UnitGroup& group, UnitRates* units) {
  std::vector<Maintenance> entries = group.maintenance;
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Maintenance& a, const Maintenance& b) {
                     return a.first_day < b.first_day;
                   });
  for (const Maintenance& entry : entries) {
    if (entry.first_day < 1) continue;  // Not placed: no days of its own.
    const HourSpan span{(entry.first_day - 1) * 24,
                        (entry.first_day - 1 + entry.days) * 24};
    int64_t left = entry.count;
    for (int64_t u = 0; u < group.count && left > 0; ++u) {
      std::vector<HourSpan>& taken = units[u].maintenance;
      if (!taken.empty() && taken.back().end > span.first) continue;
      taken.push_back(span);
      --left;
    }
  }
}

}  // namespace

bool UnitRatesOf(const System& system, std::vector<UnitRates>* units,
                 std::string* error) {
  units->clear();
  for (const UnitGroup& group : system.units) {
    UnitRates rates;
    rates.capacity_mw = group.capacity_mw;
    if (!group.derates.empty()) {
      if (!StatesRatesOf(group, &rates, error)) return false;
    } else if (!ChainRatesOf(group.name, group.forced_outage_rate,
                             group.mean_time_to_failure_hours,
                             group.mean_repair_hours, &rates, error)) {
      return false;
    }
    const size_t first = units->size();
    units->insert(units->end(), static_cast<size_t>(group.count), rates);
    if (!group.maintenance.empty()) {
      AssignMaintenance(group, units->data() + first);
    }
  }
  return true;
}

}  // namespace adequacy
