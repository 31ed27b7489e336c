// Simulated years of a system of areas, gathered: the system's and each
// area's figures, each estimated with its own years on their own (every
// tie at 0) as the control, and the system's with its copper plate too,
// whose expectations the direct solution has exactly for any number of
// areas; and how often each tie was at its limit while some area was
// short.
#ifndef ADEQUACY_MONTECARLO_AREAS_AREAS_SAMPLE_H_
#define ADEQUACY_MONTECARLO_AREAS_AREAS_SAMPLE_H_

#include <cstdint>
#include <vector>

#include "montecarlo/areas/areas_year.h"
#include "montecarlo/statistics/paired_sample.h"

namespace adequacy {

class AreasSample {
 public:
  // `by_hour` keeps each hour's unserved MW and short years of the system
  // and of each area, over `series_hours` hours where there are weather
  // years.
  AreasSample(size_t areas, size_t ties, int64_t hours, bool by_hour = false,
              int64_t series_hours = 0, size_t devices = 0);

  void Add(const AreasYear& year);
  // Adds another sample's years after this one's.
  void Merge(const AreasSample& other);

  int64_t years() const { return system_.years(); }
  // The system's years paired with the islands' (some area short on its
  // own) and the copper plate's, and each area's with its own alone.
  const PairedSample& system() const { return system_; }
  const PairedSample& area(size_t a) const { return areas_[a]; }
  size_t area_count() const { return areas_.size(); }
  // Of tie t, the system's deficit hours of all years at its limit from
  // its first area to its second (`way` 0) and back (1).
  int64_t at_limit(size_t t, int way) const {
    return at_limit_[2 * t + static_cast<size_t>(way)];
  }
  // Device d's MWh given over all years, the devices in file order.
  double discharged_mwh(size_t d) const { return discharged_mwh_[d]; }

 private:
  PairedSample system_;
  std::vector<PairedSample> areas_;
  std::vector<int64_t> at_limit_;
  std::vector<double> discharged_mwh_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_AREAS_SAMPLE_H_
