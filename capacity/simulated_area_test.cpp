#include "capacity/simulated_area.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "capacity/area_search.h"

namespace adequacy {
namespace {

// Two areas of two weeks joined by a tie of 40 MW, and a third, east,
// with a fleet and a load of its own and no tie to either: the first two
// have an exact solution that the simulation of all three must hold.
System TwoTiedAndOneApart() {
  System system;
  system.areas = {{"north", {}}, {"south", {}}, {"east", {}}};
  for (int hour = 0; hour < 24 * 14; ++hour) {
    const bool evening = hour % 24 >= 17 && hour % 24 < 21;
    system.areas[0].load.push_back(evening ? 205.0 + hour % 7 : 140.0);
    system.areas[1].load.push_back(evening ? 110.0 : 150.0 + hour % 3);
    system.areas[2].load.push_back(evening ? 90.0 : 60.0);
    system.load.push_back(system.areas[0].load.back() +
                          system.areas[1].load.back() +
                          system.areas[2].load.back());
  }
  system.units = {{"n", 3, 80, 0.08, 0.0, 20.0},
                  {"s", 4, 50, 0.06, 0.0, 20.0},
                  {"n small", 6, 5, 0.05, 0.0, 10.0},
                  {"e", 3, 45, 0.05, 0.0, 15.0}};
  system.units[1].area = 1;
  system.units[3].area = 2;
  system.interfaces.push_back({0, 1, 40.0, 40.0, 0.0, 0.0, 0.0});
  return system;
}

// The simulated capability of north, added load and scale, holds the exact
// answer of the two areas without east, for a target above the risk as it
// stands (load can be added) and one below (load must be taken away).
TEST(SimulatedAreaSearchTest, HoldsTheExactAnswerOfTheTwoAreas) {
  const System three = TwoTiedAndOneApart();
  System two = three;
  two.areas.pop_back();
  two.units.pop_back();
  for (size_t hour = 0; hour < two.load.size(); ++hour) {
    two.load[hour] -= three.areas[2].load[hour];
  }
  AreaSearch exact(two, 0, RiskIndex::kLole);
  SimulatedAreaSearch simulated(three, 0, RiskIndex::kLole, 5, 2);
  ASSERT_TRUE(simulated.fault().empty()) << simulated.fault();
  const double now = exact.IndexAt(1.0, 0.0);
  const SampleInterval at = simulated.IndexAt(1.0, 0.0, 4000);
  EXPECT_LT(std::fabs(at.estimate - now), 4.0 * at.standard_error);
  for (const double value : {2.0 * now, 0.5 * now}) {
    const Answer added = exact.LargestAdded(value, 0.01);
    const Estimated guess = simulated.LargestAdded(value, 4000, 0.05);
    ASSERT_EQ(guess.fault, NoAnswer::kNone);
    EXPECT_LT(std::fabs(guess.at - added.at), 4.0 * guess.standard_error)
        << value << ": " << guess.at << " against " << added.at;
    EXPECT_EQ(guess.at < 0.0, added.at < 0.0);
    EXPECT_LE(guess.low, guess.at);
    EXPECT_GE(guess.high, guess.at);
    const Answer scale = exact.LargestScale(value, 1e-5);
    const Estimated scaled = simulated.LargestScale(value, 4000, 0.05);
    EXPECT_LT(std::fabs(scaled.at - scale.at), 4.0 * scaled.standard_error)
        << value << ": " << scaled.at << " against " << scale.at;
  }
  EXPECT_GT(simulated.evaluations(), 4);
}

}  // namespace
}  // namespace adequacy
