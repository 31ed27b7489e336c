// The direct solution of a whole system: every weather year, each against
// the fleet in service on each of its days, and every outcome of an
// uncertain load, exact to double precision.  Weather years are equally
// likely, so an index is the mean of the years'; outcomes weigh by their
// probabilities.  One year, no maintenance and a load known exactly is
// Assess itself, to the bit.
#ifndef ADEQUACY_DIRECT_STUDY_H_
#define ADEQUACY_DIRECT_STUDY_H_

#include <memory>
#include <vector>

#include "direct/assessment.h"
#include "model/capacity_table.h"
#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

class DirectStudy {
 public:
  // Builds the availability table of each fleet the maintenance schedule
  // has, each once.  Every entry of the schedule must have its first day.
  explicit DirectStudy(const System& system);

  // The indices of one load and its net load over the whole series (the
  // weather years one after another); each year's in `by_year` where
  // given.  Each hour's risk, where kept, is that of its own year.
  Assessment AssessSeries(std::span<const double> load,
                          std::span<const double> net, bool keep_hours,
                          std::vector<Assessment>* by_year = nullptr) const;

  // The same over the outcomes of an uncertain load, weighed by their
  // probabilities, each year's too.
  Assessment AssessOutcomes(const ScenarioLoads& outcomes, bool keep_hours,
                            std::vector<Assessment>* by_year = nullptr) const;

  // The whole fleet's table.
  const CapacityTable& table() const { return *tables_[0]; }
  // The table of the fleet in service on day `day` of a weather year.
  const CapacityTable& TableOfDay(size_t day) const {
    return fleet_of_day_.empty()
               ? *tables_[0]
               : *tables_[static_cast<size_t>(fleet_of_day_[day])];
  }
  const std::vector<WeatherYear>& years() const { return years_; }

 private:
  std::vector<WeatherYear> years_;
  std::vector<std::unique_ptr<CapacityTable>> owned_;
  std::vector<const CapacityTable*> tables_;
  std::vector<int32_t> fleet_of_day_;  // Empty without maintenance.
};

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_STUDY_H_
