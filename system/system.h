// A power system as its file describes it: a fleet of two-state units, a
// chronological hourly load and the variable generation that offsets it.
#ifndef ADEQUACY_SYSTEM_SYSTEM_H_
#define ADEQUACY_SYSTEM_SYSTEM_H_

#include <cstdint>
#include <string>
#include <vector>

#include "model/capacity_table.h"

namespace adequacy {

// `count` identical units.  The outage rate is what the direct solution
// needs; the failure and repair times are for a simulation.
struct UnitGroup {
  std::string name;
  int64_t count = 0;
  int32_t capacity_mw = 0;
  double forced_outage_rate = 0.0;
  double mean_time_to_failure_hours = 0.0;  // 0 where the rate was given.
  double mean_repair_hours = 0.0;
};

// Variable generation, MW in each hour of the load.
struct Profile {
  std::string name;
  std::vector<double> mw;
};

struct System {
  std::string name;
  std::string file;  // The system file, as it was named.
  std::vector<UnitGroup> units;
  std::vector<double> load;  // MW in each hour, a whole number of days.
  std::vector<Profile> profiles;

  int64_t unit_count() const;
  int64_t installed_mw() const;
  std::vector<UnitKind> unit_kinds() const;
};

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_SYSTEM_H_
