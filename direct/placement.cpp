#include "direct/placement.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "model/capacity_table.h"
#include "system/schedule.h"

namespace adequacy {
namespace {

constexpr size_t kHoursInDay = 24;

// The net load of each day's peak hour in every weather year and outcome,
// with its weight, for the days that maintenance may take.
class DayPeaks {
 public:
  DayPeaks(const ScenarioLoads& outcomes, const System& system, int64_t days)
      : days_(static_cast<size_t>(days)) {
    const std::vector<WeatherYear> years = system.years();
    for (size_t k = 0; k < outcomes.net_loads.size(); ++k) {
      for (const WeatherYear& year : years) {
        weights_.push_back(outcomes.probabilities[k] /
                           static_cast<double>(years.size()));
        const double* net = outcomes.net_loads[k].data() + year.first_hour;
        for (size_t day = 0; day < days_; ++day) {
          const double* first = net + day * kHoursInDay;
          peaks_.push_back(*std::max_element(first, first + kHoursInDay));
        }
      }
    }
  }

  // The LOLE of day `day` with the fleet of `table`.
  double Lole(const CapacityTable& table, size_t day) const {
    double lole = 0.0;
    for (size_t c = 0; c < weights_.size(); ++c) {
      lole +=
          weights_[c] * table.LossOfLoadProbability(peaks_[c * days_ + day]);
    }
    return lole;
  }

 private:
  size_t days_;
  std::vector<double> weights_;  // Of each year and outcome.
  std::vector<double> peaks_;    // [year and outcome][day].
};

// The entries to place, largest MW out first, ties in file order.
std::vector<std::pair<size_t, size_t>> PlacingOrder(const System& system) {
  std::vector<std::pair<size_t, size_t>> order;  // Group, entry.
  for (size_t g = 0; g < system.units.size(); ++g) {
    for (size_t e = 0; e < system.units[g].maintenance.size(); ++e) {
      if (system.units[g].maintenance[e].first_day < 1) order.push_back({g, e});
    }
  }
  const auto mw = [&](const std::pair<size_t, size_t>& at) {
    const UnitGroup& group = system.units[at.first];
    return static_cast<double>(group.capacity_mw) *
           static_cast<double>(group.maintenance[at.second].count);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const auto& a, const auto& b) { return mw(a) > mw(b); });
  return order;
}

// The availability tables of the fleets in hand, built once each.
class FleetTables {
 public:
  explicit FleetTables(const System& system) : system_(system) {}
  const CapacityTable& Of(const std::vector<int64_t>& out) {
    std::unique_ptr<CapacityTable>& table = tables_[out];
    if (!table) {
      table = std::make_unique<CapacityTable>(KindsInService(system_, out));
    }
    return *table;
  }
  // Keeps only the tables of `fleets`, to bound the memory.
  void KeepOnly(const std::vector<std::vector<int64_t>>& fleets) {
    std::map<std::vector<int64_t>, std::unique_ptr<CapacityTable>> kept;
    for (const std::vector<int64_t>& out : fleets) {
      const auto at = tables_.find(out);
      if (at != tables_.end() && at->second) kept[out] = std::move(at->second);
    }
    tables_ = std::move(kept);
  }

 private:
  const System& system_;
  std::map<std::vector<int64_t>, std::unique_ptr<CapacityTable>> tables_;
};

}  // namespace

bool PlaceMaintenance(const ScenarioLoads& outcomes, System* system,
                      int64_t* line, std::string* error) {
  const std::vector<std::pair<size_t, size_t>> order = PlacingOrder(*system);
  if (order.empty()) return true;
  const int64_t days = ShortestYearDays(*system);
  const DayPeaks peaks(outcomes, *system, days);
  FleetSchedule schedule = ScheduleOf(*system);
  std::vector<std::vector<int64_t>> out(static_cast<size_t>(days));
  for (size_t d = 0; d < out.size(); ++d) {
    out[d] = schedule.out[static_cast<size_t>(schedule.fleet_of_day[d])];
  }
  FleetTables tables(*system);
  std::vector<double> lole(out.size());
  for (size_t d = 0; d < out.size(); ++d) {
    lole[d] = peaks.Lole(tables.Of(out[d]), d);
  }
  for (const auto& [g, e] : order) {
    Maintenance& entry = system->units[g].maintenance[e];
    const int64_t group_count = system->units[g].count;
    // What the entry adds to each day, or -1 where the group has too few
    // units in service that day.
    std::vector<double> added(out.size(), -1.0);
    for (size_t d = 0; d < out.size(); ++d) {
      std::vector<int64_t> with = out[d];
      with[g] += entry.count;
      if (with[g] > group_count) continue;
      added[d] = std::max(0.0, peaks.Lole(tables.Of(with), d) - lole[d]);
    }
    int64_t best = -1;
    double least = 0.0;
    for (int64_t start = 0; start + entry.days <= days; ++start) {
      double sum = 0.0;
      bool fits = true;
      for (int64_t d = start; fits && d < start + entry.days; ++d) {
        fits = added[static_cast<size_t>(d)] >= 0.0;
        sum += added[static_cast<size_t>(d)];
      }
      if (fits && (best < 0 || sum < least)) {
        best = start;
        least = sum;
      }
    }
    if (best < 0) {
      *line = entry.line;
      *error = "no " + std::to_string(entry.days) + " days in a row of the " +
               std::to_string(days) + " have " + std::to_string(entry.count) +
               (entry.count == 1 ? " unit" : " units") + " of '" +
               system->units[g].name + "' free for this maintenance";
      return false;
    }
    entry.first_day = best + 1;
    entry.placed = true;
    for (int64_t d = best; d < best + entry.days; ++d) {
      const auto day = static_cast<size_t>(d);
      out[day][g] += entry.count;
      lole[day] = peaks.Lole(tables.Of(out[day]), day);
    }
    tables.KeepOnly(out);
  }
  return true;
}

}  // namespace adequacy
