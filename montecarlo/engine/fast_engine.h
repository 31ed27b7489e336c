// A fast engine for the simulated years that reproduces the plain loop bit
// for bit: the same unit states, seed and accumulators after every year.
//
// Glossary.  Each word names one idea only, here and in the files below.
//   unit block  ten units, one of each type; the fleet is eleven of them.
//   stream      the seeds one unit reads, hour after hour.
//   stretch     65,536 hours of a stream: the piece a period list covers.
//   period list a unit type's failures within a stretch (period_lists.h).
//   gap         the hours from a failure to its repair, kept beside the
//               failure's list entry.
//   span        hours a unit spends down (DownSpan).
//   run         hours in a row of one capacity (CapacityRun, KeptRun).
//   bucket      64 hours of a year, the year scan's unit (difference_rows.h).
//   chunk       the years the units walk at once, up to 1024.
//   round       the years of a chunk scanned before their tallies are
//               added to the totals, 256.
//   batch       the years one thread scans or replays as one piece of work.
//   slice       the years simulated between two looks at the progress.
//   lap         the 195,225,786 hours after which every unit block takes
//               up the history of the block two before it (fleet_lap.h).
//   reading     which unit blocks a later lap reads an hour late: a block
//               is late when it shows the history of the hour before.
//   lap group   16 places in the lap whose years are summed together for
//               the standard errors (lap_groups.h).
//   page        2 MB of the lap store's memory.
//
// How a year is simulated, in the order of the stages below: the units
// walk a chunk from one change of state to the next (UnitWalk), which
// gives each unit's spans and the chunk's difference rows; the year scan
// finds each year's open buckets from the rows (YearScanner); their hours'
// capacity comes from the spans (DownSpans), or from the lap keeper while
// the first lap is kept (LapKeeper), and gives the runs that may be short;
// the deficit finder tests those against the loads (DeficitFinder); the
// tallies are added to the totals in chronological order.  Once the fleet
// has taken up its lap, years are replayed from the kept lap instead.
// Which of these runs when is told in engine_mode.h.
//
// The work is spread over a worker pool, units first and years second, so
// the results do not depend on the number of threads.
#ifndef ADEQUACY_MONTECARLO_ENGINE_FAST_ENGINE_H_
#define ADEQUACY_MONTECARLO_ENGINE_FAST_ENGINE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"
#include "montecarlo/engine/deficit_finder.h"
#include "montecarlo/engine/down_spans.h"
#include "montecarlo/engine/lap_keeper.h"
#include "montecarlo/engine/period_lists.h"
#include "montecarlo/engine/stream_scan.h"
#include "montecarlo/engine/unit_walk.h"
#include "montecarlo/engine/worker_pool.h"
#include "montecarlo/engine/year_scan.h"
#include "montecarlo/engine_mode.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {

class FastEngine {
 public:
  // Options are set by name: FastEngine::Options{.threads = 2,
  // .replay = false}.
  struct Options {
    int threads = AvailableProcessors();
    bool period_lists = true;  // Without them every hour is scanned.
    bool vector_code = true;   // Without it the scans are plain C++.
    // Years per chunk, which bounds the memory of the down spans and
    // deficit hours held; 0 for as many as the rows' budget allows.
    int chunk_years = 0;
    // Keep the first lap and replay it (with the lists only).
    bool replay = true;
  };

  // `loads` must outlive the engine.
  FastEngine(const ChainParameters& params, const HourlyLoads& loads)
      : FastEngine(params, loads, Options()) {}
  FastEngine(const ChainParameters& params, const HourlyLoads& loads,
             const Options& options);

  // Simulates `years` consecutive years.  The position in the draw sequence
  // follows from state->totals.years, so `state` must be the phase's own.
  // `stats`, if given, gathers the years too.
  void SimulateYears(ChainState* state, int64_t years,
                     YearStatistics* stats = nullptr);

  EngineMode mode() const { return mode_; }
  int threads() const { return pool_.threads(); }
  // True once the engine has given up the period lists, or could not have
  // them, for want of memory: it then scans every hour.
  bool lists_given_up() const { return lists_given_up_; }
  // Bytes held by the period lists so far.
  size_t list_bytes() const { return lists_ ? lists_->bytes() : 0; }
  bool replaying() const { return mode_ == EngineMode::kReplaying; }
  // The year from which years are replayed, or are expected to be while
  // the first lap is kept; -1 when every year is walked.
  int64_t replay_year() const;
  // The years over which the lists are built, which cost more: the
  // generator's first period, where the engine has the lists.
  int64_t listing_years() const;
  // Years worth simulating between two looks at the progress: a few
  // hundredths of a second.
  int64_t slice_years() const { return replaying() ? 1 << 20 : 1024; }

 private:
  // The years one thread scans: their tally, the runs of the year in hand
  // and, while the lap is kept, the hours to keep.
  struct YearBatch {
    YearsTally tally;
    std::vector<CapacityRun> runs;
    std::vector<uint16_t> open;  // The year's open buckets.
    std::vector<KeptRun> kept;
    DownSpans::BlockChanges blocks;  // The keeper's scratch.
  };

  // The moves between modes (engine_mode.h).
  void GiveUpGaps();
  void GiveUpLists();
  void StopKeeping();
  void StartReplay(int64_t end_hour);

  // Takes up the walk where `state` stands.
  void Resume(const ChainState& state);
  // Gives `state` the walkers' unit states and the seed `years` years on.
  void HandOver(ChainState* state, int64_t years) const;
  void ForgetLists();
  // One chunk, walked again from its start, a step down, where memory
  // runs out part way.
  void SimulateChunkOrStepDown(ChainState* state, int years,
                               YearStatistics* stats);
  void SimulateChunk(ChainState* state, int years, YearStatistics* stats);
  void WalkUnits(int64_t first_hour, int64_t end_hour);
  void ScanYears(int64_t first_hour, int first_year, int years,
                 ChainAccumulators* totals, YearStatistics* stats);
  void ScanBatch(int batch, int first_year, int years);
  // The runs of one year that may be short, to batch->runs.
  void ScanYear(int year, bool keep, std::span<int32_t* const> rows,
                DownSpans::Cursors* cursors, YearBatch* batch) const;
  // Adds the tally of the years that follow those in `totals` to them, and
  // to `stats` if given.
  void AddTally(const YearsTally& tally, ChainAccumulators* totals,
                YearStatistics* stats) const;
  void Replay(ChainState* state, int64_t years, YearStatistics* stats);

  std::array<TypeThresholds, kUnitTypes> types_;
  const HourlyLoads& loads_;
  StreamScanner scanner_;
  UnitWalk walk_;
  WorkerPool pool_;
  DeficitFinder finder_;
  YearScanner year_scanner_;
  EngineMode mode_ = EngineMode::kScanning;
  std::unique_ptr<PeriodLists> lists_;
  bool lists_given_up_ = false;

  std::array<Walker, kUnits> walkers_;
  // The walkers at the start of the chunk in hand, should it be simulated
  // again (kept here rather than on a small stack).
  std::array<Walker, kUnits> saved_walkers_;
  int64_t hour_ = kUnknownHour;  // The hour the walkers stand at.

  // Each thread adds the units it walks to its own difference rows.
  int chunk_years_;
  int batch_years_;  // Years per batch of the scan.
  DownSpans spans_;
  std::vector<std::vector<int32_t>> rows_;
  std::vector<YearBatch> batches_;

  // While the first lap is kept, and once it is replayed.
  std::unique_ptr<LapKeeper> keeper_;
  // The hour from which years are replayed.
  int64_t replay_from_ = -1;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_FAST_ENGINE_H_
