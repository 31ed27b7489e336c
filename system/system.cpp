#include "system/system.h"

namespace adequacy {

int64_t System::unit_count() const {
  int64_t count = 0;
  for (const UnitGroup& group : units) count += group.count;
  return count;
}

int64_t System::installed_mw() const {
  int64_t installed = 0;
  for (const UnitGroup& group : units) {
    installed += group.count * group.capacity_mw;
  }
  return installed;
}

std::vector<UnitKind> System::unit_kinds() const {
  std::vector<UnitKind> kinds;
  kinds.reserve(units.size());
  for (const UnitGroup& group : units) {
    kinds.push_back({group.capacity_mw, group.forced_outage_rate, group.count});
  }
  return kinds;
}

}  // namespace adequacy
