#include "capacity/simulated_search.h"

#include <algorithm>
#include <cmath>

#include "montecarlo/statistics/standard_error.h"

namespace adequacy {
namespace {

// The most doublings of the step before the search gives up, and the most
// steps of the narrowing.
constexpr int kMostDoublings = 30;
constexpr int kMostSteps = 100;

}  // namespace

SampleFigure FigureOf(RiskIndex index) {
  switch (index) {
    case RiskIndex::kLolh:
      return SampleFigure::kDeficitHours;
    case RiskIndex::kEue:
      return SampleFigure::kUnservedMwh;
    case RiskIndex::kLole:
      break;
  }
  return SampleFigure::kPeakDeficits;
}

Estimated SimulatedLargest(const EstimatedIndex& index_at, double value,
                           double from, double step, double least,
                           double tolerance, double slope_step) {
  // Below `value` at `low`, at or above it at `high`.
  double low = from;
  SampleInterval at_low = index_at(low);
  Estimated answer;
  answer.at = from;
  double high = 0.0;
  double at_high = 0.0;
  if (at_low.estimate >= value) {
    if (!(least < from)) return answer;  // No load can be added.
    // Downwards: the load taken away until the index is below the value.
    high = low;
    at_high = at_low.estimate;
    double down = step;
    for (int i = 0; at_low.estimate >= value && i < kMostDoublings; ++i) {
      high = low;
      at_high = at_low.estimate;
      low = std::max(least, from - down);
      at_low = index_at(low);
      down *= 2.0;
      if (low == least) break;
    }
    if (at_low.estimate >= value) {
      answer.fault = NoAnswer::kNoLoad;
      answer.at = low;
      return answer;
    }
  } else {
    high = from + step;
    at_high = index_at(high).estimate;
    for (int i = 0; at_high < value && i < kMostDoublings; ++i) {
      low = high;
      at_low = index_at(low);
      high = from + 2.0 * (high - from);
      at_high = index_at(high).estimate;
    }
    if (at_high < value) {
      answer.fault = NoAnswer::kAnyLoad;
      answer.at = high;
      return answer;
    }
  }
  // False position where it shrinks the bracket well, else halves.
  bool halve = false;
  for (int k = 0; k < kMostSteps && high - low > tolerance; ++k) {
    const double width = high - low;
    double middle = low + width / 2.0;
    if (!halve) {
      const double secant =
          low + (value - at_low.estimate) / (at_high - at_low.estimate) * width;
      middle = std::clamp(secant, low + 0.05 * width, high - 0.05 * width);
    }
    const SampleInterval at_middle = index_at(middle);
    if (at_middle.estimate < value) {
      low = middle;
      at_low = at_middle;
    } else {
      high = middle;
      at_high = at_middle.estimate;
    }
    halve = !halve && high - low > 0.5 * width;
  }
  answer.at = low;
  // The sample's error at the answer over the index's slope around it.
  const double h = std::max(slope_step, 2.0 * tolerance);
  const double below = std::max(least, low - h);
  const double slope = (index_at(low + h).estimate - index_at(below).estimate) /
                       (low + h - below);
  answer.standard_error = slope > 0.0 ? at_low.standard_error / slope : NAN;
  const double half = kNormal95 * answer.standard_error;
  answer.low = std::max(least, answer.at - half);
  answer.high = answer.at + half;
  return answer;
}

}  // namespace adequacy
