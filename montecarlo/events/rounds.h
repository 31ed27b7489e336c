// How the simulations of system files spend their years: independent
// years in batches spread over the threads, a round of batches at a time,
// each batch gathered into the whole in batch order, so that the results
// depend on the seed alone; and the two ways a run stops, at a number of
// years or at a precision.
#ifndef ADEQUACY_MONTECARLO_EVENTS_ROUNDS_H_
#define ADEQUACY_MONTECARLO_EVENTS_ROUNDS_H_

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "montecarlo/engine/worker_pool.h"

namespace adequacy {

// Years per batch, one thread's piece of work; batches per round, enough
// to keep every thread busy between two looks at the progress and the
// precision.
inline constexpr int64_t kSimulationBatchYears = 256;
inline constexpr int64_t kRoundBatches = 16;
inline constexpr int64_t kRoundYears = kRoundBatches * kSimulationBatchYears;

// Why a simulation stopped.
enum class SimulationStop { kYears, kPrecision, kMaxYears };

// Is told the years simulated so far, and the share of the work done.
using SimulationProgress = std::function<void(int64_t years, double share)>;

// Simulates years [sample->years(), end) in rounds: `batch(out, from, to,
// thread)` simulates years [from, to) into a fresh `out` on thread
// `thread`; `batches` holds a round's, `fresh` makes an empty one.
template <class Sample, class Fresh, class Batch>
void ExtendInRounds(WorkerPool& pool, int64_t end, Sample* sample,
                    std::vector<Sample>* batches, const Fresh& fresh,
                    const Batch& batch) {
  while (sample->years() < end) {
    const int64_t first = sample->years();
    const int64_t round_end = std::min(end, first + kRoundYears);
    const int count =
        static_cast<int>((round_end - first + kSimulationBatchYears - 1) /
                         kSimulationBatchYears);
    if (batches->size() < static_cast<size_t>(count)) {
      batches->resize(static_cast<size_t>(count), fresh());
    }
    pool.ParallelFor(count, [&](int b, int thread) {
      Sample& out = (*batches)[static_cast<size_t>(b)];
      out = fresh();
      const int64_t from = first + b * kSimulationBatchYears;
      batch(&out, from, std::min(round_end, from + kSimulationBatchYears),
            thread);
    });
    for (int b = 0; b < count; ++b) {
      sample->Merge((*batches)[static_cast<size_t>(b)]);
    }
  }
}

// Runs `extend(end)` a round at a time from `years_now()` to `years`.
void RunInRounds(int64_t years, const std::function<int64_t()>& years_now,
                 const std::function<void(int64_t)>& extend,
                 const SimulationProgress& progress);

// Runs until `errors(&lolh, &eue)`, the relative standard errors reported,
// are both at most `precision`, looking at intervals, or until
// `max_years`.
SimulationStop RunInRoundsToPrecision(
    double precision, int64_t max_years,
    const std::function<int64_t()>& years_now,
    const std::function<void(double*, double*)>& errors,
    const std::function<void(int64_t)>& extend,
    const SimulationProgress& progress);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_ROUNDS_H_
