#include "montecarlo/areas/areas_sample.h"

namespace adequacy {

// Paired as a fleet with storage is with the same fleet without it: the
// pair's first member is the control.
AreasSample::AreasSample(size_t areas, size_t ties, int64_t hours, bool by_hour,
                         int64_t series_hours, size_t devices)
    : system_(hours, true, by_hour, series_hours),
      areas_(areas, PairedSample(hours, true, by_hour, series_hours)),
      at_limit_(2 * ties, 0),
      discharged_mwh_(devices, 0.0) {}

void AreasSample::Add(const AreasYear& year) {
  system_.Add(year.islands, year.system, year.copper_plate);
  for (size_t a = 0; a < areas_.size(); ++a) {
    areas_[a].Add(year.alone[a], year.areas[a]);
  }
  for (size_t i = 0; i < at_limit_.size(); ++i)
    at_limit_[i] += year.at_limit[i];
  for (size_t d = 0; d < discharged_mwh_.size(); ++d) {
    discharged_mwh_[d] += year.discharged_mwh[d];
  }
}

void AreasSample::Merge(const AreasSample& other) {
  system_.Merge(other.system_);
  for (size_t a = 0; a < areas_.size(); ++a) areas_[a].Merge(other.areas_[a]);
  for (size_t i = 0; i < at_limit_.size(); ++i) {
    at_limit_[i] += other.at_limit_[i];
  }
  for (size_t d = 0; d < discharged_mwh_.size(); ++d) {
    discharged_mwh_[d] += other.discharged_mwh_[d];
  }
}

}  // namespace adequacy
