// The difference rows of a chunk of years: what the units' walks write and
// the year scan reads.
//
// Each year of a chunk has a row of buckets of 64 hours, and one entry past
// them.  A unit down over a span of hours adds its capacity at the span's
// first bucket and takes it off after its last, so the running sum along
// a row is, in each bucket, the capacity of every unit down at some hour of
// it: the least capacity the bucket can have.
#ifndef ADEQUACY_MONTECARLO_ENGINE_DIFFERENCE_ROWS_H_
#define ADEQUACY_MONTECARLO_ENGINE_DIFFERENCE_ROWS_H_

#include <cstddef>
#include <cstdint>

#include "direct/hourly_load.h"

namespace adequacy {

inline constexpr int kBucketHours = 64;
inline constexpr int kBuckets =
    (kHoursPerYear + kBucketHours - 1) / kBucketHours;
// Entries of one year's row: the buckets, then one past them.
inline constexpr int kRowSize = kBuckets + 1;

// The first hour of a bucket, and its hours: 64, fewer in the last.
constexpr int BucketStart(int bucket) { return bucket * kBucketHours; }
constexpr int BucketLength(int bucket) {
  return kHoursPerYear - BucketStart(bucket) < kBucketHours
             ? kHoursPerYear - BucketStart(bucket)
             : kBucketHours;
}

// Adds a unit of `mw` down over chunk hours [start, end) (counted from its
// first year's first hour, start < end) to the chunk's `rows`.
inline void AddDownToRows(uint32_t start, uint32_t end, int32_t mw,
                          int32_t* rows) {
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

// Adds one unit's spans, which come in increasing order, to a chunk's rows,
// keeping the row of the year they have reached at hand.
class RowWriter {
 public:
  RowWriter(int32_t* rows, int32_t mw) : rows_(rows), row_(rows), mw_(mw) {}

  void AddDown(uint32_t start, uint32_t end) {
    while (start - year_start_ >= kHoursPerYear) {
      year_start_ += kHoursPerYear;
      row_ += kRowSize;
    }
    const uint32_t last = end - 1 - year_start_;
    if (last < kHoursPerYear) {
      row_[(start - year_start_) / kBucketHours] += mw_;
      row_[last / kBucketHours + 1] -= mw_;
    } else {
      AddDownToRows(start, end, mw_, rows_);  // On into later years.
    }
  }

 private:
  int32_t* rows_;
  int32_t* row_;  // The row of the year that starts at `year_start_`.
  uint32_t year_start_ = 0;
  int32_t mw_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_DIFFERENCE_ROWS_H_
