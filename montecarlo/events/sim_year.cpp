#include "montecarlo/events/sim_year.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "montecarlo/events/unit_draws.h"
#include "montecarlo/events/unit_spans.h"

namespace adequacy {

constexpr size_t kHoursInDay = 24;

namespace {

// The least float at or above `x`.
float UpperFloat(double x) {
  float f = static_cast<float>(x);
  if (static_cast<double>(f) < x) {
    f = std::nextafter(f, std::numeric_limits<float>::infinity());
  }
  return f;
}

}  // namespace

YearLoad::YearLoad(std::span<const double> net)
    : net_mw(net.begin(), net.end()), day_peak(net.size(), 0) {
  for (size_t start = 0; start < net.size(); start += kHoursInDay) {
    size_t peak = start;
    for (size_t hour = start + 1; hour < start + kHoursInDay; ++hour) {
      if (net[hour] > net[peak]) peak = hour;
    }
    day_peak[peak] = 1;
  }
  // Each level in single precision, rounded up: a bound the filters can
  // trust (a run whose bound is within the capacity has no deficit), in
  // half the memory.
  std::vector<float> level(net.size());
  for (size_t hour = 0; hour < net.size(); ++hour) {
    level[hour] = UpperFloat(net[hour]);
  }
  block_peak_.assign((net.size() >> kBlockBits) + 1,
                     -std::numeric_limits<float>::infinity());
  for (size_t hour = 0; hour < net.size(); ++hour) {
    float& peak = block_peak_[hour >> kBlockBits];
    peak = std::max(peak, level[hour]);
    peak_mw_ = std::max(peak_mw_, level[hour]);
  }
  peak_.push_back(std::move(level));
  for (size_t span = 2; span <= net.size(); span *= 2) {
    const std::vector<float>& half = peak_.back();
    std::vector<float> next(net.size());
    for (size_t hour = 0; hour < net.size(); ++hour) {
      const size_t second = std::min(hour + span / 2, net.size() - 1);
      next[hour] = std::max(half[hour], half[second]);
    }
    peak_.push_back(std::move(next));
  }
}

double YearLoad::PeakOf(int64_t first, int64_t end) const {
  if (end <= first) return -std::numeric_limits<double>::infinity();
  // Two ranges of a power-of-two length that together cover the hours.
  const int k = std::max(
      0,
      static_cast<int>(std::bit_width(static_cast<uint64_t>(end - first))) - 1);
  const std::vector<float>& level = peak_[static_cast<size_t>(k)];
  return std::max(level[static_cast<size_t>(first)],
                  level[static_cast<size_t>(end - (int64_t{1} << k))]);
}

YearSimulator::YearSimulator(const std::vector<UnitRates>& units,
                             const YearLoad& load, YearMethod method,
                             const std::vector<DeviceRates>& devices,
                             const LoadOutcomes& outcomes)
    : units_(units),
      load_(&load),
      outcomes_(outcomes),
      method_(method),
      devices_(devices),
      outages_(devices.size()),
      cursors_(devices.size(), 0),
      dispatch_(devices_),
      change_mw_(static_cast<size_t>(load.hours()) + 1, 0),
      changed_(static_cast<size_t>(load.hours()) / 64 + 1, 0) {
  for (const UnitRates& unit : units) installed_mw_ += unit.capacity_mw;
}

void YearSimulator::Simulate(uint64_t seed, int64_t year, YearOutcome* out,
                             YearOutcome* stored) {
  const size_t weather_year = ChooseLoad(seed, year);
  DrawUnits(seed, year);
  if (!devices_.empty()) DrawOutages(seed, year, method_);
  Tally(out, devices_.empty() ? nullptr : stored);
  const int64_t first_hour =
      outcomes_.first_hours.empty() ? 0 : outcomes_.first_hours[weather_year];
  out->first_hour = first_hour;
  if (stored) stored->first_hour = first_hour;
}

const YearLoad& YearSimulator::Redraw(uint64_t seed, int64_t year,
                                      std::vector<int64_t>* available,
                                      std::vector<double>* energy_mwh,
                                      std::vector<double>* discharge_mw) {
  ChooseLoad(seed, year);
  DrawUnits(seed, year);
  const auto hours = static_cast<size_t>(load_->hours());
  available->assign(hours, 0);
  int64_t mw = installed_mw_;
  for (size_t hour = 0; hour < hours; ++hour) {
    mw += change_mw_[hour];
    (*available)[hour] = mw;
  }
  if (devices_.empty() || energy_mwh == nullptr || discharge_mw == nullptr) {
    // The rows left zero, as Tally leaves them.
    std::fill(change_mw_.begin(), change_mw_.end(), 0);
    std::fill(changed_.begin(), changed_.end(), 0);
    return *load_;
  }
  // The year dispatched again, each hour noted where it is dispatched; the
  // others keep the energy of the hour before and give nothing.
  DrawOutages(seed, year, method_);
  const size_t count = devices_.size();
  energy_mwh->assign(hours * count, std::nan(""));
  discharge_mw->assign(hours * count, 0.0);
  energy_by_hour_ = energy_mwh;
  discharge_by_hour_ = discharge_mw;
  given_so_far_.assign(count, 0.0);
  YearOutcome plain;
  YearOutcome stored;
  Tally(&plain, &stored);
  energy_by_hour_ = nullptr;
  discharge_by_hour_ = nullptr;
  for (size_t d = 0; d < count; ++d) {
    double last = devices_[d].initial_mwh;
    for (size_t hour = 0; hour < hours; ++hour) {
      double& energy = (*energy_mwh)[hour * count + d];
      if (std::isnan(energy)) energy = last;
      last = energy;
    }
  }
  return *load_;
}

void YearSimulator::Record(int64_t hour) {
  const size_t count = devices_.size();
  const auto at = static_cast<size_t>(hour) * count;
  for (size_t d = 0; d < count; ++d) {
    (*energy_by_hour_)[at + d] = dispatch_.energy_mwh(d);
    (*discharge_by_hour_)[at + d] =
        dispatch_.discharged_mwh()[d] - given_so_far_[d];
    given_so_far_[d] = dispatch_.discharged_mwh()[d];
  }
}

size_t YearSimulator::ChooseLoad(uint64_t seed, int64_t year) {
  size_t weather_year = 0;
  if (!outcomes_.loads.empty()) {
    // The weather years in turn, and the year's load outcome, drawn from a
    // stream of its own.
    const size_t outcomes = outcomes_.probabilities.size();
    const size_t years = outcomes_.loads.size() / outcomes;
    weather_year = static_cast<size_t>(year) % years;
    load_ = outcomes_.loads[weather_year * outcomes +
                            DrawnOutcome(seed, year, outcomes_.probabilities)];
  }
  return weather_year;
}

size_t DrawnOutcome(uint64_t seed, int64_t year,
                    const std::vector<double>& probabilities) {
  size_t k = 0;
  if (probabilities.size() > 1) {
    UnitDraws draws(seed, year, kOutcomeDraws, DrawUse::kSojourns);
    const double u = draws.Uniform();
    double below = probabilities[0];
    while (k + 1 < probabilities.size() && !(u < below)) {
      below += probabilities[++k];
    }
  }
  return k;
}

void YearSimulator::DrawUnits(uint64_t seed, int64_t year) {
  if (method_ == YearMethod::kEvents) {
    DrawSojourns(seed, year);
  } else {
    StepHours(seed, year);
  }
}

void YearSimulator::DrawOutages(uint64_t seed, int64_t year,
                                YearMethod method) {
  const int64_t hours = load_->hours();
  for (size_t d = 0; d < devices_.size(); ++d) {
    std::vector<Outage>& outages = outages_[d];
    outages.clear();
    const DeviceRates& device = devices_[d];
    if (!device.can_fail) continue;
    const UnitRates& chain = device.chain;
    const auto unit = kDeviceDraws + static_cast<uint32_t>(d);
    // The outage hours break the year's runs, as a unit's changes do.
    const auto out = [&](int64_t first, int64_t end) {
      outages.push_back({first, end});
      Change(first, 0);
      Change(end, 0);
    };
    const bool events = method == YearMethod::kEvents;
    UnitDraws draws(seed, year, unit,
                    events ? DrawUse::kSojourns : DrawUse::kHours);
    if (events) {
      SojournSpans(&draws, chain, hours, out);
    } else {
      HourlySpans(&draws, chain, hours, out);
    }
  }
}

void YearSimulator::DrawSojourns(uint64_t seed, int64_t year) {
  const int64_t hours = load_->hours();
  for (size_t i = 0; i < units_.size(); ++i) {
    const UnitRates& unit = units_[i];
    UnitDraws draws(seed, year, static_cast<uint32_t>(i), DrawUse::kSojourns);
    if (!unit.outages.empty()) {
      StatesSojournSpans(&draws, unit, hours,
                         [&](int64_t first, int64_t end, int32_t lost) {
                           Lose(unit, first, end, lost);
                         });
    } else {
      SojournSpans(&draws, unit, hours, [&](int64_t first, int64_t end) {
        Lose(unit, first, end, unit.capacity_mw);
      });
    }
    Maintain(unit, hours);
  }
}

void YearSimulator::StepHours(uint64_t seed, int64_t year) {
  const int64_t hours = load_->hours();
  for (size_t i = 0; i < units_.size(); ++i) {
    const UnitRates& unit = units_[i];
    UnitDraws draws(seed, year, static_cast<uint32_t>(i), DrawUse::kHours);
    if (!unit.outages.empty()) {
      StatesHourlySpans(&draws, unit, hours,
                        [&](int64_t first, int64_t end, int32_t lost) {
                          Lose(unit, first, end, lost);
                        });
    } else {
      HourlySpans(&draws, unit, hours, [&](int64_t first, int64_t end) {
        Lose(unit, first, end, unit.capacity_mw);
      });
    }
    Maintain(unit, hours);
  }
}

void YearSimulator::LoseAround(const UnitRates& unit, int64_t first,
                               int64_t end, int32_t lost) {
  LoseAroundMaintenance(unit, first, end, lost,
                        [this](int64_t hour, int32_t mw) { Change(hour, mw); });
}

void YearSimulator::Maintain(const UnitRates& unit, int64_t hours) {
  MaintainSpans(unit, hours,
                [this](int64_t hour, int32_t mw) { Change(hour, mw); });
}

void YearSimulator::Tally(YearOutcome* out, YearOutcome* stored) {
  out->Clear();
  const int64_t hours = load_->hours();
  int64_t available = installed_mw_;
  EventCounter events;
  EventCounter stored_events;
  if (stored) {
    stored->Clear();
    stored->empty_hours.assign(devices_.size(), 0);
    dispatch_.StartYear();
    std::fill(cursors_.begin(), cursors_.end(), 0);
    SetDevicesAt(0);
  }
  // From change to change, the capacity is one: a run of hours that only
  // needs looking into where its largest load passes the capacity (or,
  // with storage, where a device has room to charge).
  int64_t run_start = 0;
  for (size_t word = 0; word < changed_.size(); ++word) {
    for (uint64_t bits = changed_[word]; bits != 0; bits &= bits - 1) {
      const int64_t hour =
          static_cast<int64_t>(word * 64) + std::countr_zero(bits);
      if (hour >= hours) break;
      if (hour > run_start) {
        TallyRun(run_start, hour, available, out, &events);
        if (stored) {
          DispatchRun(run_start, hour, available, stored, &stored_events);
        }
      }
      available += change_mw_[static_cast<size_t>(hour)];
      change_mw_[static_cast<size_t>(hour)] = 0;
      run_start = hour;
      if (stored) SetDevicesAt(hour);
    }
    changed_[word] = 0;
  }
  if (hours > run_start) {
    TallyRun(run_start, hours, available, out, &events);
    if (stored)
      DispatchRun(run_start, hours, available, stored, &stored_events);
  }
  change_mw_[static_cast<size_t>(hours)] = 0;
  if (stored) stored->discharged_mwh = dispatch_.discharged_mwh();
}

void YearSimulator::SetDevicesAt(int64_t hour) {
  for (size_t d = 0; d < devices_.size(); ++d) {
    const std::vector<Outage>& outages = outages_[d];
    size_t& next = cursors_[d];
    while (next < outages.size() && outages[next].end <= hour) ++next;
    dispatch_.SetUp(d, next == outages.size() || outages[next].first > hour);
  }
}

void YearSimulator::TallyHours(int64_t first, int64_t end, double capacity,
                               YearOutcome* out, EventCounter* events) const {
  if (!(load_->PeakOf(first, end) > capacity)) return;
  for (int64_t hour = first; hour < end; ++hour) {
    const size_t h = static_cast<size_t>(hour);
    const double short_mw = load_->net_mw[h] - capacity;
    if (!(short_mw > 0.0)) continue;
    out->AddDeficit(hour, short_mw, load_->day_peak[h] != 0, events);
  }
}

void YearSimulator::DispatchRun(int64_t first, int64_t end, int64_t available,
                                YearOutcome* out, EventCounter* events) {
  const double capacity = static_cast<double>(available);
  // Hour by hour only where a deficit may come or a device may charge.
  for (int64_t hour = first; hour < end; ++hour) {
    if (dispatch_.Idle() && !(load_->PeakOf(hour, end) > capacity)) return;
    const size_t h = static_cast<size_t>(hour);
    const double unserved = dispatch_.Hour(capacity - load_->net_mw[h]);
    if (energy_by_hour_ != nullptr) Record(hour);
    if (!(unserved > 0.0)) continue;
    out->AddDeficit(hour, unserved, load_->day_peak[h] != 0, events);
    for (size_t d = 0; d < devices_.size(); ++d) {
      out->empty_hours[d] += dispatch_.empty(d) ? 1 : 0;
    }
  }
}

}  // namespace adequacy
