// The fleet's lap: the 195,225,786 hours after which every block of ten
// units takes up the history of the block two before it.
//
// Unit t of block b (unit 10 b + t) reads draw 110 h + u at hour h, which
// is draw 10 T + t for the block time T = 11 h + b.  As 10 * 2^31 = 5 * 2^32
// is a whole number of the generator's periods, a unit reads the same seed
// at block times T and T + 2^31, and 2^31 = 11 D + 2 with D = 195,225,786.
// So unit t of block s at hour h reads the seed that unit t of block
// (s + 2n) mod 11 reads at hour h + n D + floor((s + 2n) / 11), n laps on,
// and the units of a block all have the types of every other block's.
// Once every unit is in the state of the unit it so follows, the fleet's
// capacity in lap n is the capacity it had one lap's length of hours before
// the first lap, with some blocks read one hour earlier than the others.
// Eleven laps make the generator's cycle of 2^31 hours, in which the blocks
// return to themselves.
#ifndef ADEQUACY_MONTECARLO_ENGINE_FLEET_LAP_H_
#define ADEQUACY_MONTECARLO_ENGINE_FLEET_LAP_H_

#include <cstdint>

#include "direct/hourly_load.h"
#include "model/fleet.h"

namespace adequacy {

inline constexpr int64_t kCycleHours = int64_t{1} << 31;
inline constexpr int64_t kLapHours = (kCycleHours - 2) / kUnitBlocks;
static_assert(kLapHours * kUnitBlocks + 2 == kCycleHours);

// The hours by which lap n (n >= 0) lies after the history it repeats:
// n D + floor(2n / 11), of which lap 11 is the cycle.
constexpr int64_t LapShift(int64_t lap) {
  return lap * kLapHours + 2 * lap / kUnitBlocks;
}

// Lap n's reading r = 2n mod 11 of the history: its last r blocks are read
// an hour before the others.
constexpr int ReadingOfLap(int64_t lap) {
  return static_cast<int>(2 * lap % kUnitBlocks);
}

// In lap n, the blocks from this one on read the hour before the others.
constexpr int FirstLateBlock(int64_t lap) {
  return kUnitBlocks - ReadingOfLap(lap);
}

// The lap (from 0) that `hour` (>= 0) lies in, laps counted from hour 0.
constexpr int64_t LapOfHour(int64_t hour) {
  const int64_t lap = hour / kLapHours;
  return LapShift(lap) > hour ? lap - 1 : lap;
}

// The first year (from 0) whose first hour lies in lap `lap`.
constexpr int64_t FirstYearOfLap(int64_t lap) {
  return (LapShift(lap) + kHoursPerYear - 1) / kHoursPerYear;
}

// The years that start in one lap: 22,286 or 22,287.
inline constexpr int64_t kMostYearsPerLap = FirstYearOfLap(1);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_FLEET_LAP_H_
