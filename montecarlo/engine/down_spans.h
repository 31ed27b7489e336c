// The spans of time each unit was down over a chunk of years, as the
// units' walks record them, and the capacity down they give hour by hour
// over the few runs of hours the year scan cannot clear by its bound.
#ifndef ADEQUACY_MONTECARLO_ENGINE_DOWN_SPANS_H_
#define ADEQUACY_MONTECARLO_ENGINE_DOWN_SPANS_H_

#include <array>
#include <cstdint>
#include <vector>

#include "model/fleet.h"
#include "montecarlo/engine/difference_rows.h"
#include "montecarlo/engine/unit_walk.h"

namespace adequacy {

class DownSpans {
 public:
  // The most hours asked for at once: a bucket of the year scan.
  static constexpr int kMostHours = kBucketHours;

  // Each unit's first span that may still matter, moving on through a
  // batch of years, and where that span starts: a unit whose span starts
  // after the hours in question was up throughout them.
  struct Cursors {
    std::array<uint32_t, kUnits> span;
    std::array<uint32_t, kUnits> start;
  };

  // Each block's capacity down from the hour before the hours asked for
  // (entry 0) to their last, as differences from entry to entry (entry 0
  // holds its own down), and whether any block changes at an entry.
  struct BlockChanges {
    std::array<std::array<int32_t, kUnitBlocks>, kMostHours + 2> change;
    std::array<bool, kMostHours + 2> changed;
  };

  // The spans of `unit`, in order, hours counted from the chunk's first.
  std::vector<DownSpan>* of(int unit) { return &spans_[unit]; }

  // Whether `unit` was down during chunk hour `hour`.
  bool DownDuring(int unit, uint32_t hour) const;

  // Points the cursors at the first spans that end after chunk hour `hour`.
  void Seek(uint32_t hour, Cursors* cursors) const;

  // Capacity down in `hours` hours from chunk hour `first`, at or after the
  // hour the cursors were sought to.
  void DownHours(uint32_t first, int hours, Cursors* cursors,
                 int32_t* down_mw) const;

  // The same by block, from the hour before `first`; for the chunk's first
  // hour, whose hour before the spans do not reach, entry 0 is left zero.
  void BlockDownHours(uint32_t first, int hours, Cursors* cursors,
                      BlockChanges* out) const;

 private:
  // Calls add(from, to, unit) for each of the units' spans over hours
  // [low, end), clipped to them, moving the cursors on.
  template <typename Add>
  void ForEachSpan(uint32_t low, uint32_t end, Cursors* cursors, Add add) const;

  std::array<std::vector<DownSpan>, kUnits> spans_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_DOWN_SPANS_H_
