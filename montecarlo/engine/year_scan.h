// The hours of simulated years at which capacity may fall short, found from
// the spans of time the units spent down rather than hour by hour.
//
// Available capacity changes only when a unit changes state, and most hours
// have capacity to spare.  A year's difference rows (difference_rows.h)
// bound the capacity of each of its buckets from below, and a bucket whose
// bound covers its largest load is served throughout.  Only the other
// buckets, the open ones, are evaluated hour by hour, from the capacity
// down in each of their hours, which the caller finds from the spans; their
// hours short of that load are passed on as runs of one capacity.  Where
// the history is kept for later laps, every bucket is held to the year's
// largest load instead, so that the runs serve any calendar.
#ifndef ADEQUACY_MONTECARLO_ENGINE_YEAR_SCAN_H_
#define ADEQUACY_MONTECARLO_ENGINE_YEAR_SCAN_H_

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "montecarlo/engine/deficit_finder.h"
#include "montecarlo/engine/difference_rows.h"

namespace adequacy {

class YearScanner {
 public:
  explicit YearScanner(const DeficitFinder& finder);

  // The buckets of the year whose difference rows (one or more, summed)
  // are `rows` that their bound does not clear, in order, to *open; against
  // the year's largest load where `year_peak`.  Leaves the rows zero for
  // the next chunk.
  void OpenBuckets(std::span<int32_t* const> rows, bool year_peak,
                   std::vector<uint16_t>* open) const;

  // Appends the short hours of open bucket `bucket`, in order, to *runs,
  // from the capacity down in each of its hours, `down_mw`: those short of
  // the bucket's largest load, or of the year's where `year_peak`.
  void ScanBucket(int bucket, const int32_t* down_mw, bool year_peak,
                  std::vector<CapacityRun>* runs) const;

 private:
  double PeakOf(int bucket, bool year_peak) const {
    return year_peak ? year_peak_ : bucket_peak_[bucket];
  }

  double year_peak_;
  // The largest load of every bucket, +infinity where one is not a number
  // (no capacity serves it).
  std::array<double, kBuckets> bucket_peak_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_YEAR_SCAN_H_
