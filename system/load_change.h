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

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_LOAD_CHANGE_H_
