// The options of a simulation that `assess` and `capacity` share: a number
// of years or a precision, the most years a precision may take, the seed
// and the threads.
#ifndef ADEQUACY_APP_SIMULATION_OPTIONS_H_
#define ADEQUACY_APP_SIMULATION_OPTIONS_H_

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

#include "montecarlo/engine/worker_pool.h"
#include "montecarlo/events/system_simulation.h"

namespace adequacy {

struct SimulationOptions {
  int64_t years = 0;
  double precision = 0.0;
  int64_t max_years = 0;
  uint64_t seed = kDefaultSeed;
  int threads = AvailableProcessors();
};

class SimulationFlags {
 public:
  // Adds --years, --precision, --max-years, --seed and --threads to `app`,
  // read into `options`, which must outlive the parse.
  void Add(CLI::App* app, SimulationOptions* options);

  // The first fault of the values given, or empty.  --max-years must be
  // at least `least_max_years`, and where `max_years_needs_precision` it
  // goes with --precision.
  std::string Fault(const SimulationOptions& options, int64_t least_max_years,
                    bool max_years_needs_precision) const;

 private:
  const CLI::Option* years_ = nullptr;
  const CLI::Option* precision_ = nullptr;
  const CLI::Option* max_years_ = nullptr;
  const CLI::Option* threads_ = nullptr;
};

}  // namespace adequacy

#endif  // ADEQUACY_APP_SIMULATION_OPTIONS_H_
