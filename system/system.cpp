#include "system/system.h"

#include <algorithm>

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

bool Combine(const System& base, const System& additions, System* combined,
             double* installed_mw) {
  *combined = base;
  *installed_mw = 0.0;
  for (const UnitGroup& group : additions.units) {
    combined->units.push_back(group);
    *installed_mw += static_cast<double>(group.count) * group.capacity_mw;
  }
  for (const Profile& profile : additions.profiles) {
    combined->profiles.push_back(profile);
    *installed_mw += *std::max_element(profile.mw.begin(), profile.mw.end());
  }
  for (const StorageDevice& device : additions.storage) {
    combined->storage.push_back(device);
  }
  return InstalledWithinLimits(combined->unit_kinds()) >= 0;
}

}  // namespace adequacy
