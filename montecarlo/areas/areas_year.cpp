#include "montecarlo/areas/areas_year.h"

#include <algorithm>
#include <bit>

#include "montecarlo/events/unit_draws.h"
#include "montecarlo/events/unit_spans.h"

namespace adequacy {
namespace {

int64_t LongestOf(const std::vector<AreaLoads>& years) {
  int64_t hours = 0;
  for (const AreaLoads& year : years) {
    hours = std::max(hours, year.system->hours());
  }
  return hours;
}

std::vector<TieLimit> LimitsOf(const std::vector<TieRates>& ties) {
  std::vector<TieLimit> limits;
  for (const TieRates& tie : ties) limits.push_back(tie.limit);
  return limits;
}

}  // namespace

AreasYearSimulator::AreasYearSimulator(
    const std::vector<UnitRates>& units, const std::vector<size_t>& unit_areas,
    const std::vector<TieRates>& ties, const std::vector<AreaLoads>& years,
    YearMethod method, const std::vector<DeviceRates>& devices,
    const std::vector<size_t>& device_areas,
    const std::vector<double>& outcome_probabilities)
    : units_(units),
      unit_areas_(unit_areas),
      ties_(ties),
      years_(years),
      outcome_probabilities_(outcome_probabilities),
      loads_(years.front()),
      method_(method),
      hours_(LongestOf(years)),
      change_mw_(loads_.areas.size(),
                 std::vector<int32_t>(static_cast<size_t>(hours_) + 1, 0)),
      available_(loads_.areas.size(), 0),
      changed_(static_cast<size_t>(hours_) / 64 + 1, 0),
      outages_(ties.size()),
      cursors_(ties.size(), 0),
      limits_(LimitsOf(ties)),
      area_devices_(loads_.areas.size()),
      dispatch_(loads_.areas.size()),
      devices_(devices),
      device_areas_(device_areas),
      device_outages_(devices.size()),
      device_cursors_(devices.size(), 0),
      events_(loads_.areas.size()),
      alone_events_(loads_.areas.size()),
      margins_(loads_.areas.size(), 0.0),
      unserved_(loads_.areas.size(), 0.0),
      flows_(ties.size(), 0.0),
      imports_(loads_.areas.size(), 0.0),
      transfers_(loads_.areas.size(), limits_) {
  // Each area's devices in file order, whole before any dispatch holds
  // them.
  for (size_t d = 0; d < devices_.size(); ++d) {
    std::vector<DeviceRates>& own = area_devices_[device_areas_[d]];
    device_places_.push_back(own.size());
    own.push_back(devices_[d]);
  }
  for (size_t a = 0; a < area_devices_.size(); ++a) {
    if (area_devices_[a].empty()) continue;
    dispatch_[a] = std::make_unique<StorageDispatch>(area_devices_[a]);
  }
}

void AreasYearSimulator::Simulate(uint64_t seed, int64_t year, AreasYear* out) {
  // The weather years in turn, and the year's outcome drawn as for one
  // area.
  loads_ = years_[FirstOfWeatherYear(year) +
                  DrawnOutcome(seed, year, outcome_probabilities_)];
  hours_ = loads_.system->hours();
  DrawUnits(seed, year);
  DrawTies(seed, year);
  DrawDevices(seed, year);
  Tally(out);
  // What is kept by hour is kept at the weather year's hours.
  for (auto* list : {&out->areas, &out->alone}) {
    for (YearOutcome& outcome : *list) outcome.first_hour = loads_.first_hour;
  }
  for (YearOutcome* outcome :
       {&out->system, &out->islands, &out->copper_plate}) {
    outcome->first_hour = loads_.first_hour;
  }
}

void AreasYearSimulator::DrawUnits(uint64_t seed, int64_t year) {
  const bool by_sojourns = method_ == YearMethod::kEvents;
  const DrawUse use = by_sojourns ? DrawUse::kSojourns : DrawUse::kHours;
  std::fill(available_.begin(), available_.end(), 0);
  for (size_t i = 0; i < units_.size(); ++i) {
    const UnitRates& unit = units_[i];
    const size_t area = unit_areas_[i];
    available_[area] += unit.capacity_mw;
    UnitDraws draws(seed, year, static_cast<uint32_t>(i), use);
    const auto change = [&](int64_t hour, int32_t mw) {
      Change(area, hour, mw);
    };
    UnitSpans(&draws, unit, hours_, by_sojourns,
              [&](int64_t first, int64_t end, int32_t lost) {
                if (unit.maintenance.empty()) {
                  change(first, -lost);
                  change(end, lost);
                } else {
                  LoseAroundMaintenance(unit, first, end, lost, change);
                }
              });
    MaintainSpans(unit, hours_, change);
  }
}

void AreasYearSimulator::DrawTies(uint64_t seed, int64_t year) {
  const bool by_sojourns = method_ == YearMethod::kEvents;
  for (size_t t = 0; t < ties_.size(); ++t) {
    std::vector<HourSpan>& outages = outages_[t];
    outages.clear();
    cursors_[t] = 0;
    if (!ties_[t].can_fail) continue;
    UnitDraws draws(seed, year, kTieDraws + static_cast<uint32_t>(t),
                    by_sojourns ? DrawUse::kSojourns : DrawUse::kHours);
    UnitSpans(&draws, ties_[t].chain, hours_, by_sojourns,
              [&](int64_t first, int64_t end, int32_t) {
                outages.push_back({first, end});
                Mark(first);
                Mark(end);
              });
  }
}

void AreasYearSimulator::DrawDevices(uint64_t seed, int64_t year) {
  const bool by_sojourns = method_ == YearMethod::kEvents;
  for (size_t d = 0; d < devices_.size(); ++d) {
    std::vector<HourSpan>& outages = device_outages_[d];
    outages.clear();
    device_cursors_[d] = 0;
    if (!devices_[d].can_fail) continue;
    // The one-area engine's streams for the devices, in file order.
    UnitDraws draws(seed, year, kDeviceDraws + static_cast<uint32_t>(d),
                    by_sojourns ? DrawUse::kSojourns : DrawUse::kHours);
    UnitSpans(&draws, devices_[d].chain, hours_, by_sojourns,
              [&](int64_t first, int64_t end, int32_t) {
                outages.push_back({first, end});
                Mark(first);
                Mark(end);
              });
  }
}

void AreasYearSimulator::SetDevicesAt(int64_t hour) {
  for (size_t d = 0; d < devices_.size(); ++d) {
    const std::vector<HourSpan>& outages = device_outages_[d];
    size_t& next = device_cursors_[d];
    while (next < outages.size() && outages[next].end <= hour) ++next;
    const bool up = next == outages.size() || outages[next].first > hour;
    dispatch_[device_areas_[d]]->SetUp(device_places_[d], up);
  }
}

bool AreasYearSimulator::Quiet(int64_t first, int64_t end) const {
  for (size_t a = 0; a < loads_.areas.size(); ++a) {
    const double capacity = static_cast<double>(available_[a]);
    if (loads_.areas[a]->PeakOf(first, end) > capacity) return false;
    if (dispatch_[a] && !dispatch_[a]->Idle()) return false;
  }
  return true;
}

void AreasYearSimulator::Dispatch() {
  std::fill(imports_.begin(), imports_.end(), 0.0);
  for (size_t t = 0; t < ties_.size(); ++t) {
    imports_[ties_[t].limit.second] += flows_[t];
    imports_[ties_[t].limit.first] -= flows_[t];
  }
  for (size_t a = 0; a < dispatch_.size(); ++a) {
    if (!dispatch_[a]) continue;
    // Short by what the transfers left, or with what is left after them.
    const double margin = unserved_[a] > 0.0
                              ? -unserved_[a]
                              : std::max(0.0, margins_[a] + imports_[a]);
    unserved_[a] = dispatch_[a]->Hour(margin);
  }
}

void AreasYearSimulator::Tally(AreasYear* out) {
  const size_t areas = loads_.areas.size();
  out->areas.resize(areas);
  out->alone.resize(areas);
  for (size_t a = 0; a < areas; ++a) {
    out->areas[a].Clear();
    out->alone[a].Clear();
    events_[a].Reset();
    alone_events_[a].Reset();
  }
  out->system.Clear();
  out->islands.Clear();
  out->copper_plate.Clear();
  system_events_.Reset();
  islands_events_.Reset();
  copper_events_.Reset();
  out->at_limit.assign(2 * ties_.size(), 0);
  // The ties and devices at hour 0 before any change is read.
  for (size_t t = 0; t < ties_.size(); ++t) limits_[t] = ties_[t].limit;
  for (const auto& dispatch : dispatch_) {
    if (dispatch) dispatch->StartYear();
  }
  int64_t run_start = 0;
  const auto change_at = [&](int64_t hour) {
    for (size_t a = 0; a < areas; ++a) {
      int32_t& change = change_mw_[a][static_cast<size_t>(hour)];
      available_[a] += change;
      change = 0;
    }
    for (size_t t = 0; t < ties_.size(); ++t) {
      const std::vector<HourSpan>& outages = outages_[t];
      size_t& next = cursors_[t];
      while (next < outages.size() && outages[next].end <= hour) ++next;
      const bool out_now = next < outages.size() && outages[next].first <= hour;
      limits_[t] = ties_[t].limit;
      if (out_now) limits_[t].forward_mw = limits_[t].backward_mw = 0.0;
    }
    if (!devices_.empty()) SetDevicesAt(hour);
  };
  for (size_t word = 0; word < changed_.size(); ++word) {
    for (uint64_t bits = changed_[word]; bits != 0; bits &= bits - 1) {
      const int64_t hour =
          static_cast<int64_t>(word * 64) + std::countr_zero(bits);
      if (hour >= hours_) break;
      if (hour > run_start) TallyRun(run_start, hour, out);
      change_at(hour);
      run_start = hour;
    }
    changed_[word] = 0;
  }
  if (hours_ > run_start) TallyRun(run_start, hours_, out);
  for (size_t a = 0; a < areas; ++a) {
    change_mw_[a][static_cast<size_t>(hours_)] = 0;
  }
  out->discharged_mwh.resize(devices_.size());
  for (size_t d = 0; d < devices_.size(); ++d) {
    out->discharged_mwh[d] =
        dispatch_[device_areas_[d]]->discharged_mwh()[device_places_[d]];
  }
}

const YearLoad& AreasYearSimulator::Redraw(uint64_t seed, int64_t year,
                                           std::vector<double>* margins,
                                           std::vector<double>* flows) {
  // The year's weather year, whose outcomes all have its hours.
  const auto hours =
      static_cast<size_t>(years_[FirstOfWeatherYear(year)].system->hours());
  margins->assign(hours * margins_.size(), 0.0);
  flows->assign(hours * flows_.size(), 0.0);
  margins_by_hour_ = margins;
  flows_by_hour_ = flows;
  AreasYear scratch;
  Simulate(seed, year, &scratch);
  margins_by_hour_ = nullptr;
  flows_by_hour_ = nullptr;
  return *loads_.system;
}

void AreasYearSimulator::TallyRun(int64_t first, int64_t end, AreasYear* out) {
  if (margins_by_hour_ != nullptr) {
    // Every hour, noted: the hours no shortcut would look into change no
    // figure either.
    for (int64_t hour = first; hour < end; ++hour) {
      TallyHour(hour, out);
      const auto h = static_cast<size_t>(hour);
      std::copy(margins_.begin(), margins_.end(),
                margins_by_hour_->data() + h * margins_.size());
      std::copy(flows_.begin(), flows_.end(),
                flows_by_hour_->data() + h * flows_.size());
    }
    return;
  }
  if (!devices_.empty()) {
    // Hour by hour while some device can take energy or an area be short;
    // the hourly loop in every hour.
    for (int64_t hour = first; hour < end; ++hour) {
      if (method_ == YearMethod::kEvents && Quiet(hour, end)) return;
      TallyHour(hour, out);
    }
    return;
  }
  if (method_ == YearMethod::kEvents) {
    bool covered = true;
    for (size_t a = 0; a < loads_.areas.size() && covered; ++a) {
      const double capacity = static_cast<double>(available_[a]);
      covered = loads_.areas[a]->Covered(first, end, capacity) ||
                !(loads_.areas[a]->PeakOf(first, end) > capacity);
    }
    if (covered) return;
  }
  for (int64_t hour = first; hour < end; ++hour) TallyHour(hour, out);
}

void AreasYearSimulator::TallyHour(int64_t hour, AreasYear* out) {
  const auto h = static_cast<size_t>(hour);
  const size_t areas = loads_.areas.size();
  bool short_alone = false;
  double alone_mw = 0.0;
  double margin = 0.0;  // Of the copper plate.
  for (size_t a = 0; a < areas; ++a) {
    const YearLoad& load = *loads_.areas[a];
    margins_[a] = static_cast<double>(available_[a]) - load.net_mw[h];
    margin += margins_[a];
    if (margins_[a] < 0.0) {
      short_alone = true;
      alone_mw += -margins_[a];
      out->alone[a].AddDeficit(hour, -margins_[a], load.day_peak[h] != 0,
                               &alone_events_[a]);
    }
  }
  const bool system_peak = loads_.system->day_peak[h] != 0;
  if (short_alone) {
    out->islands.AddDeficit(hour, alone_mw, system_peak, &islands_events_);
  }
  // The copper plate is short only where some area is on its own, so the
  // hours looked into hold all of its deficits.
  if (margin < 0.0) {
    out->copper_plate.AddDeficit(hour, -margin, system_peak, &copper_events_);
  }
  // The hourly loop transfers in every hour, as a reference that trusts
  // no shortcut; the engine only where some area is short on its own.
  if (!short_alone && method_ == YearMethod::kEvents && devices_.empty()) {
    if (margins_by_hour_ != nullptr)
      std::fill(flows_.begin(), flows_.end(), 0.0);
    return;
  }
  if (short_alone || method_ == YearMethod::kHourly) {
    transfers_.Solve(margins_.data(), limits_, unserved_.data(), flows_.data());
  } else {
    // No area short: nothing flows.
    std::fill(unserved_.begin(), unserved_.end(), 0.0);
    std::fill(flows_.begin(), flows_.end(), 0.0);
  }
  if (!devices_.empty()) Dispatch();
  double short_mw = 0.0;
  for (size_t a = 0; a < areas; ++a) {
    if (!(unserved_[a] > 0.0)) continue;
    short_mw += unserved_[a];
    out->areas[a].AddDeficit(hour, unserved_[a],
                             loads_.areas[a]->day_peak[h] != 0, &events_[a]);
  }
  if (!(short_mw > 0.0)) return;
  out->system.AddDeficit(hour, short_mw, system_peak, &system_events_);
  for (size_t t = 0; t < ties_.size(); ++t) {
    bool at_limit[2];
    AtLimit(limits_[t], flows_[t], at_limit);
    out->at_limit[2 * t] += at_limit[0] ? 1 : 0;
    out->at_limit[2 * t + 1] += at_limit[1] ? 1 : 0;
  }
}

}  // namespace adequacy
