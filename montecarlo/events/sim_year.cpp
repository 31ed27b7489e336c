#include "montecarlo/events/sim_year.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "montecarlo/events/unit_draws.h"

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
  peak_.push_back(net);
  for (size_t span = 2; span <= net.size(); span *= 2) {
    const std::vector<double>& half = peak_.back();
    std::vector<double> level(net.size());
    for (size_t hour = 0; hour < net.size(); ++hour) {
      const size_t second = std::min(hour + span / 2, net.size() - 1);
      level[hour] = std::max(half[hour], half[second]);
    }
    peak_.push_back(std::move(level));
  }
}

double YearLoad::PeakOf(int64_t first, int64_t end) const {
  if (end <= first) return -std::numeric_limits<double>::infinity();
  // Two ranges of a power-of-two length that together cover the hours.
  const int k = std::max(
      0,
      static_cast<int>(std::bit_width(static_cast<uint64_t>(end - first))) - 1);
  const std::vector<double>& level = peak_[static_cast<size_t>(k)];
  return std::max(level[static_cast<size_t>(first)],
                  level[static_cast<size_t>(end - (int64_t{1} << k))]);
}

YearSimulator::YearSimulator(const std::vector<UnitRates>& units,
                             const YearLoad& load, YearMethod method)
    : units_(units),
      load_(load),
      method_(method),
      change_mw_(static_cast<size_t>(load.hours()) + 1, 0),
      changed_(static_cast<size_t>(load.hours()) / 64 + 1, 0) {
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
        Change(first, -unit.capacity_mw);
        Change(last, unit.capacity_mw);
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
    if (down) Change(0, -unit.capacity_mw);
    for (int64_t hour = 0; hour < hours; ++hour) {
      const double u = draws.Uniform();
      if (down ? u < unit.repair : u < unit.fail) {
        down = !down;
        Change(hour, down ? -unit.capacity_mw : unit.capacity_mw);
      }
    }
  }
}

void YearSimulator::Tally(YearOutcome* out) {
  out->Clear();
  const int64_t hours = load_.hours();
  int64_t available = installed_mw_;
  EventCounter events;
  // From change to change, the capacity is one: a run of hours that only
  // needs looking into where its largest load passes the capacity.
  int64_t run_start = 0;
  for (size_t word = 0; word < changed_.size(); ++word) {
    for (uint64_t bits = changed_[word]; bits != 0; bits &= bits - 1) {
      const int64_t hour =
          static_cast<int64_t>(word * 64) + std::countr_zero(bits);
      if (hour >= hours) break;
      if (hour > run_start) TallyRun(run_start, hour, available, out, &events);
      available += change_mw_[static_cast<size_t>(hour)];
      change_mw_[static_cast<size_t>(hour)] = 0;
      run_start = hour;
    }
    changed_[word] = 0;
  }
  if (hours > run_start) TallyRun(run_start, hours, available, out, &events);
  change_mw_[static_cast<size_t>(hours)] = 0;
}

void YearSimulator::TallyRun(int64_t first, int64_t end, int64_t available,
                             YearOutcome* out, EventCounter* events) const {
  const double capacity = static_cast<double>(available);
  if (!(load_.PeakOf(first, end) > capacity)) return;
  for (int64_t hour = first; hour < end; ++hour) {
    const size_t h = static_cast<size_t>(hour);
    const double short_mw = load_.net_mw[h] - capacity;
    if (!(short_mw > 0.0)) continue;
    ++out->deficit_hours;
    out->unserved_mwh += short_mw;
    out->peak_deficits += load_.day_peak[h];
    if (events->Add(static_cast<int>(hour))) {
      out->event_hours.push_back(0);
      out->event_mwh.push_back(0.0);
    }
    ++out->event_hours.back();
    out->event_mwh.back() += short_mw;
  }
}

}  // namespace adequacy
