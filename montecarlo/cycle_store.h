// The fleet's outage history over one cycle of the generator, kept so that
// later cycles are replayed rather than walked.
//
// Unit u reads draw 110 h + u at hour h, and 110 * 2^31 = 55 * 2^32, so
// every unit reads the same seeds at hours h and h + 2^31.  A unit's state
// follows from its state before and its draw, so once every unit is in the
// state it was in one cycle earlier, the up/down history of the whole fleet
// repeats with a period of 2^31 hours (245,146 years and 4688 hours) for
// ever after.  Later cycles differ from the first only in the calendar:
// an hour has the capacity of the hour one cycle before it, but the load of
// its own hour of the year.
//
// The store keeps the hours at which capacity falls short of the year's
// largest load, as segments of one capacity: with the usual loads about 8
// segments a year, 16 MB over a cycle.  No other hour can be a deficit, so
// the segments are all a year needs.  Where the loads are so heavy that the
// segments would pass the store's budget, it gives up and the engine walks
// on.
#ifndef ADEQUACY_MONTECARLO_CYCLE_STORE_H_
#define ADEQUACY_MONTECARLO_CYCLE_STORE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "montecarlo/deficit_finder.h"
#include "montecarlo/huge_pages.h"

namespace adequacy {

inline constexpr int64_t kCycleHours = int64_t{1} << 31;

class CycleStore {
 public:
  // `budget_bytes` bounds the memory of the segments.
  explicit CycleStore(size_t budget_bytes) : budget_bytes_(budget_bytes) {}

  // Records hours [hour, hour + hours) at `available_mw`.  Calls come in
  // chronological order, from hour 0 on, and name every short hour.  False
  // once the store has given up (over budget, or out of memory): it then
  // holds nothing and records nothing more.
  bool Append(int64_t hour, int hours, int32_t available_mw);

  // History is recorded up to hour `end`, between one and two cycles, and
  // the fleet's history repeats from `end` - 2^31 on: makes the store one
  // cycle, its hours [0, end - 2^31) from the second cycle and the rest
  // from the first.
  void Seal(int64_t end);

  // Tallies `years` consecutive years from the one starting at global hour
  // `first_hour`, at or after the sealed store's `end`.
  void Replay(int64_t first_hour, int64_t years, const DeficitFinder& finder,
              YearsTally* tally) const;

  size_t segments() const { return size_; }
  bool failed() const { return failed_; }
  bool sealed() const { return sealed_; }
  size_t bytes() const { return blocks_.size() * kBlockBytes; }

 private:
  // Cycle hours [start, start + hours) at one capacity.
  struct Segment {
    uint32_t start;
    uint16_t hours;
    uint16_t available_mw;
  };
  // The segments are kept in blocks of 2 MB, so that they are never
  // copied as they grow: no more memory is ever held than the budget.
  static constexpr int kBlockShift = 18;
  static constexpr size_t kBlockSegments = size_t{1} << kBlockShift;
  static constexpr size_t kBlockBytes = kBlockSegments * sizeof(Segment);

  Segment& Stored(size_t i) const {
    return static_cast<Segment*>(
        blocks_[i >> kBlockShift].get())[i & (kBlockSegments - 1)];
  }
  // Segment i of the sealed cycle, in the order of its hours.
  const Segment& InCycle(size_t i) const {
    return i < head_size_ ? Stored(head_ + i) : Stored(tail_ + i - head_size_);
  }
  // The first segment of the sealed cycle that ends after cycle hour `hour`.
  size_t FirstEndingAfter(int64_t hour) const;
  void GiveUp();

  size_t budget_bytes_;
  std::vector<HugePages> blocks_;
  size_t size_ = 0;
  // The first segment of the second cycle, once it has begun.
  size_t second_cycle_ = SIZE_MAX;
  // Once sealed, the cycle is the stored segments [head_, head_ +
  // head_size_) (from the second cycle) then [tail_, second_cycle_) (from
  // the first), cycle_size_ in all.
  size_t head_ = 0;
  size_t head_size_ = 0;
  size_t tail_ = 0;
  size_t cycle_size_ = 0;
  bool failed_ = false;
  bool sealed_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_CYCLE_STORE_H_
