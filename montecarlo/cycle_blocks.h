// Blocks of simulated years that share a stretch of the fleet's history.
//
// The fleet's up/down history repeats every 2^31 hours (one cycle of the
// generator), while each simulated year reads the loads of its own hours of
// the year.  So the k-th year that starts in one cycle lies, give or take
// less than a year, on the same hours of that history as the k-th year of
// every other cycle.  The years are grouped by that place in the cycle, 16
// places to a block: the years of one block may share history, those of
// different blocks (beyond their edges) do not.  Within the first cycle a
// block is just 16 consecutive years.
#ifndef ADEQUACY_MONTECARLO_CYCLE_BLOCKS_H_
#define ADEQUACY_MONTECARLO_CYCLE_BLOCKS_H_

#include <cstdint>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/fleet_lap.h"

namespace adequacy {

// Places in the cycle per block.  Years of neighbouring places overlap by
// part of a year; with 16 places to a block that overlap is a small share
// of what a block holds.
inline constexpr int64_t kBlockPlaces = 16;

// The first year (from 0) whose first hour lies in cycle `cycle`.
constexpr int64_t FirstYearOfCycle(int64_t cycle) {
  return (cycle * kCycleHours + kHoursPerYear - 1) / kHoursPerYear;
}

// The years that start in one cycle: 245,146 or 245,147.
inline constexpr int64_t kMostYearsPerCycle = FirstYearOfCycle(1);
inline constexpr int kCycleBlocks =
    static_cast<int>((kMostYearsPerCycle + kBlockPlaces - 1) / kBlockPlaces);

// The block of year `year` (from 0).
int CycleBlockOf(int64_t year);

// The number of years of [first, end) in each block.
std::vector<int64_t> CycleBlockYears(int64_t first, int64_t end);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_CYCLE_BLOCKS_H_
