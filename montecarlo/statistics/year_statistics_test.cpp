#include "montecarlo/statistics/year_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "montecarlo/engine/fast_engine_test_util.h"
#include "montecarlo/phase.h"
#include "montecarlo/plain_loop.h"
#include "montecarlo/statistics/lap_groups.h"
#include "montecarlo/statistics/standard_error.h"

namespace adequacy {
namespace {

// A tally of `years` years built by hand: deficits[y] lists year y's
// deficit hours, each at 100 MW short of a load of 1000 MW.
YearsTally TallyOf(const std::vector<std::vector<int>>& deficits) {
  YearsTally tally;
  for (const std::vector<int>& year : deficits) {
    for (int hour : year) tally.AddDeficit(hour, 900);
    tally.EndYear();
  }
  return tally;
}

HourlyLoads FlatLoads(float mw) {
  HourlyLoads loads;
  loads.fill(mw);
  return loads;
}

TEST(YearStatisticsTest, EventsAndYearsByTheirLength) {
  const HourlyLoads loads = FlatLoads(1000.0f);
  YearStatistics stats;
  // Events of 3 and 1 hours; none; events at both ends of a year (not one
  // event across its end); and the next tally's first year follows on.
  stats.Add(TallyOf({{10, 11, 12, 20}, {}, {0, 8759}}), loads, 0);
  stats.Add(TallyOf({{5}}), loads, 3);
  EXPECT_EQ(stats.first_year(), 0);
  EXPECT_EQ(stats.end_year(), 4);
  EXPECT_EQ(stats.events_by_hours()[1], 4);
  EXPECT_EQ(stats.events_by_hours()[3], 1);
  const std::vector<int64_t> years = stats.YearsByDeficitHours();
  EXPECT_EQ(years[0], 1);
  EXPECT_EQ(years[1], 1);
  EXPECT_EQ(years[2], 1);
  EXPECT_EQ(years[4], 1);
  EXPECT_EQ(stats.Sum(YearFigure::kDeficitHours), 7.0);
  EXPECT_EQ(stats.Sum(YearFigure::kEvents), 5.0);
  EXPECT_EQ(stats.Sum(YearFigure::kHadDeficit), 3.0);
  EXPECT_EQ(stats.Sum(YearFigure::kUnservedMwh), 700.0);
  EXPECT_EQ(stats.SumOfSquares(YearFigure::kDeficitHours), 16.0 + 4.0 + 1.0);
  // Only years 2 and 3 follow one another among those with deficits.
  EXPECT_EQ(stats.SumOfLagProducts(YearFigure::kDeficitHours), 2.0);
  EXPECT_EQ(stats.largest_event_mwh(), 300.0);
}

// Every engine, stepped unevenly, gathers exactly what the plain loop's
// years give, for loads with deficits in half the years.
TEST(YearStatisticsTest, EnginesGatherWhatThePlainLoopGives) {
  const HourlyLoads loads = LoadsOf({2000, 8700, 8000, 1424.5f});
  const ChainParameters params = SetUpChainParameters();
  YearStatistics expected;
  ChainState literal = InitialChainState();
  YearsTally year;
  constexpr int kYears = 64;
  for (int y = 0; y < kYears; ++y) {
    year.Clear();
    SimulatePlainYear(params, loads, &literal, &year);
    expected.Add(year, loads, y);
  }
  ASSERT_GT(expected.Sum(YearFigure::kHadDeficit), 25.0);
  std::vector<Contender> contenders = Contenders(params, loads);
  for (size_t i = 0; i < contenders.size(); ++i) {
    YearStatistics stats;
    for (int step : {1, 37, 14, 12}) {
      contenders[i].engine->SimulateYears(&contenders[i].state, step, &stats);
    }
    EXPECT_TRUE(stats == expected) << "engine " << i;
    EXPECT_TRUE(Same(contenders[i].state, literal)) << "engine " << i;
  }
}

// Every tier of the phase gathers the same years as the plain loop; 100
// years, as the plain loop takes 3 ms a year (the first checkpoint's 1000
// years are checked by the long tests).
TEST(YearStatisticsTest, EveryTierOfThePhaseGathersTheSame) {
  static HourlyLoads loads = LoadsOf(LoadParameters());
  MonteCarloPhase plain(loads, EngineTier::kPlain);
  plain.SetCheckpoint(100);
  plain.RunToCheckpoint();
  ASSERT_NE(plain.statistics(), nullptr);
  EXPECT_EQ(plain.statistics()->years(), 100);
  EXPECT_GT(plain.statistics()->Sum(YearFigure::kDeficitHours), 0.0);
  for (EngineTier tier : {EngineTier::kLean, EngineTier::kFull}) {
    MonteCarloPhase phase(loads, tier);
    phase.SetCheckpoint(100);
    phase.RunToCheckpoint([](int64_t, double) {});
    ASSERT_NE(phase.statistics(), nullptr);
    EXPECT_TRUE(*phase.statistics() == *plain.statistics());
  }
}

TEST(LapBlocksTest, YearsOfOnePlaceInEveryLapShareABlock) {
  EXPECT_EQ(FirstYearOfLap(0), 0);
  EXPECT_EQ(FirstYearOfLap(1), 22287);
  EXPECT_EQ(FirstYearOfLap(2), 44573);
  EXPECT_EQ(FirstYearOfLap(11), 245147);  // The generator's second cycle.
  EXPECT_EQ(LapGroupOf(17), 1);
  EXPECT_EQ(LapGroupOf(kMostYearsPerLap - 1), kLapGroups - 1);
  EXPECT_EQ(LapGroupOf(kMostYearsPerLap), 0);
  EXPECT_EQ(LapGroupOf(kMostYearsPerLap + 16), 1);
  // The counts agree with the blocks year by year, across lap ends.
  for (auto [first, end] :
       {std::pair<int64_t, int64_t>{0, 1000},
        {20000, 520000},
        {FirstYearOfLap(440) - 5, FirstYearOfLap(440) + 70}}) {
    std::vector<int64_t> expected(kLapGroups, 0);
    for (int64_t y = first; y < end; ++y) ++expected[LapGroupOf(y)];
    EXPECT_EQ(LapGroupYears(first, end), expected) << first;
  }
}

// Figures of one pattern: a deficit hour in the years at every seventh
// place in the lap (so every lap repeats the first), or in every seventh
// year.
YearStatistics PatternedYears(int64_t years, bool by_place) {
  YearStatistics stats;
  const HourlyLoads loads = FlatLoads(1000.0f);
  constexpr int64_t kTallyYears = 4096;
  for (int64_t first = 0; first < years; first += kTallyYears) {
    YearsTally tally;
    for (int64_t y = first; y < std::min(years, first + kTallyYears); ++y) {
      const int64_t place =
          by_place ? y - FirstYearOfLap(LapOfHour(y * kHoursPerYear)) : y;
      if (place % 7 == 0) tally.AddDeficit(0, 900);
      tally.EndYear();
    }
    stats.Add(tally, loads, first);
  }
  return stats;
}

TEST(StandardErrorTest, RepeatedHistoryKeepsItsError) {
  const int64_t lap = kMostYearsPerLap;
  const YearStatistics one = PatternedYears(lap, true);
  const YearStatistics three = PatternedYears(3 * lap, true);
  auto interval = [](const YearStatistics& stats) {
    const double mean = stats.Sum(YearFigure::kDeficitHours) /
                        static_cast<double>(stats.years());
    return IntervalsOf({static_cast<double>(stats.years()), mean, 0, 0, 0},
                       stats)
        .lolh;
  };
  const Interval first = interval(one);
  const Interval later = interval(three);
  // A strictly periodic pattern: blocks of 16 years hold 2 or 3 hits, a
  // small spread, but the naive error sees a sevenfold on/off.
  EXPECT_GT(first.naive_standard_error, first.standard_error);
  // Three uses of one history know no more than one: the error stays,
  // while the naive one falls as one over the root of the years.
  EXPECT_NEAR(later.standard_error / first.standard_error, 1.0, 0.05);
  EXPECT_NEAR(later.naive_standard_error / first.naive_standard_error,
              1.0 / std::sqrt(3.0), 0.01);
}

TEST(StandardErrorTest, IntervalsStayWithinWhatTheFigureCanTake) {
  YearStatistics stats = PatternedYears(1000, false);
  Estimates estimates{1000.0, 0.143, 0.143, 0.143, 14.3};
  const EstimateIntervals intervals = IntervalsOf(estimates, stats);
  EXPECT_GT(intervals.lolh.standard_error, 0.0);
  EXPECT_EQ(intervals.lolh.low, 0.143 - intervals.lolh.half_width());
  // Far from any bound, and at them.
  estimates.alolp = 0.999;
  estimates.lolev = 0.001;
  const EstimateIntervals clipped = IntervalsOf(estimates, stats);
  EXPECT_EQ(clipped.alolp.high, 1.0);
  EXPECT_EQ(clipped.lolev.low, 0.0);
  // One block of years: no spread to take an error from.
  const EstimateIntervals few =
      IntervalsOf(estimates, PatternedYears(10, false));
  EXPECT_TRUE(std::isnan(few.lolh.standard_error));
  EXPECT_TRUE(std::isnan(few.lolh.low));
  // No deficit at all: nothing varies.
  YearStatistics quiet;
  quiet.Add(TallyOf(std::vector<std::vector<int>>(1000)), FlatLoads(0), 0);
  const EstimateIntervals none = IntervalsOf({1000.0, 0, 0, 0, 0}, quiet);
  EXPECT_EQ(none.mwheue.standard_error, 0.0);
  EXPECT_EQ(none.mwheue.high, 0.0);
}

TEST(StandardErrorTest, LagOneCorrelation) {
  // A hit every seventh year: no two consecutive years both hit.
  EXPECT_NEAR(
      LagOneCorrelation(PatternedYears(70000, false), YearFigure::kHadDeficit),
      -1.0 / 6.0, 0.001);
}

}  // namespace
}  // namespace adequacy
