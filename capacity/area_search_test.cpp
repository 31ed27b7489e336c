#include "capacity/area_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace adequacy {
namespace {

// Two areas of two weeks, joined by a tie of `limit_mw`.
System TwoAreas(double limit_mw, double outage = 0.0) {
  System system;
  system.areas = {{"north", {}}, {"south", {}}};
  for (int hour = 0; hour < 24 * 14; ++hour) {
    const bool evening = hour % 24 >= 17 && hour % 24 < 21;
    system.areas[0].load.push_back(evening ? 205.0 + hour % 7 : 140.0);
    system.areas[1].load.push_back(evening ? 110.0 : 150.0 + hour % 3);
    system.load.push_back(system.areas[0].load.back() +
                          system.areas[1].load.back());
  }
  system.units = {{"n", 3, 80, 0.08, 0.0, 20.0},
                  {"s", 4, 50, 0.06, 0.0, 20.0},
                  {"n small", 6, 5, 0.05, 0.0, 10.0}};
  system.units[1].area = 1;
  system.interfaces.push_back({0, 1, limit_mw, limit_mw, outage, 0.0, 10.0});
  return system;
}

// The north of `system` as a system of one area: its units and load.
System NorthAlone(const System& system) {
  System north;
  north.load = system.areas[0].load;
  north.units = {system.units[0], system.units[2]};
  return north;
}

// The one-area figures the search uses are the whole solution's, and with
// no tie an area's capability is that of the area alone.
TEST(AreaSearchTest, OneAreaIsTheSolutionsAndNoTieIsTheAreaAlone) {
  for (const System& system : {TwoAreas(40.0), TwoAreas(25.0, 0.1)}) {
    const AreasStudy study(system);
    const AreasAssessment all = study.Assess(system);
    for (size_t a = 0; a < 2; ++a) {
      const AreaIndices one = study.OneArea(system, a, false);
      EXPECT_DOUBLE_EQ(one.lolh, all.areas[a].lolh);
      EXPECT_DOUBLE_EQ(one.lole, all.areas[a].lole);
      EXPECT_DOUBLE_EQ(one.eue, all.areas[a].eue);
      EXPECT_DOUBLE_EQ(study.OneArea(system, a, true).lole, all.areas[a].lole);
    }
  }
  const System cut = TwoAreas(0.0);
  const System north = NorthAlone(cut);
  const CapacityTable table(north.unit_kinds());
  for (RiskIndex index : {RiskIndex::kLole, RiskIndex::kEue}) {
    AreaSearch area(cut, 0, index);
    CarryingSearch alone(table, north.load, north.load, index);
    const double value = alone.IndexAt(1.0, 0.0) / 4;
    EXPECT_DOUBLE_EQ(area.IndexAt(1.0, 0.0), alone.IndexAt(1.0, 0.0));
    EXPECT_NEAR(area.LargestAdded(value, 0.01).at,
                alone.LargestAdded(value, 0.01).at, 0.02);
    EXPECT_EQ(area.FirmCapacityFor(value).at, alone.FirmCapacityFor(value).at);
  }
  // A tie carries load: north can take more with it than without.
  AreaSearch tied(TwoAreas(40.0), 0, RiskIndex::kLole);
  AreaSearch untied(cut, 0, RiskIndex::kLole);
  EXPECT_GT(tied.LargestAdded(0.05, 0.01).at,
            untied.LargestAdded(0.05, 0.01).at + 10.0);
}

// With the north's load uncertain and no tie, the north is the area alone
// with the same outcomes, at every load tried: the added MW come after
// each outcome's multiplier in both.
TEST(AreaSearchTest, AnUncertainLoadAddsAfterTheMultiplier) {
  const std::vector<LoadScenario> outcomes = {
      {0.9, 0.2}, {1.0, 0.5}, {1.15, 0.3}};
  System cut = TwoAreas(0.0);
  cut.areas[0].uncertainty = outcomes;
  const System north = NorthAlone(cut);
  const CapacityTable table(north.unit_kinds());
  for (RiskIndex index : {RiskIndex::kLole, RiskIndex::kEue}) {
    AreaSearch area(cut, 0, index);
    CarryingSearch alone(table, north.load, north.load, index, outcomes);
    for (const double added : {-30.0, 0.0, 12.5}) {
      EXPECT_NEAR(area.IndexAt(1.0, added), alone.IndexAt(1.0, added),
                  1e-12 * (1.0 + alone.IndexAt(1.0, added)));
      EXPECT_NEAR(area.IndexAt(1.1, added), alone.IndexAt(1.1, added),
                  1e-12 * (1.0 + alone.IndexAt(1.1, added)));
    }
    const double value = alone.IndexAt(1.0, 0.0) / 4;
    EXPECT_NEAR(area.LargestAdded(value, 0.01).at,
                alone.LargestAdded(value, 0.01).at, 0.02);
  }
}

}  // namespace
}  // namespace adequacy
