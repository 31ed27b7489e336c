#include "capacity/area_search.h"

#include <algorithm>

namespace adequacy {
namespace {

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
  // With an uncertain load the added MW are added after each outcome's
  // multiplier, as a block the forecast's error does not scale.
  Area& area = system_.areas[area_];
  const bool apart = !area.uncertainty.empty();
  area.added_mw = apart ? added : 0.0;
  for (size_t hour = 0; hour < load.size(); ++hour) {
    load[hour] = apart ? load_[hour] * scale : load_[hour] * scale + added;
    system_.load[hour] = other_[hour] + load[hour];
  }
  return IndexOf(study_.OneArea(system_, area_, index_ == RiskIndex::kLole),
                 index_);
}

LoadBounds AreaSearch::Bounds() const {
  // Every hour of the area beyond all the units of the system is short,
  // whatever its neighbour sends.
  return {least_net_, most_net_, static_cast<double>(system_.installed_mw()),
          peak_load_};
}

Answer AreaSearch::LargestAdded(double value, double tolerance) {
  return LargestAddedOf(Index(), Bounds(), value, tolerance);
}

Answer AreaSearch::LargestScale(double value, double tolerance) {
  return LargestScaleOf(Index(), Bounds(), value, tolerance);
}

Answer AreaSearch::FirmCapacityFor(double value) {
  return FirmCapacityOf(Index(), Bounds(), value);
}

}  // namespace adequacy
