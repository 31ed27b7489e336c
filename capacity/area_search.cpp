#include "capacity/area_search.h"

#include <algorithm>
#include <cmath>

namespace adequacy {
namespace {

constexpr double kLargestScale = 1e12;

double IndexOf(const AreaIndices& indices, RiskIndex index) {
  switch (index) {
    case RiskIndex::kLolh:
      return indices.lolh;
    case RiskIndex::kEue:
      return indices.eue;
    case RiskIndex::kLole:
      break;
  }
  return indices.lole;
}

}  // namespace

AreaSearch::AreaSearch(const System& system, size_t area, RiskIndex index)
    : system_(system),
      area_(area),
      index_(index),
      study_(system),
      load_(system.areas[area].load),
      other_(load_.size(), 0.0) {
  const std::vector<double> net = AreaNetLoads(system)[area];
  for (size_t a = 0; a < system.areas.size(); ++a) {
    if (a == area) continue;
    for (size_t hour = 0; hour < load_.size(); ++hour) {
      other_[hour] += system.areas[a].load[hour];
    }
  }
  for (double mw : load_) peak_load_ = std::max(peak_load_, mw);
  most_net_ = *std::max_element(net.begin(), net.end());
  least_net_ = *std::min_element(net.begin(), net.end());
}

double AreaSearch::IndexAt(double scale, double added) {
  ++evaluations_;
  std::vector<double>& load = system_.areas[area_].load;
  for (size_t hour = 0; hour < load.size(); ++hour) {
    load[hour] = load_[hour] * scale + added;
    system_.load[hour] = other_[hour] + load[hour];
  }
  return IndexOf(study_.OneArea(system_, area_, index_ == RiskIndex::kLole),
                 index_);
}

Answer AreaSearch::LargestAdded(double value, double tolerance) {
  Answer answer;
  // No hour of the area's above zero: no risk to it; every hour beyond all
  // the units of the system: the most there is.
  double low = -most_net_;
  double high = static_cast<double>(system_.installed_mw()) - least_net_ + 1.0;
  if (IndexAt(1.0, low) > value) {
    answer.fault = NoAnswer::kEmptyLoadAbove;
    return answer;
  }
  if (IndexAt(1.0, high) <= value) {
    answer.fault = NoAnswer::kAnyLoad;
    return answer;
  }
  while (high - low > tolerance) {
    const double middle = low + (high - low) / 2;
    (IndexAt(1.0, middle) <= value ? low : high) = middle;
  }
  answer.at = low;
  answer.index = IndexAt(1.0, low);
  return answer;
}

Answer AreaSearch::LargestScale(double value, double tolerance) {
  Answer answer;
  if (IndexAt(0.0, 0.0) > value) {
    answer.fault = NoAnswer::kEmptyLoadAbove;
    return answer;
  }
  double low = 0.0;
  double high = 1.0;
  while (IndexAt(high, 0.0) <= value) {
    low = high;
    high *= 2;
    if (high > kLargestScale) {
      answer.fault = NoAnswer::kAnyLoad;
      return answer;
    }
  }
  while ((high - low) * peak_load_ > tolerance) {
    const double middle = low + (high - low) / 2;
    (IndexAt(middle, 0.0) <= value ? low : high) = middle;
  }
  if (low == 0.0) {
    answer.fault = NoAnswer::kNoLoad;
    return answer;
  }
  answer.at = low;
  answer.index = IndexAt(low, 0.0);
  return answer;
}

Answer AreaSearch::FirmCapacityFor(double value) {
  // A unit never out in the area, of C MW, is its load C MW lower.
  Answer answer;
  if (IndexAt(1.0, 0.0) <= value) {
    answer.index = IndexAt(1.0, 0.0);
    return answer;
  }
  int64_t low = 0;
  int64_t high = static_cast<int64_t>(std::ceil(std::max(0.0, most_net_))) + 1;
  while (high - low > 1) {
    const int64_t middle = low + (high - low) / 2;
    (IndexAt(1.0, -static_cast<double>(middle)) <= value ? high : low) = middle;
  }
  answer.at = static_cast<double>(high);
  answer.index = IndexAt(1.0, -answer.at);
  return answer;
}

}  // namespace adequacy
