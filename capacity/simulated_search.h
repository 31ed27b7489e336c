// The search of the simulated capacity answers: where an estimated index,
// rising with the load, comes to a value.  Every load tried is simulated
// over the same years (the same seed and year numbers, so the same
// outages), so that within one sample the index rises with the load as the
// exact one does and the search is exact for that sample; what is left is
// the sample's own error, carried to the answer through the slope of the
// index around it.
#ifndef ADEQUACY_CAPACITY_SIMULATED_SEARCH_H_
#define ADEQUACY_CAPACITY_SIMULATED_SEARCH_H_

#include <functional>

#include "capacity/carrying.h"
#include "capacity/target.h"
#include "montecarlo/statistics/year_sample.h"

namespace adequacy {

// An answer with its standard error and 95 % interval.
struct Estimated {
  NoAnswer fault = NoAnswer::kNone;
  double at = 0.0;
  double standard_error = 0.0;
  double low = 0.0;
  double high = 0.0;
};

// The simulated figure of a risk index.
SampleFigure FigureOf(RiskIndex index);

// The estimated index at a load `x`.
using EstimatedIndex = std::function<SampleInterval(double x)>;

// The largest x at which `index_at(x)` stays below `value`, to
// `tolerance`: bracketed from `from` upwards by doubling steps that start
// at `step` (and, where `least` is below `from`, downwards likewise, no
// lower than `least`), then narrowed by false position and halving.  At
// `from` already at or above the value and `least` not below it, the
// answer is `from`; beyond every doubling, the last load tried.
Estimated SimulatedLargest(const EstimatedIndex& index_at, double value,
                           double from, double step, double least,
                           double tolerance, double slope_step);

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_SIMULATED_SEARCH_H_
