// The fleet's first lap kept while it is walked, for the engine to replay
// later laps from (fleet_lap.h, lap_store.h).
//
// While the years of the first lap are walked, the keeper finds, hour by
// hour in the open buckets of the year scan, the hours that may be short
// in some lap (under some reading of the blocks), and appends them to the
// store in chronological order.  After each chunk it looks whether every
// unit has taken up the state of the unit it follows one lap before; once
// so, the fleet's history repeats, the store is sealed, and the engine
// replays.  The keeper gives up, and the engine walks on, where the fleet
// has not taken up its lap within 64 checks or the store passes its
// budget.
#ifndef ADEQUACY_MONTECARLO_ENGINE_LAP_KEEPER_H_
#define ADEQUACY_MONTECARLO_ENGINE_LAP_KEEPER_H_

#include <array>
#include <cstdint>
#include <vector>

#include "model/fleet.h"
#include "montecarlo/engine/down_spans.h"
#include "montecarlo/engine/lap_store.h"
#include "montecarlo/engine/period_lists.h"

namespace adequacy {

// Hours of a chunk that may be short in some lap: the first with its
// capacity under each reading, the others at its reading 0 under all.
struct KeptRun {
  uint32_t hour;
  uint16_t hours;
  Readings available_mw;
};

// What a look at a chunk's end finds.
enum class LapCheck {
  kNotYet,   // The checks have not all been passed: keep on keeping.
  kTakenUp,  // Every unit is in the state of the unit it follows.
  kMissed,   // Every check passed without it: the lap is not kept.
};

class LapKeeper {
 public:
  // The first year that starts in the fleet's second lap, from which years
  // are replayed once the lap is taken up.
  static int64_t ReplayYear();

  // Whether later laps can be replayed: the units' states after a replay
  // are found from their draws, which needs failures to be rarer than
  // repairs.
  static bool CanReplay(const std::array<TypeThresholds, kUnitTypes>& types);

  // `year_peak` is the year's largest load.  Throws std::bad_alloc where
  // the store cannot be had.
  explicit LapKeeper(double year_peak);

  // Before a chunk is walked: each block's capacity down in the hour
  // before it, from the walkers' states.
  void StartChunk(const std::array<int32_t, kUnitBlocks>& down_before) {
    down_before_chunk_ = down_before;
  }

  // The capacity down in `hours` hours from chunk hour `first`, found from
  // each block's as DownSpans::DownHours finds it, to `down_mw`; appends the
  // hours short of the year's largest load under some reading to *kept.
  void KeepHours(const DownSpans& spans, uint32_t first, int hours,
                 DownSpans::Cursors* cursors, DownSpans::BlockChanges* blocks,
                 int32_t* down_mw, std::vector<KeptRun>* kept) const;

  // Stores a batch's kept hours, in chronological order, the chunk
  // starting at global hour `first_hour`.  False once the store has given
  // up, over its budget.
  bool Store(const std::vector<KeptRun>& kept, int64_t first_hour);

  // After chunk [first_hour, end_hour) is walked, with its spans: notes the
  // states of the units followed one lap before the check hours, and
  // compares every unit with the unit it follows at each check hour.
  LapCheck Check(const DownSpans& spans, int64_t first_hour, int64_t end_hour);

  // Seals the store at `end_hour`, a check hour's chunk end: from there on
  // later laps are replayed.
  void Seal(int64_t end_hour) { store_.Seal(end_hour); }

  // Where the store stands, and a return there.
  LapStore::Mark Here() const { return store_.Here(); }
  void Rewind(const LapStore::Mark& mark) { store_.Rewind(mark); }

  const LapStore& store() const { return store_; }

 private:
  // The state of unit `unit` at the start of global hour `hour` of the
  // chunk starting at `first_hour`: its state after the hour before.
  static uint8_t StateAt(const DownSpans& spans, int64_t first_hour,
                         int64_t hour, int unit);

  // The least capacity that serves the year's largest load; more than the
  // fleet's where none does.
  int32_t served_from_;
  LapStore store_;
  // Each block's capacity down in the hour before the chunk in hand.
  std::array<int32_t, kUnitBlocks> down_before_chunk_{};
  // For each check, the state of the unit each unit follows, one lap
  // before the check hour, as it is passed.
  std::vector<std::array<uint8_t, kUnits>> check_states_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_LAP_KEEPER_H_
