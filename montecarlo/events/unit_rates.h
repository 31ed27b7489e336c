// Each unit of a system as a two-state chain stepped hour by hour: its
// failure and repair probabilities per hour, and what the simulation
// derives from them once.
#ifndef ADEQUACY_MONTECARLO_EVENTS_UNIT_RATES_H_
#define ADEQUACY_MONTECARLO_EVENTS_UNIT_RATES_H_

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "system/system.h"

namespace adequacy {

// A sojourn that outlasts any year.
inline constexpr int64_t kNeverChanges = INT64_MAX / 4;

// One outage state of a unit with derates, for the simulation.
struct OutageRates {
  int32_t lost_mw = 0;    // Capacity less what it gives.
  double share = 0.0;     // Long-run share of hours.
  double enter = 0.0;     // lambda: from up, in an hour.
  double leave = 0.0;     // mu: back to up, in an hour.
  double log_stay = 0.0;  // log(1 - mu).
};

// Hours [first, end) of a weather year.
struct HourSpan {
  int64_t first = 0;
  int64_t end = 0;
};

struct UnitRates {
  int32_t capacity_mw = 0;
  double fail = 0.0;        // lambda: P(an up unit fails in an hour).
  double repair = 0.0;      // mu: P(a down unit is repaired in an hour).
  double down_share = 0.0;  // lambda / (lambda + mu), the long-run share.
  // log(1 - p) of each state's change, for drawing sojourns.
  double log_stay_up = 0.0;
  double log_stay_down = 0.0;
  // A unit with derates: its outage states, the full outage first, and
  // fail, down_share and log_stay_up of leaving up for any of them.
  std::vector<OutageRates> outages;
  // The hours of every weather year the unit is on planned maintenance,
  // in order and apart: it then gives nothing, whatever its chain's state.
  std::vector<HourSpan> maintenance;
};

// mu = 1 / repair hours; lambda = 1 / mean time to failure where given,
// else mu q / (1 - q).  Both must be at most 1 (an hour is the step).
// The units one by one, each entry of a group's maintenance given to the
// first units free for it (the entries taken by first day, so that the
// group's units suffice wherever the entries never take more than it
// has); false, with the reason, where a rate passes 1.
bool UnitRatesOf(const System& system, std::vector<UnitRates>* units,
                 std::string* error);

// One chain's rates from its outage rate (or mean time to failure) and
// repair time, as a unit's; false, with the reason naming `name`, where a
// rate passes 1.
bool ChainRatesOf(const std::string& name, double outage_rate,
                  double mean_time_to_failure_hours, double mean_repair_hours,
                  UnitRates* rates, std::string* error);

// The integer ceiling of `x` >= 0, at least 1, kNeverChanges from 2^61:
// below 2^61 the truncation is the floor, exact, and one more where `x`
// has a fraction (fewer steps than the floating-point ceiling).
inline int64_t SojournOfQuotient(double x) {
  if (!(x < 0x1p61)) return kNeverChanges;
  int64_t hours = static_cast<int64_t>(x);
  hours += static_cast<double>(hours) < x ? 1 : 0;
  return hours < 1 ? 1 : hours;
}

// The hours a unit stays in a state whose change has log(1 - p) =
// `log_stay`, drawn by inversion from `u` in (0, 1): k >= 1 with
// P(k) = (1 - p)^(k - 1) p; kNeverChanges where p is 0.  Inline: it is
// the event engine's innermost step, one call a change of state.
// SojournOfLog takes log(u), for callers that take it ahead of its use.
inline int64_t SojournOfLog(double log_u, double log_stay) {
  if (log_stay == 0.0) return kNeverChanges;  // Never leaves the state.
  // log(u) < 0 and log_stay < 0 (-infinity where p is 1, giving 1), so
  // the quotient is at least 0.  A product by the reciprocal is within
  // 2^-51 of the quotient and sooner had: where it lies farther than
  // 2^-50 of itself from a whole number its ceiling is the quotient's,
  // one more than its truncation.  Elsewhere (a whole number, 0, or past
  // 2^60) the quotient itself decides.
  const double y = log_u * (1.0 / log_stay);
  if (y < 0x1p60) {
    const auto whole = static_cast<int64_t>(y);
    const double fraction = y - static_cast<double>(whole);
    const double margin = y * 0x1p-50;
    if ((fraction > margin) & (1.0 - fraction > margin)) return whole + 1;
  }
  return SojournOfQuotient(log_u / log_stay);
}

inline int64_t Sojourn(double u, double log_stay) {
  return SojournOfLog(std::log(u), log_stay);
}

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_UNIT_RATES_H_
