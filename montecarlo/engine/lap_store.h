// The fleet's outage history over one lap, kept so that later laps are
// replayed rather than walked (fleet_lap.h).
//
// In lap n the fleet has, at hour h + LapShift(n), the capacity of hour h
// of the history kept, except that the blocks from FirstLateBlock(n) on are
// read at hour h - 1: the hour's "reading" r = 2n mod 11 of the kept
// history.  The store keeps the hours at which some reading of the
// capacity falls short of the year's largest load, with each reading's
// capacity: no other hour of any lap can be a deficit.  They are kept as
// stored runs of hours, one capacity after the first, which alone can differ
// by reading: with the usual loads about 9 stored runs a year, 6 MB over a
// lap.  Where the loads are so heavy that the stored runs would pass the
// store's budget, it gives up and the engine walks on.
#ifndef ADEQUACY_MONTECARLO_ENGINE_LAP_STORE_H_
#define ADEQUACY_MONTECARLO_ENGINE_LAP_STORE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "montecarlo/engine/deficit_finder.h"
#include "montecarlo/engine/fleet_lap.h"
#include "montecarlo/engine/huge_pages.h"

namespace adequacy {

inline constexpr int kReadings = kUnitBlocks;

// An hour's capacity, MW, under each reading: reading r has the unit
// blocks from kUnitBlocks - r on read an hour late, from the hour before.
// No more than the fleet's 10,703 MW.
using Readings = std::array<uint16_t, kReadings>;

// An hour's readings, from each block's capacity down, MW, in it and in the
// hour before.
Readings ReadingsOf(const std::array<int32_t, kUnitBlocks>& before,
                    const std::array<int32_t, kUnitBlocks>& now);

class LapStore {
 public:
  // `budget_bytes` bounds the memory of the stored runs.
  explicit LapStore(size_t budget_bytes) : budget_bytes_(budget_bytes) {}

  // Records walked hours [hour, hour + hours): the first at `available_mw`
  // under each reading, the others at available_mw[0] under all.  Calls
  // come in chronological order, from hour 0 on, and name every hour short
  // of the year's largest load under some reading.  False once the store
  // has given up, over budget: it then holds nothing and records nothing
  // more.  Throws std::bad_alloc where memory cannot be had, with the
  // stored runs recorded so far kept.
  bool Append(int64_t hour, int hours, const Readings& available_mw);

  // History is recorded up to hour `end`, and every unit is in the state of
  // the unit it follows (fleet_lap.h) from hour end - 3 on: the lap kept is
  // hours [end - kLapHours - 1, end), and laps n >= 1 follow from `end` on,
  // lap n over hours [end + LapShift(n - 1), end + LapShift(n)).
  void Seal(int64_t end);

  // Tallies `years` consecutive years from the one starting at global hour
  // `first_hour`, at or after the sealed store's `end`.
  void Replay(int64_t first_hour, int64_t years, const DeficitFinder& finder,
              YearsTally* tally) const;

  // Where the recording stands, and a return there, dropping what was
  // recorded since (which is then recorded again).
  struct Mark {
    size_t size = 0;
    uint16_t last_hours = 0;
  };
  Mark Here() const;
  void Rewind(const Mark& mark);

  size_t stored_runs() const { return size_ - first_; }
  bool failed() const { return failed_; }
  bool sealed() const { return sealed_; }
  size_t bytes() const { return pages_.size() * kPageBytes; }

 private:
  // Hours [start, start + hours) of the history: the first at
  // first_mw[r - 1] under reading r > 0, every other at available_mw.
  struct StoredRun {
    uint32_t start;
    uint16_t hours;
    uint16_t available_mw;
    std::array<uint16_t, kReadings - 1> first_mw;
  };
  // The stored runs are kept in pages of under 2 MB, so that they are never
  // copied as they grow: no more memory is ever held than the budget.
  static constexpr int kPageShift = 16;
  static constexpr size_t kPageRuns = size_t{1} << kPageShift;
  static constexpr size_t kPageBytes = kPageRuns * sizeof(StoredRun);

  StoredRun& Stored(size_t i) const {
    return static_cast<StoredRun*>(
        pages_[i >> kPageShift].get())[i & (kPageRuns - 1)];
  }
  // The first stored run that ends after hour `hour` of the history.
  size_t FirstEndingAfter(int64_t hour) const;
  void GiveUp();

  size_t budget_bytes_;
  std::vector<HugePages> pages_;
  size_t size_ = 0;
  // Once sealed: the lap kept is stored runs [first_, size_), and the laps
  // begin at history hour `end_ - kLapHours` or the hour before it, whose
  // first stored runs are `from_[0]` and `from_[1]`.
  size_t first_ = 0;
  int64_t end_ = 0;
  std::array<size_t, 2> from_{};
  bool failed_ = false;
  bool sealed_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_LAP_STORE_H_
