#include "montecarlo/engine/unit_walk.h"

#include <gtest/gtest.h>

#include <vector>

#include "montecarlo/chain.h"
#include "montecarlo/engine/difference_rows.h"
#include "montecarlo/engine/worker_pool.h"

namespace adequacy {
namespace {

// A unit's down spans over [first, end), hours counted from `first`, by
// stepping its chain hour by hour from hour 0 up, as the plain loop does.
std::vector<DownSpan> SpansHourByHour(int unit, const TypeThresholds& type,
                                      int64_t first, int64_t end) {
  std::vector<DownSpan> spans;
  bool down = false;
  int64_t since = 0;
  for (int64_t hour = 0; hour < end; ++hour) {
    const uint32_t seed = SeedOfDraw(DrawOf(unit, hour));
    if (!down && seed <= type.fail) {
      down = true;
      since = hour;
    } else if (down && seed <= type.repair) {
      down = false;
      if (hour > first) {
        spans.push_back({static_cast<uint32_t>(std::max(since, first) - first),
                         static_cast<uint32_t>(hour - first)});
      }
    }
  }
  if (down) {
    spans.push_back({static_cast<uint32_t>(std::max(since, first) - first),
                     static_cast<uint32_t>(end - first)});
  }
  return spans;
}

// Units of several types, each walked over two chunks of 12 years with the
// lists and without: the spans are the chain's, hour by hour, and the rows
// are those of the spans, each bounding the hour after it too.
TEST(UnitWalkTest, SpansAndRowsAreTheChainsHourByHour) {
  const auto types = ThresholdsOf(SetUpChainParameters());
  const StreamScanner scanner = BestScanner();
  const UnitWalk walk(types, scanner);
  constexpr int kYears = 12;
  constexpr int64_t kChunkHours = int64_t{kYears} * kHoursPerYear;
  PeriodLists lists(types, scanner);
  WorkerPool pool(1);
  lists.BuildUpTo(2 * kChunkHours, &pool);
  lists.KeepGaps();
  for (PeriodLists* with : {static_cast<PeriodLists*>(nullptr), &lists}) {
    for (int unit : {0, 9, 46, 109}) {
      SCOPED_TRACE(std::string(with ? "lists, unit " : "scans, unit ") +
                   std::to_string(unit));
      const TypeThresholds& type = types[TypeOfUnit(unit)];
      Walker walker = Walker::At(0, kUnitUp);
      for (int64_t first = 0; first < 2 * kChunkHours; first += kChunkHours) {
        std::vector<DownSpan> spans;
        std::vector<int32_t> rows(kYears * kRowSize, 0);
        walk.Walk(unit, with, first, first + kChunkHours, &walker, &spans,
                  rows.data());
        const std::vector<DownSpan> expected =
            SpansHourByHour(unit, type, first, first + kChunkHours);
        ASSERT_EQ(spans.size(), expected.size());
        std::vector<int32_t> expected_rows(kYears * kRowSize, 0);
        const int32_t mw = UnitTypeOf(unit).capacity_mw;
        for (size_t i = 0; i < spans.size(); ++i) {
          EXPECT_EQ(spans[i].start, expected[i].start) << i;
          EXPECT_EQ(spans[i].end, expected[i].end) << i;
          const uint32_t end =
              std::min<uint32_t>(expected[i].end + 1, kChunkHours);
          AddDownToRows(expected[i].start, end, mw, expected_rows.data());
        }
        EXPECT_EQ(rows, expected_rows);
        EXPECT_FALSE(spans.empty());
      }
    }
  }
}

}  // namespace
}  // namespace adequacy
