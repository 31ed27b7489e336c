// Blocks of simulated years that share a stretch of the fleet's history.
//
// The fleet's up/down history repeats lap after lap (fleet_lap.h): the
// blocks of units take up each other's histories, with some read an hour
// late, while each simulated year reads the loads of its own hours of the
// year.  So the k-th year that starts in one lap lies, give or take less
// than a year, on the same hours of that history as the k-th year of every
// other lap.  The years are grouped by that place in the lap, 16 places to
// a block: the years of one block may share history, those of different
// blocks (beyond their edges) do not.  Within the first lap a block is
// just 16 consecutive years.
#ifndef ADEQUACY_MONTECARLO_LAP_BLOCKS_H_
#define ADEQUACY_MONTECARLO_LAP_BLOCKS_H_

#include <cstdint>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/fleet_lap.h"

namespace adequacy {

// Places in the lap per block.  Years of neighbouring places overlap by
// part of a year; with 16 places to a block that overlap is a small share
// of what a block holds.
inline constexpr int64_t kBlockPlaces = 16;

inline constexpr int kLapBlocks =
    static_cast<int>((kMostYearsPerLap + kBlockPlaces - 1) / kBlockPlaces);

// The block of year `year` (from 0).
int LapBlockOf(int64_t year);

// The number of years of [first, end) in each block.
std::vector<int64_t> LapBlockYears(int64_t first, int64_t end);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_LAP_BLOCKS_H_
