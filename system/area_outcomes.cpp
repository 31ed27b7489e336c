#include "system/area_outcomes.h"

namespace adequacy {

std::vector<AreaOutcome> AreaOutcomes(const System& system) {
  size_t count = 1;
  for (const Area& area : system.areas) {
    if (!area.uncertainty.empty()) count = area.uncertainty.size();
  }
  std::vector<AreaOutcome> outcomes(count);
  for (size_t k = 0; k < count; ++k) {
    for (const Area& area : system.areas) {
      if (area.uncertainty.empty()) {
        outcomes[k].multipliers.push_back(1.0);
        continue;
      }
      outcomes[k].probability = area.uncertainty[k].probability;
      outcomes[k].multipliers.push_back(area.uncertainty[k].multiplier);
    }
  }
  return outcomes;
}

bool LoadsAsGiven(const System& system) {
  for (const Area& area : system.areas) {
    if (area.added_mw != 0.0) return false;
    for (const LoadScenario& outcome : area.uncertainty) {
      if (outcome.multiplier != 1.0) return false;
    }
  }
  return true;
}

System AtOutcome(const System& system, const AreaOutcome& outcome) {
  System at = system;
  bool changed = false;
  for (size_t a = 0; a < at.areas.size(); ++a) {
    Area& area = at.areas[a];
    const double m = outcome.multipliers[a];
    if (m == 1.0 && area.added_mw == 0.0) continue;
    changed = true;
    for (double& mw : area.load) mw = m * mw + area.added_mw;
    area.added_mw = 0.0;
  }
  if (!changed) return at;
  at.load.assign(at.areas.front().load.size(), 0.0);
  for (const Area& area : at.areas) {
    for (size_t hour = 0; hour < area.load.size(); ++hour) {
      at.load[hour] += area.load[hour];
    }
  }
  return at;
}

}  // namespace adequacy
