// Capacity availability table: P(x) = probability that at least x MW of the
// fleet are available, for every whole megawatt x from 0 to the installed
// capacity.
#ifndef ADEQUACY_MODEL_AVAILABILITY_H_
#define ADEQUACY_MODEL_AVAILABILITY_H_

#include <array>
#include <cstdint>

#include "model/fleet.h"

namespace adequacy {

class AvailabilityTable {
 public:
  static constexpr int32_t kSize = kInstalledCapacity + 1;

  // Starts as the distribution of an empty fleet: P(0) = 1, all else 0.
  AvailabilityTable();

  // Convolves the first `blocks` unit blocks into the table, in place, the
  // way the full fleet is built (blocks = 11).  Call once on a fresh table.
  void Build(int blocks = kUnitBlocks);

  // P(n) by the table's meaning: 1 for n <= 0, 0 above the installed
  // capacity, so callers never read outside the table.
  double At(int32_t n) const {
    if (n <= 0) return 1.0;
    if (n > kInstalledCapacity) return 0.0;
    return p_[n];
  }

  const std::array<double, kSize>& values() const { return p_; }

 private:
  std::array<double, kSize> p_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MODEL_AVAILABILITY_H_
