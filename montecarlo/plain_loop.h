// The simulated year as the plain loop, unit by unit and hour by hour.  It
// is the reference that every faster engine must reproduce bit for bit.
#ifndef ADEQUACY_MONTECARLO_PLAIN_LOOP_H_
#define ADEQUACY_MONTECARLO_PLAIN_LOOP_H_

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"
#include "montecarlo/statistics/tally.h"

namespace adequacy {

// Simulates one year.  `tally`, if given, is told the year's deficit hours
// and counts, as the faster engines tell theirs.
void SimulatePlainYear(const ChainParameters& params, const HourlyLoads& loads,
                       ChainState* state, YearsTally* tally = nullptr);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_PLAIN_LOOP_H_
