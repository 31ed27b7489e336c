#include "capacity/simulated_credit.h"

#include <algorithm>
#include <cmath>

#include "direct/assessment.h"
#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/system_simulation.h"
#include "montecarlo/statistics/standard_error.h"
#include "system/load_change.h"

namespace adequacy {
namespace {

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

// The most doublings of the load tried before the search gives up: the
// index never reaches the value below 2^30 times the resources' MW.
constexpr int kMostDoublings = 30;
constexpr int kMostSteps = 100;

}  // namespace

SimulatedCredit::SimulatedCredit(const System& system, const DirectStudy& study,
                                 RiskIndex index, uint64_t seed, int threads)
    : system_(system),
      study_(study),
      index_(index),
      seed_(seed),
      threads_(threads) {
  if (!UnitRatesOf(system_, &units_, &fault_)) return;
  DeviceRatesOf(system_, &devices_, &fault_);
}

SampleInterval SimulatedCredit::IndexAt(double added, int64_t years) {
  ++evaluations_;
  const ScenarioLoads outcomes = LoadsOfScenarios(system_, {1.0, added});
  const Assessment exact = study_.AssessOutcomes(outcomes, false);
  const ExactIndices controls{exact.lolh, exact.lole, exact.eue};
  const SeriesLoads loads(system_, outcomes);
  SystemSimulation simulation(units_, loads.longest(), seed_, threads_,
                              YearMethod::kEvents, devices_, controls,
                              loads.outcomes());
  simulation.RunTo(years);
  return simulation.paired().Reported(FigureOf(index_), controls);
}

Estimated SimulatedCredit::LoadAt(double value, int64_t years, double tolerance,
                                  double scale_mw) {
  // Below `value` at `low`, at or above it at `high`.
  double low = 0.0;
  SampleInterval at_low = IndexAt(low, years);
  Estimated answer;
  if (at_low.estimate >= value) return answer;  // No load can be added.
  double high = std::max(1.0, scale_mw);
  double at_high = IndexAt(high, years).estimate;
  for (int i = 0; at_high < value && i < kMostDoublings; ++i) {
    low = high;
    at_low = IndexAt(low, years);
    high *= 2.0;
    at_high = IndexAt(high, years).estimate;
  }
  if (at_high < value) {
    answer.at = high;
    return answer;
  }
  // False position where it shrinks the bracket well, else halves.
  bool halve = false;
  for (int step = 0; step < kMostSteps && high - low > tolerance; ++step) {
    const double width = high - low;
    double middle = low + width / 2.0;
    if (!halve) {
      const double secant =
          low + (value - at_low.estimate) / (at_high - at_low.estimate) * width;
      middle = std::clamp(secant, low + 0.05 * width, high - 0.05 * width);
    }
    const SampleInterval at_middle = IndexAt(middle, years);
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
  const double h = std::max(0.05 * scale_mw, 2.0 * tolerance);
  const double from = std::max(0.0, low - h);
  const double slope =
      (IndexAt(low + h, years).estimate - IndexAt(from, years).estimate) /
      (low + h - from);
  answer.standard_error = slope > 0.0 ? at_low.standard_error / slope : NAN;
  const double half = kNormal95 * answer.standard_error;
  answer.low = std::max(0.0, answer.at - half);
  answer.high = answer.at + half;
  return answer;
}

int64_t YearsFor(double pilot_error_mw, int64_t pilot_years, double goal_mw,
                 int64_t most) {
  if (!(pilot_error_mw > goal_mw)) return pilot_years;
  const double ratio = pilot_error_mw / goal_mw;
  const double years =
      std::ceil(static_cast<double>(pilot_years) * ratio * ratio * 1.05);
  return std::min<int64_t>(most,
                           years > 1e15 ? most : static_cast<int64_t>(years));
}

}  // namespace adequacy
