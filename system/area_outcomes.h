// The outcomes of the load forecast of a system of areas.  One outcome is
// drawn a year for every area at once, so that neighbouring areas' errors
// go together (a hot summer or a strong economy is everyone's): outcome k
// takes each area's load times its own k-th multiplier, 1 where its load
// is known, and adds its added MW after it.
#ifndef ADEQUACY_SYSTEM_AREA_OUTCOMES_H_
#define ADEQUACY_SYSTEM_AREA_OUTCOMES_H_

#include <vector>

#include "system/system.h"

namespace adequacy {

struct AreaOutcome {
  double probability = 1.0;
  std::vector<double> multipliers;  // Each area's.
};

// The outcomes of `system`, which has areas: one of probability 1, every
// multiplier 1, where every area's load is known.
std::vector<AreaOutcome> AreaOutcomes(const System& system);

// True where `system` has one outcome, every multiplier 1, and no MW to
// add: its loads are the ones to assess.
bool LoadsAsGiven(const System& system);

// `system` at `outcome`: each area's load times its multiplier plus its
// added MW (the load as it is where they are 1 and 0), and the summed load
// of them, with no MW left to add.
System AtOutcome(const System& system, const AreaOutcome& outcome);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_AREA_OUTCOMES_H_
