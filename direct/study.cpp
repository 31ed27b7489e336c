#include "direct/study.h"

#include <algorithm>

#include "system/schedule.h"

namespace adequacy {

DirectStudy::DirectStudy(const System& system) : years_(system.years()) {
  const FleetSchedule schedule = ScheduleOf(system);
  for (const std::vector<int64_t>& out : schedule.out) {
    owned_.push_back(
        std::make_unique<CapacityTable>(KindsInService(system, out)));
    tables_.push_back(owned_.back().get());
  }
  if (tables_.size() > 1) fleet_of_day_ = schedule.fleet_of_day;
}

Assessment DirectStudy::AssessSeries(std::span<const double> load,
                                     std::span<const double> net,
                                     bool keep_hours,
                                     std::vector<Assessment>* by_year) const {
  if (by_year) by_year->clear();
  const std::span<const int32_t> days(fleet_of_day_);
  const auto year_of = [&](const WeatherYear& year) {
    const auto first = static_cast<size_t>(year.first_hour);
    const auto hours = static_cast<size_t>(year.hours);
    const FleetByDay fleets{tables_,
                            days.empty() ? days : days.first(hours / 24)};
    return Assess(fleets, load.subspan(first, hours), net.subspan(first, hours),
                  keep_hours);
  };
  if (years_.size() == 1) {
    Assessment one = year_of(years_[0]);
    if (by_year) by_year->push_back(one);
    return one;
  }
  Assessment sum;
  if (keep_hours) sum.hours.resize(net.size());
  const double weight = 1.0 / static_cast<double>(years_.size());
  for (const WeatherYear& year : years_) {
    Assessment one = year_of(year);
    // An hour's risk is its own weather year's: the hour is in no other.
    std::copy(one.hours.begin(), one.hours.end(),
              sum.hours.begin() + year.first_hour);
    one.hours.clear();
    AddWeighted(one, weight, &sum);
    if (by_year) by_year->push_back(std::move(one));
  }
  FinishWeighted(table().installed_mw(), &sum);
  return sum;
}

Assessment DirectStudy::AssessOutcomes(const ScenarioLoads& outcomes,
                                       bool keep_hours,
                                       std::vector<Assessment>* by_year) const {
  if (outcomes.loads.size() == 1) {
    return AssessSeries(outcomes.loads[0], outcomes.net_loads[0], keep_hours,
                        by_year);
  }
  Assessment sum;
  if (keep_hours) sum.hours.resize(outcomes.net_loads[0].size());
  std::vector<Assessment> years;
  if (by_year) by_year->assign(years_.size(), Assessment());
  for (size_t k = 0; k < outcomes.loads.size(); ++k) {
    const double p = outcomes.probabilities[k];
    AddWeighted(AssessSeries(outcomes.loads[k], outcomes.net_loads[k],
                             keep_hours, by_year ? &years : nullptr),
                p, &sum);
    for (size_t w = 0; by_year && w < years.size(); ++w) {
      years[w].hours.clear();
      AddWeighted(years[w], p, &(*by_year)[w]);
    }
  }
  FinishWeighted(table().installed_mw(), &sum);
  if (by_year) {
    for (Assessment& year : *by_year) {
      FinishWeighted(table().installed_mw(), &year);
    }
  }
  return sum;
}

}  // namespace adequacy
