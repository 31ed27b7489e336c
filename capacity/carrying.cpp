#include "capacity/carrying.h"

#include <algorithm>
#include <cmath>

#include "direct/assessment.h"

namespace adequacy {
namespace {

// Scales tried upward from 1 before a load is taken to be beyond any the
// fleet could meet.
constexpr double kLargestScale = 1e12;

}  // namespace

CarryingSearch::CarryingSearch(const DirectStudy& study,
                               const std::vector<double>& load,
                               const std::vector<double>& net, RiskIndex index,
                               const std::vector<LoadScenario>& scenarios)
    : CarryingSearch(study.table(), load, net, index, scenarios) {
  study_ = &study;
}

CarryingSearch::CarryingSearch(const CapacityTable& table,
                               const std::vector<double>& load,
                               const std::vector<double>& net, RiskIndex index,
                               const std::vector<LoadScenario>& scenarios)
    : table_(table),
      study_(nullptr),
      load_(load),
      generation_(load.size()),
      index_(index),
      scenarios_(scenarios),
      scaled_(load.size()),
      net_(load.size()) {
  for (size_t hour = 0; hour < load.size(); ++hour) {
    generation_[hour] = load[hour] - net[hour];
    peak_load_ = std::max(peak_load_, load[hour]);
  }
  least_net_ = *std::min_element(net.begin(), net.end());
  most_net_ = *std::max_element(net.begin(), net.end());
  // The bounds of the searches hold for every outcome of the load.
  for (const LoadScenario& scenario : scenarios_) {
    if (scenario.multiplier == 1.0) continue;
    for (size_t hour = 0; hour < load.size(); ++hour) {
      const double outcome =
          load[hour] * scenario.multiplier - generation_[hour];
      least_net_ = std::min(least_net_, outcome);
      most_net_ = std::max(most_net_, outcome);
    }
  }
}

double CarryingSearch::IndexAt(double scale, double added) {
  ++evaluations_;
  double index = 0.0;
  for (const LoadScenario& scenario : scenarios_) {
    // One outcome of probability 1 is the load as it is, to the bit.
    const double times =
        scenario.multiplier == 1.0 ? scale : scale * scenario.multiplier;
    for (size_t hour = 0; hour < load_.size(); ++hour) {
      scaled_[hour] = load_[hour] * times + added;
      net_[hour] = scaled_[hour] - generation_[hour];
    }
    const double one =
        IndexOf(study_ ? study_->AssessSeries(scaled_, net_, false)
                       : Assess(table_, scaled_, net_, false),
                index_);
    if (scenarios_.size() == 1) return one;
    index += scenario.probability * one;
  }
  return index;
}

Answer LargestAddedOf(const IndexOfLoad& index_at, const LoadBounds& bounds,
                      double value, double tolerance) {
  Answer answer;
  // Every hour at or below zero: no risk; every hour beyond the fleet: the
  // most there is.
  double low = -bounds.most_net;
  double high = bounds.installed_mw - bounds.least_net + 1.0;
  if (index_at(1.0, low) > value) {
    answer.fault = NoAnswer::kEmptyLoadAbove;
    return answer;
  }
  if (index_at(1.0, high) <= value) {
    answer.fault = NoAnswer::kAnyLoad;
    return answer;
  }
  while (high - low > tolerance) {
    const double middle = low + (high - low) / 2;
    (index_at(1.0, middle) <= value ? low : high) = middle;
  }
  answer.at = low;
  answer.index = index_at(1.0, low);
  return answer;
}

Answer LargestScaleOf(const IndexOfLoad& index_at, const LoadBounds& bounds,
                      double value, double tolerance) {
  Answer answer;
  double low = 0.0;
  if (index_at(0.0, 0.0) > value) {
    answer.fault = NoAnswer::kEmptyLoadAbove;
    return answer;
  }
  double high = 1.0;
  while (index_at(high, 0.0) <= value) {
    low = high;
    high *= 2;
    if (high > kLargestScale) {
      answer.fault = NoAnswer::kAnyLoad;
      return answer;
    }
  }
  while ((high - low) * bounds.peak_load > tolerance) {
    const double middle = low + (high - low) / 2;
    (index_at(middle, 0.0) <= value ? low : high) = middle;
  }
  if (low == 0.0) {
    answer.fault = NoAnswer::kNoLoad;
    return answer;
  }
  answer.at = low;
  answer.index = index_at(low, 0.0);
  return answer;
}

Answer FirmCapacityOf(const IndexOfLoad& index_at, const LoadBounds& bounds,
                      double value) {
  // A unit that is never out, of C MW, is the load C MW lower.
  Answer answer;
  int64_t low = 0;
  int64_t high =
      static_cast<int64_t>(std::ceil(std::max(0.0, bounds.most_net))) + 1;
  if (index_at(1.0, 0.0) <= value) {
    answer.index = index_at(1.0, 0.0);
    return answer;
  }
  // Beyond the largest net load no hour can be short: high meets any value
  // of 0 or more.
  while (high - low > 1) {
    const int64_t middle = low + (high - low) / 2;
    (index_at(1.0, -static_cast<double>(middle)) <= value ? high : low) =
        middle;
  }
  answer.at = static_cast<double>(high);
  answer.index = index_at(1.0, -answer.at);
  return answer;
}

Answer CarryingSearch::LargestAdded(double value, double tolerance) {
  return LargestAddedOf(Index(), Bounds(), value, tolerance);
}

Answer CarryingSearch::LargestScale(double value, double tolerance) {
  return LargestScaleOf(Index(), Bounds(), value, tolerance);
}

Answer CarryingSearch::FirmCapacityFor(double value) {
  return FirmCapacityOf(Index(), Bounds(), value);
}

}  // namespace adequacy
