#include "montecarlo/statistics/lap_groups.h"

#include <algorithm>

namespace adequacy {
namespace {

int64_t LapOfYear(int64_t year) { return LapOfHour(year * kHoursPerYear); }

}  // namespace

int LapGroupOf(int64_t year) {
  const int64_t place = year - FirstYearOfLap(LapOfYear(year));
  return static_cast<int>(place / kGroupPlaces);
}

std::vector<int64_t> LapGroupYears(int64_t first, int64_t end) {
  // Each lap adds one year to each place of a run of places; the runs are
  // added up as differences, then summed into places and groups.
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
  std::vector<int64_t> years(kLapGroups, 0);
  int64_t at_place = 0;
  for (int64_t place = 0; place < kMostYearsPerLap; ++place) {
    at_place += change[place];
    years[place / kGroupPlaces] += at_place;
  }
  return years;
}

}  // namespace adequacy
