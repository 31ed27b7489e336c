#include "montecarlo/year_scan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/fleet.h"
#include "montecarlo/chain.h"

namespace adequacy {
namespace {

// The hour test of the plain loop: capacity plus the tolerance, in double
// precision, against the load.
inline bool Served(int32_t available_mw, double load) {
  return static_cast<double>(available_mw) +
             static_cast<double>(kDeficitTolerance) >=
         load;
}

}  // namespace

YearScanner::YearScanner(const HourlyLoads& loads, int32_t slack_mw)
    : loads_(loads), slack_mw_(slack_mw) {
  bucket_peak_.fill(-std::numeric_limits<double>::infinity());
  for (int hour = 0; hour < kHoursPerYear; ++hour) {
    double& peak = bucket_peak_[hour / kBucketHours];
    const double load = loads[hour];
    peak = std::isnan(load) ? std::numeric_limits<double>::infinity()
                            : std::max(peak, load);
  }
}

YearOutcome YearScanner::Scan(std::span<int32_t* const> rows,
                              const DownHours& down,
                              std::vector<Deficit>* deficits) const {
  YearOutcome outcome = {0, 0};
  bool in_event = false;
  int32_t down_mw = slack_mw_;
  for (int bucket = 0; bucket < kBuckets; ++bucket) {
    for (int32_t* row : rows) {
      down_mw += row[bucket];
      row[bucket] = 0;
    }
    if (Served(kInstalledCapacity - down_mw, bucket_peak_[bucket])) {
      in_event = false;
    } else {
      ScanBucket(bucket, down, deficits, &outcome, &in_event);
    }
  }
  for (int32_t* row : rows) row[kBuckets] = 0;
  return outcome;
}

void YearScanner::ScanBucket(int bucket, const DownHours& down,
                             std::vector<Deficit>* deficits,
                             YearOutcome* outcome, bool* in_event) const {
  const int first = bucket * kBucketHours;
  const int hours = std::min(kBucketHours, kHoursPerYear - first);
  std::array<int32_t, kBucketHours> down_mw;
  down(first, hours, down_mw.data());
  for (int i = 0; i < hours; ++i) {
    const int32_t available = kInstalledCapacity - down_mw[i];
    if (Served(available, loads_[first + i])) {
      *in_event = false;
      continue;
    }
    deficits->push_back(
        {static_cast<uint16_t>(first + i), static_cast<uint16_t>(available)});
    ++outcome->deficits;
    if (!*in_event) {
      ++outcome->events;
      *in_event = true;
    }
  }
}

}  // namespace adequacy
