// The hours of simulated years at which capacity may fall short, found from
// the spans of time the units spent down rather than hour by hour.
//
// Available capacity changes only when a unit changes state, and most hours
// have capacity to spare.  Each year is cut into buckets of 64 hours; the
// units down at any time within a bucket bound its capacity from below, and
// a bucket whose bound covers its largest load is served throughout.  Only
// the other buckets are evaluated hour by hour, and their hours short of
// that load are passed on as runs of one capacity.  Where the history
// is kept for later laps, every bucket is held to the year's largest
// load instead, so that the runs serve any calendar.
//
// The bound comes from difference rows, one row of buckets per year of a
// chunk of years: a unit down during a span adds its capacity at the span's
// first bucket and takes it off after its last.
#ifndef ADEQUACY_MONTECARLO_YEAR_SCAN_H_
#define ADEQUACY_MONTECARLO_YEAR_SCAN_H_

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/deficit_finder.h"

namespace adequacy {

class YearScanner {
 public:
  static constexpr int kBucketHours = 64;
  static constexpr int kBuckets =
      (kHoursPerYear + kBucketHours - 1) / kBucketHours;
  // Entries of one year's difference row: the buckets, then one past them.
  static constexpr int kRowSize = kBuckets + 1;

  // Capacity down, MW, in each of `hours` hours of a year from `first`.
  using DownHours = std::function<void(int first, int hours, int32_t* down_mw)>;

  explicit YearScanner(const DeficitFinder& finder);

  // Adds a unit of `mw` down for hours [start, end) of a chunk (counted from
  // its first year's first hour, start < end) to the chunk's rows.
  static void AddDown(uint32_t start, uint32_t end, int32_t mw, int32_t* rows) {
    uint32_t year = start / kHoursPerYear;
    uint32_t first = start - year * kHoursPerYear;
    for (;;) {
      int32_t* row = rows + static_cast<size_t>(year) * kRowSize;
      row[first / kBucketHours] += mw;
      const uint32_t last = end - year * kHoursPerYear - 1;
      if (last < kHoursPerYear) {
        row[last / kBucketHours + 1] -= mw;
        return;
      }
      // The span runs on into the next year.
      row[kBuckets] -= mw;
      ++year;
      first = 0;
    }
  }

  // The year whose difference rows (one or more, summed) are `rows`, with
  // `down` for the exact capacity of any bucket the rows cannot clear.
  // Appends its short hours, in order, to *runs: those short of their
  // bucket's largest load, or of the year's where `year_peak`.  Leaves the
  // rows zero for the next chunk.
  void Scan(std::span<int32_t* const> rows, const DownHours& down,
            bool year_peak, std::vector<CapacityRun>* runs) const;

 private:
  // Passes on the short hours of one bucket.
  void ScanBucket(int bucket, double peak, const DownHours& down,
                  std::vector<CapacityRun>* runs) const;

  double year_peak_;
  // The largest load of every bucket, +infinity where one is not a number
  // (no capacity serves it).
  std::array<double, kBuckets> bucket_peak_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_YEAR_SCAN_H_
