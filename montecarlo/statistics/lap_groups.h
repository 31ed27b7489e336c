// Blocks of simulated years that share a stretch of the fleet's history.
//
// The fleet's up/down history repeats lap after lap (fleet_lap.h): the
// unit blocks take up each other's histories, with some read an hour
// late, while each simulated year reads the loads of its own hours of the
// year.  So the k-th year that starts in one lap lies, give or take less
// than a year, on the same hours of that history as the k-th year of every
// other lap.  The years are grouped by that place in the lap, 16 places to
// a group: the years of one group may share history, those of different
// groups (beyond their edges) do not.  Within the first lap a group is
// just 16 consecutive years.
#ifndef ADEQUACY_MONTECARLO_STATISTICS_LAP_GROUPS_H_
#define ADEQUACY_MONTECARLO_STATISTICS_LAP_GROUPS_H_

#include <cstdint>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/engine/fleet_lap.h"

namespace adequacy {

// Places in the lap per group.  Years of neighbouring places overlap by
// part of a year; with 16 places to a group that overlap is a small share
// of what a group holds.
inline constexpr int64_t kGroupPlaces = 16;

inline constexpr int kLapGroups =
    static_cast<int>((kMostYearsPerLap + kGroupPlaces - 1) / kGroupPlaces);

// The group of year `year` (from 0).
int LapGroupOf(int64_t year);

// The number of years of [first, end) in each group.
std::vector<int64_t> LapGroupYears(int64_t first, int64_t end);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_STATISTICS_LAP_GROUPS_H_
