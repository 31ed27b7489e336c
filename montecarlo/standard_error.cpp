#include "montecarlo/standard_error.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "montecarlo/lap_blocks.h"

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
                    const std::vector<int64_t>& block_years, double most) {
  Interval interval;
  interval.estimate = estimate;
  const double n = static_cast<double>(stats.years());
  const double mean = n > 0.0 ? stats.Sum(figure) / n : kNotKnown;
  interval.naive_standard_error =
      std::sqrt(YearVariance(stats, figure, mean) / n);
  const int f = static_cast<int>(figure);
  double spread = 0.0;
  int blocks = 0;
  for (int b = 0; b < kLapBlocks; ++b) {
    if (block_years[b] == 0) continue;
    const double d =
        stats.block_sums()[b][f] - static_cast<double>(block_years[b]) * mean;
    spread += d * d;
    ++blocks;
  }
  interval.standard_error =
      blocks < 2 ? kNotKnown : std::sqrt(spread * blocks / (blocks - 1.0)) / n;
  const double half = interval.half_width();
  interval.low = std::clamp(estimate - half, 0.0, most);
  interval.high = std::clamp(estimate + half, 0.0, most);
  if (std::isnan(half)) interval.low = interval.high = kNotKnown;
  return interval;
}

}  // namespace

EstimateIntervals IntervalsOf(const Estimates& estimates,
                              const YearStatistics& stats) {
  const std::vector<int64_t> block_years =
      LapBlockYears(stats.first_year(), stats.end_year());
  constexpr double kNoLimit = std::numeric_limits<double>::infinity();
  return {
      IntervalOf(estimates.lolh, YearFigure::kDeficitHours, stats, block_years,
                 kNoLimit),
      IntervalOf(estimates.lolev, YearFigure::kEvents, stats, block_years,
                 kNoLimit),
      IntervalOf(estimates.alolp, YearFigure::kHadDeficit, stats, block_years,
                 1.0),
      IntervalOf(estimates.mwheue, YearFigure::kUnservedMwh, stats, block_years,
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
