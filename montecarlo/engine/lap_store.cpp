#include "montecarlo/engine/lap_store.h"

#include <algorithm>
#include <new>

namespace adequacy {

Readings ReadingsOf(const std::array<int32_t, kUnitBlocks>& before,
                    const std::array<int32_t, kUnitBlocks>& now) {
  int32_t down = 0;
  for (int32_t mw : now) down += mw;
  // Reading r reads the last r unit blocks an hour late, from the hour
  // before: one block more for each reading.
  Readings available;
  for (int r = 0; r < kReadings; ++r) {
    if (r > 0) {
      const int block = kUnitBlocks - r;
      down += before[block] - now[block];
    }
    available[r] = static_cast<uint16_t>(kInstalledCapacity - down);
  }
  return available;
}

void LapStore::GiveUp() {
  failed_ = true;
  std::vector<HugePages>().swap(pages_);
  size_ = 0;
}

bool LapStore::Append(int64_t hour, int hours, const Readings& available_mw) {
  if (failed_) return false;
  if (hour + hours > UINT32_MAX) {
    GiveUp();  // Never so far: a lap is kept well before this hour.
    return false;
  }
  const bool one_reading =
      std::all_of(available_mw.begin(), available_mw.end(),
                  [&](uint16_t mw) { return mw == available_mw[0]; });
  if (size_ > 0) {
    // Hours that continue the last stored run at its capacity, under every
    // reading, lengthen it.
    StoredRun& last = Stored(size_ - 1);
    if (one_reading && last.start + last.hours == hour &&
        last.available_mw == available_mw[0]) {
      const int more = std::min(hours, UINT16_MAX - last.hours);
      last.hours = static_cast<uint16_t>(last.hours + more);
      hour += more;
      hours -= more;
      if (hours == 0) return true;
    }
  }
  for (bool first = true; hours > 0; first = false) {
    if (size_ == pages_.size() << kPageShift) {
      if ((pages_.size() + 1) * kPageBytes > budget_bytes_) {
        GiveUp();
        return false;
      }
      // Where memory cannot be had, the caller may find some and record
      // the hours again.
      pages_.reserve(pages_.size() + 1);
      pages_.push_back(AllocateHugePages(kPageBytes));
    }
    const int piece = std::min(hours, int{UINT16_MAX});
    StoredRun& s = Stored(size_++);
    s.start = static_cast<uint32_t>(hour);
    s.hours = static_cast<uint16_t>(piece);
    s.available_mw = available_mw[0];
    for (int r = 1; r < kReadings; ++r) {
      s.first_mw[r - 1] = first ? available_mw[r] : available_mw[0];
    }
    hour += piece;
    hours -= piece;
  }
  return true;
}

LapStore::Mark LapStore::Here() const {
  return {size_, size_ > 0 ? Stored(size_ - 1).hours : uint16_t{0}};
}

void LapStore::Rewind(const Mark& mark) {
  if (failed_ || mark.size > size_) return;
  size_ = mark.size;
  if (size_ > 0) Stored(size_ - 1).hours = mark.last_hours;
}

size_t LapStore::FirstEndingAfter(int64_t hour) const {
  size_t low = first_;
  size_t high = size_;
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    const StoredRun& s = Stored(mid);
    if (s.start + s.hours <= hour) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

void LapStore::Seal(int64_t end) {
  end_ = end;
  // The kept lap's first hour, from which the earlier stored runs are not
  // read.  A stored run cut there keeps one capacity: the hour before it is
  // in the stored run too.
  const int64_t first_hour = end - kLapHours - 1;
  first_ = FirstEndingAfter(first_hour);
  if (first_ < size_ && Stored(first_).start < first_hour) {
    StoredRun& s = Stored(first_);
    s.hours = static_cast<uint16_t>(s.hours - (first_hour - s.start));
    s.start = static_cast<uint32_t>(first_hour);
    s.first_mw.fill(s.available_mw);
  }
  from_[1] = first_;
  from_[0] = FirstEndingAfter(first_hour + 1);
  sealed_ = true;
}

void LapStore::Replay(int64_t first_hour, int64_t years,
                      const DeficitFinder& finder, YearsTally* tally) const {
  if (stored_runs() == 0) {
    for (int64_t y = 0; y < years; ++y) tally->EndYear();
    return;
  }
  // The lap in hand: the shift from the history to its hours, its first
  // hour in the history's, and its reading of the history.  Hours below
  // are the history's.
  int64_t lap = LapOfHour(first_hour - end_) + 1;
  int64_t shift = LapShift(lap);
  int64_t lap_start = end_ + LapShift(lap - 1) - shift;
  int reading = ReadingOfLap(lap);
  size_t i = FirstEndingAfter(first_hour - shift);
  int64_t year = first_hour - shift;
  auto add = [&](int64_t from, int64_t hours, uint16_t mw) {
    finder.Add(
        {static_cast<uint16_t>(from - year), static_cast<uint16_t>(hours), mw},
        tally);
  };
  for (int64_t y = 0; y < years; ++y) {
    int64_t year_end = year + kHoursPerYear;
    for (;;) {
      if (i == size_) {
        // On into the next lap, which begins one lap's length (or an hour
        // more) after the last: the year's hours move back by as much.
        ++lap;
        const int64_t length = LapShift(lap) - shift;
        shift += length;
        year -= length;
        year_end -= length;
        lap_start = end_ - length;
        reading = ReadingOfLap(lap);
        i = from_[length - kLapHours];
      }
      const StoredRun& s = Stored(i);
      const int64_t start = s.start;
      if (start >= year_end) break;
      const int64_t end = start + s.hours;
      const int64_t from = std::max(start, std::max(lap_start, year));
      const int64_t to = std::min(end, year_end);
      if (from == start && reading != 0 &&
          s.first_mw[reading - 1] != s.available_mw) {
        add(from, 1, s.first_mw[reading - 1]);
        if (to > from + 1) add(from + 1, to - from - 1, s.available_mw);
      } else if (from < to) {
        add(from, to - from, s.available_mw);
      }
      // A stored run that runs on into the next year is taken up there.
      if (end > year_end) break;
      ++i;
    }
    tally->EndYear();
    year = year_end;
  }
}

}  // namespace adequacy
