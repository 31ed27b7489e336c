// A fast engine for the simulated years that reproduces the plain loop bit
// for bit: the same unit states, seed and accumulators after every year.
//
// It rests on three facts.  The draws of one unit form an LCG of their own
// (a fixed jump of 110 steps per hour), so the units are independent streams
// that can be simulated one after the other or on separate threads.  A draw
// r = k * 2^-24 satisfies r <= p exactly when the seed is at most
// (floor(p * 2^24) << 8) | 255, an unsigned integer compare.  And units
// change state rarely, so most 64-hour blocks of a unit can be cleared with
// a handful of vector instructions.
#ifndef ADEQUACY_MONTECARLO_FAST_ENGINE_H_
#define ADEQUACY_MONTECARLO_FAST_ENGINE_H_

#include <array>
#include <cstdint>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"

namespace adequacy {

// One state change of one unit: the hour of the chunk (from 0) and the
// change of available capacity it brings.
struct CapacityChange {
  uint32_t hour;
  int32_t delta_mw;
};

// What a kernel needs to know of one unit.
struct UnitStream {
  uint32_t fail_threshold;    // Up unit goes down when seed <= this.
  uint32_t repair_threshold;  // Down unit comes up when seed <= this.
  int32_t capacity_mw;
};

// Simulates one unit over `hours` hours, `seed` being the unit's own seed
// after its draw of hour 0.  Updates *state and appends the changes.
using UnitKernel = void (*)(uint32_t seed, const UnitStream& unit,
                            uint32_t hours, int32_t* state,
                            std::vector<CapacityChange>* changes);

// The kernels available on this machine, fastest last.
std::vector<UnitKernel> AvailableKernels();

// The seed threshold equivalent to the test draw <= probability.
uint32_t SeedThreshold(float probability);

class FastEngine {
 public:
  FastEngine(const ChainParameters& params, const HourlyLoads& loads,
             int threads = DefaultThreads(), UnitKernel kernel = nullptr);

  // Simulates `years` consecutive years.
  void SimulateYears(ChainState* state, int64_t years);

  static int DefaultThreads();

 private:
  // A deficit hour found by the scan, applied to the totals in order later.
  struct Deficit {
    double load;
    int32_t available_mw;
  };
  struct YearScan {
    int32_t deficits;  // Deficit hours of the year.
    int32_t events;    // Runs of deficit hours within the year.
  };
  // Half of the work of a chunk: one half of the units, then one half of
  // the years.
  struct Part {
    std::vector<CapacityChange> changes;
    std::vector<int16_t> delta;  // Capacity change per hour of the chunk.
    std::vector<int32_t> net;    // Capacity change per year of the chunk.
    std::vector<Deficit> deficits;
    std::vector<YearScan> years;
  };

  void SimulateChunk(ChainState* state, int years);
  // Runs fn(0) and fn(1), on two threads when the engine has them.
  template <typename Fn>
  void OnParts(const Fn& fn);
  void SimulateUnits(int part, int years, uint32_t chunk_seed,
                     ChainState* state);
  void ScanYears(int part, int years);
  void Accumulate(ChainAccumulators* totals) const;

  std::array<UnitStream, kUnits> units_;
  const HourlyLoads& loads_;
  int threads_;
  UnitKernel kernel_;
  std::array<Part, 2> parts_;
  std::vector<int32_t> year_start_mw_;  // Available capacity at hour 0.
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_FAST_ENGINE_H_
