#include "model/availability.h"

namespace adequacy {

AvailabilityTable::AvailabilityTable() {
  p_.fill(0.0);
  p_[0] = 1.0;
}

void AvailabilityTable::Build(int blocks) {
  for (int block = 1; block <= blocks; ++block) {
    const int32_t top = kBlockCapacity * block;
    for (const UnitType& type : kUnitTypeTable) {
      const double q = type.forced_outage_rate;
      const double available = 1.0 - q;
      // Descending x keeps P(x - cap) at its value from before this unit;
      // P(0) is never updated and stays exactly 1.
      for (int32_t x = top; x >= 1; --x) {
        const int32_t below = x - type.capacity_mw;
        const double p_below = below > 0 ? p_[below] : p_[0];
        p_[x] = q * p_[x] + available * p_below;
      }
    }
  }
}

}  // namespace adequacy
