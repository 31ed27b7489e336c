#include "montecarlo/period_lists.h"

#include <algorithm>
#include <new>

namespace adequacy {
namespace {

uint32_t StreamHours(uint32_t residue) {
  return static_cast<uint32_t>((kPeriodDraws - 1 - residue) / kUnits + 1);
}

}  // namespace

StreamPosition PositionOf(int unit, int64_t hour) {
  const uint32_t position = static_cast<uint32_t>(DrawOf(unit, hour));
  const uint32_t residue = position % kUnits;
  const uint32_t stream_hour = position / kUnits;
  const uint32_t stretch = stream_hour / kStretchHours;
  const uint32_t first = stretch * kStretchHours;
  return {residue, stretch, stream_hour - first,
          std::min(kStretchHours, StreamHours(residue) - first)};
}

PeriodLists::PeriodLists(const std::array<TypeThresholds, kUnitTypes>& types,
                         StreamScanner scanner)
    : scanner_(scanner) {
  for (int type = 0; type < kUnitTypes; ++type) {
    int list = 0;
    while (list < lists_ && (types[type].fail != list_fail_[list] ||
                             types[type].repair != list_repair_[list])) {
      ++list;
    }
    if (list == lists_) {
      list_fail_[list] = types[type].fail;
      list_repair_[list] = types[type].repair;
      ++lists_;
    }
    list_of_type_[type] = list;
    const int parity = type % 2;
    list_read_[parity][list] = true;
    widest_threshold_[parity] =
        std::max(widest_threshold_[parity], types[type].fail);
  }
  stretches_.resize(kStretches);
  built_.assign(kStretches, 0);
}

bool PeriodLists::Build(uint32_t stretch) {
  if (built_[stretch]) return true;
  Stretch& s = stretches_[stretch];
  // Scratch space of the building thread, kept for its next stretch.
  thread_local std::vector<StreamHit> hits;
  thread_local std::array<std::vector<uint16_t>, kUnitTypes> per_list;
  thread_local std::vector<uint16_t> offsets;
  try {
    offsets.clear();
    s.begin.assign(kUnits * lists_ + 1, 0);
    const uint32_t first = stretch * kStretchHours;
    for (uint32_t residue = 0; residue < kUnits; ++residue) {
      for (auto& list : per_list) list.clear();
      const uint32_t stream_hours = StreamHours(residue);
      const std::array<bool, kUnitTypes>& read = list_read_[residue % 2];
      if (first < stream_hours) {
        hits.clear();
        scanner_.collect(SeedOfDraw(DrawOf(static_cast<int>(residue), first)),
                         std::min(kStretchHours, stream_hours - first),
                         widest_threshold_[residue % 2], &hits);
        for (const StreamHit& hit : hits) {
          for (int list = 0; list < lists_; ++list) {
            if (read[list] && hit.seed <= list_fail_[list]) {
              per_list[list].push_back(static_cast<uint16_t>(hit.hour));
            }
          }
        }
      }
      for (int list = 0; list < lists_; ++list) {
        s.begin[residue * lists_ + list] =
            static_cast<uint32_t>(offsets.size());
        offsets.insert(offsets.end(), per_list[list].begin(),
                       per_list[list].end());
      }
    }
    s.begin[kUnits * lists_] = static_cast<uint32_t>(offsets.size());
    s.entries.assign(offsets.begin(), offsets.end());
  } catch (const std::bad_alloc&) {
    s = Stretch();
    return false;
  }
  bytes_ += s.entries.capacity() * sizeof(uint32_t) +
            s.begin.capacity() * sizeof(uint32_t);
  built_[stretch] = 1;
  return true;
}

PeriodLists::View PeriodLists::Lookup(uint32_t stretch, uint32_t residue,
                                      int type) {
  Stretch& s = stretches_[stretch];
  const uint32_t index = residue * lists_ + list_of_type_[type];
  const uint32_t begin = s.begin[index];
  return {s.entries.data() + begin, s.begin[index + 1] - begin};
}

void PeriodLists::Prefetch(uint32_t stretch, uint32_t residue, int type,
                           int depth) const {
  if (stretch >= kStretches || !built(stretch)) return;
  const Stretch& s = stretches_[stretch];
  const uint32_t* begin = &s.begin[residue * lists_ + list_of_type_[type]];
  if (depth > 1) {
    __builtin_prefetch(begin);
  } else {
    __builtin_prefetch(s.entries.data() + *begin);
  }
}

}  // namespace adequacy
