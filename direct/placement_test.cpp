#include "direct/placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "direct/study.h"
#include "system/load_change.h"

namespace adequacy {
namespace {

// Three weeks whose middle one is light: maintenance belongs there.
System ThreeWeeks() {
  System system;
  system.units = {{"big", 2, 100, 0.08, 0.0, 40.0},
                  {"small", 4, 30, 0.05, 0.0, 12.0},
                  {"peaker", 1, 50, 0.1, 0.0, 10.0}};
  for (int hour = 0; hour < 24 * 21; ++hour) {
    const int day = hour / 24;
    const double level = day >= 7 && day < 14 ? 0.7 : 1.0 + 0.01 * (day % 5);
    system.load.push_back((hour % 24 >= 17 ? 240.0 : 150.0) * level);
  }
  return system;
}

double LoleOf(const System& system) {
  const ScenarioLoads outcomes = LoadsOfScenarios(system, LoadChange());
  return DirectStudy(system).AssessOutcomes(outcomes, false).lole;
}

// Each entry goes to the first start of least LOLE, found by trying every
// start with the study itself, the largest MW out first; with weather
// years and an uncertain load, the least mean LOLE.
TEST(PlacementTest, EachEntryAtTheFirstStartOfLeastLole) {
  System two_years = ThreeWeeks();
  const std::vector<double> first = two_years.load;
  for (double mw : first) two_years.load.push_back(mw * 1.02);
  const auto hours = static_cast<int64_t>(first.size());
  two_years.weather_years = {{"1", 0, hours}, {"2", hours, hours}};
  two_years.uncertainty = NormalScenarios(0.03);
  for (const System& base : {ThreeWeeks(), two_years}) {
    System system = base;
    system.units[1].maintenance = {{0, 4, 1}};  // 30 MW, placed second.
    system.units[0].maintenance = {{0, 5, 1}};  // 100 MW, placed first.
    int64_t line = 0;
    std::string error;
    ASSERT_TRUE(PlaceMaintenance(LoadsOfScenarios(system, LoadChange()),
                                 &system, &line, &error))
        << error;
    const Maintenance& big = system.units[0].maintenance[0];
    const Maintenance& small = system.units[1].maintenance[0];
    EXPECT_TRUE(big.placed && small.placed);
    // The big entry against every start, the small one not yet placed.
    System trial = base;
    trial.units[0].maintenance = {{1, 5, 1}};
    int64_t best = 0;
    double least = 0.0;
    for (int64_t start = 1; start + 5 - 1 <= 21; ++start) {
      trial.units[0].maintenance[0].first_day = start;
      const double lole = LoleOf(trial);
      if (best == 0 || lole < least * (1 - 1e-12)) {
        best = start;
        least = lole;
      }
    }
    EXPECT_EQ(big.first_day, best);
    EXPECT_GE(big.first_day, 8);
    EXPECT_LE(big.first_day + big.days - 1, 14);
    // The small one, given the big one where it went.
    trial.units[0].maintenance[0].first_day = big.first_day;
    trial.units[1].maintenance = {{1, 4, 1}};
    best = 0;
    for (int64_t start = 1; start + 4 - 1 <= 21; ++start) {
      trial.units[1].maintenance[0].first_day = start;
      const double lole = LoleOf(trial);
      if (best == 0 || lole < least * (1 - 1e-12)) {
        best = start;
        least = lole;
      }
    }
    EXPECT_EQ(small.first_day, best);
  }
}

// A load no unit can fail places everything on day 1 (every start ties);
// an entry that fits on no day is refused with its line.
TEST(PlacementTest, TiesGoEarliestAndNoRoomIsTold) {
  System idle = ThreeWeeks();
  for (double& mw : idle.load) mw = 0.0;
  idle.units[2].maintenance = {{0, 3, 1}};
  int64_t line = 0;
  std::string error;
  ASSERT_TRUE(PlaceMaintenance(LoadsOfScenarios(idle, LoadChange()), &idle,
                               &line, &error));
  EXPECT_EQ(idle.units[2].maintenance[0].first_day, 1);

  System full = ThreeWeeks();
  full.units[2].maintenance = {{1, 20, 1, false, 7}, {0, 2, 1, false, 9}};
  EXPECT_FALSE(PlaceMaintenance(LoadsOfScenarios(full, LoadChange()), &full,
                                &line, &error));
  EXPECT_EQ(line, 9);
  EXPECT_NE(
      error.find("no 2 days in a row of the 21 have 1 unit of 'peaker' free"),
      std::string::npos)
      << error;
}

}  // namespace
}  // namespace adequacy
