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
    UnitKind kind(group.capacity_mw, group.forced_outage_rate, group.count);
    double up = 0.0;
    const std::vector<OutageState> states = OutageStates(group, &up);
    if (!states.empty()) {
      kind.forced_outage_rate = states[0].share;
      for (size_t s = 1; s < states.size(); ++s) {
        kind.derates.push_back({states[s].available_mw, states[s].share});
      }
    }
    kinds.push_back(std::move(kind));
  }
  return kinds;
}

std::vector<OutageState> OutageStates(const UnitGroup& group,
                                      double* up_share) {
  std::vector<OutageState> states;
  *up_share = 1.0 - group.forced_outage_rate;
  if (group.derates.empty()) return states;
  struct Given {
    int32_t mw;
    double share;
    double mttf;
    double mttr;
  };
  std::vector<Given> given = {{0, group.forced_outage_rate,
                               group.mean_time_to_failure_hours,
                               group.mean_repair_hours}};
  for (const Derate& d : group.derates) {
    given.push_back({d.available_mw, d.share, d.mean_time_to_failure_hours,
                     d.mean_repair_hours});
  }
  double shares = 0.0;  // Of the states given by their shares.
  double ratios = 0.0;  // lambda / mu of those given by failure times.
  for (const Given& g : given) {
    if (g.mttf > 0.0) {
      ratios += g.mttr / g.mttf;
    } else {
      shares += g.share;
    }
  }
  const double up = (1.0 - shares) / (1.0 + ratios);
  *up_share = up;
  for (const Given& g : given) {
    OutageState state;
    state.available_mw = g.mw;
    state.leave = 1.0 / g.mttr;
    if (g.mttf > 0.0) {
      state.enter = 1.0 / g.mttf;
      state.share = up * g.mttr / g.mttf;
    } else {
      state.share = g.share;
      state.enter = up > 0.0 ? state.leave * g.share / up : 0.0;
    }
    states.push_back(state);
  }
  return states;
}

std::vector<LoadScenario> NormalScenarios(double s) {
  const double probabilities[] = {0.006, 0.061, 0.242, 0.382,
                                  0.242, 0.061, 0.006};
  std::vector<LoadScenario> scenarios;
  for (int k = -3; k <= 3; ++k) {
    scenarios.push_back({1.0 + k * s, probabilities[k + 3]});
  }
  return scenarios;
}

std::vector<LoadScenario> System::scenarios() const {
  return uncertainty.empty() ? std::vector<LoadScenario>{{1.0, 1.0}}
                             : uncertainty;
}

std::vector<WeatherYear> System::years() const {
  if (!weather_years.empty()) return weather_years;
  return {{"", 0, static_cast<int64_t>(load.size())}};
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
  // A tie between areas already tied adds its limits to that tie; between
  // others it is a new one.  Its rating is the larger of its limits.
  for (const Interface& tie : additions.interfaces) {
    *installed_mw += std::max(tie.forward_mw, tie.backward_mw);
    bool joined = false;
    for (Interface& old : combined->interfaces) {
      if (old.first == tie.first && old.second == tie.second) {
        old.forward_mw += tie.forward_mw;
        old.backward_mw += tie.backward_mw;
        joined = true;
      } else if (old.first == tie.second && old.second == tie.first) {
        old.forward_mw += tie.backward_mw;
        old.backward_mw += tie.forward_mw;
        joined = true;
      }
    }
    if (!joined) combined->interfaces.push_back(tie);
  }
  return InstalledWithinLimits(combined->unit_kinds()) >= 0;
}

}  // namespace adequacy
