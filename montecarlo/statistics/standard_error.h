// How far to trust the estimates: a standard error and a 95 % interval for
// each.
//
// The error is taken from the spread of the lap groups' sums (see
// lap_groups.h), each group one sample.  Within the fleet's first lap the
// years are close to independent (their lag-one correlation is near 0),
// and groups of 16 consecutive years give the usual error of a mean.
// After it, the years of one group reuse one stretch of the fleet's
// history, so their figures move together; a group holds all the uses of
// its stretch, and the spread of whole groups keeps that in the error,
// which then stops shrinking like one over the root of the years, as the
// error of years assumed independent would.
#ifndef ADEQUACY_MONTECARLO_STATISTICS_STANDARD_ERROR_H_
#define ADEQUACY_MONTECARLO_STATISTICS_STANDARD_ERROR_H_

#include "montecarlo/estimates.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {

// The normal distribution's two-sided 95 % point.
inline constexpr double kNormal95 = 1.959963984540054;

struct Interval {
  double estimate = 0.0;
  double standard_error = 0.0;
  // The error were every year an independent sample.
  double naive_standard_error = 0.0;
  // estimate -/+ kNormal95 standard errors, kept within the values the
  // figure can take.
  double low = 0.0;
  double high = 0.0;

  double half_width() const { return kNormal95 * standard_error; }
};

struct EstimateIntervals {
  Interval lolh;
  Interval lolev;
  Interval alolp;
  Interval mwheue;
};

// The intervals of `estimates`, which are the averages of the years of
// `stats`.  With fewer than two groups of years the errors are NaN.
EstimateIntervals IntervalsOf(const Estimates& estimates,
                              const YearStatistics& stats);

// The correlation of one year's figure with the next year's.
double LagOneCorrelation(const YearStatistics& stats, YearFigure figure);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_STATISTICS_STANDARD_ERROR_H_
