#include "montecarlo/events/system_simulation.h"

#include <algorithm>
#include <cmath>

namespace adequacy {
namespace {

// Batches simulated between two looks at the progress and the precision:
// enough to keep every thread busy.
constexpr int64_t kRoundBatches = 16;

}  // namespace

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
      batches_(static_cast<size_t>(kRoundBatches),
               PairedSample(load.hours(), storage_)),
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
  while (sample_.years() < end) {
    const int64_t first = sample_.years();
    const int64_t round_end =
        std::min(end, first + kRoundBatches * kBatchYears);
    const int batches =
        static_cast<int>((round_end - first + kBatchYears - 1) / kBatchYears);
    pool_.ParallelFor(batches, [&](int batch, int thread) {
      PairedSample& out = batches_[static_cast<size_t>(batch)];
      out = PairedSample(load_.hours(), storage_, by_hour_,
                         load_outcomes_.series_hours);
      const int64_t from = first + batch * kBatchYears;
      const int64_t to = std::min(round_end, from + kBatchYears);
      const auto t = static_cast<size_t>(thread);
      for (int64_t year = from; year < to; ++year) {
        simulators_[t]->Simulate(seed_, year, &outcomes_[t], &stored_[t]);
        out.Add(outcomes_[t], storage_ ? stored_[t] : outcomes_[t]);
      }
    });
    for (int batch = 0; batch < batches; ++batch) {
      sample_.Merge(batches_[static_cast<size_t>(batch)]);
    }
  }
}

void SystemSimulation::RunTo(int64_t years, const Progress& progress) {
  const int64_t start = sample_.years();
  const int64_t step = kRoundBatches * kBatchYears;
  while (sample_.years() < years) {
    Extend(std::min(years, sample_.years() + step));
    if (progress) {
      progress(sample_.years(), static_cast<double>(sample_.years() - start) /
                                    static_cast<double>(years - start));
    }
  }
}

SimulationStop SystemSimulation::RunToPrecision(double precision,
                                                int64_t max_years,
                                                const Progress& progress) {
  const int64_t step = kRoundBatches * kBatchYears;
  for (;;) {
    const double lolh =
        sample_.RelativeError(SampleFigure::kDeficitHours, exact_);
    const double eue =
        sample_.RelativeError(SampleFigure::kUnservedMwh, exact_);
    // At least a round before the errors are trusted.
    if (sample_.years() >= step && lolh <= precision && eue <= precision) {
      return SimulationStop::kPrecision;
    }
    if (sample_.years() >= max_years) return SimulationStop::kMaxYears;
    // A tenth more years at a time, in whole rounds: few looks, and the
    // run overshoots what it needs by a tenth at most.
    const int64_t more = std::max(step, sample_.years() / 10 / step * step);
    Extend(std::min(max_years, sample_.years() + more));
    if (progress) {
      // The share done, from the years the larger error asks for at the
      // rate it shrinks, one over the root of the years.
      const double worst =
          std::max(std::isnan(lolh) ? 1.0 : lolh, std::isnan(eue) ? 1.0 : eue);
      const double needed = static_cast<double>(sample_.years()) *
                            (worst / precision) * (worst / precision);
      progress(
          sample_.years(),
          std::min(1.0, static_cast<double>(sample_.years()) /
                            std::min(needed, static_cast<double>(max_years))));
    }
  }
}

}  // namespace adequacy
