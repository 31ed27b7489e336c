#include "montecarlo/lap_blocks.h"

#include <algorithm>

namespace adequacy {
namespace {

int64_t LapOfYear(int64_t year) { return LapOfHour(year * kHoursPerYear); }

}  // namespace

int LapBlockOf(int64_t year) {
  const int64_t place = year - FirstYearOfLap(LapOfYear(year));
  return static_cast<int>(place / kBlockPlaces);
}

std::vector<int64_t> LapBlockYears(int64_t first, int64_t end) {
  // Each lap adds one year to each place of a run of places; the runs are
  // added up as differences, then summed into places and blocks.
  std::vector<int64_t> change(kMostYearsPerLap + 1, 0);
  if (first < end) {
    for (int64_t lap = LapOfYear(first); lap <= LapOfYear(end - 1); ++lap) {
      const int64_t start = FirstYearOfLap(lap);
      const int64_t from = std::max(first, start) - start;
      const int64_t to = std::min(end, FirstYearOfLap(lap + 1)) - start;
      ++change[from];
      --change[to];
    }
  }
  std::vector<int64_t> years(kLapBlocks, 0);
  int64_t at_place = 0;
  for (int64_t place = 0; place < kMostYearsPerLap; ++place) {
    at_place += change[place];
    years[place / kBlockPlaces] += at_place;
  }
  return years;
}

}  // namespace adequacy
