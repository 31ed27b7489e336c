// A fast engine for the simulated years that reproduces the plain loop bit
// for bit: the same unit states, seed and accumulators after every year.
//
// Units are independent chains, each reading its own stream of seeds, and
// a unit changes state only on a seed at or below the threshold of its
// current state.  So each unit walks from one state change to the next
// (UnitWalk): an up unit reads its next failure from the period lists (or
// scans its stream for it where the lists are not there), and the repair
// that follows a failure is a fixed number of hours later, found from the
// failure (and kept beside the list entry where years are walked beyond
// the first lap).
// The spans of down time then give each year's short hours (YearScanner),
// and those its deficit hours (DeficitFinder).
//
// Over the fleet's first lap the engine keeps the short hours (LapStore).
// Once it has seen every unit take up the state of the unit it follows one
// lap earlier (fleet_lap.h), the fleet's history repeats, and later years
// are replayed from the store instead of walked.
//
// The work is spread over a worker pool, units first and years second, and
// the deficit hours are applied to the totals in chronological order, so
// the results do not depend on the number of threads.
#ifndef ADEQUACY_MONTECARLO_FAST_ENGINE_H_
#define ADEQUACY_MONTECARLO_FAST_ENGINE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/chain.h"
#include "montecarlo/deficit_finder.h"
#include "montecarlo/down_spans.h"
#include "montecarlo/lap_store.h"
#include "montecarlo/period_lists.h"
#include "montecarlo/stream_scan.h"
#include "montecarlo/unit_walk.h"
#include "montecarlo/worker_pool.h"
#include "montecarlo/year_scan.h"
#include "montecarlo/year_statistics.h"

namespace adequacy {

class FastEngine {
 public:
  struct Options {
    int threads = AvailableProcessors();
    bool period_lists = true;  // Without them every hour is scanned.
    bool vector_code = true;   // Without it the scans are plain C++.
    // Years walked at once, which bounds the memory of the down spans and
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

  int threads() const { return pool_.threads(); }
  // True once the engine has given up the period lists, or could not have
  // them, for want of memory: it then scans every hour.
  bool lists_given_up() const { return lists_given_up_; }
  // Bytes held by the period lists so far.
  size_t list_bytes() const { return lists_ ? lists_->bytes() : 0; }
  // True once later years are replayed from the store.
  bool replaying() const { return replay_from_ >= 0; }
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
  // Hours of a chunk that may be short in some lap: the first with its
  // capacity under each reading, the others at its reading 0 under all.
  struct KeptRun {
    uint32_t hour;
    uint16_t hours;
    Readings available_mw;
  };
  // The years of a batch: their tally and, while the lap is kept, the
  // hours to keep.
  struct YearBatch {
    YearsTally tally;
    std::vector<CapacityRun> runs;
    std::vector<KeptRun> kept;
    DownSpans::BlockChanges blocks;  // Scratch of KeepHours.
  };

  void Resume(const ChainState& state);
  // Gives `state` the walkers' unit states and the seed `years` years on.
  void HandOver(ChainState* state, int64_t years) const;
  // True while the first lap is being kept.
  bool keeping() const { return store_ && !store_->sealed(); }
  void ForgetLists();
  void SimulateChunk(ChainState* state, int years, YearStatistics* stats);
  // Builds the lists of every stream as far as the chunk up to `end_hour`
  // reads them.
  void BuildLists(int64_t end_hour);
  void ScanYears(int64_t first_hour, int first_year, int years,
                 ChainAccumulators* totals, YearStatistics* stats);
  void ScanBatch(int batch, int first_year, int years);
  // Adds the tally of the years that follow those in `totals` to them, and
  // to `stats` if given.
  void AddTally(const YearsTally& tally, ChainAccumulators* totals,
                YearStatistics* stats) const;
  // Keeps a scanned batch's hours; `first_hour` is the chunk's first hour.
  void KeepBatch(const YearBatch& batch, int64_t first_hour);
  // After a chunk [first_hour, end_hour) is walked: notes the states of the
  // units followed at the check hours, one lap before them, and compares
  // the followers with them.  True when every unit is in the state of the
  // unit it follows.
  bool CheckLap(int64_t first_hour, int64_t end_hour);
  void StopKeeping();
  void Replay(ChainState* state, int64_t years, YearStatistics* stats);
  // The capacity down in `hours` hours from chunk hour `first`, as
  // DownSpans::DownHours gives it, while the lap is kept: from each
  // block's, it appends to out->kept the hours short of the year's largest
  // load under some reading.
  void KeepHours(uint32_t first, int hours, DownSpans::Cursors* cursors,
                 int32_t* down_mw, YearBatch* out) const;

  std::array<TypeThresholds, kUnitTypes> types_;
  const HourlyLoads& loads_;
  StreamScanner scanner_;
  UnitWalk walk_;
  WorkerPool pool_;
  DeficitFinder finder_;
  YearScanner year_scanner_;
  int32_t keep_served_from_;  // Kept hours have less capacity than this.
  std::unique_ptr<PeriodLists> lists_;
  bool lists_given_up_ = false;
  // Each thread's scratch for building the lists.
  std::vector<PeriodLists::Scratch> list_scratch_;
  bool lists_full_ = false;  // Memory ran out: build no more stretches.

  std::array<Walker, kUnits> walkers_;
  // The walkers at the start of the chunk in hand, should it be simulated
  // again (kept here rather than on a small stack).
  std::array<Walker, kUnits> saved_walkers_;
  // Each block's capacity down in the hour before the chunk in hand.
  std::array<int32_t, kUnitBlocks> down_before_chunk_{};
  int64_t hour_ = kUnknownHour;  // The hour the walkers stand at.

  // Each thread adds the units it walks to its own difference rows.
  int chunk_years_;
  int batch_years_;  // Years per task of the scan.
  DownSpans spans_;
  std::vector<std::vector<int32_t>> rows_;
  std::vector<YearBatch> batches_;

  // The first lap kept, while it is being kept or replayed.
  std::unique_ptr<LapStore> store_;
  // For each check, the state of the unit each unit follows, one lap
  // before the check hour, as it is passed.
  std::vector<std::array<uint8_t, kUnits>> check_states_;
  // The hour from which years are replayed; -1 while they are walked.
  int64_t replay_from_ = -1;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_FAST_ENGINE_H_
