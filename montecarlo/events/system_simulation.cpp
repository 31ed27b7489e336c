#include "montecarlo/events/system_simulation.h"

#include <algorithm>
#include <cmath>

namespace adequacy {

SystemSimulation::SystemSimulation(const std::vector<UnitRates>& units,
                                   const YearLoad& load, uint64_t seed,
                                   int threads, YearMethod method,
                                   const std::vector<DeviceRates>& devices,
                                   const ExactIndices& exact,
                                   const LoadOutcomes& outcomes)
    : units_(units),
      load_(load),
      seed_(seed),
      method_(method),
      load_outcomes_(outcomes),
      storage_(!devices.empty()),
      exact_(exact),
      pool_(std::max(1, threads)),
      outcomes_(static_cast<size_t>(pool_.threads())),
      stored_(static_cast<size_t>(pool_.threads())),
      sample_(load.hours(), storage_) {
  for (int thread = 0; thread < pool_.threads(); ++thread) {
    simulators_.push_back(std::make_unique<YearSimulator>(
        units_, load_, method_, devices, load_outcomes_));
  }
}

void SystemSimulation::KeepHours() {
  by_hour_ = true;
  sample_ =
      PairedSample(load_.hours(), storage_, true, load_outcomes_.series_hours);
}

void SystemSimulation::Extend(int64_t end) {
  const auto fresh = [this] {
    return PairedSample(load_.hours(), storage_, by_hour_,
                        load_outcomes_.series_hours);
  };
  ExtendInRounds(
      pool_, end, &sample_, &batches_, fresh,
      [&](PairedSample* out, int64_t from, int64_t to, int thread) {
        const auto t = static_cast<size_t>(thread);
        for (int64_t year = from; year < to; ++year) {
          simulators_[t]->Simulate(seed_, year, &outcomes_[t], &stored_[t]);
          out->Add(outcomes_[t], storage_ ? stored_[t] : outcomes_[t]);
        }
      });
}

void SystemSimulation::RunTo(int64_t years, const Progress& progress) {
  RunInRounds(
      years, [this] { return sample_.years(); },
      [this](int64_t end) { Extend(end); }, progress);
}

SimulationStop SystemSimulation::RunToPrecision(double precision,
                                                int64_t max_years,
                                                const Progress& progress) {
  return RunInRoundsToPrecision(
      precision, max_years, [this] { return sample_.years(); },
      [this](double* lolh, double* eue) {
        *lolh = sample_.RelativeError(SampleFigure::kDeficitHours, exact_);
        *eue = sample_.RelativeError(SampleFigure::kUnservedMwh, exact_);
      },
      [this](int64_t end) { Extend(end); }, progress);
}

}  // namespace adequacy
