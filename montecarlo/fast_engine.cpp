#include "montecarlo/fast_engine.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "montecarlo/rng.h"
#include "montecarlo/state_from_draws.h"

namespace adequacy {
namespace {

constexpr int kUnitDrawsPerYear = kUnits * kHoursPerYear;
// Years per chunk: the units walk a chunk, then its years are scanned.  A
// chunk stays shorter than the generator's period (about 4457 years), and
// the difference rows of all threads within a budget.
constexpr int kChunkYears = 1024;
constexpr size_t kRowBudgetBytes = size_t{16} << 20;
// Years whose deficit hours are held at once before they are applied to
// the totals, and the fewest years per task of the scan.  A task seeks each
// unit's spans once, so it takes as many years as still leave two tasks a
// thread.
constexpr int kRoundYears = 256;
constexpr int kBatchYears = 16;
constexpr int kLongestBatchYears = 64;

// The first year that starts in the fleet's second lap, and the years from
// it two hours before whose starts every unit is compared with the unit it
// follows: every unit has taken up its state by the first of them.
constexpr int64_t kLapYears = FirstYearOfLap(1);
constexpr int kLapChecks = 64;
constexpr int64_t kCheckBeforeYear = 2;
constexpr uint8_t kStateUnknown = 2;
// The memory the kept lap may take: eight times what the default loads
// need, and within the engine's budget beside the lists.
constexpr size_t kStoreBudgetBytes = size_t{48} << 20;
// Years replayed as one task, and tasks in flight at once, which bounds the
// deficit hours held.
constexpr int64_t kReplayTaskYears = 4096;
constexpr int kReplayTasks = 16;

std::array<TypeThresholds, kUnitTypes> ThresholdsOf(
    const ChainParameters& params) {
  std::array<TypeThresholds, kUnitTypes> types;
  for (int type = 0; type < kUnitTypes; ++type) {
    // Unit `type` is the first unit of the type; all its units share it.
    types[type] = {SeedThreshold(params.failure_probability[type]),
                   SeedThreshold(params.repair_probability[type])};
  }
  return types;
}

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
  bool replayable = options.replay && options.period_lists;
  for (const TypeThresholds& type : types_) {
    // The units' states after a replay are found from their draws, which
    // needs failures to be rarer than repairs.
    replayable = replayable && type.fail <= type.repair;
  }
  if (options.period_lists) {
    try {
      lists_ = std::make_unique<PeriodLists>(types_, scanner_);
    } catch (const std::bad_alloc&) {
      lists_.reset();
      lists_given_up_ = true;
    }
  }
  rows_.resize(pool_.threads());
  const size_t row_bytes = YearScanner::kRowSize * sizeof(int32_t);
  chunk_years_ = static_cast<int>(std::clamp<size_t>(
      kRowBudgetBytes / (row_bytes * rows_.size()), kRoundYears, kChunkYears));
  if (options.chunk_years > 0) {
    chunk_years_ = std::min(chunk_years_, options.chunk_years);
  }
  for (auto& rows : rows_) {
    rows.assign(static_cast<size_t>(chunk_years_) * YearScanner::kRowSize, 0);
  }
  batch_years_ = std::clamp(kRoundYears / (2 * pool_.threads()), kBatchYears,
                            kLongestBatchYears);
  batches_.resize(std::max(kRoundYears / kBatchYears, kReplayTasks));
  // The least capacity that serves the year's largest load; more than the
  // fleet's where none does.
  keep_served_from_ = 0;
  while (keep_served_from_ <= kInstalledCapacity &&
         !Served(keep_served_from_, finder_.peak())) {
    ++keep_served_from_;
  }
  if (replayable && lists_) {
    store_ = std::make_unique<LapStore>(kStoreBudgetBytes);
    std::array<uint8_t, kUnits> unknown;
    unknown.fill(kStateUnknown);
    check_states_.assign(kLapChecks, unknown);
  }
}

void FastEngine::SimulateYears(ChainState* state, int64_t years,
                               YearStatistics* stats) {
  Resume(*state);
  // Where a chunk may be simulated again, the statistics it started from.
  std::unique_ptr<YearStatistics> stats_before;
  while (years > 0) {
    if (replaying()) {
      Replay(state, years, stats);
      return;
    }
    const int chunk = static_cast<int>(std::min<int64_t>(years, chunk_years_));
    saved_walkers_ = walkers_;
    const ChainState before = *state;
    const LapStore::Mark kept = store_ ? store_->Here() : LapStore::Mark{};
    if (stats && lists_) {
      if (!stats_before) stats_before = std::make_unique<YearStatistics>();
      *stats_before = *stats;
    }
    for (;;) {
      try {
        SimulateChunk(state, chunk, stats);
        break;
      } catch (const std::bad_alloc&) {
        if (!lists_) throw;
        // Memory ran out part way: give back the kept repair gaps (repairs
        // are then looked for one by one), or failing that the lists and
        // the kept lap (every hour is then scanned), and simulate the chunk
        // again from where it started.
        if (!lists_->DropGaps()) {
          lists_.reset();
          lists_given_up_ = true;
          StopKeeping();
        }
        if (store_) store_->Rewind(kept);
        walkers_ = saved_walkers_;
        ForgetLists();
        for (auto& rows : rows_) std::fill(rows.begin(), rows.end(), 0);
        *state = before;
        if (stats) *stats = *stats_before;
      }
    }
    years -= chunk;
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
  BuildLists(end_hour);
  // Lists are read again beyond the first lap: keep their repair gaps
  // where the years will be walked there.
  if (lists_ && !store_ && !lists_->keeps_gaps()) lists_->KeepGaps();
  down_before_chunk_.fill(0);
  for (int unit = 0; unit < kUnits; ++unit) {
    if (walkers_[unit].state == kUnitDown) {
      down_before_chunk_[unit / kUnitTypes] += UnitTypeOf(unit).capacity_mw;
    }
  }
  // The units with the most state changes first, so that the threads
  // finish together.
  pool_.ParallelFor(kUnits, [&](int task, int thread) {
    const int unit = (task % kUnitBlocks) * kUnitTypes + task / kUnitBlocks;
    spans_.of(unit)->clear();
    walk_.Walk(unit, lists_.get(), first_hour, end_hour, &walkers_[unit],
               spans_.of(unit), rows_[thread].data());
  });
  const bool rejoined = CheckLap(first_hour, end_hour);
  for (int first = 0; first < years; first += kRoundYears) {
    ScanYears(first_hour, first, std::min(kRoundYears, years - first),
              &state->totals, stats);
  }
  HandOver(state, years);
  hour_ = end_hour;
  if (store_ && rejoined) {
    // From here on the years are replayed: the lists are no longer read.
    store_->Seal(end_hour);
    replay_from_ = end_hour;
    lists_.reset();
    ForgetLists();
  }
}

int64_t FastEngine::listing_years() const {
  // The first year that starts after the period's last draw.
  constexpr int64_t kPeriodYears =
      (static_cast<int64_t>(kPeriodDraws / kUnits) + kHoursPerYear) /
      kHoursPerYear;
  return lists_ ? kPeriodYears : 0;
}

int64_t FastEngine::replay_year() const {
  if (replaying()) return replay_from_ / kHoursPerYear;
  return store_ ? kLapYears : -1;
}

bool FastEngine::CheckLap(int64_t first_hour, int64_t end_hour) {
  if (!store_) return false;
  // The state at the start of hour h is the state after hour h - 1.
  auto state_at = [&](int64_t hour, int unit) -> uint8_t {
    return spans_.DownDuring(unit, static_cast<uint32_t>(hour - 1 - first_hour))
               ? kUnitDown
               : kUnitUp;
  };
  auto in_chunk = [&](int64_t hour) {
    return hour > first_hour && hour <= end_hour;
  };
  for (int check = 0; check < kLapChecks; ++check) {
    const int64_t hour = (kLapYears + check) * kHoursPerYear - kCheckBeforeYear;
    for (int unit = 0; unit < kUnits; ++unit) {
      // Unit t of block b follows unit t of block b - 2, a lap (and an hour
      // more from the blocks read late) before.
      const int block = unit / kUnitTypes;
      const int followed = (block + kUnitBlocks - 2) % kUnitBlocks;
      const int64_t before =
          hour - kLapHours - (followed >= FirstLateBlock(1) ? 1 : 0);
      if (in_chunk(before)) {
        check_states_[check][unit] =
            state_at(before, followed * kUnitTypes + TypeOfUnit(unit));
      }
    }
    if (in_chunk(hour)) {
      bool same = true;
      for (int unit = 0; unit < kUnits && same; ++unit) {
        same = check_states_[check][unit] == state_at(hour, unit);
      }
      if (same) return true;
      if (check == kLapChecks - 1) {
        // Not taken up: the history does not repeat yet, so walk on.
        StopKeeping();
      }
    }
  }
  return false;
}

void FastEngine::StopKeeping() {
  store_.reset();
  check_states_.clear();
  replay_from_ = -1;
}

void FastEngine::BuildLists(int64_t end_hour) {
  if (!lists_ || lists_full_) return;
  // Every stream's stretches up to the one holding the chunk's last draw;
  // past the first period, all of them.
  const uint64_t end_draw = DrawOf(0, end_hour);
  const uint32_t end =
      end_draw >= kPeriodDraws
          ? kStretches
          : static_cast<uint32_t>((end_draw - 1) / kUnits / kStretchHours + 1);
  if (end <= lists_->built_stretches()) return;
  std::atomic<bool> full{false};
  list_scratch_.resize(pool_.threads());
  pool_.ParallelFor(kUnits, [&](int residue, int thread) {
    if (!lists_->Extend(static_cast<uint32_t>(residue), end,
                        &list_scratch_[thread])) {
      full.store(true);
    }
  });
  if (full.load()) {
    lists_full_ = true;  // Memory ran out: build no more.
  } else {
    lists_->MarkBuilt(end);
  }
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
    if (keeping()) KeepBatch(batches_[batch], first_hour);
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
  const bool keep = keeping();
  out.kept.clear();
  DownSpans::Cursors cursors;
  spans_.Seek(static_cast<uint32_t>(first_year) * kHoursPerYear, &cursors);
  std::vector<int32_t*> rows(rows_.size());
  for (int year = first_year; year < first_year + years; ++year) {
    for (size_t thread = 0; thread < rows_.size(); ++thread) {
      rows[thread] = rows_[thread].data() +
                     static_cast<size_t>(year) * YearScanner::kRowSize;
    }
    const uint32_t year_start = static_cast<uint32_t>(year) * kHoursPerYear;
    out.runs.clear();
    year_scanner_.Scan(
        std::span<int32_t* const>(rows.data(), rows_.size()),
        [&](int first, int hours, int32_t* down_mw) {
          if (keep) {
            KeepHours(year_start + first, hours, &cursors, down_mw, &out);
          } else {
            spans_.DownHours(year_start + first, hours, &cursors, down_mw);
          }
        },
        keep, &out.runs);
    for (const CapacityRun& run : out.runs) finder_.Add(run, &out.tally);
    out.tally.EndYear();
  }
}

void FastEngine::KeepBatch(const YearBatch& batch, int64_t first_hour) {
  for (const KeptRun& kept : batch.kept) {
    if (!store_->Append(first_hour + kept.hour, kept.hours,
                        kept.available_mw)) {
      StopKeeping();
      return;
    }
  }
}

void FastEngine::Replay(ChainState* state, int64_t years,
                        YearStatistics* stats) {
  // In rounds of tasks, each a run of years tallied on its own, added to
  // the totals in order.
  for (int64_t done = 0; done < years;) {
    const int64_t round =
        std::min(years - done, kReplayTasks * kReplayTaskYears);
    const int tasks =
        static_cast<int>((round + kReplayTaskYears - 1) / kReplayTaskYears);
    pool_.ParallelFor(tasks, [&](int task, int) {
      const int64_t first = done + task * kReplayTaskYears;
      YearsTally& tally = batches_[task].tally;
      tally.Clear();
      store_->Replay(hour_ + first * kHoursPerYear,
                     std::min(kReplayTaskYears, done + round - first), finder_,
                     &tally);
    });
    for (int task = 0; task < tasks; ++task) {
      AddTally(batches_[task].tally, &state->totals, stats);
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

void FastEngine::KeepHours(uint32_t first, int hours,
                           DownSpans::Cursors* cursors, int32_t* down_mw,
                           YearBatch* out) const {
  DownSpans::BlockChanges& blocks = out->blocks;
  spans_.BlockDownHours(first, hours, cursors, &blocks);
  // Each block's down at the hour in hand and at the hour before it, and
  // the fleet's, summed only where a block changes.  The walkers' states
  // at the chunk's start give the hour before it.
  std::array<int32_t, kUnitBlocks> now = blocks.change[0];
  int32_t total = 0;
  for (int32_t mw : now) total += mw;
  if (first == 0) blocks.changed[1] = true;
  KeptRun* run = nullptr;  // The run the last hour was kept in.
  for (int h = 1; h <= hours; ++h) {
    const uint32_t hour = first + h - 1;
    if (!blocks.changed[h]) {
      // No block changes: every reading is the hour's own capacity, that
      // of the hour before.
      down_mw[h - 1] = total;
      if (kInstalledCapacity - total >= keep_served_from_) continue;
      if (run && run->hour + run->hours == hour) {
        ++run->hours;
        continue;
      }
      Readings available;
      available.fill(static_cast<uint16_t>(kInstalledCapacity - total));
      out->kept.push_back({hour, 1, available});
      run = &out->kept.back();
      continue;
    }
    const std::array<int32_t, kUnitBlocks> last =
        h == 1 && first == 0 ? down_before_chunk_ : now;
    total = 0;
    for (int block = 0; block < kUnitBlocks; ++block) {
      now[block] += blocks.change[h][block];
      total += now[block];
    }
    down_mw[h - 1] = total;
    const Readings available = ReadingsOf(last, now);
    run = nullptr;
    if (*std::min_element(available.begin(), available.end()) >=
        keep_served_from_) {
      continue;
    }
    out->kept.push_back({hour, 1, available});
    run = &out->kept.back();
  }
}

}  // namespace adequacy
