// A unit's state at any hour, from the draws of its stream alone.
//
// A seed at or below the failure threshold changes a unit's state either
// way (the failure threshold lies below the repair threshold); a seed above
// it and at or below the repair threshold leaves the unit up, whatever its
// state before; any other seed leaves the state as it is.  So the state
// after an hour is up, changed once for every seed at or below the failure
// threshold since the last seed that left the unit up, or since the start,
// when every unit was up.  A replayed lap gives the fleet's capacity but
// not its units; this gives the units.
#ifndef ADEQUACY_MONTECARLO_ENGINE_STATE_FROM_DRAWS_H_
#define ADEQUACY_MONTECARLO_ENGINE_STATE_FROM_DRAWS_H_

#include <cstdint>

#include "montecarlo/engine/period_lists.h"
#include "montecarlo/engine/stream_scan.h"

namespace adequacy {

// The state of `unit` after its draw at `hour` (kUnitUp or kUnitDown).
// Needs `thresholds.fail` <= `thresholds.repair`.
int32_t StateFromDraws(int unit, int64_t hour, const TypeThresholds& thresholds,
                       const StreamScanner& scanner);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_STATE_FROM_DRAWS_H_
