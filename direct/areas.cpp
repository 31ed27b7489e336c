#include "direct/areas.h"

#include <algorithm>
#include <cmath>

#include "direct/assessment.h"
#include "system/area_outcomes.h"
#include "system/load_change.h"

namespace adequacy {
namespace {

constexpr size_t kHoursInDay = 24;

// Area `to`'s risk in an hour, its neighbour `from` sending up to `limit`
// MW of its margin: nothing while that margin is 0 or less, all of it up
// to the limit, then the limit.
void OneSide(const CapacityTable& to, const CapacityTable& from, double net_to,
             double net_from, double limit, double* lolp, double* unserved) {
  if (!(limit > 0.0)) {
    *lolp = to.LossOfLoadProbability(net_to);
    *unserved = to.ExpectedUnserved(net_to);
    return;
  }
  const auto installed = static_cast<double>(from.installed_mw());
  // States up to `low` send nothing; from `high` on, the whole limit.
  const auto low =
      static_cast<int64_t>(std::clamp(std::floor(net_from), -1.0, installed));
  const auto high = std::max(
      low + 1, static_cast<int64_t>(std::clamp(std::ceil(net_from + limit), 0.0,
                                               installed + 1.0)));
  const double p_low = from.AtMost(low);
  const double p_high = 1.0 - from.AtMost(high - 1);
  double p = p_low * to.LossOfLoadProbability(net_to) +
             p_high * to.LossOfLoadProbability(net_to - limit);
  double e = p_low * to.ExpectedUnserved(net_to) +
             p_high * to.ExpectedUnserved(net_to - limit);
  double below = from.AtMost(std::max<int64_t>(low, -1));
  for (int64_t a = std::max<int64_t>(low + 1, 0); a < high; ++a) {
    const double at_most = from.AtMost(a);
    const double p_a = at_most - below;
    below = at_most;
    const double sent = static_cast<double>(a) - net_from;
    p += p_a * to.LossOfLoadProbability(net_to - sent);
    e += p_a * to.ExpectedUnserved(net_to - sent);
  }
  *lolp = p;
  *unserved = e;
}

// The tie between two areas: into[a] is what it carries into area a, and
// the share of the hours it is out, carrying nothing.
struct Tie {
  double into[2] = {0.0, 0.0};
  double out_share = 0.0;
};

Tie TieOf(const System& system) {
  Tie tie;
  for (const Interface& interface : system.interfaces) {
    tie.into[interface.second] = interface.forward_mw;
    tie.into[interface.first] = interface.backward_mw;
    tie.out_share = interface.forced_outage_rate;
  }
  return tie;
}

// OneSide with the tie out `out_share` of the hours, independent of the
// units: then the area is on its own.
void AreaRisk(const CapacityTable& to, const CapacityTable& from, double net_to,
              double net_from, double limit, double out_share, double* lolp,
              double* unserved) {
  OneSide(to, from, net_to, net_from, limit, lolp, unserved);
  if (out_share > 0.0) {
    *lolp = (1.0 - out_share) * *lolp +
            out_share * to.LossOfLoadProbability(net_to);
    *unserved =
        (1.0 - out_share) * *unserved + out_share * to.ExpectedUnserved(net_to);
  }
}

// Both areas' risks in an hour, and the system's.
TwoAreaHour HourOf(const CapacityTable& first, const CapacityTable& second,
                   const double net[2], const Tie& tie) {
  TwoAreaHour hour;
  AreaRisk(first, second, net[0], net[1], tie.into[0], tie.out_share,
           &hour.lolp[0], &hour.unserved[0]);
  AreaRisk(second, first, net[1], net[0], tie.into[1], tie.out_share,
           &hour.lolp[1], &hour.unserved[1]);
  // Both are short only when neither has a surplus to send.
  const double both = first.LossOfLoadProbability(net[0]) *
                      second.LossOfLoadProbability(net[1]);
  hour.system_lolp = hour.lolp[0] + hour.lolp[1] - both;
  return hour;
}

void Finish(AreaIndices* indices) {
  indices->ppm =
      indices->energy > 0.0 ? indices->eue / indices->energy * 1e6 : 0.0;
}

// The first hour of the largest of `net` in each day.
std::vector<size_t> DayPeaks(const std::vector<double>& net) {
  std::vector<size_t> peaks;
  for (size_t start = 0; start < net.size(); start += kHoursInDay) {
    size_t peak = start;
    for (size_t hour = start + 1; hour < start + kHoursInDay; ++hour) {
      if (net[hour] > net[peak]) peak = hour;
    }
    peaks.push_back(peak);
  }
  return peaks;
}

AreaIndices IndicesOf(const Assessment& result) {
  return {result.lolh, result.lole, result.eue, result.energy, result.ppm};
}

// The mean of the weather years: every year is whole days, so the sums
// over the whole series, day peaks and all, are the years' sums.
void PerYear(double years, AreaIndices* indices) {
  indices->lolh /= years;
  indices->lole /= years;
  indices->eue /= years;
  indices->energy /= years;
}

void AddWeighted(const AreaIndices& one, double weight, AreaIndices* sum) {
  sum->lolh += weight * one.lolh;
  sum->lole += weight * one.lole;
  sum->eue += weight * one.eue;
  sum->energy += weight * one.energy;
}

// An assessment of the shape of `one`, every figure 0.
AreasAssessment ZeroOfShape(const AreasAssessment& one) {
  AreasAssessment zero;
  zero.exact = one.exact;
  zero.areas.resize(one.areas.size());
  zero.island_areas.resize(one.island_areas.size());
  zero.hours.resize(one.hours.size());
  zero.bounds.resize(one.bounds.size());
  for (size_t h = 0; h < one.bounds.size(); ++h) {
    zero.bounds[h].alone_lolp.assign(one.bounds[h].alone_lolp.size(), 0.0);
  }
  return zero;
}

// Adds `one` times `weight` to `sum`, of the same shape.
void AddWeighted(const AreasAssessment& one, double weight,
                 AreasAssessment* sum) {
  for (size_t a = 0; a < one.areas.size(); ++a) {
    AddWeighted(one.areas[a], weight, &sum->areas[a]);
  }
  for (size_t a = 0; a < one.island_areas.size(); ++a) {
    AddWeighted(one.island_areas[a], weight, &sum->island_areas[a]);
  }
  AddWeighted(one.system, weight, &sum->system);
  AddWeighted(one.islands, weight, &sum->islands);
  AddWeighted(one.copper_plate, weight, &sum->copper_plate);
  for (size_t hour = 0; hour < one.hours.size(); ++hour) {
    const TwoAreaHour& h = one.hours[hour];
    TwoAreaHour& s = sum->hours[hour];
    for (size_t a = 0; a < 2; ++a) {
      s.lolp[a] += weight * h.lolp[a];
      s.unserved[a] += weight * h.unserved[a];
    }
    s.system_lolp += weight * h.system_lolp;
  }
  for (size_t hour = 0; hour < one.bounds.size(); ++hour) {
    const BoundsHour& h = one.bounds[hour];
    BoundsHour& s = sum->bounds[hour];
    for (size_t a = 0; a < h.alone_lolp.size(); ++a) {
      s.alone_lolp[a] += weight * h.alone_lolp[a];
    }
    s.islands_lolp += weight * h.islands_lolp;
    s.copper_plate_lolp += weight * h.copper_plate_lolp;
  }
}

}  // namespace

TwoAreaHour TwoAreaRisk(const CapacityTable& first, const CapacityTable& second,
                        const double net[2], const double into[2]) {
  return HourOf(first, second, net, {{into[0], into[1]}, 0.0});
}

std::vector<UnitKind> AreaKinds(const System& system, size_t area) {
  const std::vector<UnitKind> all = system.unit_kinds();
  std::vector<UnitKind> kinds;
  for (size_t g = 0; g < all.size(); ++g) {
    if (system.units[g].area == area) kinds.push_back(all[g]);
  }
  return kinds;
}

std::vector<std::vector<double>> AreaNetLoads(const System& system) {
  std::vector<std::vector<double>> nets;
  for (const Area& area : system.areas) nets.push_back(area.load);
  for (const Profile& profile : system.profiles) {
    std::vector<double>& net = nets[profile.area];
    for (size_t hour = 0; hour < net.size(); ++hour) {
      net[hour] -= profile.mw[hour];
    }
  }
  return nets;
}

// The units of area `area` and their maintenance against its own load,
// the weather years the system's.
System AreaAlone(const System& system, size_t area) {
  System alone;
  for (const UnitGroup& group : system.units) {
    if (group.area == area) alone.units.push_back(group);
  }
  alone.load = system.areas[area].load;
  alone.weather_years = system.weather_years;
  return alone;
}

AreasStudy::AreasStudy(const System& system)
    : whole_(std::make_unique<DirectStudy>(system)) {
  for (size_t a = 0; a < system.areas.size(); ++a) {
    areas_.push_back(std::make_unique<DirectStudy>(AreaAlone(system, a)));
  }
  for (const WeatherYear& year : system.years()) {
    for (int64_t day = 0; day < year.hours / 24; ++day) {
      day_in_year_.push_back(static_cast<size_t>(day));
    }
  }
}

AreaIndices AreasStudy::OneArea(const System& system, size_t area,
                                bool lole_only) const {
  if (LoadsAsGiven(system)) return OneAreaLoads(system, area, lole_only);
  AreaIndices sum;
  for (const AreaOutcome& outcome : AreaOutcomes(system)) {
    AddWeighted(OneAreaLoads(AtOutcome(system, outcome), area, lole_only),
                outcome.probability, &sum);
  }
  Finish(&sum);
  return sum;
}

AreasAssessment AreasStudy::Assess(const System& system,
                                   bool keep_hours) const {
  if (LoadsAsGiven(system)) return AssessLoads(system, keep_hours);
  const std::vector<AreaOutcome> outcomes = AreaOutcomes(system);
  AreasAssessment sum;
  for (size_t k = 0; k < outcomes.size(); ++k) {
    const AreasAssessment one =
        AssessLoads(AtOutcome(system, outcomes[k]), keep_hours);
    if (k == 0) sum = ZeroOfShape(one);
    AddWeighted(one, outcomes[k].probability, &sum);
  }
  for (auto* list : {&sum.areas, &sum.island_areas}) {
    for (AreaIndices& indices : *list) Finish(&indices);
  }
  for (AreaIndices* indices : {&sum.system, &sum.islands, &sum.copper_plate}) {
    Finish(indices);
  }
  return sum;
}

AreaIndices AreasStudy::OneAreaLoads(const System& system, size_t area,
                                     bool lole_only) const {
  const std::vector<std::vector<double>> nets = AreaNetLoads(system);
  const size_t other = 1 - area;
  const Tie tie = TieOf(system);
  const auto risk = [&](size_t hour, double* lolp, double* unserved) {
    AreaRisk(Table(area, hour), Table(other, hour), nets[area][hour],
             nets[other][hour], tie.into[area], tie.out_share, lolp, unserved);
  };
  AreaIndices indices;
  double lolp = 0.0;
  double unserved = 0.0;
  const auto years = static_cast<double>(system.years().size());
  for (size_t peak : DayPeaks(nets[area])) {
    risk(peak, &lolp, &unserved);
    indices.lole += lolp;
  }
  if (lole_only) {
    indices.lole /= years;
    return indices;
  }
  for (size_t hour = 0; hour < nets[area].size(); ++hour) {
    risk(hour, &lolp, &unserved);
    indices.lolh += lolp;
    indices.eue += unserved;
    indices.energy += system.areas[area].load[hour];
  }
  PerYear(years, &indices);
  Finish(&indices);
  return indices;
}

AreasAssessment AssessAreas(const System& system, bool keep_hours) {
  return AreasStudy(system).Assess(system, keep_hours);
}

AreasAssessment AreasStudy::AssessLoads(const System& system,
                                        bool keep_hours) const {
  AreasAssessment out;
  const size_t count = system.areas.size();
  const std::vector<std::vector<double>> nets = AreaNetLoads(system);
  // Each area alone and the copper plate from their direct studies, the
  // means of the weather years; the sums below over the whole series are
  // the years' sums, made means at the end.
  std::vector<Assessment> alone;
  for (size_t a = 0; a < count; ++a) {
    alone.push_back(
        areas_[a]->AssessSeries(system.areas[a].load, nets[a], false));
    out.island_areas.push_back(IndicesOf(alone.back()));
    out.islands.eue += alone.back().eue;
    out.islands.energy += alone.back().energy;
  }
  const double years = static_cast<double>(system.years().size());
  const auto mean = [years](AreaIndices* indices, bool energy) {
    if (years == 1.0) return;
    indices->lolh /= years;
    indices->lole /= years;
    if (energy) {
      indices->eue /= years;
      indices->energy /= years;
    }
  };
  // The islands' system: short where any area is, each on its own.
  const std::vector<double> total = NetLoad(system.load, system.profiles);
  const std::vector<size_t> peaks = DayPeaks(total);
  const auto any_short = [&](size_t hour) {
    double none = 1.0;
    for (size_t a = 0; a < count; ++a) {
      none *= 1.0 - Table(a, hour).LossOfLoadProbability(nets[a][hour]);
    }
    return 1.0 - none;
  };
  for (size_t hour = 0; hour < total.size(); ++hour) {
    out.islands.lolh += any_short(hour);
  }
  for (size_t peak : peaks) out.islands.lole += any_short(peak);
  mean(&out.islands, false);
  Finish(&out.islands);
  out.copper_plate = IndicesOf(whole_->AssessSeries(system.load, total, false));
  if (count == 1) {
    out.exact = true;
    out.areas = out.island_areas;
    out.system = out.islands;
    for (size_t hour = 0; keep_hours && hour < total.size(); ++hour) {
      TwoAreaHour h;
      h.lolp[0] = h.system_lolp =
          Table(0, hour).LossOfLoadProbability(nets[0][hour]);
      h.unserved[0] = Table(0, hour).ExpectedUnserved(nets[0][hour]);
      out.hours.push_back(h);
    }
    return out;
  }
  if (count != 2) {
    for (size_t hour = 0; keep_hours && hour < total.size(); ++hour) {
      BoundsHour h;
      for (size_t a = 0; a < count; ++a) {
        h.alone_lolp.push_back(
            Table(a, hour).LossOfLoadProbability(nets[a][hour]));
      }
      h.islands_lolp = any_short(hour);
      h.copper_plate_lolp = Whole(hour).LossOfLoadProbability(total[hour]);
      out.bounds.push_back(std::move(h));
    }
    return out;
  }
  out.exact = true;
  out.areas.assign(2, AreaIndices());
  const Tie tie = TieOf(system);
  const auto risk = [&](size_t hour) {
    const double net[2] = {nets[0][hour], nets[1][hour]};
    return HourOf(Table(0, hour), Table(1, hour), net, tie);
  };
  for (size_t hour = 0; hour < total.size(); ++hour) {
    const TwoAreaHour h = risk(hour);
    if (keep_hours) out.hours.push_back(h);
    for (size_t a = 0; a < 2; ++a) {
      out.areas[a].lolh += h.lolp[a];
      out.areas[a].eue += h.unserved[a];
    }
    out.system.lolh += h.system_lolp;
  }
  for (size_t a = 0; a < 2; ++a) {
    for (size_t peak : DayPeaks(nets[a])) {
      out.areas[a].lole += risk(peak).lolp[a];
    }
    if (years != 1.0) {
      out.areas[a].lolh /= years;
      out.areas[a].lole /= years;
      out.areas[a].eue /= years;
    }
    out.areas[a].energy = alone[a].energy;
    Finish(&out.areas[a]);
    out.system.eue += out.areas[a].eue;
    out.system.energy += out.areas[a].energy;
  }
  for (size_t peak : peaks) out.system.lole += risk(peak).system_lolp;
  mean(&out.system, false);
  Finish(&out.system);
  return out;
}

}  // namespace adequacy
