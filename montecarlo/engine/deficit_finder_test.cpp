#include "montecarlo/engine/deficit_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace adequacy {
namespace {

HourlyLoads RandomLoads(uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> mw(6000.0f, 10000.0f);
  HourlyLoads loads;
  for (float& load : loads) load = mw(random);
  return loads;
}

TEST(DeficitFinderTest, PeakOfAnyRangeIsItsLargestLoad) {
  HourlyLoads loads = RandomLoads(1);
  loads[4321] = std::numeric_limits<float>::quiet_NaN();
  const DeficitFinder finder(loads);
  EXPECT_EQ(finder.peak(), std::numeric_limits<double>::infinity());
  std::mt19937 random(2);
  for (int i = 0; i < 20000; ++i) {
    const int first = static_cast<int>(random() % kHoursPerYear);
    const int hours = 1 + static_cast<int>(random() % (kHoursPerYear - first));
    double expected = -std::numeric_limits<double>::infinity();
    for (int h = first; h < first + hours; ++h) {
      expected = std::isnan(loads[h]) ? std::numeric_limits<double>::infinity()
                                      : std::max<double>(expected, loads[h]);
    }
    ASSERT_EQ(finder.PeakOf(first, hours), expected) << first << " " << hours;
  }
}

// Stretches that touch continue an event; a gap of one served hour ends it;
// a NaN load is a deficit whatever the capacity, as in the plain loop.
TEST(DeficitFinderTest, EventsJoinAcrossTouchingRunsOnly) {
  HourlyLoads loads;
  loads.fill(9000.0f);
  loads[100] = std::numeric_limits<float>::quiet_NaN();
  const DeficitFinder finder(loads);
  YearsTally tally;
  finder.Add({10, 5, 8000}, &tally);   // Hours 10-14: one event...
  finder.Add({15, 3, 8500}, &tally);   // ...going on to 17.
  finder.Add({19, 2, 8999}, &tally);   // After a served hour: a second.
  finder.Add({30, 40, 9000}, &tally);  // Exactly served: nothing.
  finder.Add({99, 3, 10000}, &tally);  // The NaN hour alone: a third.
  tally.EndYear();
  EXPECT_EQ(tally.deficit_hours, 11);
  EXPECT_EQ(tally.events, 3);
  EXPECT_EQ(tally.event_free_years, 0);
  ASSERT_EQ(tally.deficits.size(), 11u);
  EXPECT_EQ(tally.deficits[7].hour, 17);
  EXPECT_EQ(tally.deficits[10].hour, 100);
  EXPECT_EQ(tally.deficits[10].available_mw, 10000);
  // An event does not run on into the next year.
  finder.Add({0, 1, 8000}, &tally);
  tally.EndYear();
  tally.EndYear();
  EXPECT_EQ(tally.years, 3);
  EXPECT_EQ(tally.events, 4);
  EXPECT_EQ(tally.event_free_years, 1);

  ChainAccumulators totals;
  AddToTotals(tally, loads, &totals);
  EXPECT_TRUE(std::isnan(totals.unserved_mwh));
  EXPECT_EQ(totals.deficit_hours, 12.0);
  EXPECT_EQ(totals.years, 3.0);
}

}  // namespace
}  // namespace adequacy
