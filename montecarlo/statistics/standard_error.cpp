#include "montecarlo/statistics/standard_error.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "montecarlo/statistics/lap_groups.h"

namespace adequacy {
namespace {

constexpr double kNotKnown = std::numeric_limits<double>::quiet_NaN();

// The variance of one year's figure about the mean `mean`, with n - 1
// degrees of freedom.
double YearVariance(const YearStatistics& stats, YearFigure figure,
                    double mean) {
  const double n = static_cast<double>(stats.years());
  if (n < 2.0) return kNotKnown;
  const double spread = stats.SumOfSquares(figure) - stats.Sum(figure) * mean;
  return std::max(0.0, spread) / (n - 1.0);
}

Interval IntervalOf(double estimate, YearFigure figure,
                    const YearStatistics& stats,
                    const std::vector<int64_t>& group_years, double most) {
  Interval interval;
  interval.estimate = estimate;
  const double n = static_cast<double>(stats.years());
  const double mean = n > 0.0 ? stats.Sum(figure) / n : kNotKnown;
  interval.naive_standard_error =
      std::sqrt(YearVariance(stats, figure, mean) / n);
  const int f = static_cast<int>(figure);
  double spread = 0.0;
  int groups = 0;
  for (int b = 0; b < kLapGroups; ++b) {
    if (group_years[b] == 0) continue;
    const double d =
        stats.group_sums()[b][f] - static_cast<double>(group_years[b]) * mean;
    spread += d * d;
    ++groups;
  }
  interval.standard_error =
      groups < 2 ? kNotKnown : std::sqrt(spread * groups / (groups - 1.0)) / n;
  const double half = interval.half_width();
  interval.low = std::clamp(estimate - half, 0.0, most);
  interval.high = std::clamp(estimate + half, 0.0, most);
  if (std::isnan(half)) interval.low = interval.high = kNotKnown;
  return interval;
}

}  // namespace

EstimateIntervals IntervalsOf(const Estimates& estimates,
                              const YearStatistics& stats) {
  const std::vector<int64_t> group_years =
      LapGroupYears(stats.first_year(), stats.end_year());
  constexpr double kNoLimit = std::numeric_limits<double>::infinity();
  return {
      IntervalOf(estimates.lolh, YearFigure::kDeficitHours, stats, group_years,
                 kNoLimit),
      IntervalOf(estimates.lolev, YearFigure::kEvents, stats, group_years,
                 kNoLimit),
      IntervalOf(estimates.alolp, YearFigure::kHadDeficit, stats, group_years,
                 1.0),
      IntervalOf(estimates.mwheue, YearFigure::kUnservedMwh, stats, group_years,
                 kNoLimit),
  };
}

double LagOneCorrelation(const YearStatistics& stats, YearFigure figure) {
  const double n = static_cast<double>(stats.years());
  if (n < 3.0) return kNotKnown;
  const double mean = stats.Sum(figure) / n;
  const double variance = YearVariance(stats, figure, mean);
  const double covariance =
      stats.SumOfLagProducts(figure) / (n - 1.0) - mean * mean;
  return covariance / variance;
}

}  // namespace adequacy
