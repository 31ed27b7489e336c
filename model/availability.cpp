#include "model/availability.h"

#include "model/convolution.h"

namespace adequacy {

AvailabilityTable::AvailabilityTable() {
  p_.fill(0.0);
  p_[0] = 1.0;
}

void AvailabilityTable::Build(int blocks) {
  for (int block = 1; block <= blocks; ++block) {
    const int32_t top = kBlockCapacity * block;
    for (const UnitType& type : kUnitTypeTable) {
      // P(0) is never updated and stays exactly 1, the value below it.
      ConvolveUnit(p_.data(), top, 1, type.capacity_mw, type.forced_outage_rate,
                   1.0);
    }
  }
}

}  // namespace adequacy
