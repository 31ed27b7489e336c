// The sequential Monte Carlo simulation of a system read from files:
// independent years, each keyed by its number and the seed, simulated in
// batches spread over the threads and gathered in batch order, so that the
// results depend on the seed alone.
#ifndef ADEQUACY_MONTECARLO_EVENTS_SYSTEM_SIMULATION_H_
#define ADEQUACY_MONTECARLO_EVENTS_SYSTEM_SIMULATION_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "montecarlo/engine/worker_pool.h"
#include "montecarlo/events/rounds.h"
#include "montecarlo/events/sim_year.h"
#include "montecarlo/events/unit_rates.h"
#include "montecarlo/statistics/paired_sample.h"
#include "montecarlo/statistics/year_sample.h"

namespace adequacy {

inline constexpr uint64_t kDefaultSeed = 1;

class SystemSimulation {
 public:
  // Years per batch: one thread's piece of work, gathered in order.
  static constexpr int64_t kBatchYears = kSimulationBatchYears;

  // `units`, `load` and `devices` must outlive the simulation.  `exact`
  // are the direct solution's indices without storage, the controls.
  SystemSimulation(const std::vector<UnitRates>& units, const YearLoad& load,
                   uint64_t seed, int threads,
                   YearMethod method = YearMethod::kEvents,
                   const std::vector<DeviceRates>& devices = {},
                   const ExactIndices& exact = {},
                   const LoadOutcomes& outcomes = {});

  // Is told the years simulated so far, and the share of the work done.
  using Progress = SimulationProgress;

  // Keeps each hour's unserved MW and short years from here on; before
  // any year is simulated.
  void KeepHours();

  // Simulates years on to `years` in all.
  void RunTo(int64_t years, const Progress& progress = nullptr);

  // Simulates until the relative standard errors reported for LOLH and
  // EUE are both at most `precision`, looking at intervals, or until
  // `max_years`.
  SimulationStop RunToPrecision(double precision, int64_t max_years,
                                const Progress& progress = nullptr);

  // The years as simulated (with storage where there is some).
  const YearSample& sample() const { return sample_.sample(); }
  const PairedSample& paired() const { return sample_; }
  const ExactIndices& exact() const { return exact_; }
  // The fleet's MW available in each hour of simulated year `year`, drawn
  // again, and that year's net load; with storage each device's energy
  // and discharge by hour, as YearSimulator::Redraw gives them.
  const YearLoad& Redraw(int64_t year, std::vector<int64_t>* available,
                         std::vector<double>* energy_mwh = nullptr,
                         std::vector<double>* discharge_mw = nullptr) {
    return simulators_.front()->Redraw(seed_, year, available, energy_mwh,
                                       discharge_mw);
  }
  uint64_t seed() const { return seed_; }
  int threads() const { return pool_.threads(); }

 private:
  // Simulates years [years(), end) in batches, `end` a batch boundary or
  // the last year.
  void Extend(int64_t end);

  const std::vector<UnitRates>& units_;
  const YearLoad& load_;
  uint64_t seed_;
  YearMethod method_;
  LoadOutcomes load_outcomes_;
  bool storage_;
  bool by_hour_ = false;
  ExactIndices exact_;
  WorkerPool pool_;
  std::vector<std::unique_ptr<YearSimulator>> simulators_;
  // Each thread's year in hand, without storage and with it.
  std::vector<YearOutcome> outcomes_;
  std::vector<YearOutcome> stored_;
  std::vector<PairedSample> batches_;  // The batches of one round.
  PairedSample sample_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_SYSTEM_SIMULATION_H_
