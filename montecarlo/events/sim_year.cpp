#include "montecarlo/events/sim_year.h"

#include <algorithm>

#include "montecarlo/events/unit_draws.h"
#include "montecarlo/statistics/tally.h"

namespace adequacy {

constexpr size_t kHoursInDay = 24;

YearLoad::YearLoad(const std::vector<double>& net)
    : net_mw(net), day_peak(net.size(), 0) {
  for (size_t start = 0; start < net.size(); start += kHoursInDay) {
    size_t peak = start;
    for (size_t hour = start + 1; hour < start + kHoursInDay; ++hour) {
      if (net[hour] > net[peak]) peak = hour;
    }
    day_peak[peak] = 1;
  }
}

YearSimulator::YearSimulator(const std::vector<UnitRates>& units,
                             const YearLoad& load, YearMethod method)
    : units_(units),
      load_(load),
      method_(method),
      change_mw_(static_cast<size_t>(load.hours()) + 1, 0) {
  for (const UnitRates& unit : units) installed_mw_ += unit.capacity_mw;
}

void YearSimulator::Simulate(uint64_t seed, int64_t year, YearOutcome* out) {
  if (method_ == YearMethod::kEvents) {
    DrawSojourns(seed, year);
  } else {
    StepHours(seed, year);
  }
  Tally(out);
}

void YearSimulator::DrawSojourns(uint64_t seed, int64_t year) {
  const int64_t hours = load_.hours();
  for (size_t i = 0; i < units_.size(); ++i) {
    const UnitRates& unit = units_[i];
    UnitDraws draws(seed, year, static_cast<uint32_t>(i), DrawUse::kSojourns);
    // The state before the year's first hour, as in the long run; each
    // state holds from the hour it began for a geometric number of hours.
    bool down = draws.Uniform() < unit.down_share;
    int64_t began = -1;
    for (;;) {
      const int64_t end =
          began + Sojourn(draws.Uniform(),
                          down ? unit.log_stay_down : unit.log_stay_up);
      if (down) {
        const int64_t first = std::max<int64_t>(began, 0);
        const int64_t last = std::min(end, hours);
        change_mw_[static_cast<size_t>(first)] -= unit.capacity_mw;
        change_mw_[static_cast<size_t>(last)] += unit.capacity_mw;
      }
      if (end >= hours) break;
      began = end;
      down = !down;
    }
  }
}

void YearSimulator::StepHours(uint64_t seed, int64_t year) {
  const int64_t hours = load_.hours();
  for (size_t i = 0; i < units_.size(); ++i) {
    const UnitRates& unit = units_[i];
    UnitDraws draws(seed, year, static_cast<uint32_t>(i), DrawUse::kHours);
    bool down = draws.Uniform() < unit.down_share;
    if (down) change_mw_[0] -= unit.capacity_mw;
    for (int64_t hour = 0; hour < hours; ++hour) {
      const double u = draws.Uniform();
      if (down ? u < unit.repair : u < unit.fail) {
        down = !down;
        change_mw_[static_cast<size_t>(hour)] +=
            down ? -unit.capacity_mw : unit.capacity_mw;
      }
    }
  }
}

void YearSimulator::Tally(YearOutcome* out) {
  out->Clear();
  const int64_t hours = load_.hours();
  int64_t available = installed_mw_;
  EventCounter events;
  for (int64_t hour = 0; hour < hours; ++hour) {
    const size_t h = static_cast<size_t>(hour);
    available += change_mw_[h];
    change_mw_[h] = 0;
    const double short_mw = load_.net_mw[h] - static_cast<double>(available);
    if (!(short_mw > 0.0)) continue;
    ++out->deficit_hours;
    out->unserved_mwh += short_mw;
    out->peak_deficits += load_.day_peak[h];
    if (events.Add(static_cast<int>(hour))) {
      out->event_hours.push_back(0);
      out->event_mwh.push_back(0.0);
    }
    ++out->event_hours.back();
    out->event_mwh.back() += short_mw;
  }
  change_mw_[static_cast<size_t>(hours)] = 0;
}

}  // namespace adequacy
