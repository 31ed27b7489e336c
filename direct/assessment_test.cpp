#include "direct/assessment.h"

#include <gtest/gtest.h>

#include <cmath>

#include "system/load_change.h"

namespace adequacy {
namespace {

std::vector<double> Constant(size_t hours, double mw) {
  return std::vector<double>(hours, mw);
}

// One 100 MW unit (q 0.1) against 50 MW for two days: every hour is short
// with 0.1 and misses 50 MW then.
TEST(AssessmentTest, OneUnitAgainstAConstantLoad) {
  const CapacityTable table({{100, 0.1, 1}});
  const std::vector<double> load = Constant(48, 50.0);
  const Assessment result = Assess(table, load, load, true);
  EXPECT_NEAR(result.lolh, 4.8, 1e-12);
  EXPECT_NEAR(result.lole, 0.2, 1e-15);
  EXPECT_NEAR(result.allr, 1.0 - 0.9 * 0.9, 1e-15);
  EXPECT_NEAR(result.eue, 240.0, 1e-10);
  EXPECT_EQ(result.energy, 2400.0);
  EXPECT_NEAR(result.ppm, 1e5, 1e-6);
  EXPECT_EQ(result.peak_load, 50.0);
  EXPECT_EQ(result.reserve_margin, 100.0);
  ASSERT_EQ(result.hours.size(), 48u);
  EXPECT_NEAR(result.hours[17].unserved_mwh, 5.0, 1e-12);
  EXPECT_TRUE(Assess(table, load, load, false).hours.empty());
}

// Two units of 60 MW (q 0.1, 0.2); a day at 40 MW with one hour at 100:
// the day's peak is that hour, short unless both are up.
TEST(AssessmentTest, TwoUnitsAndTheDaysPeak) {
  const CapacityTable table({{60, 0.1, 1}, {60, 0.2, 1}});
  std::vector<double> load = Constant(24, 40.0);
  load[9] = 100.0;
  const Assessment result = Assess(table, load, load, false);
  const double both_down = 0.02;
  const double not_both_up = 1.0 - 0.72;
  EXPECT_NEAR(result.lole, not_both_up, 1e-15);
  EXPECT_NEAR(result.allr, not_both_up, 1e-15);
  EXPECT_NEAR(result.lolh, 23 * both_down + not_both_up, 1e-14);
  // 40 MW short with both down, 40 more with one down at 100 MW.
  EXPECT_NEAR(result.eue, 23 * 40 * both_down + (100 * 0.02 + 40 * 0.26),
              1e-12);
}

TEST(AssessmentTest, ReliableFleetAndProfilesThatCoverTheLoad) {
  const CapacityTable firm({{500, 0.0, 1}});
  const std::vector<double> load = Constant(24, 500.0);
  EXPECT_EQ(Assess(firm, load, load, false).lolh, 0.0);
  EXPECT_EQ(Assess(firm, load, load, false).eue, 0.0);

  // A profile equal to the load leaves nothing to serve: no risk at all,
  // however weak the fleet, while the energy demanded is still the load's.
  const CapacityTable weak({{10, 0.5, 1}});
  const std::vector<double> net = NetLoad(load, {Profile{"all of it", load}});
  const Assessment covered = Assess(weak, load, net, false);
  EXPECT_EQ(covered.lolh, 0.0);
  EXPECT_EQ(covered.lole, 0.0);
  EXPECT_EQ(covered.allr, 0.0);
  EXPECT_EQ(covered.eue, 0.0);
  EXPECT_EQ(covered.energy, 12000.0);
}

// The what-ifs: every hour scaled, then the constant added.
TEST(AssessmentTest, LoadChanges) {
  EXPECT_EQ(ChangedLoad({100.0, 200.0}, {1.5, 10.0}),
            (std::vector<double>{160.0, 310.0}));
  const std::vector<double> load = {100.0, 200.0};
  EXPECT_EQ(ChangedLoad(load, LoadChange()), load);
  EXPECT_EQ(NetLoad(load, {{"a", {10.0, 20.0}}, {"b", {1.0, 300.0}}}),
            (std::vector<double>{89.0, -120.0}));
}

// ALLR keeps its digits where every day's risk is tiny.
TEST(AssessmentTest, SmallRisksKeepTheirDigits) {
  const CapacityTable table({{100, 1e-9, 1}, {100, 1e-9, 1}});
  const std::vector<double> load = Constant(24 * 365, 150.0);
  const Assessment result = Assess(table, load, load, false);
  // 1 - (1 - q)^2 = 2q - q^2, written so that nothing cancels.
  const double day = 2e-9 - 1e-18;
  EXPECT_NEAR(result.allr / (365 * day), 1.0, 1e-6);
  EXPECT_NEAR(result.lole / (365 * day), 1.0, 1e-9);
}

// The outcomes of an uncertain load weigh their indices and hours; one
// outcome is the load as it is.
TEST(AssessmentTest, OutcomesOfAnUncertainLoad) {
  const CapacityTable table({{100, 0.1, 2}});
  const std::vector<double> low(48, 90.0);
  const std::vector<double> high(48, 150.0);
  const Assessment a = Assess(table, low, low, true);
  const Assessment b = Assess(table, high, high, true);
  const Assessment both =
      AssessOutcomes(table, {low, high}, {low, high}, {0.4, 0.6}, true);
  EXPECT_NEAR(both.lolh, 0.4 * a.lolh + 0.6 * b.lolh, 1e-12);
  EXPECT_NEAR(both.lole, 0.4 * a.lole + 0.6 * b.lole, 1e-12);
  EXPECT_NEAR(both.allr, 0.4 * a.allr + 0.6 * b.allr, 1e-12);
  EXPECT_NEAR(both.eue, 0.4 * a.eue + 0.6 * b.eue, 1e-9);
  EXPECT_NEAR(both.hours[5].lolp, 0.4 * a.hours[5].lolp + 0.6 * b.hours[5].lolp,
              1e-15);
  EXPECT_NEAR(both.energy, 0.4 * 90 * 48 + 0.6 * 150 * 48, 1e-9);
  const Assessment one = AssessOutcomes(table, {low}, {low}, {1.0}, false);
  EXPECT_EQ(one.lolh, a.lolh);
  EXPECT_EQ(one.eue, a.eue);
}

}  // namespace
}  // namespace adequacy
