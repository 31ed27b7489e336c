#include "system/schedule.h"

#include <algorithm>
#include <map>

namespace adequacy {
namespace {

constexpr int64_t kHoursInDay = 24;

// The units of each group out on each day of `days`, from the entries
// with a first day.
std::vector<std::vector<int64_t>> OutByDay(const System& system, int64_t days) {
  std::vector<std::vector<int64_t>> out(
      static_cast<size_t>(days), std::vector<int64_t>(system.units.size(), 0));
  for (size_t g = 0; g < system.units.size(); ++g) {
    for (const Maintenance& entry : system.units[g].maintenance) {
      if (entry.first_day < 1) continue;
      const int64_t end = std::min(days, entry.first_day - 1 + entry.days);
      for (int64_t day = entry.first_day - 1; day < end; ++day) {
        out[static_cast<size_t>(day)][g] += entry.count;
      }
    }
  }
  return out;
}

// The line of the last entry of `group` that covers `day` (from 0): the
// one that took one unit too many.
int64_t LastEntryOn(const UnitGroup& group, int64_t day) {
  int64_t line = 0;
  for (const Maintenance& entry : group.maintenance) {
    if (entry.first_day >= 1 && entry.first_day - 1 <= day &&
        day < entry.first_day - 1 + entry.days) {
      line = entry.line;
    }
  }
  return line;
}

}  // namespace

int64_t ShortestYearDays(const System& system) {
  int64_t days = INT64_MAX;
  for (const WeatherYear& year : system.years()) {
    days = std::min(days, year.hours / kHoursInDay);
  }
  return days;
}

int64_t LongestYearDays(const System& system) {
  int64_t days = 0;
  for (const WeatherYear& year : system.years()) {
    days = std::max(days, year.hours / kHoursInDay);
  }
  return days;
}

FleetSchedule ScheduleOf(const System& system) {
  FleetSchedule schedule;
  const std::vector<std::vector<int64_t>> by_day =
      OutByDay(system, LongestYearDays(system));
  std::map<std::vector<int64_t>, int32_t> fleets;
  schedule.out.push_back(std::vector<int64_t>(system.units.size(), 0));
  fleets[schedule.out[0]] = 0;
  for (const std::vector<int64_t>& out : by_day) {
    const auto [at, added] =
        fleets.try_emplace(out, static_cast<int32_t>(schedule.out.size()));
    if (added) schedule.out.push_back(out);
    schedule.fleet_of_day.push_back(at->second);
  }
  return schedule;
}

std::vector<UnitKind> KindsInService(const System& system,
                                     const std::vector<int64_t>& out) {
  std::vector<UnitKind> kinds = system.unit_kinds();
  std::vector<UnitKind> in_service;
  for (size_t g = 0; g < kinds.size(); ++g) {
    kinds[g].count -= out[g];
    if (kinds[g].count > 0) in_service.push_back(std::move(kinds[g]));
  }
  return in_service;
}

bool CheckMaintenance(const System& system, int64_t* line, std::string* error) {
  const int64_t days = ShortestYearDays(system);
  for (const UnitGroup& group : system.units) {
    for (const Maintenance& entry : group.maintenance) {
      if (entry.first_day >= 1 && entry.first_day - 1 + entry.days > days) {
        *line = entry.line;
        *error = "the maintenance of '" + group.name + "' from day " +
                 std::to_string(entry.first_day) + " for " +
                 std::to_string(entry.days) + " days runs past day " +
                 std::to_string(days) + ", the last of the " +
                 (system.weather_years.size() > 1 ? "shortest weather year"
                                                  : "series");
        return false;
      }
    }
  }
  const std::vector<std::vector<int64_t>> by_day = OutByDay(system, days);
  for (size_t day = 0; day < by_day.size(); ++day) {
    for (size_t g = 0; g < system.units.size(); ++g) {
      if (by_day[day][g] > system.units[g].count) {
        *line = LastEntryOn(system.units[g], static_cast<int64_t>(day));
        *error = "the maintenance of '" + system.units[g].name + "' takes " +
                 std::to_string(by_day[day][g]) + " units out on day " +
                 std::to_string(day + 1) + "; the group has " +
                 std::to_string(system.units[g].count);
        return false;
      }
    }
  }
  return true;
}

}  // namespace adequacy
