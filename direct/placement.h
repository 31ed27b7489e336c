// Planned maintenance placed by the program: each entry without a first
// day goes where it adds the least LOLE to the whole series.
//
// The entries are placed one at a time, the largest MW out (capacity times
// count) first, ties in file order, each at the first day that gives the
// least LOLE (the mean over the weather years and the weighted sum over the
// load's outcomes) given the fixed entries and those placed before it.  A
// day's LOLE depends on its own fleet alone, so each start is judged by the
// sum of what the entry adds to the days it covers.
#ifndef ADEQUACY_DIRECT_PLACEMENT_H_
#define ADEQUACY_DIRECT_PLACEMENT_H_

#include <cstdint>
#include <string>

#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

// Gives every entry of `system` without a first day its day, marked
// placed, against the net loads of `outcomes`.  False, with the entry's
// line and the reason, where no day can take it.
bool PlaceMaintenance(const ScenarioLoads& outcomes, System* system,
                      int64_t* line, std::string* error);

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_PLACEMENT_H_
