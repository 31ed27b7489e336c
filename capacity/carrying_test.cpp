#include "capacity/carrying.h"

#include <gtest/gtest.h>

#include <cmath>

#include "direct/hourly_load.h"

namespace adequacy {
namespace {

// A small fleet against whole-megawatt loads.  Its 1 and 7 MW units put
// some chance on every whole megawatt near the loads, so every index steps
// up as soon as any load is added, as in the built-in fleet.
std::vector<UnitKind> Fleet() {
  return {{1, 0.05, 10}, {7, 0.06, 6}, {50, 0.08, 4}, {100, 0.08, 2}};
}

std::vector<double> Loads() {
  std::vector<double> load;
  for (int hour = 0; hour < 24 * 14; ++hour) {
    load.push_back(hour % 24 >= 17 && hour % 24 < 21 ? 380.0 + hour % 5
                                                     : 250.0);
  }
  return load;
}

TEST(TargetTest, ParsesIndexAndValue) {
  Target target;
  std::string error;
  ASSERT_TRUE(ParseTarget("LOLH=2.4", &target, &error));
  EXPECT_EQ(target.index, RiskIndex::kLolh);
  EXPECT_EQ(target.value, 2.4);
  ASSERT_TRUE(ParseTarget("EUE=0", &target, &error));
  EXPECT_EQ(target.index, RiskIndex::kEue);
  for (const char* bad : {"LOLP=0.1", "LOLE", "LOLE=", "LOLE=-1", "LOLE=x",
                          "LOLE=inf", "LOLE=0.1x"}) {
    EXPECT_FALSE(ParseTarget(bad, &target, &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

// The answers sit at the right end of the index's step: at most the
// target there, above it one tolerance further; a target equal to the
// system's own index gives no added load and the scale 1.
TEST(CarryingTest, AnswersAreTheRightEndsOfTheirSteps) {
  const std::vector<double> load = Loads();
  const CapacityTable table(Fleet());
  for (RiskIndex index :
       {RiskIndex::kLole, RiskIndex::kLolh, RiskIndex::kEue}) {
    CarryingSearch search(table, load, load, index);
    const double own = search.IndexAt(1.0, 0.0);
    const Answer added = search.LargestAdded(own, 0.01);
    ASSERT_EQ(added.fault, NoAnswer::kNone);
    EXPECT_LE(added.at, 0.0);
    EXPECT_GT(added.at, -0.01);
    const Answer scale = search.LargestScale(own, 0.01);
    EXPECT_NEAR(scale.at, 1.0, 0.01 / 384.0);
    for (double target : {own / 3, own * 2}) {
      const Answer a = search.LargestAdded(target, 0.01);
      EXPECT_LE(search.IndexAt(1.0, a.at), target);
      EXPECT_EQ(a.index, search.IndexAt(1.0, a.at));
      EXPECT_GT(search.IndexAt(1.0, a.at + 0.01), target);
      const Answer s = search.LargestScale(target, 0.01);
      EXPECT_LE(search.IndexAt(s.at, 0.0), target);
      EXPECT_GT(search.IndexAt(s.at + 0.01 / search.peak_load(), 0.0), target);
    }
  }
}

// A unit that is never out, of 50 MW: its ELCC and EFC are both 50 MW.
TEST(CarryingTest, AFirmUnitIsWorthItsCapacity) {
  const std::vector<double> load = Loads();
  const CapacityTable base_table(Fleet());
  std::vector<UnitKind> with_firm = Fleet();
  with_firm.push_back({50, 0.0, 1});
  const CapacityTable firm_table(with_firm);
  CarryingSearch base(base_table, load, load, RiskIndex::kLole);
  CarryingSearch with(firm_table, load, load, RiskIndex::kLole);
  const double own = base.IndexAt(1.0, 0.0);
  const Answer elcc = with.LargestAdded(own, 0.01);
  EXPECT_NEAR(elcc.at, 50.0, 0.01);
  EXPECT_LE(elcc.at, 50.0);
  const Answer efc = base.FirmCapacityFor(with.IndexAt(1.0, 0.0));
  EXPECT_EQ(efc.at, 50.0);
  // Nothing to make up: no firm capacity at all.
  EXPECT_EQ(base.FirmCapacityFor(own).at, 0.0);
}

// An uncertain load: the index is the outcomes' weighted sum (one outcome
// of multiplier 1 is the load as it is, to the bit), and a firm unit is
// still worth its capacity, as the added load comes after the multiplier.
TEST(CarryingTest, UncertainLoadsWeighTheirOutcomes) {
  const std::vector<double> load = Loads();
  const CapacityTable table(Fleet());
  const std::vector<LoadScenario> outcomes = {{0.95, 0.25}, {1.05, 0.75}};
  CarryingSearch known(table, load, load, RiskIndex::kEue);
  CarryingSearch one(table, load, load, RiskIndex::kEue, {{1.0, 1.0}});
  CarryingSearch uncertain(table, load, load, RiskIndex::kEue, outcomes);
  EXPECT_EQ(one.IndexAt(1.0, 3.0), known.IndexAt(1.0, 3.0));
  const double by_hand =
      0.25 * known.IndexAt(0.95, 0.0) + 0.75 * known.IndexAt(1.05, 0.0);
  EXPECT_NEAR(uncertain.IndexAt(1.0, 0.0), by_hand, 1e-12 * by_hand);
  EXPECT_GT(uncertain.IndexAt(1.0, 0.0), known.IndexAt(1.0, 0.0));
  std::vector<UnitKind> with_firm = Fleet();
  with_firm.push_back({50, 0.0, 1});
  const CapacityTable firm_table(with_firm);
  CarryingSearch firm(firm_table, load, load, RiskIndex::kEue, outcomes);
  const Answer elcc = firm.LargestAdded(uncertain.IndexAt(1.0, 0.0), 0.01);
  EXPECT_NEAR(elcc.at, 50.0, 0.011);
  EXPECT_EQ(uncertain.FirmCapacityFor(firm.IndexAt(1.0, 0.0)).at, 50.0);
}

TEST(CarryingTest, TargetsThatCannotBeReached) {
  const std::vector<double> load = Loads();
  const CapacityTable table(Fleet());
  CarryingSearch lole(table, load, load, RiskIndex::kLolh);
  // Every unit can fail at once: any load has some risk.
  EXPECT_EQ(lole.LargestScale(0.0, 0.01).fault, NoAnswer::kNoLoad);
  // More deficit hours than there are hours: any load meets it.
  EXPECT_EQ(lole.LargestAdded(1e6, 0.01).fault, NoAnswer::kAnyLoad);
  EXPECT_EQ(lole.LargestScale(1e6, 0.01).fault, NoAnswer::kAnyLoad);
  EXPECT_GT(lole.evaluations(), 0);
}

// Over weather years and maintenance the searches answer for the study's
// index: three copies of a year carry what the year alone does, and a
// unit on maintenance all year is a unit fewer.
TEST(CarryingTest, WeatherYearsAndMaintenanceAnswerForTheStudy) {
  System one;
  one.units = {{"a", 10, 1, 0.05, 0.0, 5.0},
               {"b", 6, 7, 0.06, 0.0, 5.0},
               {"c", 4, 50, 0.08, 0.0, 5.0},
               {"d", 2, 100, 0.08, 0.0, 5.0}};
  one.load = Loads();
  System three = one;
  const auto hours = static_cast<int64_t>(one.load.size());
  for (int copy = 1; copy < 3; ++copy) {
    three.load.insert(three.load.end(), one.load.begin(), one.load.end());
  }
  three.weather_years = {
      {"1", 0, hours}, {"2", hours, hours}, {"3", 2 * hours, hours}};
  System out = one;
  out.units[3].maintenance = {{1, 14, 1}};
  System fewer = one;
  fewer.units[3].count = 1;
  const DirectStudy one_study(one);
  const DirectStudy three_study(three);
  const DirectStudy out_study(out);
  const DirectStudy fewer_study(fewer);
  for (RiskIndex index : {RiskIndex::kLole, RiskIndex::kEue}) {
    CarryingSearch alone(one_study, one.load, one.load, index);
    CarryingSearch copies(three_study, three.load, three.load, index);
    const double value = alone.IndexAt(1.0, 0.0);
    EXPECT_NEAR(copies.IndexAt(1.0, 0.0), value, 1e-13 * value);
    EXPECT_NEAR(copies.LargestAdded(value / 3, 0.01).at,
                alone.LargestAdded(value / 3, 0.01).at, 0.02);
    CarryingSearch maintained(out_study, out.load, out.load, index);
    CarryingSearch without(fewer_study, fewer.load, fewer.load, index);
    EXPECT_NEAR(maintained.LargestAdded(value, 0.01).at,
                without.LargestAdded(value, 0.01).at, 0.02);
    // A unit never out in place of the one on maintenance: less than its
    // 100 MW, which were sometimes out, and the same as for the fleet
    // without it.
    const Answer firm = maintained.FirmCapacityFor(value);
    EXPECT_EQ(firm.at, without.FirmCapacityFor(value).at);
    EXPECT_GT(firm.at, 50.0);
    EXPECT_LT(firm.at, 100.0);
  }
}

}  // namespace
}  // namespace adequacy
