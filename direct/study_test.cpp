#include "direct/study.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "system/load_change.h"

namespace adequacy {
namespace {

// Three groups against two weeks whose evenings strain them.
System TwoWeeks() {
  System system;
  system.units = {{"big", 2, 100, 0.08, 0.0, 40.0},
                  {"small", 4, 30, 0.05, 0.0, 12.0, {{15, 0.1, 0.0, 5.0}}},
                  {"peaker", 1, 50, 0.1, 0.0, 10.0}};
  for (int hour = 0; hour < 24 * 14; ++hour) {
    const int of_day = hour % 24;
    system.load.push_back(of_day >= 17 && of_day < 21 ? 230.0 + hour % 11
                                                      : 140.0 + hour % 5);
  }
  return system;
}

bool Same(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

void ExpectSameIndices(const Assessment& a, const Assessment& b,
                       const std::string& what) {
  EXPECT_TRUE(Same(a.lolh, b.lolh)) << what << a.lolh << " " << b.lolh;
  EXPECT_TRUE(Same(a.lole, b.lole)) << what;
  EXPECT_TRUE(Same(a.allr, b.allr)) << what;
  EXPECT_TRUE(Same(a.eue, b.eue)) << what;
}

// What must leave the answer as it is, to the bit: no maintenance, a
// maintenance of no units, one weather year named as such.
TEST(DirectStudyTest, NoOpsAreTheAssessmentItself) {
  const System plain = TwoWeeks();
  const Assessment reference =
      Assess(CapacityTable(plain.unit_kinds()), plain.load, plain.load, true);
  System none = plain;
  none.units[1].maintenance = {{3, 5, 0}};
  System named = plain;
  named.weather_years = {{"2001", 0, static_cast<int64_t>(plain.load.size())}};
  for (const System* system : {&plain, static_cast<const System*>(&none),
                               static_cast<const System*>(&named)}) {
    const DirectStudy study(*system);
    std::vector<Assessment> by_year;
    const Assessment result =
        study.AssessSeries(system->load, system->load, true, &by_year);
    ExpectSameIndices(result, reference,
                      std::to_string(system->weather_years.size()));
    ASSERT_EQ(result.hours.size(), reference.hours.size());
    EXPECT_TRUE(Same(result.hours[19].lolp, reference.hours[19].lolp));
    ASSERT_EQ(by_year.size(), 1u);
    ExpectSameIndices(by_year[0], reference, "by year");
  }
}

// Maintenance over the whole series is the fleet without those units; on
// some days, those days' hours are, and the rest are the whole fleet's.
TEST(DirectStudyTest, MaintenanceTakesUnitsOutOnItsDays) {
  const System plain = TwoWeeks();
  System whole = plain;
  whole.units[0].maintenance = {{1, 14, 1}};
  whole.units[1].maintenance = {{1, 7, 2}, {8, 7, 2}};
  System fewer = plain;
  fewer.units[0].count = 1;
  fewer.units[1].count = 2;
  const Assessment without =
      Assess(CapacityTable(fewer.unit_kinds()), fewer.load, fewer.load, true);
  ExpectSameIndices(
      DirectStudy(whole).AssessSeries(whole.load, whole.load, false), without,
      "whole series");

  System some = plain;
  some.units[0].maintenance = {{4, 2, 1}};  // Days 4 and 5.
  const Assessment all =
      Assess(CapacityTable(plain.unit_kinds()), plain.load, plain.load, true);
  const Assessment result =
      DirectStudy(some).AssessSeries(some.load, some.load, true);
  System one_out = plain;
  one_out.units[0].count = 1;
  const Assessment out =
      Assess(CapacityTable(one_out.unit_kinds()), plain.load, plain.load, true);
  for (size_t hour = 0; hour < plain.load.size(); ++hour) {
    const bool on = hour >= 3 * 24 && hour < 5 * 24;
    EXPECT_TRUE(
        Same(result.hours[hour].lolp, (on ? out : all).hours[hour].lolp))
        << hour;
  }
  EXPECT_GT(result.lole, all.lole);
  EXPECT_LT(result.lole, out.lole);
  EXPECT_EQ(result.reserve_margin, all.reserve_margin);
}

// Weather years are equally likely: three copies of one year are that
// year, and the mean of different years is the mean of their indices,
// weighted over the outcomes of an uncertain load the same way.
TEST(DirectStudyTest, WeatherYearsAreEquallyLikely) {
  System one = TwoWeeks();
  System three = one;
  const auto hours = static_cast<int64_t>(one.load.size());
  for (int copy = 1; copy < 3; ++copy) {
    three.load.insert(three.load.end(), one.load.begin(), one.load.end());
  }
  three.weather_years = {
      {"x", 0, hours}, {"y", hours, hours}, {"z", 2 * hours, hours}};
  const Assessment alone =
      DirectStudy(one).AssessSeries(one.load, one.load, false);
  std::vector<Assessment> by_year;
  const Assessment mean =
      DirectStudy(three).AssessSeries(three.load, three.load, true, &by_year);
  EXPECT_NEAR(mean.lolh, alone.lolh, 1e-14 * alone.lolh);
  EXPECT_NEAR(mean.lole, alone.lole, 1e-14 * alone.lole);
  EXPECT_NEAR(mean.eue, alone.eue, 1e-14 * alone.eue);
  EXPECT_NEAR(mean.allr, alone.allr, 1e-14);
  EXPECT_NEAR(mean.energy, alone.energy, 1e-9);
  ASSERT_EQ(by_year.size(), 3u);
  for (const Assessment& year : by_year) ExpectSameIndices(year, alone, "copy");
  // Each hour's risk is its own year's, at the year's place in the series.
  const Assessment hourly =
      Assess(CapacityTable(one.unit_kinds()), one.load, one.load, true);
  for (size_t hour : {size_t{19}, size_t(hours + 42), size_t(2 * hours + 19)}) {
    EXPECT_TRUE(Same(mean.hours[hour].lolp,
                     hourly.hours[hour % static_cast<size_t>(hours)].lolp));
  }

  // Two different years under an uncertain load, with maintenance.
  System two = TwoWeeks();
  for (int hour = 0; hour < 24 * 7; ++hour) {
    two.load.push_back(one.load[static_cast<size_t>(hour)] * 1.05);
  }
  two.weather_years = {{"a", 0, hours}, {"b", hours, 24 * 7}};
  two.uncertainty = NormalScenarios(0.03);
  two.units[2].maintenance = {{2, 3, 1}};
  const ScenarioLoads outcomes = LoadsOfScenarios(two, LoadChange());
  const DirectStudy study(two);
  const Assessment both = study.AssessOutcomes(outcomes, false, &by_year);
  ASSERT_EQ(by_year.size(), 2u);
  EXPECT_NEAR(both.lolh, (by_year[0].lolh + by_year[1].lolh) / 2,
              1e-14 * both.lolh);
  EXPECT_NEAR(both.eue, (by_year[0].eue + by_year[1].eue) / 2,
              1e-14 * both.eue);
  double lole = 0.0;
  for (size_t k = 0; k < outcomes.loads.size(); ++k) {
    lole += outcomes.probabilities[k] *
            study.AssessSeries(outcomes.loads[k], outcomes.net_loads[k], false)
                .lole;
  }
  EXPECT_NEAR(both.lole, lole, 1e-14 * lole);
}

}  // namespace
}  // namespace adequacy
