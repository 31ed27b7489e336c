#include "montecarlo/year_scan.h"

#include <algorithm>

#include "model/fleet.h"

namespace adequacy {

YearScanner::YearScanner(const DeficitFinder& finder)
    : year_peak_(finder.peak()) {
  for (int bucket = 0; bucket < kBuckets; ++bucket) {
    const int first = bucket * kBucketHours;
    bucket_peak_[bucket] =
        finder.PeakOf(first, std::min(kBucketHours, kHoursPerYear - first));
  }
}

void YearScanner::Scan(std::span<int32_t* const> rows, const DownHours& down,
                       bool year_peak, std::vector<CapacityRun>* runs) const {
  int32_t down_mw = 0;
  for (int bucket = 0; bucket < kBuckets; ++bucket) {
    for (int32_t* row : rows) {
      down_mw += row[bucket];
      row[bucket] = 0;
    }
    const double peak = year_peak ? year_peak_ : bucket_peak_[bucket];
    if (!Served(kInstalledCapacity - down_mw, peak)) {
      ScanBucket(bucket, peak, down, runs);
    }
  }
  for (int32_t* row : rows) row[kBuckets] = 0;
}

void YearScanner::ScanBucket(int bucket, double peak, const DownHours& down,
                             std::vector<CapacityRun>* runs) const {
  const int first = bucket * kBucketHours;
  const int hours = std::min(kBucketHours, kHoursPerYear - first);
  std::array<int32_t, kBucketHours> down_mw;
  down(first, hours, down_mw.data());
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
