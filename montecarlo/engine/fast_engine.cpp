#include "montecarlo/engine/fast_engine.h"

#include <algorithm>
#include <new>

#include "montecarlo/engine/state_from_draws.h"
#include "montecarlo/rng.h"
#include "montecarlo/snapshot.h"

namespace adequacy {
namespace {

constexpr int kUnitDrawsPerYear = kUnits * kHoursPerYear;
// Years per chunk: the units walk a chunk, then its years are scanned.  A
// chunk stays shorter than the generator's period (about 4457 years), and
// the difference rows of all threads within a budget.
constexpr int kChunkYears = 1024;
constexpr size_t kRowBudgetBytes = size_t{16} << 20;
// Years per round, whose deficit hours are held at once before they are
// added to the totals, and the fewest years per batch of the scan.  A
// batch seeks each unit's spans once, so it takes as many years as still
// leave two batches a thread.
constexpr int kRoundYears = 256;
constexpr int kBatchYears = 16;
constexpr int kLongestBatchYears = 64;
// Years replayed as one batch, and batches in flight at once, which bounds
// the deficit hours held.
constexpr int64_t kReplayBatchYears = 4096;
constexpr int kReplayBatches = 16;

}  // namespace

FastEngine::FastEngine(const ChainParameters& params, const HourlyLoads& loads,
                       const Options& options)
    : types_(ThresholdsOf(params)),
      loads_(loads),
      scanner_(options.vector_code ? BestScanner() : PlainScanner()),
      walk_(types_, scanner_),
      pool_(std::max(1, options.threads)),
      finder_(loads),
      year_scanner_(finder_) {
  // The rows every engine needs come first.  The lists, and the repair
  // gaps they take where there is room, only speed it up; taken first,
  // they could leave no room for the rows and fail the whole engine.
  rows_.resize(pool_.threads());
  const size_t row_bytes = kRowSize * sizeof(int32_t);
  chunk_years_ = static_cast<int>(std::clamp<size_t>(
      kRowBudgetBytes / (row_bytes * rows_.size()), kRoundYears, kChunkYears));
  if (options.chunk_years > 0) {
    chunk_years_ = std::min(chunk_years_, options.chunk_years);
  }
  for (auto& rows : rows_) {
    rows.assign(static_cast<size_t>(chunk_years_) * kRowSize, 0);
  }
  if (options.period_lists) {
    try {
      lists_ = std::make_unique<PeriodLists>(types_, scanner_);
      mode_ = EngineMode::kWalking;
    } catch (const std::bad_alloc&) {
      lists_given_up_ = true;
    }
  }
  batch_years_ = std::clamp(kRoundYears / (2 * pool_.threads()), kBatchYears,
                            kLongestBatchYears);
  batches_.resize(std::max(kRoundYears / kBatchYears, kReplayBatches));
  if (mode_ == EngineMode::kWalking && options.replay &&
      LapKeeper::CanReplay(types_)) {
    keeper_ = std::make_unique<LapKeeper>(finder_.peak());
    mode_ = EngineMode::kKeepingLap;
  }
}

void FastEngine::GiveUpGaps() { lists_->DropGaps(); }

void FastEngine::GiveUpLists() {
  StopKeeping();
  lists_.reset();
  lists_given_up_ = true;
  mode_ = EngineMode::kScanning;
}

void FastEngine::StopKeeping() {
  keeper_.reset();
  replay_from_ = -1;
  // A replaying engine has given its lists back: it scans from here on.
  mode_ = lists_ ? EngineMode::kWalking : EngineMode::kScanning;
}

void FastEngine::StartReplay(int64_t end_hour) {
  // From here on the years are replayed: the lists are no longer read.
  keeper_->Seal(end_hour);
  replay_from_ = end_hour;
  lists_.reset();
  ForgetLists();
  mode_ = EngineMode::kReplaying;
}

void FastEngine::SimulateYears(ChainState* state, int64_t years,
                               YearStatistics* stats) {
  Resume(*state);
  while (years > 0) {
    if (replaying()) {
      Replay(state, years, stats);
      return;
    }
    const int chunk = static_cast<int>(std::min<int64_t>(years, chunk_years_));
    SimulateChunkOrStepDown(state, chunk, stats);
    years -= chunk;
  }
}

void FastEngine::SimulateChunkOrStepDown(ChainState* state, int years,
                                         YearStatistics* stats) {
  saved_walkers_ = walkers_;
  const LapStore::Mark kept = keeper_ ? keeper_->Here() : LapStore::Mark{};
  // Only an engine with lists can step down and walk the chunk again.
  Snapshot snapshot;
  if (lists_) snapshot.Take(*state, stats);
  for (;;) {
    try {
      SimulateChunk(state, years, stats);
      return;
    } catch (const std::bad_alloc&) {
      if (!lists_) throw;
      // Memory ran out part way: give back the kept repair gaps, or
      // failing that the lists and the kept lap, and walk the chunk again
      // from where it started.
      if (!lists_->keeps_gaps()) {
        GiveUpLists();
      } else {
        GiveUpGaps();
      }
      if (keeper_) keeper_->Rewind(kept);
      walkers_ = saved_walkers_;
      ForgetLists();
      for (auto& rows : rows_) std::fill(rows.begin(), rows.end(), 0);
      snapshot.Restore(state, stats);
      if (lists_) snapshot.Take(*state, stats);
    }
  }
}

void FastEngine::HandOver(ChainState* state, int64_t years) const {
  for (int unit = 0; unit < kUnits; ++unit) {
    state->unit_state[unit] = walkers_[unit].state;
  }
  state->seed = LcgJump(static_cast<uint64_t>(kUnitDrawsPerYear) * years)
                    .Apply(state->seed);
}

void FastEngine::ForgetLists() {
  for (Walker& w : walkers_) w.ForgetList();
}

void FastEngine::Resume(const ChainState& state) {
  const int64_t hour = static_cast<int64_t>(state.totals.years) * kHoursPerYear;
  bool same = hour == hour_;
  for (int unit = 0; unit < kUnits && same; ++unit) {
    same = walkers_[unit].state == state.unit_state[unit];
  }
  if (same) return;
  // Not where the engine left off: a history kept from hour 0 no longer
  // leads here.
  if (hour_ != kUnknownHour || hour != 0) StopKeeping();
  for (int unit = 0; unit < kUnits; ++unit) {
    walkers_[unit] = Walker::At(hour, state.unit_state[unit]);
  }
  hour_ = hour;
}

void FastEngine::SimulateChunk(ChainState* state, int years,
                               YearStatistics* stats) {
  const int64_t first_hour = hour_;
  const int64_t end_hour =
      first_hour + static_cast<int64_t>(years) * kHoursPerYear;
  if (lists_) lists_->BuildUpTo(end_hour, &pool_);
  // Beyond the first lap the lists are read again: keep their repair gaps
  // where the years will be walked there.
  if (mode_ == EngineMode::kWalking) lists_->KeepGaps();
  WalkUnits(first_hour, end_hour);
  const LapCheck lap = keeper_ ? keeper_->Check(spans_, first_hour, end_hour)
                               : LapCheck::kNotYet;
  if (lap == LapCheck::kMissed) StopKeeping();
  for (int first = 0; first < years; first += kRoundYears) {
    ScanYears(first_hour, first, std::min(kRoundYears, years - first),
              &state->totals, stats);
  }
  HandOver(state, years);
  hour_ = end_hour;
  if (keeper_ && lap == LapCheck::kTakenUp) StartReplay(end_hour);
}

void FastEngine::WalkUnits(int64_t first_hour, int64_t end_hour) {
  if (keeper_) {
    std::array<int32_t, kUnitBlocks> down_before{};
    for (int unit = 0; unit < kUnits; ++unit) {
      if (walkers_[unit].state == kUnitDown) {
        down_before[unit / kUnitTypes] += UnitTypeOf(unit).capacity_mw;
      }
    }
    keeper_->StartChunk(down_before);
  }
  // The units with the most state changes first, so that the threads
  // finish together.
  pool_.ParallelFor(kUnits, [&](int task, int thread) {
    const int unit = (task % kUnitBlocks) * kUnitTypes + task / kUnitBlocks;
    spans_.of(unit)->clear();
    walk_.Walk(unit, lists_.get(), first_hour, end_hour, &walkers_[unit],
               spans_.of(unit), rows_[thread].data());
  });
}

int64_t FastEngine::listing_years() const {
  return lists_ ? PeriodLists::ListingYears() : 0;
}

int64_t FastEngine::replay_year() const {
  if (replaying()) return replay_from_ / kHoursPerYear;
  return mode_ == EngineMode::kKeepingLap ? LapKeeper::ReplayYear() : -1;
}

void FastEngine::ScanYears(int64_t first_hour, int first_year, int years,
                           ChainAccumulators* totals, YearStatistics* stats) {
  const int batches = (years + batch_years_ - 1) / batch_years_;
  pool_.ParallelFor(batches, [&](int batch, int) {
    const int first = first_year + batch * batch_years_;
    ScanBatch(batch, first, std::min(batch_years_, first_year + years - first));
  });
  // In chronological order, as the plain loop adds them.
  for (int batch = 0; batch < batches; ++batch) {
    AddTally(batches_[batch].tally, totals, stats);
    if (mode_ == EngineMode::kKeepingLap &&
        !keeper_->Store(batches_[batch].kept, first_hour)) {
      StopKeeping();  // Over the store's budget.
    }
  }
}

void FastEngine::AddTally(const YearsTally& tally, ChainAccumulators* totals,
                          YearStatistics* stats) const {
  // The tally's first year is the one after those in the totals.
  if (stats) stats->Add(tally, loads_, static_cast<int64_t>(totals->years));
  AddToTotals(tally, loads_, totals);
}

void FastEngine::ScanBatch(int batch, int first_year, int years) {
  YearBatch& out = batches_[batch];
  out.tally.Clear();
  out.kept.clear();
  const bool keep = mode_ == EngineMode::kKeepingLap;
  DownSpans::Cursors cursors;
  spans_.Seek(static_cast<uint32_t>(first_year) * kHoursPerYear, &cursors);
  std::vector<int32_t*> rows(rows_.size());
  for (int year = first_year; year < first_year + years; ++year) {
    for (size_t thread = 0; thread < rows_.size(); ++thread) {
      rows[thread] =
          rows_[thread].data() + static_cast<size_t>(year) * kRowSize;
    }
    ScanYear(year, keep, rows, &cursors, &out);
    for (const CapacityRun& run : out.runs) finder_.Add(run, &out.tally);
    out.tally.EndYear();
  }
}

void FastEngine::ScanYear(int year, bool keep, std::span<int32_t* const> rows,
                          DownSpans::Cursors* cursors, YearBatch* batch) const {
  const uint32_t year_start = static_cast<uint32_t>(year) * kHoursPerYear;
  batch->runs.clear();
  year_scanner_.OpenBuckets(rows, keep, &batch->open);
  std::array<int32_t, kBucketHours> down_mw;
  for (const uint16_t bucket : batch->open) {
    const uint32_t first = year_start + BucketStart(bucket);
    const int hours = BucketLength(bucket);
    if (keep) {
      keeper_->KeepHours(spans_, first, hours, cursors, &batch->blocks,
                         down_mw.data(), &batch->kept);
    } else {
      spans_.DownHours(first, hours, cursors, down_mw.data());
    }
    year_scanner_.ScanBucket(bucket, down_mw.data(), keep, &batch->runs);
  }
}

void FastEngine::Replay(ChainState* state, int64_t years,
                        YearStatistics* stats) {
  // In rounds of batches, each a run of years tallied on its own, added to
  // the totals in order.
  for (int64_t done = 0; done < years;) {
    const int64_t round =
        std::min(years - done, kReplayBatches * kReplayBatchYears);
    const int batches =
        static_cast<int>((round + kReplayBatchYears - 1) / kReplayBatchYears);
    pool_.ParallelFor(batches, [&](int batch, int) {
      const int64_t first = done + batch * kReplayBatchYears;
      YearsTally& tally = batches_[batch].tally;
      tally.Clear();
      keeper_->store().Replay(hour_ + first * kHoursPerYear,
                              std::min(kReplayBatchYears, done + round - first),
                              finder_, &tally);
    });
    for (int batch = 0; batch < batches; ++batch) {
      AddTally(batches_[batch].tally, &state->totals, stats);
    }
    done += round;
  }
  hour_ += years * kHoursPerYear;
  pool_.ParallelFor(kUnits, [&](int unit, int) {
    walkers_[unit].state =
        StateFromDraws(unit, hour_ - 1, types_[TypeOfUnit(unit)], scanner_);
  });
  HandOver(state, years);
}

}  // namespace adequacy
