// The half-widths of the 95 % intervals, shown under a checkpoint record on
// a terminal.  It is not a record: it goes to standard error only, so the
// console output and OP are the same with or without it.
#ifndef ADEQUACY_REPORT_INTERVAL_LINE_H_
#define ADEQUACY_REPORT_INTERVAL_LINE_H_

#include <string>

#include "montecarlo/statistics/standard_error.h"

namespace adequacy {

// " 95% +/-   0.012345   0.004321   0.001234     3.456" and a line feed:
// each half-width in the columns and decimals of its estimate in the
// checkpoint record.
std::string IntervalLine(const EstimateIntervals& intervals);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_INTERVAL_LINE_H_
