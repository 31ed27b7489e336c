#include "system/load_change.h"

namespace adequacy {

std::vector<double> ChangedLoad(const std::vector<double>& load,
                                const LoadChange& change) {
  std::vector<double> changed(load.size());
  for (size_t hour = 0; hour < load.size(); ++hour) {
    changed[hour] = load[hour] * change.scale + change.added_mw;
  }
  return changed;
}

std::vector<double> NetLoad(const std::vector<double>& load,
                            const std::vector<Profile>& profiles) {
  std::vector<double> net = load;
  for (const Profile& profile : profiles) {
    for (size_t hour = 0; hour < net.size(); ++hour) {
      net[hour] -= profile.mw[hour];
    }
  }
  return net;
}

ScenarioLoads LoadsOfScenarios(const System& system, const LoadChange& change) {
  ScenarioLoads out;
  for (const LoadScenario& scenario : system.scenarios()) {
    const LoadChange changed{change.scale * scenario.multiplier,
                             change.added_mw};
    out.loads.push_back(ChangedLoad(system.load, changed));
    out.net_loads.push_back(NetLoad(out.loads.back(), system.profiles));
    out.probabilities.push_back(scenario.probability);
  }
  return out;
}

}  // namespace adequacy
