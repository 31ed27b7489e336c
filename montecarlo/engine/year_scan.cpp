#include "montecarlo/engine/year_scan.h"

#include "model/fleet.h"

namespace adequacy {

YearScanner::YearScanner(const DeficitFinder& finder)
    : year_peak_(finder.peak()) {
  for (int bucket = 0; bucket < kBuckets; ++bucket) {
    bucket_peak_[bucket] =
        finder.PeakOf(BucketStart(bucket), BucketLength(bucket));
  }
}

void YearScanner::OpenBuckets(std::span<int32_t* const> rows, bool year_peak,
                              std::vector<uint16_t>* open) const {
  open->clear();
  int32_t down_mw = 0;
  for (int bucket = 0; bucket < kBuckets; ++bucket) {
    for (int32_t* row : rows) {
      down_mw += row[bucket];
      row[bucket] = 0;
    }
    if (!Served(kInstalledCapacity - down_mw, PeakOf(bucket, year_peak))) {
      open->push_back(static_cast<uint16_t>(bucket));
    }
  }
  for (int32_t* row : rows) row[kBuckets] = 0;
}

void YearScanner::ScanBucket(int bucket, const int32_t* down_mw, bool year_peak,
                             std::vector<CapacityRun>* runs) const {
  const double peak = PeakOf(bucket, year_peak);
  const int first = BucketStart(bucket);
  const int hours = BucketLength(bucket);
  for (int i = 0; i < hours;) {
    const int32_t available = kInstalledCapacity - down_mw[i];
    int end = i + 1;
    while (end < hours && down_mw[end] == down_mw[i]) ++end;
    if (!Served(available, peak)) {
      runs->push_back({static_cast<uint16_t>(first + i),
                       static_cast<uint16_t>(end - i),
                       static_cast<uint16_t>(available)});
    }
    i = end;
  }
}

}  // namespace adequacy
