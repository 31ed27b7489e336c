#include "montecarlo/engine/lap_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace adequacy {
namespace {

// Hours [start, start + hours) of the walked history: the first at
// `first[r]` under reading r, the others at first[0].
struct Piece {
  int64_t start;
  int hours;
  Readings first;
};

Readings Flat(uint16_t mw) {
  Readings r;
  r.fill(mw);
  return r;
}

// Readings that differ: reading r has r MW less.
Readings Stepped(uint16_t mw) {
  Readings r;
  for (int i = 0; i < kReadings; ++i) r[i] = static_cast<uint16_t>(mw - i);
  return r;
}

// Flat loads of 9500 MW: every hour the store names is a deficit, so the
// tallies show exactly which hours replay brings back, and how they join.
HourlyLoads FlatLoads() {
  HourlyLoads loads;
  loads.fill(9500.0f);
  return loads;
}

// Global hour `hour` (at or after `end`) as the laps read the history:
// the hour it repeats and that lap's reading, 10,000 MW where no piece is.
int32_t ReferenceMw(const std::vector<Piece>& pieces, int64_t end,
                    int64_t hour) {
  const int64_t lap = LapOfHour(hour - end) + 1;
  const int64_t base = hour - LapShift(lap);
  for (const Piece& p : pieces) {
    if (base >= p.start && base < p.start + p.hours) {
      return base == p.start ? p.first[ReadingOfLap(lap)] : p.first[0];
    }
  }
  return 10000;
}

// The years from `first_hour`, hour by hour, as the plain loop counts them.
YearsTally ReferenceTally(const std::vector<Piece>& pieces, int64_t end,
                          const HourlyLoads& loads, int64_t first_hour,
                          int years) {
  YearsTally tally;
  for (int y = 0; y < years; ++y) {
    for (int h = 0; h < kHoursPerYear; ++h) {
      const int64_t hour = first_hour + int64_t{y} * kHoursPerYear + h;
      const int32_t mw = ReferenceMw(pieces, end, hour);
      if (!Served(mw, loads[h])) {
        tally.AddDeficit(h, static_cast<uint16_t>(mw));
      }
    }
    tally.EndYear();
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

// Pieces at the awkward places: before the kept lap, across its first
// hour and at the hour after it (where laps one hour longer begin); at its
// last hours, so that a replayed event runs on into the next lap; across
// the start of a year of a later lap; long enough to be kept as several
// stored runs; and pieces whose first hour differs by reading, which must come
// back with each lap's own reading.
TEST(LapStoreTest, ReplaysTheKeptLapHourForHour) {
  const int64_t end = FirstYearOfLap(1) * kHoursPerYear;
  const int64_t lap_first = end - kLapHours - 1;
  // A year of lap 4 and the history hour its start repeats.
  const int64_t year_in_lap_4 = end / kHoursPerYear + 3 * kMostYearsPerLap + 5;
  const int64_t year_start = year_in_lap_4 * kHoursPerYear;
  const int64_t repeated = year_start - LapShift(4);
  const std::vector<Piece> pieces = {
      {100, 5, Flat(9000)},
      {lap_first - 2, 3, Stepped(9100)},
      {lap_first + 1, 1, Stepped(9150)},
      {lap_first + 3, 3, Stepped(9300)},
      {repeated - 2, 4, Stepped(9200)},
      {lap_first + 100000, 70000, Stepped(9400)},
      {end - 4, 4, Stepped(9250)},
  };
  LapStore store(size_t{2} << 20);
  for (const Piece& p : pieces) {
    ASSERT_TRUE(store.Append(p.start, p.hours, p.first));
  }
  store.Seal(end);
  const HourlyLoads loads = FlatLoads();
  const DeficitFinder finder(loads);
  // Runs of years over the start of every lap of the generator's first two
  // cycles, over the year start above, and over the long piece's second
  // stored run in a lap of another reading.
  std::vector<int64_t> firsts = {
      year_in_lap_4 - 1,
      (end - kLapHours + 165000 + LapShift(6)) / kHoursPerYear};
  for (int64_t lap = 1; lap <= 23; ++lap) {
    firsts.push_back((end + LapShift(lap)) / kHoursPerYear - 1);
  }
  for (int64_t first : firsts) {
    YearsTally replayed;
    store.Replay(first * kHoursPerYear, 3, finder, &replayed);
    ExpectSameTally(
        replayed, ReferenceTally(pieces, end, loads, first * kHoursPerYear, 3));
    EXPECT_GT(replayed.deficit_hours, 0) << "year " << first;
  }
}

// A chunk recorded again after memory ran out part way: the store returns
// to where the chunk began, a stored run lengthened since included, and
// replays as if the chunk had been recorded once.
TEST(LapStoreTest, RewindsToAMarkAndRecordsAgain) {
  const int64_t end = FirstYearOfLap(1) * kHoursPerYear;
  const int64_t lap_first = end - kLapHours - 1;
  const std::vector<Piece> before = {{lap_first + 10, 3, Stepped(9100)}};
  const std::vector<Piece> chunk = {{lap_first + 13, 2, Flat(9100)},
                                    {lap_first + 40, 5, Stepped(9200)}};
  auto record = [](LapStore* store, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces) {
      ASSERT_TRUE(store->Append(p.start, p.hours, p.first));
    }
  };
  LapStore once(size_t{2} << 20), twice(size_t{2} << 20);
  record(&once, before);
  record(&once, chunk);
  record(&twice, before);
  const LapStore::Mark mark = twice.Here();
  record(&twice, chunk);  // Lengthens the first stored run, adds another.
  twice.Rewind(mark);
  EXPECT_EQ(twice.Here().size, mark.size);
  record(&twice, chunk);
  once.Seal(end);
  twice.Seal(end);
  EXPECT_EQ(once.stored_runs(), twice.stored_runs());
  const HourlyLoads loads = FlatLoads();
  const DeficitFinder finder(loads);
  YearsTally a, b;
  const int64_t first = (end + LapShift(1)) / kHoursPerYear - 1;
  once.Replay(first * kHoursPerYear, 2, finder, &a);
  twice.Replay(first * kHoursPerYear, 2, finder, &b);
  ExpectSameTally(a, b);
  EXPECT_EQ(a.deficit_hours, 10);
}

TEST(LapStoreTest, GivesUpPastItsBudgetAndHoldsNothing) {
  LapStore store(size_t{2} << 20);
  int64_t hour = 0;
  bool kept = true;
  // Alternating capacities cannot merge: one stored run per hour.
  for (int i = 0; i < 300000 && kept; ++i) {
    kept = store.Append(hour++, 1, Flat(static_cast<uint16_t>(9000 + i % 2)));
  }
  EXPECT_FALSE(kept);
  EXPECT_TRUE(store.failed());
  EXPECT_EQ(store.bytes(), 0u);
  EXPECT_FALSE(store.Append(hour, 1, Flat(9000)));
}

TEST(LapStoreTest, AnEmptyLapReplaysEventFreeYears) {
  LapStore store(size_t{2} << 20);
  const int64_t end = FirstYearOfLap(1) * kHoursPerYear;
  store.Seal(end);
  const HourlyLoads loads = FlatLoads();
  YearsTally tally;
  store.Replay(end + kHoursPerYear, 5, DeficitFinder(loads), &tally);
  EXPECT_EQ(tally.years, 5);
  EXPECT_EQ(tally.event_free_years, 5);
  EXPECT_EQ(tally.deficit_hours, 0);
}

// Reading r reads the last r unit blocks an hour late.
TEST(LapStoreTest, ReadingsTakeTheLastBlocksAnHourLate) {
  std::array<int32_t, kUnitBlocks> before{}, now{};
  now[0] = 276;     // Block 0 went down: never read late.
  before[10] = 22;  // Block 10 came up: late in readings 1 and on.
  now[9] = 5;       // Block 9 went down: late in readings 2 and on.
  const Readings r = ReadingsOf(before, now);
  EXPECT_EQ(r[0], kInstalledCapacity - 281);
  EXPECT_EQ(r[1], kInstalledCapacity - 281 - 22);
  for (int i = 2; i < kReadings; ++i) {
    EXPECT_EQ(r[i], kInstalledCapacity - 276 - 22) << i;
  }
}

TEST(FleetLapTest, LapsMakeTheGeneratorsCycle) {
  EXPECT_EQ(kLapHours, 195225786);
  EXPECT_EQ(LapShift(kUnitBlocks), kCycleHours);
  EXPECT_EQ(kMostYearsPerLap, 22287);
  EXPECT_EQ(FirstLateBlock(0), kUnitBlocks);  // No block is read late.
  EXPECT_EQ(FirstLateBlock(1), 9);
  EXPECT_EQ(ReadingOfLap(1), kUnitBlocks - FirstLateBlock(1));
  for (int64_t lap = 0; lap < 40; ++lap) {
    EXPECT_EQ(LapOfHour(LapShift(lap)), lap);
    EXPECT_EQ(LapOfHour(LapShift(lap + 1) - 1), lap);
  }
}

}  // namespace
}  // namespace adequacy
