#include "montecarlo/engine/unit_walk.h"

#include <algorithm>

#include "montecarlo/engine/difference_rows.h"

namespace adequacy {

Walker Walker::At(int64_t hour, int32_t state) {
  Walker w;
  w.state = state == kUnitUp ? kUnitUp : kUnitDown;
  w.from = hour;
  w.since = hour;
  return w;
}

void Walker::ForgetList() {
  list_start = list_end = kUnknownHour;
  cursor = list_stop = nullptr;
}

namespace {

// Moves the cursor to the list's first entry at or after `hour`, an hour
// the list covers; that entry, or null when the list has none left.
inline const uint16_t* EntryFrom(int64_t hour, Walker* w) {
  const uint16_t offset = static_cast<uint16_t>(hour - w->list_start);
  const uint16_t* e = w->cursor;
  while (e < w->list_stop && *e < offset) ++e;
  w->cursor = e;
  return e < w->list_stop ? e : nullptr;
}

}  // namespace

inline int64_t UnitWalk::NextFailure(int unit, PeriodLists* lists,
                                     int64_t limit, Walker* w,
                                     const uint16_t** entry) const {
  // Most often within the list read last.
  const int64_t hour = w->from;
  if (hour >= w->list_start && hour < w->list_end) {
    if (const uint16_t* e = EntryFrom(hour, w)) {
      *entry = e;
      return w->list_start + *e;
    }
  }
  // Through a copy, so that the caller's walker can stay in registers.
  Walker moved = *w;
  const int64_t failure = NextFailureAfter(unit, lists, limit, &moved, entry);
  *w = moved;
  return failure;
}

int64_t UnitWalk::NextFailureAfter(int unit, PeriodLists* lists, int64_t limit,
                                   Walker* w, const uint16_t** entry) const {
  const int type = TypeOfUnit(unit);
  int64_t hour = w->from;
  while (hour < limit) {
    if (hour < w->list_start || hour >= w->list_end) {
      const StreamPosition at = PositionOf(unit, hour);
      const int64_t stretch_start = hour - at.offset;
      const int64_t stretch_end = stretch_start + at.length;
      if (!lists || !lists->built(at.stretch)) {
        // Scanned up to where a built stretch could take over.
        const int64_t end = std::min(stretch_end, limit);
        const int64_t found = Scan(unit, hour, end, types_[type].fail);
        if (found < end) return found;
        hour = end;
        continue;
      }
      const PeriodLists::View list =
          lists->Lookup(at.stretch, at.residue, type);
      w->list_start = stretch_start;
      w->list_end = stretch_end;
      w->cursor = list.entries;
      w->list_stop = list.entries + list.size;
    }
    // The first entry at or after this hour, even if it lies beyond the
    // limit: nothing but it can change the unit.
    if (const uint16_t* e = EntryFrom(hour, w)) {
      *entry = e;
      return w->list_start + *e;
    }
    hour = w->list_end;
  }
  w->from = hour;
  return limit;
}

inline int64_t UnitWalk::RepairAfter(int unit, int64_t failure,
                                     const uint16_t* entry,
                                     PeriodLists* lists) const {
  // The gap depends only on the entry and the type's repair threshold, so
  // where gaps are kept, whoever finds it first keeps it for everyone.
  uint16_t* kept = lists->GapOf(entry);
  uint16_t gap = kept ? LoadGap(kept) : kGapUnknown;
  if (gap == kGapUnknown) {
    gap = FindRepairGap(unit, failure);
    if (kept) StoreGap(kept, gap);
  }
  return gap == kGapTooLong ? kUnknownHour : failure + gap;
}

uint16_t UnitWalk::FindRepairGap(int unit, int64_t failure) const {
  constexpr uint32_t kLongest = kGapTooLong - 1;
  const uint32_t found =
      scanner_.find_first(SeedOfDraw(DrawOf(unit, failure + 1)), kLongest,
                          types_[TypeOfUnit(unit)].repair);
  return found < kLongest ? static_cast<uint16_t>(found + 1) : kGapTooLong;
}

int64_t UnitWalk::Scan(int unit, int64_t from, int64_t limit,
                       uint32_t threshold) const {
  if (from >= limit) return limit;
  const uint32_t hours = static_cast<uint32_t>(limit - from);
  return from +
         scanner_.find_first(SeedOfDraw(DrawOf(unit, from)), hours, threshold);
}

void UnitWalk::Walk(int unit, PeriodLists* lists, int64_t first_hour,
                    int64_t end_hour, Walker* walker,
                    std::vector<DownSpan>* spans, int32_t* rows) const {
  // A local copy, so that the walker lives in registers.
  Walker w = *walker;
  const int32_t mw = UnitTypeOf(unit).capacity_mw;
  const uint32_t repair_threshold = types_[TypeOfUnit(unit)].repair;
  RowWriter writer(rows, mw);
  const uint32_t chunk_hours = static_cast<uint32_t>(end_hour - first_hour);
  // Down from `from` (perhaps before the chunk) to `to`.  The rows bound
  // the capacity of the hour after each span too, as a lap replayed later
  // reads some blocks an hour late.
  auto down = [&](int64_t from, int64_t to) __attribute__((always_inline)) {
    const uint32_t start =
        static_cast<uint32_t>(std::max(from, first_hour) - first_hour);
    const uint32_t end = static_cast<uint32_t>(to - first_hour);
    if (start < end) spans->push_back({start, end});
    const uint32_t bound_end = std::min(end + 1, chunk_hours);
    if (start < bound_end) writer.AddDown(start, bound_end);
  };
  for (;;) {
    if (w.state == kUnitDown) {
      if (w.repair == kUnknownHour) {
        w.repair = Scan(unit, w.from, end_hour, repair_threshold);
        if (w.repair == end_hour) {
          w.repair = kUnknownHour;
          w.from = end_hour;
        }
      }
      if (w.repair == kUnknownHour || w.repair >= end_hour) {
        down(w.since, end_hour);
        break;
      }
      down(w.since, w.repair);
      w.state = kUnitUp;
      w.from = w.repair + 1;
      w.repair = kUnknownHour;
    }
    const uint16_t* entry = nullptr;
    const int64_t failure = NextFailure(unit, lists, end_hour, &w, &entry);
    if (failure >= end_hour) break;
    w.state = kUnitDown;
    w.since = failure;
    w.from = failure + 1;
    w.repair = entry ? RepairAfter(unit, failure, entry, lists) : kUnknownHour;
  }
  *walker = w;
}

}  // namespace adequacy
