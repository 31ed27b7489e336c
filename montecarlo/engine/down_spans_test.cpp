#include "montecarlo/engine/down_spans.h"

#include <gtest/gtest.h>

namespace adequacy {
namespace {

// Units of three blocks with spans across the edges of the hours asked for
// and inside them: each block's down hour by hour, from the hour before,
// and the fleet's, are what a brute-force count of the spans gives.
TEST(DownSpansTest, BlockHoursAddUpToTheFleetsAndTheSpans) {
  DownSpans spans;
  *spans.of(3) = {{0, 5}, {60, 70}, {100, 300}};
  *spans.of(27) = {{63, 64}, {64, 66}, {127, 129}};
  *spans.of(109) = {{10, 200}};
  *spans.of(100) = {{129, 140}};
  auto brute = [&](int unit, uint32_t hour) {
    for (const DownSpan& s : *spans.of(unit)) {
      if (s.start <= hour && hour < s.end) return true;
    }
    return false;
  };
  DownSpans::Cursors totals, by_block;
  spans.Seek(0, &totals);
  spans.Seek(0, &by_block);
  for (uint32_t first = 0; first < 256; first += 64) {
    int32_t down_mw[DownSpans::kMostHours];
    spans.DownHours(first, 64, &totals, down_mw);
    DownSpans::BlockChanges blocks;
    spans.BlockDownHours(first, 64, &by_block, &blocks);
    std::array<int32_t, kUnitBlocks> down{};
    for (int e = 0; e <= 64; ++e) {
      int32_t total = 0;
      for (int b = 0; b < kUnitBlocks; ++b) {
        down[b] += blocks.change[e][b];
        total += down[b];
      }
      if (e == 0 && first == 0) continue;  // Before the chunk.
      const uint32_t hour = first - 1 + e;
      int32_t expected = 0;
      for (int unit : {3, 27, 100, 109}) {
        const int32_t mw = brute(unit, hour) ? UnitTypeOf(unit).capacity_mw : 0;
        EXPECT_EQ(spans.DownDuring(unit, hour), mw > 0) << unit << " " << hour;
        expected += mw;
      }
      EXPECT_EQ(total, expected) << hour;
      EXPECT_EQ(down[0], brute(3, hour) ? UnitTypeOf(3).capacity_mw : 0);
      EXPECT_EQ(down[2], brute(27, hour) ? UnitTypeOf(27).capacity_mw : 0);
      if (e == 0) continue;
      EXPECT_EQ(down_mw[e - 1], expected) << hour;
      if (!blocks.changed[e]) {
        EXPECT_EQ(brute(3, hour), brute(3, hour - 1)) << hour;
      }
    }
  }
}

}  // namespace
}  // namespace adequacy
