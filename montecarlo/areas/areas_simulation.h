// The sequential Monte Carlo simulation of a system of areas: its units,
// ties and loads as the simulation takes them, built once from the system,
// and independent years in rounds over the threads, as for one area, so
// that the results depend on the seed alone.
#ifndef ADEQUACY_MONTECARLO_AREAS_AREAS_SIMULATION_H_
#define ADEQUACY_MONTECARLO_AREAS_AREAS_SIMULATION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "direct/areas.h"
#include "montecarlo/areas/areas_sample.h"
#include "montecarlo/areas/areas_year.h"
#include "montecarlo/engine/worker_pool.h"
#include "montecarlo/events/rounds.h"
#include "system/system.h"

namespace adequacy {

// A system of areas as the simulation takes it.
struct AreasModel {
  std::vector<UnitRates> units;
  std::vector<size_t> unit_areas;
  std::vector<TieRates> ties;
  std::vector<DeviceRates> devices;
  std::vector<size_t> device_areas;
  // The load forecast's outcomes' probabilities, one drawn a year for
  // every area at once: {1} for a load known exactly.
  std::vector<double> outcome_probabilities{1.0};
  // Each weather year's at each outcome, outcomes in turn within each
  // weather year: the areas' (areas in turn) and the system's.
  std::vector<std::unique_ptr<YearLoad>> area_loads;
  std::vector<std::unique_ptr<YearLoad>> system_loads;

  // The loads of each weather year at each outcome, the longest year's
  // hours, and the series' hours.
  std::vector<AreaLoads> loads() const;
  int64_t longest_hours() const;
  int64_t series_hours() const;
};

// The model of `system`, which has areas; false, with the reason, where a
// unit's, a tie's or a device's rate passes 1.
bool AreasModelOf(const System& system, AreasModel* model, std::string* error);

// The exact expectations of the controls: the islands' (some area short on
// its own), each area's alone, and the copper plate's.
struct AreasControls {
  ExactIndices islands;
  std::vector<ExactIndices> alone;
  ExactIndices copper_plate;
};

// The controls' values from the direct solution.
AreasControls ControlsOf(const AreasAssessment& exact);

class AreasSimulation {
 public:
  // `model` must outlive the simulation.
  AreasSimulation(const AreasModel& model, uint64_t seed, int threads,
                  YearMethod method, const AreasControls& exact);

  // Keeps each hour's unserved MW and short years from here on; before
  // any year is simulated.
  void KeepHours();

  // Simulates years on to `years` in all.
  void RunTo(int64_t years, const SimulationProgress& progress = nullptr);
  // Simulates until the relative standard errors of the system's LOLH and
  // EUE are both at most `precision`, or until `max_years`.
  SimulationStop RunToPrecision(double precision, int64_t max_years,
                                const SimulationProgress& progress = nullptr);

  const AreasSample& sample() const { return sample_; }
  // Simulated year `year` again, as AreasYearSimulator::Redraw gives it.
  const YearLoad& Redraw(int64_t year, std::vector<double>* margins,
                         std::vector<double>* flows) {
    return simulators_.front()->Redraw(seed_, year, margins, flows);
  }
  const AreasControls& exact() const { return exact_; }
  uint64_t seed() const { return seed_; }
  int threads() const { return pool_.threads(); }

 private:
  void Extend(int64_t end);
  AreasSample Fresh() const;

  const AreasModel& model_;
  std::vector<AreaLoads> loads_;
  bool by_hour_ = false;
  uint64_t seed_;
  AreasControls exact_;
  WorkerPool pool_;
  std::vector<std::unique_ptr<AreasYearSimulator>> simulators_;
  std::vector<AreasYear> years_;  // Each thread's year in hand.
  std::vector<AreasSample> batches_;
  AreasSample sample_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_AREAS_SIMULATION_H_
