#include "direct/assessment.h"

#include <cmath>
#include <limits>

namespace adequacy {
namespace {

constexpr size_t kHoursInDay = 24;

}  // namespace

Assessment Assess(const CapacityTable& table, const std::vector<double>& load,
                  const std::vector<double>& net_load, bool keep_hours) {
  Assessment result;
  if (keep_hours) result.hours.resize(net_load.size());
  // log P(no deficit at any day's peak), summed so that a long series of
  // small risks keeps its digits.
  double log_no_deficit = 0.0;
  size_t day_peak = 0;
  for (size_t hour = 0; hour < net_load.size(); ++hour) {
    const HourRisk risk = {table.LossOfLoadProbability(net_load[hour]),
                           table.ExpectedUnserved(net_load[hour])};
    if (keep_hours) result.hours[hour] = risk;
    result.lolh += risk.lolp;
    result.eue += risk.unserved_mwh;
    result.energy += load[hour];
    if (load[hour] > result.peak_load) result.peak_load = load[hour];
    if (hour % kHoursInDay == 0 || net_load[hour] > net_load[day_peak]) {
      day_peak = hour;
    }
    if (hour % kHoursInDay == kHoursInDay - 1) {
      const double lolp = table.LossOfLoadProbability(net_load[day_peak]);
      result.lole += lolp;
      log_no_deficit += std::log1p(-lolp);
    }
  }
  result.allr = -std::expm1(log_no_deficit);
  result.ppm = result.energy > 0.0 ? result.eue / result.energy * 1e6 : 0.0;
  const double installed = static_cast<double>(table.installed_mw());
  result.reserve_margin =
      result.peak_load > 0.0
          ? (installed - result.peak_load) / result.peak_load * 100.0
          : std::numeric_limits<double>::infinity();
  return result;
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
    const double p = probabilities[k];
    const Assessment one = Assess(table, loads[k], net_loads[k], keep_hours);
    sum.lolh += p * one.lolh;
    sum.lole += p * one.lole;
    sum.allr += p * one.allr;
    sum.eue += p * one.eue;
    sum.energy += p * one.energy;
    sum.peak_load += p * one.peak_load;
    for (size_t h = 0; h < one.hours.size(); ++h) {
      sum.hours[h].lolp += p * one.hours[h].lolp;
      sum.hours[h].unserved_mwh += p * one.hours[h].unserved_mwh;
    }
  }
  sum.ppm = sum.energy > 0.0 ? sum.eue / sum.energy * 1e6 : 0.0;
  const double installed = static_cast<double>(table.installed_mw());
  sum.reserve_margin = sum.peak_load > 0.0
                           ? (installed - sum.peak_load) / sum.peak_load * 100.0
                           : std::numeric_limits<double>::infinity();
  return sum;
}

}  // namespace adequacy
