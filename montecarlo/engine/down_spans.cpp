#include "montecarlo/engine/down_spans.h"

#include <algorithm>

namespace adequacy {
namespace {

constexpr uint32_t kNoSpan = UINT32_MAX;

}  // namespace

bool DownSpans::DownDuring(int unit, uint32_t hour) const {
  const std::vector<DownSpan>& spans = spans_[unit];
  auto span =
      std::partition_point(spans.begin(), spans.end(),
                           [&](const DownSpan& s) { return s.end <= hour; });
  return span != spans.end() && span->start <= hour;
}

void DownSpans::Seek(uint32_t hour, Cursors* cursors) const {
  for (int unit = 0; unit < kUnits; ++unit) {
    const std::vector<DownSpan>& spans = spans_[unit];
    const auto span =
        std::partition_point(spans.begin(), spans.end(),
                             [&](const DownSpan& s) { return s.end <= hour; });
    cursors->span[unit] = static_cast<uint32_t>(span - spans.begin());
    cursors->start[unit] = span == spans.end() ? kNoSpan : span->start;
  }
}

template <typename Add>
void DownSpans::ForEachSpan(uint32_t low, uint32_t end, Cursors* cursors,
                            Add add) const {
  for (int unit = 0; unit < kUnits; ++unit) {
    // Most units are up throughout, and their spans are not read.
    if (cursors->start[unit] >= end) continue;
    const std::vector<DownSpan>& spans = spans_[unit];
    uint32_t i = cursors->span[unit];
    while (i < spans.size() && spans[i].end <= low) ++i;
    for (uint32_t j = i; j < spans.size() && spans[j].start < end; ++j) {
      add(std::max(spans[j].start, low), std::min(spans[j].end, end), unit);
    }
    cursors->span[unit] = i;
    cursors->start[unit] = i < spans.size() ? spans[i].start : kNoSpan;
  }
}

void DownSpans::DownHours(uint32_t first, int hours, Cursors* cursors,
                          int32_t* down_mw) const {
  std::array<int32_t, kMostHours + 1> change{};
  ForEachSpan(first, first + hours, cursors,
              [&](uint32_t from, uint32_t to, int unit) {
                const int32_t mw = UnitTypeOf(unit).capacity_mw;
                change[from - first] += mw;
                change[to - first] -= mw;
              });
  int32_t down = 0;
  for (int h = 0; h < hours; ++h) {
    down += change[h];
    down_mw[h] = down;
  }
}

void DownSpans::BlockDownHours(uint32_t first, int hours, Cursors* cursors,
                               BlockChanges* out) const {
  // Entry e is chunk hour first - 1 + e.
  const int64_t before = static_cast<int64_t>(first) - 1;
  for (int e = 0; e <= hours + 1; ++e) {
    out->change[e].fill(0);
    out->changed[e] = false;
  }
  ForEachSpan(first > 0 ? first - 1 : 0, first + hours, cursors,
              [&](uint32_t from, uint32_t to, int unit) {
                const int32_t mw = UnitTypeOf(unit).capacity_mw;
                const int block = unit / kUnitTypes;
                out->change[from - before][block] += mw;
                out->change[to - before][block] -= mw;
                out->changed[from - before] = true;
                out->changed[to - before] = true;
              });
}

}  // namespace adequacy
