// The load a question asks about: the system's load changed for a what-if
// (scaled as a whole, then a constant added to every hour), and the net
// load the fleet must serve once variable generation is taken off.
#ifndef ADEQUACY_SYSTEM_LOAD_CHANGE_H_
#define ADEQUACY_SYSTEM_LOAD_CHANGE_H_

#include <vector>

#include "system/system.h"

namespace adequacy {

struct LoadChange {
  double scale = 1.0;
  double added_mw = 0.0;
};

// Every hour multiplied by `change.scale`, then `change.added_mw` added.
std::vector<double> ChangedLoad(const std::vector<double>& load,
                                const LoadChange& change);

// The load less every profile, hour by hour.
std::vector<double> NetLoad(const std::vector<double>& load,
                            const std::vector<Profile>& profiles);

// The loads and net loads of each of the system's load scenarios under
// `change`: the load scaled by the change, then by the scenario's
// multiplier, then the change's constant added (profiles as they are).
struct ScenarioLoads {
  std::vector<std::vector<double>> loads;
  std::vector<std::vector<double>> net_loads;
  std::vector<double> probabilities;
};
ScenarioLoads LoadsOfScenarios(const System& system, const LoadChange& change);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_LOAD_CHANGE_H_
