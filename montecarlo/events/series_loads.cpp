#include "montecarlo/events/series_loads.h"

namespace adequacy {

SeriesLoads::SeriesLoads(const System& system, const ScenarioLoads& outcomes) {
  const std::vector<WeatherYear> years = system.years();
  int64_t longest = -1;
  for (size_t w = 0; w < years.size(); ++w) {
    const WeatherYear& year = years[w];
    if (year.hours > longest) {
      longest = year.hours;
      longest_ = loads_.size();
    }
    for (const std::vector<double>& net : outcomes.net_loads) {
      loads_.push_back(
          std::make_unique<YearLoad>(std::span<const double>(net).subspan(
              static_cast<size_t>(year.first_hour),
              static_cast<size_t>(year.hours))));
    }
    outcomes_.first_hours.push_back(year.first_hour);
  }
  if (loads_.size() == 1) {
    outcomes_ = LoadOutcomes();
    return;
  }
  for (const std::unique_ptr<YearLoad>& load : loads_) {
    outcomes_.loads.push_back(load.get());
  }
  outcomes_.probabilities = outcomes.probabilities;
  outcomes_.series_hours = static_cast<int64_t>(outcomes.net_loads[0].size());
}

}  // namespace adequacy
