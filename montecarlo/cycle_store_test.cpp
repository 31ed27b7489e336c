#include "montecarlo/cycle_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace adequacy {
namespace {

struct Piece {
  int64_t start;  // Global hour.
  int hours;
  int32_t mw;
};

// Flat loads of 9500 MW: every hour the store names is a deficit, so the
// tallies show exactly which hours replay brings back, and how they join.
HourlyLoads FlatLoads() {
  HourlyLoads loads;
  loads.fill(9500.0f);
  return loads;
}

// The sealed cycle's capacity at a cycle hour: the second cycle's pieces
// before `split`, the first cycle's from it, 10,000 MW elsewhere.
int32_t ReferenceMw(const std::vector<Piece>& pieces, int64_t split,
                    int64_t cycle_hour) {
  const int64_t hour =
      cycle_hour < split ? cycle_hour + kCycleHours : cycle_hour;
  for (const Piece& p : pieces) {
    if (hour >= p.start && hour < p.start + p.hours) return p.mw;
  }
  return 10000;
}

// The years from `first_hour`, hour by hour, as the plain loop counts them.
YearsTally ReferenceTally(const std::vector<Piece>& pieces, int64_t split,
                          const HourlyLoads& loads, int64_t first_hour,
                          int years) {
  YearsTally tally;
  for (int y = 0; y < years; ++y) {
    bool in_event = false;
    for (int h = 0; h < kHoursPerYear; ++h) {
      const int64_t hour = first_hour + int64_t{y} * kHoursPerYear + h;
      const int32_t mw = ReferenceMw(pieces, split, hour % kCycleHours);
      if (Served(mw, loads[h])) {
        in_event = false;
        continue;
      }
      tally.deficits.push_back(
          {static_cast<uint16_t>(h), static_cast<uint16_t>(mw)});
      ++tally.deficit_hours;
      if (!in_event) ++tally.year_events;
      in_event = true;
    }
    DeficitFinder::EndYear(&tally);
  }
  return tally;
}

void ExpectSameTally(const YearsTally& a, const YearsTally& b) {
  EXPECT_EQ(a.years, b.years);
  EXPECT_EQ(a.deficit_hours, b.deficit_hours);
  EXPECT_EQ(a.events, b.events);
  EXPECT_EQ(a.event_free_years, b.event_free_years);
  ASSERT_EQ(a.deficits.size(), b.deficits.size());
  for (size_t i = 0; i < a.deficits.size(); ++i) {
    EXPECT_EQ(a.deficits[i].hour, b.deficits[i].hour) << i;
    EXPECT_EQ(a.deficits[i].available_mw, b.deficits[i].available_mw) << i;
  }
}

// Pieces at the awkward places: across the split, where the second
// cycle's hours take over; at the cycle's last hours and its first, so that
// a replayed event runs on across the wrap; across the start of a year of
// the second cycle; long enough to be kept as several segments.
TEST(CycleStoreTest, ReplaysTheSealedCycleHourForHour) {
  constexpr int64_t kSplit = 5000;
  // A year starting in the third cycle, 8144 hours into it.
  const int64_t year_in_third_cycle = 2 * kCycleHours / kHoursPerYear + 1;
  const int64_t year_start = year_in_third_cycle * kHoursPerYear;
  const std::vector<Piece> pieces = {
      {10, 5, 9000},
      {kSplit - 3, 10, 9100},
      {year_start - 2 * kCycleHours - 2, 4, 9300},
      {100000, 70000, 9400},
      {kCycleHours - 4, 4, 9200},
      {kCycleHours, 3, 9000},
      {kCycleHours + kSplit - 2, 2, 9050},
  };
  CycleStore store(size_t{2} << 20);
  for (const Piece& p : pieces) {
    ASSERT_TRUE(store.Append(p.start, p.hours, p.mw));
  }
  store.Seal(kCycleHours + kSplit);
  const HourlyLoads loads = FlatLoads();
  const DeficitFinder finder(loads);
  // Runs of years over the wrap into the third cycle, over the split in it,
  // over the year start above, and over the long piece's second segment.
  for (int64_t first :
       {2 * kCycleHours / kHoursPerYear - 1,
        (2 * kCycleHours + kSplit) / kHoursPerYear, year_in_third_cycle - 1,
        (2 * kCycleHours + 160000) / kHoursPerYear}) {
    YearsTally replayed;
    store.Replay(first * kHoursPerYear, 3, finder, &replayed);
    ExpectSameTally(replayed, ReferenceTally(pieces, kSplit, loads,
                                             first * kHoursPerYear, 3));
    EXPECT_GT(replayed.deficit_hours, 0) << "year " << first;
  }
}

TEST(CycleStoreTest, GivesUpPastItsBudgetAndHoldsNothing) {
  CycleStore store(size_t{2} << 20);
  int64_t hour = 0;
  bool kept = true;
  // Alternating capacities cannot merge: one segment per hour.
  for (int i = 0; i < 300000 && kept; ++i) {
    kept = store.Append(hour++, 1, 9000 + i % 2);
  }
  EXPECT_FALSE(kept);
  EXPECT_TRUE(store.failed());
  EXPECT_EQ(store.bytes(), 0u);
  EXPECT_FALSE(store.Append(hour, 1, 9000));
}

TEST(CycleStoreTest, AnEmptyCycleReplaysEventFreeYears) {
  CycleStore store(size_t{2} << 20);
  store.Seal(kCycleHours + 100);
  const HourlyLoads loads = FlatLoads();
  YearsTally tally;
  store.Replay(kCycleHours + 8760, 5, DeficitFinder(loads), &tally);
  EXPECT_EQ(tally.years, 5);
  EXPECT_EQ(tally.event_free_years, 5);
  EXPECT_EQ(tally.deficit_hours, 0);
}

}  // namespace
}  // namespace adequacy
