#include "montecarlo/engine/lap_keeper.h"

#include <algorithm>

#include "montecarlo/chain.h"
#include "montecarlo/engine/fleet_lap.h"
#include "montecarlo/statistics/tally.h"

namespace adequacy {
namespace {

// The first year that starts in the fleet's second lap.  Every unit is
// compared with the unit it follows at 64 check hours, two hours before
// the starts of that year and the next 63: each unit has taken up its
// state by the first of them.  Two hours, so that the last check falls
// more than the three hours before a chunk's end that the store's seal
// needs (lap_store.h).
constexpr int64_t kLapYears = FirstYearOfLap(1);
constexpr int kLapChecks = 64;
constexpr int64_t kCheckBeforeYear = 2;
constexpr uint8_t kStateUnknown = 2;
// The memory the kept lap may take: eight times what the default loads
// need, and within the engine's budget beside the lists.
constexpr size_t kStoreBudgetBytes = size_t{48} << 20;

}  // namespace

int64_t LapKeeper::ReplayYear() { return kLapYears; }

bool LapKeeper::CanReplay(const std::array<TypeThresholds, kUnitTypes>& types) {
  return std::all_of(types.begin(), types.end(), [](const TypeThresholds& t) {
    return t.fail <= t.repair;
  });
}

LapKeeper::LapKeeper(double year_peak)
    : served_from_(0), store_(kStoreBudgetBytes) {
  while (served_from_ <= kInstalledCapacity &&
         !Served(served_from_, year_peak)) {
    ++served_from_;
  }
  std::array<uint8_t, kUnits> unknown;
  unknown.fill(kStateUnknown);
  check_states_.assign(kLapChecks, unknown);
}

void LapKeeper::KeepHours(const DownSpans& spans, uint32_t first, int hours,
                          DownSpans::Cursors* cursors,
                          DownSpans::BlockChanges* blocks, int32_t* down_mw,
                          std::vector<KeptRun>* kept) const {
  spans.BlockDownHours(first, hours, cursors, blocks);
  // Each block's down at the hour in hand and at the hour before it, and
  // the fleet's, summed only where a block changes.
  std::array<int32_t, kUnitBlocks> now = blocks->change[0];
  int32_t total = 0;
  for (int32_t mw : now) total += mw;
  // The spans do not reach the hour before the chunk's first, so entry 0
  // is zero there: its capacity down comes from the walkers' states at the
  // chunk's start, and the first hour counts as a change whatever it is.
  if (first == 0) blocks->changed[1] = true;
  KeptRun* run = nullptr;  // The run the last hour was kept in.
  for (int h = 1; h <= hours; ++h) {
    const uint32_t hour = first + h - 1;
    if (!blocks->changed[h]) {
      // No block changes: every reading is the hour's own capacity, that
      // of the hour before.
      down_mw[h - 1] = total;
      if (kInstalledCapacity - total >= served_from_) continue;
      if (run && run->hour + run->hours == hour) {
        ++run->hours;
        continue;
      }
      Readings available;
      available.fill(static_cast<uint16_t>(kInstalledCapacity - total));
      kept->push_back({hour, 1, available});
      run = &kept->back();
      continue;
    }
    // The chunk's first hour reads its hour before from the walkers.
    const std::array<int32_t, kUnitBlocks> last =
        h == 1 && first == 0 ? down_before_chunk_ : now;
    total = 0;
    for (int block = 0; block < kUnitBlocks; ++block) {
      now[block] += blocks->change[h][block];
      total += now[block];
    }
    down_mw[h - 1] = total;
    const Readings available = ReadingsOf(last, now);
    run = nullptr;
    if (*std::min_element(available.begin(), available.end()) >= served_from_) {
      continue;
    }
    kept->push_back({hour, 1, available});
    run = &kept->back();
  }
}

bool LapKeeper::Store(const std::vector<KeptRun>& kept, int64_t first_hour) {
  for (const KeptRun& run : kept) {
    if (!store_.Append(first_hour + run.hour, run.hours, run.available_mw)) {
      return false;
    }
  }
  return true;
}

uint8_t LapKeeper::StateAt(const DownSpans& spans, int64_t first_hour,
                           int64_t hour, int unit) {
  return spans.DownDuring(unit, static_cast<uint32_t>(hour - 1 - first_hour))
             ? kUnitDown
             : kUnitUp;
}

LapCheck LapKeeper::Check(const DownSpans& spans, int64_t first_hour,
                          int64_t end_hour) {
  auto in_chunk = [&](int64_t hour) {
    return hour > first_hour && hour <= end_hour;
  };
  for (int check = 0; check < kLapChecks; ++check) {
    const int64_t hour = (kLapYears + check) * kHoursPerYear - kCheckBeforeYear;
    for (int unit = 0; unit < kUnits; ++unit) {
      // Unit t of block b follows unit t of block b - 2 a lap before, and
      // an hour more where that block is late in lap 1.
      const int block = unit / kUnitTypes;
      const int followed = (block + kUnitBlocks - 2) % kUnitBlocks;
      const int64_t late = followed >= FirstLateBlock(1) ? 1 : 0;
      const int64_t before = hour - kLapHours - late;
      if (in_chunk(before)) {
        check_states_[check][unit] =
            StateAt(spans, first_hour, before,
                    followed * kUnitTypes + TypeOfUnit(unit));
      }
    }
    if (!in_chunk(hour)) continue;
    bool same = true;
    for (int unit = 0; unit < kUnits && same; ++unit) {
      same =
          check_states_[check][unit] == StateAt(spans, first_hour, hour, unit);
    }
    if (same) return LapCheck::kTakenUp;
    if (check == kLapChecks - 1) return LapCheck::kMissed;
  }
  return LapCheck::kNotYet;
}

}  // namespace adequacy
