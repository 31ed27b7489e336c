#include "montecarlo/engine/period_lists.h"

#include <gtest/gtest.h>

#include "montecarlo/chain.h"

namespace adequacy {
namespace {

// 2^32 = 110 * 39,045,157 + 26: one period on, the draw of unit u at hour t
// is read by unit u + 26 at hour t + 39,045,157 (an hour later again when
// the unit number passes 110), at the same position of the period.
TEST(PeriodListsTest, OnePeriodOnTheUnitsShiftBy26) {
  for (int unit : {0, 25, 83, 84, 109}) {
    for (int64_t hour : {int64_t{0}, int64_t{12345}, int64_t{39045156}}) {
      const int shifted = (unit + 26) % kUnits;
      const int64_t later = hour + 39045157 + (unit + 26 >= kUnits ? 1 : 0);
      const StreamPosition a = PositionOf(unit, hour);
      const StreamPosition b = PositionOf(shifted, later);
      EXPECT_EQ(a.residue, b.residue);
      EXPECT_EQ(a.stretch, b.stretch);
      EXPECT_EQ(a.offset, b.offset);
      EXPECT_EQ(SeedOfDraw(hour * kUnits + unit),
                SeedOfDraw(later * kUnits + shifted));
    }
  }
  // A residue is read only by units of its parity.
  for (int unit = 0; unit < kUnits; ++unit) {
    for (int64_t hour : {int64_t{0}, int64_t{39045157}, int64_t{123456789}}) {
      EXPECT_EQ(PositionOf(unit, hour).residue % 2, unit % 2u);
    }
  }
  // The last stretch of a stream is short, and residues below 26 have one
  // hour more in a period.
  EXPECT_EQ(PositionOf(0, 39045157).stretch, kStretches - 1);
  EXPECT_EQ(PositionOf(0, 39045158).residue, 84u);
  EXPECT_EQ(PositionOf(0, 39045158).offset, 0u);
  EXPECT_EQ(PositionOf(30, 39045156).length,
            39045157 - (kStretches - 1) * kStretchHours);
}

// Every hour of a stream whose seed is at or below a type's failure
// threshold is in that type's list, and nothing else is; the types of the
// other parity, which never read the stream, have no list.
TEST(PeriodListsTest, ListsHoldExactlyTheFailureDraws) {
  const auto types = ThresholdsOf(SetUpChainParameters());
  PeriodLists lists(types, BestScanner());
  for (uint32_t residue : {0u, 25u, 26u, 109u}) {
    ASSERT_TRUE(lists.Extend(residue, kStretches));
  }
  // A stream's stretches lie one after another in memory.
  const PeriodLists::View first = lists.Lookup(0, 26, 0);
  EXPECT_EQ(lists.Lookup(1, 26, 0).entries, first.entries + first.size);

  for (uint32_t stretch : {0u, 1u, kStretches - 1}) {
    for (uint32_t residue : {0u, 25u, 26u, 109u}) {
      const uint64_t first =
          residue + uint64_t{stretch} * kStretchHours * kUnits;
      const uint32_t hours = PositionOf(static_cast<int>(residue),
                                        static_cast<int64_t>(first / kUnits))
                                 .length;
      for (int type : {0, 4, 7, 8, 9}) {
        const PeriodLists::View list = lists.Lookup(stretch, residue, type);
        if (type % 2u != residue % 2) {
          // Types 8 and 9 (7 and 8 from 0) have the same thresholds and
          // share one list, which both parities read.
          if (type != 7 && type != 8) {
            EXPECT_EQ(list.size, 0u) << type;
          }
          continue;
        }
        uint32_t seed = SeedOfDraw(first);
        uint32_t i = 0;
        for (uint32_t hour = 0; hour < hours; ++hour) {
          if (seed <= types[type].fail) {
            ASSERT_LT(i, list.size);
            EXPECT_EQ(list.entries[i++], hour);
          }
          seed = kHourStep.Apply(seed);
        }
        EXPECT_EQ(i, list.size) << stretch << " " << residue << " " << type;
      }
    }
  }
}

std::array<TypeThresholds, kUnitTypes> FleetThresholds() {
  return ThresholdsOf(SetUpChainParameters());
}

// Where the scanner finds repairs beside failures, every entry's gap is
// known as the list is built, and is the hours to the first later seed at
// or below its type's repair threshold, as the walk would look for it;
// only an entry whose repair lies beyond the end of its stretch keeps it
// unknown.
TEST(PeriodListsTest, GapsFoundAsTheListsAreBuiltAreTheRepairs) {
  const std::array<TypeThresholds, kUnitTypes> types = FleetThresholds();
  const StreamScanner plain = PlainScanner();
  for (const StreamScanner& scanner :
       {BestScanner(),
        StreamScanner{plain.find_first, plain.collect, &PlainCollectGaps}}) {
    if (!scanner.collect_gaps) continue;
    PeriodLists lists(types, scanner);
    ASSERT_TRUE(lists.keeps_gaps());
    for (uint32_t residue : {0u, 51u, 108u, 109u}) {
      ASSERT_TRUE(lists.Extend(residue, 3));
      for (uint32_t stretch = 0; stretch < 3; ++stretch) {
        const uint64_t first =
            residue + uint64_t{stretch} * kStretchHours * kUnits;
        for (int type = static_cast<int>(residue % 2); type < kUnitTypes;
             type += 2) {
          const PeriodLists::View list = lists.Lookup(stretch, residue, type);
          int unknown = 0;
          for (uint32_t i = 0; i < list.size; ++i) {
            const uint32_t hour = list.entries[i];
            const uint32_t left = kStretchHours - hour - 1;
            const uint32_t found = PlainScanner().find_first(
                SeedOfDraw(first + (uint64_t{hour} + 1) * kUnits), left,
                types[type].repair);
            const uint16_t gap = LoadGap(lists.GapOf(list.entries + i));
            if (found == left) {
              EXPECT_EQ(gap, kGapUnknown) << residue << " " << hour;
              ++unknown;
            } else {
              EXPECT_EQ(gap, found + 1) << residue << " " << hour;
            }
          }
          EXPECT_LE(unknown, 2) << residue << " " << type;
        }
      }
    }
  }
}

// A scanner that finds no repairs beside failures: gaps are kept only once
// asked for, and then every entry has its own, unknown until found.
TEST(PeriodListsTest, GapsAreKeptOnceAskedFor) {
  PeriodLists lists(FleetThresholds(), PlainScanner());
  ASSERT_TRUE(lists.Extend(26, 8));
  ASSERT_TRUE(lists.Extend(109, 8));
  const PeriodLists::View first = lists.Lookup(0, 26, 0);
  const PeriodLists::View other = lists.Lookup(7, 109, 1);
  ASSERT_GT(first.size, 1u);
  ASSERT_GT(other.size, 0u);
  EXPECT_FALSE(lists.keeps_gaps());
  EXPECT_EQ(lists.GapOf(first.entries), nullptr);
  const size_t bytes = lists.bytes();
  ASSERT_TRUE(lists.KeepGaps());
  uint16_t* gap = lists.GapOf(first.entries);
  ASSERT_NE(gap, nullptr);
  EXPECT_EQ(LoadGap(gap), kGapUnknown);
  StoreGap(gap, 120);
  EXPECT_EQ(LoadGap(lists.GapOf(first.entries)), 120);
  EXPECT_EQ(LoadGap(lists.GapOf(first.entries + 1)), kGapUnknown);
  EXPECT_EQ(LoadGap(lists.GapOf(other.entries)), kGapUnknown);
  EXPECT_GT(lists.bytes(), bytes);
  // The gaps are given back where memory runs short, for good.
  EXPECT_TRUE(lists.DropGaps());
  EXPECT_EQ(lists.GapOf(first.entries), nullptr);
  EXPECT_EQ(lists.bytes(), bytes);
  EXPECT_FALSE(lists.KeepGaps());
  EXPECT_FALSE(lists.DropGaps());
}

}  // namespace
}  // namespace adequacy
