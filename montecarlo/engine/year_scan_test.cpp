#include "montecarlo/engine/year_scan.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/fleet.h"

namespace adequacy {
namespace {

// A year at 10,000 MW but hours 100-109 at 10,600 MW and hour 8759 at
// 10,700: 500 MW down over bucket 1 (hours 64-127) clears the buckets of
// 10,000 MW only, and 5 MW down over the last hour opens the last bucket
// alone.
HourlyLoads Loads() {
  HourlyLoads loads;
  loads.fill(10000.0f);
  for (int hour = 100; hour < 110; ++hour) loads[hour] = 10600.0f;
  loads[kHoursPerYear - 1] = 10700.0f;
  return loads;
}

TEST(YearScannerTest, OpenBucketsAreThoseTheirBoundCannotClear) {
  const HourlyLoads loads = Loads();
  const DeficitFinder finder(loads);
  const YearScanner scanner(finder);
  // Two threads' rows of one year, summed by the scan.
  std::vector<int32_t> a(kRowSize, 0), b(kRowSize, 0);
  AddDownToRows(70, 90, 300, a.data());
  AddDownToRows(80, 200, 200, b.data());  // Buckets 1 to 3.
  AddDownToRows(kHoursPerYear - 1, kHoursPerYear, 5, a.data());
  std::vector<int32_t*> rows = {a.data(), b.data()};
  std::vector<uint16_t> open;
  scanner.OpenBuckets(rows, false, &open);
  // Bucket 1: 10,203 MW at most, short of 10,600; bucket 3, 10,503
  // against 10,000, is served; the last, 10,698, short of 10,700.
  EXPECT_EQ(open, (std::vector<uint16_t>{1, kBuckets - 1}));
  for (int32_t v : a) EXPECT_EQ(v, 0);  // Left zero for the next chunk.
  for (int32_t v : b) EXPECT_EQ(v, 0);

  // Against the year's largest load, 10,700 MW, a bucket with more than 3
  // MW down is open, wherever it lies, and one with less is not.
  AddDownToRows(70, 90, 300, a.data());
  AddDownToRows(5000, 5001, 5, b.data());
  AddDownToRows(6000, 6001, 3, b.data());
  scanner.OpenBuckets(rows, true, &open);
  EXPECT_EQ(open, (std::vector<uint16_t>{1, 5000 / kBucketHours}));
}

TEST(YearScannerTest, ScanBucketPassesTheShortRunsOn) {
  const HourlyLoads loads = Loads();
  const DeficitFinder finder(loads);
  const YearScanner scanner(finder);
  // Bucket 1 hour by hour: 500 MW down over hours 64-99, 0 over 100-104,
  // 400 over 105-127.
  std::vector<int32_t> down_mw(kBucketHours, 0);
  for (int h = 0; h < 36; ++h) down_mw[h] = 500;
  for (int h = 41; h < kBucketHours; ++h) down_mw[h] = 400;
  std::vector<CapacityRun> runs;
  scanner.ScanBucket(1, down_mw.data(), false, &runs);
  // Against the bucket's largest load, 10,600 MW: 10,203 and 10,303 are
  // short, 10,703 is not.
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].first, 64);
  EXPECT_EQ(runs[0].hours, 36);
  EXPECT_EQ(runs[0].available_mw, 10203);
  EXPECT_EQ(runs[1].first, 105);
  EXPECT_EQ(runs[1].hours, 23);
  EXPECT_EQ(runs[1].available_mw, 10303);
  // The last bucket is shorter than the others.
  EXPECT_EQ(BucketLength(kBuckets - 1),
            kHoursPerYear - BucketStart(kBuckets - 1));
  runs.clear();
  std::vector<int32_t> last(kBucketHours, 0);
  last[BucketLength(kBuckets - 1) - 1] = 5;
  scanner.ScanBucket(kBuckets - 1, last.data(), false, &runs);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].first, kHoursPerYear - 1);
  EXPECT_EQ(runs[0].available_mw, kInstalledCapacity - 5);
}

}  // namespace
}  // namespace adequacy
