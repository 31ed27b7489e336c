#include "montecarlo/cycle_blocks.h"

#include <algorithm>

namespace adequacy {
namespace {

int64_t CycleOfYear(int64_t year) { return year * kHoursPerYear / kCycleHours; }

}  // namespace

int CycleBlockOf(int64_t year) {
  const int64_t place = year - FirstYearOfCycle(CycleOfYear(year));
  return static_cast<int>(place / kBlockPlaces);
}

std::vector<int64_t> CycleBlockYears(int64_t first, int64_t end) {
  // Each cycle adds one year to each place of a run of places; the runs are
  // added up as differences, then summed into places and blocks.
  std::vector<int64_t> change(kMostYearsPerCycle + 1, 0);
  if (first < end) {
    for (int64_t cycle = CycleOfYear(first); cycle <= CycleOfYear(end - 1);
         ++cycle) {
      const int64_t start = FirstYearOfCycle(cycle);
      const int64_t from = std::max(first, start) - start;
      const int64_t to = std::min(end, FirstYearOfCycle(cycle + 1)) - start;
      ++change[from];
      --change[to];
    }
  }
  std::vector<int64_t> years(kCycleBlocks, 0);
  int64_t at_place = 0;
  for (int64_t place = 0; place < kMostYearsPerCycle; ++place) {
    at_place += change[place];
    years[place / kBlockPlaces] += at_place;
  }
  return years;
}

}  // namespace adequacy
