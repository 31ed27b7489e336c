// The fleets in service day by day under planned maintenance: each distinct
// set of units out is one fleet, built once, and every day of a weather
// year names the fleet it has.  The schedule is the same every weather
// year.
#ifndef ADEQUACY_SYSTEM_SCHEDULE_H_
#define ADEQUACY_SYSTEM_SCHEDULE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "model/capacity_table.h"
#include "system/system.h"

namespace adequacy {

struct FleetSchedule {
  // out[f][g]: the units of group g on maintenance in fleet f; fleet 0 has
  // none out, whether or not a day has it.
  std::vector<std::vector<int64_t>> out;
  // The fleet of each day of the longest weather year.
  std::vector<int32_t> fleet_of_day;
};

// The days of the shortest and of the longest weather year.
int64_t ShortestYearDays(const System& system);
int64_t LongestYearDays(const System& system);

// The schedule of the entries that have a first day; those still to be
// placed are left out.
FleetSchedule ScheduleOf(const System& system);

// The units of `system` in service with `out` of each group on
// maintenance, as the availability table takes them.
std::vector<UnitKind> KindsInService(const System& system,
                                     const std::vector<int64_t>& out);

// Whether the entries with a first day fit: within the shortest weather
// year, and never more units out of a group than it has.  False, with the
// reason naming the group and the entry's line, otherwise.
bool CheckMaintenance(const System& system, int64_t* line, std::string* error);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_SCHEDULE_H_
