#include "direct/areas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace adequacy {
namespace {

struct Unit {
  int32_t mw;
  double q;
};

std::vector<UnitKind> Kinds(const std::vector<Unit>& units) {
  std::vector<UnitKind> kinds;
  for (const Unit& u : units) kinds.emplace_back(u.mw, u.q, 1);
  return kinds;
}

// The hour by enumerating every joint state of the two fleets, the rule
// applied to each: an area's surplus goes to the other, within the limit.
TwoAreaHour BruteForce(const std::vector<Unit>& first,
                       const std::vector<Unit>& second, const double net[2],
                       const double into[2]) {
  std::vector<Unit> all = first;
  all.insert(all.end(), second.begin(), second.end());
  TwoAreaHour hour;
  for (uint32_t state = 0; state < (1u << all.size()); ++state) {
    double p = 1.0;
    double available[2] = {0.0, 0.0};
    for (size_t u = 0; u < all.size(); ++u) {
      const bool up = (state >> u & 1u) != 0;
      p *= up ? 1.0 - all[u].q : all[u].q;
      if (up) available[u < first.size() ? 0 : 1] += all[u].mw;
    }
    const double margin[2] = {available[0] - net[0], available[1] - net[1]};
    bool any = false;
    for (int a = 0; a < 2; ++a) {
      const double sent = std::min(into[a], std::max(margin[1 - a], 0.0));
      const double short_mw = -(margin[a] + sent);
      if (short_mw > 0.0) {
        hour.lolp[a] += p;
        hour.unserved[a] += p * short_mw;
        any = true;
      }
    }
    if (any) hour.system_lolp += p;
  }
  return hour;
}

// Against enumeration: loads fractional, negative and beyond the fleets,
// limits of 0, between and beyond any margin, each way its own.
TEST(TwoAreasTest, EachHourIsTheEnumerationOfJointStates) {
  const std::vector<Unit> north = {{40, 0.1}, {40, 0.12}, {25, 0.2}};
  const std::vector<Unit> south = {{30, 0.15}, {30, 0.05}, {30, 0.3}, {7, 0.1}};
  const CapacityTable n(Kinds(north));
  const CapacityTable s(Kinds(south));
  const double loads[][2] = {{60, 50},   {80.5, 40.25}, {100, 97},  {-5, 90},
                             {110, -20}, {200, 10},     {30, 95.5}, {0, 0}};
  const double limits[][2] = {{0, 0}, {10, 10}, {25.5, 3}, {0, 40}, {1e6, 1e6}};
  for (const auto& net : loads) {
    for (const auto& into : limits) {
      const TwoAreaHour exact = TwoAreaRisk(n, s, net, into);
      const TwoAreaHour brute = BruteForce(north, south, net, into);
      const std::string what =
          std::to_string(net[0]) + "," + std::to_string(net[1]) + " limits " +
          std::to_string(into[0]) + "," + std::to_string(into[1]);
      for (int a = 0; a < 2; ++a) {
        EXPECT_NEAR(exact.lolp[a], brute.lolp[a], 1e-13) << what;
        EXPECT_NEAR(exact.unserved[a], brute.unserved[a], 1e-11) << what;
      }
      EXPECT_NEAR(exact.system_lolp, brute.system_lolp, 1e-13) << what;
    }
  }
}

// Two areas of a week each, units in both and a profile in one.
System TwoAreas(double limit_mw) {
  System system;
  system.areas = {{"north", {}}, {"south", {}}};
  for (int hour = 0; hour < 24 * 7; ++hour) {
    const bool evening = hour % 24 >= 17 && hour % 24 < 21;
    system.areas[0].load.push_back(evening ? 215.0 + hour % 5 : 150.0);
    system.areas[1].load.push_back(evening ? 120.0 : 160.0 + hour % 3);
  }
  system.load = system.areas[0].load;
  for (size_t h = 0; h < system.load.size(); ++h) {
    system.load[h] += system.areas[1].load[h];
  }
  system.units = {{"n", 3, 80, 0.08, 0.0, 20.0}, {"s", 4, 50, 0.06, 0.0, 20.0}};
  system.units[1].area = 1;
  Profile wind{"wind", std::vector<double>(system.load.size(), 12.5), 1};
  system.profiles.push_back(wind);
  system.interfaces.push_back({0, 1, limit_mw, limit_mw});
  return system;
}

bool Same(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// The limits: no tie is the islands, to the bit; a tie beyond any margin
// is the copper plate; between, each index lies between the bounds; and
// the areas' order and the tie's direction change nothing but the order.
TEST(TwoAreasTest, TheLimitsAndTheSwap) {
  const AreasAssessment cut = AssessAreas(TwoAreas(0.0));
  ASSERT_TRUE(cut.exact);
  for (size_t a = 0; a < 2; ++a) {
    EXPECT_TRUE(Same(cut.areas[a].lolh, cut.island_areas[a].lolh));
    EXPECT_TRUE(Same(cut.areas[a].lole, cut.island_areas[a].lole));
    EXPECT_TRUE(Same(cut.areas[a].eue, cut.island_areas[a].eue));
  }
  EXPECT_NEAR(cut.system.lolh, cut.islands.lolh, 1e-12 * cut.islands.lolh);
  const AreasAssessment plate = AssessAreas(TwoAreas(1e7));
  EXPECT_NEAR(plate.system.lolh, plate.copper_plate.lolh,
              1e-12 * plate.copper_plate.lolh);
  EXPECT_NEAR(plate.system.eue, plate.copper_plate.eue,
              1e-10 * plate.copper_plate.eue);
  EXPECT_NEAR(plate.system.lole, plate.copper_plate.lole,
              1e-12 * plate.copper_plate.lole);
  const AreasAssessment tie = AssessAreas(TwoAreas(30.0));
  EXPECT_LT(tie.system.lolh, tie.islands.lolh);
  EXPECT_GT(tie.system.lolh, tie.copper_plate.lolh);
  EXPECT_LT(tie.system.eue, tie.islands.eue);
  EXPECT_GT(tie.system.eue, tie.copper_plate.eue);
  for (size_t a = 0; a < 2; ++a) {
    EXPECT_LE(tie.areas[a].lolh, tie.island_areas[a].lolh);
  }
  EXPECT_LT(tie.areas[0].lolh + tie.areas[1].lolh,
            tie.island_areas[0].lolh + tie.island_areas[1].lolh);

  System swapped = TwoAreas(30.0);
  std::swap(swapped.areas[0], swapped.areas[1]);
  for (UnitGroup& group : swapped.units) group.area = 1 - group.area;
  swapped.profiles[0].area = 0;
  swapped.interfaces[0] = {0, 1, 30.0, 30.0};
  const AreasAssessment other = AssessAreas(swapped);
  for (size_t a = 0; a < 2; ++a) {
    EXPECT_NEAR(other.areas[1 - a].lolh, tie.areas[a].lolh, 1e-12);
    EXPECT_NEAR(other.areas[1 - a].eue, tie.areas[a].eue, 1e-9);
  }
  EXPECT_NEAR(other.system.lolh, tie.system.lolh, 1e-12);

  // Limits one way only help that way; a tie out a share of the time is
  // that share of the way back to the islands.
  System one_way = TwoAreas(0.0);
  one_way.interfaces[0].forward_mw = 30.0;  // North to south.
  const AreasAssessment forward = AssessAreas(one_way);
  EXPECT_TRUE(Same(forward.areas[0].lolh, cut.areas[0].lolh));
  EXPECT_NEAR(forward.areas[1].lolh, tie.areas[1].lolh, 1e-12);
  System unreliable = TwoAreas(30.0);
  unreliable.interfaces[0].forced_outage_rate = 0.25;
  unreliable.interfaces[0].mean_repair_hours = 10.0;
  const AreasAssessment weak = AssessAreas(unreliable);
  EXPECT_NEAR(weak.areas[0].lolh,
              0.75 * tie.areas[0].lolh + 0.25 * cut.areas[0].lolh, 1e-12);
}

// A tie added between areas already tied adds its limits to that tie,
// each way as its own order says; the sum is the one tie of that size.
TEST(TwoAreasTest, AnAddedTieJoinsTheTieInPlace) {
  System added;
  Interface reversed;
  reversed.first = 1;
  reversed.second = 0;
  reversed.forward_mw = 20.0;  // South to north.
  reversed.backward_mw = 5.0;
  added.interfaces.push_back(reversed);
  System combined;
  double installed = 0.0;
  ASSERT_TRUE(Combine(TwoAreas(30.0), added, &combined, &installed));
  ASSERT_EQ(combined.interfaces.size(), 1u);
  EXPECT_EQ(combined.interfaces[0].forward_mw, 35.0);   // North to south.
  EXPECT_EQ(combined.interfaces[0].backward_mw, 50.0);  // South to north.
  EXPECT_EQ(installed, 20.0);
  System same = TwoAreas(0.0);
  same.interfaces[0] = {0, 1, 35.0, 50.0};
  const AreasAssessment a = AssessAreas(combined);
  const AreasAssessment b = AssessAreas(same);
  for (size_t area = 0; area < 2; ++area) {
    EXPECT_TRUE(Same(a.areas[area].lole, b.areas[area].lole));
    EXPECT_TRUE(Same(a.areas[area].eue, b.areas[area].eue));
  }
}

// `system` with each area's load times `m[a]` plus `added[a]` MW, and the
// summed load, as a file of those loads would give it.
System ScaledLoads(System system, const double m[2], const double added[2]) {
  for (size_t a = 0; a < 2; ++a) {
    for (double& mw : system.areas[a].load) mw = m[a] * mw + added[a];
  }
  for (size_t h = 0; h < system.load.size(); ++h) {
    system.load[h] = system.areas[0].load[h] + system.areas[1].load[h];
  }
  return system;
}

// An uncertain load is the probability-weighted mean of the systems at its
// outcomes, one outcome for both areas at once, MW added after the
// multiplier; an area whose load is known keeps its own index alone.
TEST(TwoAreasTest, AnUncertainLoadIsTheMeanOfItsOutcomes) {
  const std::vector<LoadScenario> north = {
      {0.9, 0.25}, {1.0, 0.5}, {1.2, 0.25}};
  const std::vector<LoadScenario> south = {
      {0.95, 0.25}, {1.0, 0.5}, {1.1, 0.25}};
  struct Case {
    bool south_uncertain;
    double added_north;
  };
  for (const Case& c : {Case{true, 0.0}, Case{false, 0.0}, Case{true, 15.0}}) {
    System uncertain = TwoAreas(25.0);
    uncertain.areas[0].uncertainty = north;
    if (c.south_uncertain) uncertain.areas[1].uncertainty = south;
    uncertain.areas[0].added_mw = c.added_north;
    const AreasAssessment got = AssessAreas(uncertain, true);
    AreasAssessment want;
    want.areas.resize(2);
    want.island_areas.resize(2);
    want.hours.resize(got.hours.size());
    for (size_t k = 0; k < north.size(); ++k) {
      const double m[2] = {north[k].multiplier,
                           c.south_uncertain ? south[k].multiplier : 1.0};
      const double added[2] = {c.added_north, 0.0};
      const AreasAssessment at =
          AssessAreas(ScaledLoads(TwoAreas(25.0), m, added), true);
      const double p = north[k].probability;
      for (size_t a = 0; a < 2; ++a) {
        want.areas[a].lole += p * at.areas[a].lole;
        want.areas[a].eue += p * at.areas[a].eue;
        want.island_areas[a].lolh += p * at.island_areas[a].lolh;
      }
      want.system.lolh += p * at.system.lolh;
      want.copper_plate.eue += p * at.copper_plate.eue;
      want.islands.lole += p * at.islands.lole;
      for (size_t h = 0; h < at.hours.size(); ++h) {
        want.hours[h].system_lolp += p * at.hours[h].system_lolp;
      }
    }
    const std::string what =
        std::to_string(c.south_uncertain) + " " + std::to_string(c.added_north);
    for (size_t a = 0; a < 2; ++a) {
      EXPECT_NEAR(got.areas[a].lole, want.areas[a].lole, 1e-12) << what;
      EXPECT_NEAR(got.areas[a].eue, want.areas[a].eue, 1e-9) << what;
      EXPECT_NEAR(got.island_areas[a].lolh, want.island_areas[a].lolh, 1e-12)
          << what;
    }
    EXPECT_NEAR(got.system.lolh, want.system.lolh, 1e-12) << what;
    EXPECT_NEAR(got.copper_plate.eue, want.copper_plate.eue, 1e-9) << what;
    EXPECT_NEAR(got.islands.lole, want.islands.lole, 1e-12) << what;
    double sum = 0.0;
    for (size_t h = 0; h < got.hours.size(); ++h) {
      EXPECT_NEAR(got.hours[h].system_lolp, want.hours[h].system_lolp, 1e-12);
      sum += got.hours[h].system_lolp;
    }
    EXPECT_NEAR(sum, got.system.lolh, 1e-9) << what;
    if (!c.south_uncertain) {
      EXPECT_TRUE(Same(got.island_areas[1].lolh,
                       AssessAreas(TwoAreas(25.0)).island_areas[1].lolh));
    }
  }
}

}  // namespace
}  // namespace adequacy
