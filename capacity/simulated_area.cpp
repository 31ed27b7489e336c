#include "capacity/simulated_area.h"

#include <algorithm>

#include "montecarlo/areas/areas_simulation.h"

namespace adequacy {
SimulatedAreaSearch::SimulatedAreaSearch(const System& system, size_t area,
                                         RiskIndex index, uint64_t seed,
                                         int threads)
    : system_(system),
      area_(area),
      index_(index),
      seed_(seed),
      threads_(threads),
      study_(system),
      load_(system.areas[area].load),
      other_(load_.size(), 0.0) {
  for (size_t a = 0; a < system.areas.size(); ++a) {
    if (a == area) continue;
    for (size_t hour = 0; hour < load_.size(); ++hour) {
      other_[hour] += system.areas[a].load[hour];
    }
  }
  for (double mw : load_) peak_load_ = std::max(peak_load_, mw);
  for (const UnitGroup& group : system.units) {
    if (group.area == area) {
      installed_mw_ += static_cast<double>(group.capacity_mw * group.count);
    }
  }
  AreasModel model;
  AreasModelOf(system_, &model, &fault_);
}

SampleInterval SimulatedAreaSearch::IndexAt(double scale, double added,
                                            int64_t years) {
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
  AreasModel model;
  std::string fault;
  AreasModelOf(system_, &model, &fault);
  const AreasControls controls = ControlsOf(study_.Assess(system_));
  AreasSimulation simulation(model, seed_, threads_, YearMethod::kEvents,
                             controls);
  simulation.RunTo(years);
  const SampleInterval index = simulation.sample().area(area_).Reported(
      FigureOf(index_), controls.alone[area_]);
  if (scale == 1.0) walked_.push_back({added, index.estimate});
  return index;
}

Estimated SimulatedAreaSearch::LargestAdded(double value, int64_t years,
                                            double tolerance) {
  // Down to no load at all in the peak hour, up from a twentieth of the
  // area's fleet: each load tried far beyond the answer has many hours
  // short, and each solves a flow.
  const double step = 0.05 * std::max(1.0, installed_mw_);
  return SimulatedLargest(
      [&](double added) { return IndexAt(1.0, added, years); }, value, 0.0,
      step, -peak_load_, tolerance, step);
}

Estimated SimulatedAreaSearch::LargestScale(double value, int64_t years,
                                            double tolerance) {
  const double per_mw = 1.0 / std::max(1.0, peak_load_);
  const double step = 0.05 * std::max(1.0, installed_mw_) * per_mw;
  return SimulatedLargest(
      [&](double scale) { return IndexAt(scale, 0.0, years); }, value, 1.0,
      step, 0.0, tolerance * per_mw, step);
}

}  // namespace adequacy
