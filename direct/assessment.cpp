#include "direct/assessment.h"

#include <cmath>
#include <limits>

namespace adequacy {
namespace {

constexpr size_t kHoursInDay = 24;

}  // namespace

Assessment Assess(const CapacityTable& table, const std::vector<double>& load,
                  const std::vector<double>& net_load, bool keep_hours) {
  const CapacityTable* const tables[] = {&table};
  return Assess(FleetByDay{tables, {}}, load, net_load, keep_hours);
}

Assessment Assess(const FleetByDay& fleets, std::span<const double> load,
                  std::span<const double> net_load, bool keep_hours) {
  Assessment result;
  const CapacityTable* table = fleets.tables[0];
  if (keep_hours) result.hours.resize(net_load.size());
  // log P(no deficit at any day's peak), summed so that a long series of
  // small risks keeps its digits.
  double log_no_deficit = 0.0;
  size_t day_peak = 0;
  for (size_t hour = 0; hour < net_load.size(); ++hour) {
    if (hour % kHoursInDay == 0 && !fleets.fleet_of_day.empty()) {
      const auto day =
          static_cast<size_t>(fleets.fleet_of_day[hour / kHoursInDay]);
      table = fleets.tables[day];
    }
    const HourRisk risk = {table->LossOfLoadProbability(net_load[hour]),
                           table->ExpectedUnserved(net_load[hour])};
    if (keep_hours) result.hours[hour] = risk;
    result.lolh += risk.lolp;
    result.eue += risk.unserved_mwh;
    result.energy += load[hour];
    if (load[hour] > result.peak_load) result.peak_load = load[hour];
    if (hour % kHoursInDay == 0 || net_load[hour] > net_load[day_peak]) {
      day_peak = hour;
    }
    if (hour % kHoursInDay == kHoursInDay - 1) {
      const double lolp = table->LossOfLoadProbability(net_load[day_peak]);
      result.lole += lolp;
      log_no_deficit += std::log1p(-lolp);
    }
  }
  result.allr = -std::expm1(log_no_deficit);
  result.ppm = result.energy > 0.0 ? result.eue / result.energy * 1e6 : 0.0;
  const double installed =
      static_cast<double>(fleets.tables[0]->installed_mw());
  result.reserve_margin =
      result.peak_load > 0.0
          ? (installed - result.peak_load) / result.peak_load * 100.0
          : std::numeric_limits<double>::infinity();
  return result;
}

void AddWeighted(const Assessment& one, double weight, Assessment* sum) {
  sum->lolh += weight * one.lolh;
  sum->lole += weight * one.lole;
  sum->allr += weight * one.allr;
  sum->eue += weight * one.eue;
  sum->energy += weight * one.energy;
  sum->peak_load += weight * one.peak_load;
  for (size_t h = 0; h < one.hours.size(); ++h) {
    sum->hours[h].lolp += weight * one.hours[h].lolp;
    sum->hours[h].unserved_mwh += weight * one.hours[h].unserved_mwh;
  }
}

void FinishWeighted(int64_t installed_mw, Assessment* sum) {
  sum->ppm = sum->energy > 0.0 ? sum->eue / sum->energy * 1e6 : 0.0;
  const double installed = static_cast<double>(installed_mw);
  sum->reserve_margin =
      sum->peak_load > 0.0
          ? (installed - sum->peak_load) / sum->peak_load * 100.0
          : std::numeric_limits<double>::infinity();
}

Assessment AssessOutcomes(const CapacityTable& table,
                          const std::vector<std::vector<double>>& loads,
                          const std::vector<std::vector<double>>& net_loads,
                          const std::vector<double>& probabilities,
                          bool keep_hours) {
  if (loads.size() == 1) {
    return Assess(table, loads[0], net_loads[0], keep_hours);
  }
  Assessment sum;
  if (keep_hours) sum.hours.resize(net_loads[0].size());
  for (size_t k = 0; k < loads.size(); ++k) {
    AddWeighted(Assess(table, loads[k], net_loads[k], keep_hours),
                probabilities[k], &sum);
  }
  FinishWeighted(table.installed_mw(), &sum);
  return sum;
}

}  // namespace adequacy
