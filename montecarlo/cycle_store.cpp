#include "montecarlo/cycle_store.h"

#include <algorithm>
#include <new>

namespace adequacy {
namespace {

constexpr int kLongestSegment = UINT16_MAX;

}  // namespace

void CycleStore::GiveUp() {
  failed_ = true;
  std::vector<HugePages>().swap(blocks_);
  size_ = 0;
}

bool CycleStore::Append(int64_t hour, int hours, int32_t available_mw) {
  if (failed_) return false;
  try {
    while (hours > 0) {
      if (hour >= kCycleHours && second_cycle_ == SIZE_MAX) {
        second_cycle_ = size_;
      }
      // A segment lies within one cycle, and merges with the one before
      // where it continues it at the same capacity.
      const int64_t start = hour % kCycleHours;
      const int piece = static_cast<int>(
          std::min<int64_t>({hours, kCycleHours - start, kLongestSegment}));
      Segment* last = size_ == 0 ? nullptr : &Stored(size_ - 1);
      if (last && last->start + last->hours == start &&
          last->available_mw == available_mw &&
          last->hours + piece <= kLongestSegment) {
        last->hours = static_cast<uint16_t>(last->hours + piece);
      } else {
        if (size_ == blocks_.size() << kBlockShift) {
          if ((blocks_.size() + 1) * kBlockBytes > budget_bytes_) {
            GiveUp();
            return false;
          }
          blocks_.push_back(AllocateHugePages(kBlockBytes));
        }
        Stored(size_++) = {static_cast<uint32_t>(start),
                           static_cast<uint16_t>(piece),
                           static_cast<uint16_t>(available_mw)};
      }
      hour += piece;
      hours -= piece;
    }
  } catch (const std::bad_alloc&) {
    GiveUp();
    return false;
  }
  return true;
}

void CycleStore::Seal(int64_t end) {
  const uint32_t split = static_cast<uint32_t>(end - kCycleHours);
  second_cycle_ = std::min(second_cycle_, size_);
  // The first cycle's segments from `split` on, the first of them trimmed,
  // follow the second cycle's.
  size_t kept = 0;
  while (kept < second_cycle_ &&
         Stored(kept).start + Stored(kept).hours <= split) {
    ++kept;
  }
  if (kept < second_cycle_ && Stored(kept).start < split) {
    Segment& s = Stored(kept);
    s.hours = static_cast<uint16_t>(s.hours - (split - s.start));
    s.start = split;
  }
  head_ = second_cycle_;
  head_size_ = size_ - second_cycle_;
  tail_ = kept;
  cycle_size_ = head_size_ + (second_cycle_ - kept);
  sealed_ = true;
}

size_t CycleStore::FirstEndingAfter(int64_t hour) const {
  size_t low = 0;
  size_t high = cycle_size_;
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    const Segment& s = InCycle(mid);
    if (s.start + s.hours <= hour) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

void CycleStore::Replay(int64_t first_hour, int64_t years,
                        const DeficitFinder& finder, YearsTally* tally) const {
  if (cycle_size_ == 0) {
    for (int64_t y = 0; y < years; ++y) DeficitFinder::EndYear(tally);
    return;
  }
  // The cycle hour of the year's first hour, and the first segment that
  // ends after it.
  int64_t year_start = first_hour % kCycleHours;
  size_t i = FirstEndingAfter(year_start);
  for (int64_t y = 0; y < years; ++y) {
    for (;;) {
      if (i == cycle_size_) {
        // On into the next cycle.
        i = 0;
        year_start -= kCycleHours;
      }
      const Segment& s = InCycle(i);
      const int64_t first = s.start - year_start;
      if (first >= kHoursPerYear) break;
      const int64_t end = first + s.hours;
      const int64_t from = std::max<int64_t>(first, 0);
      const int64_t to = std::min<int64_t>(end, kHoursPerYear);
      finder.Add({static_cast<uint16_t>(from), static_cast<uint16_t>(to - from),
                  s.available_mw},
                 tally);
      // A segment that runs on into the next year is taken up there.
      if (end > kHoursPerYear) break;
      ++i;
    }
    DeficitFinder::EndYear(tally);
    year_start += kHoursPerYear;
  }
}

}  // namespace adequacy
