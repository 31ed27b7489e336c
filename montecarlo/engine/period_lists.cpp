#include "montecarlo/engine/period_lists.h"

#include <atomic>
#include <cmath>
#include <new>

namespace adequacy {
namespace {

uint32_t StreamHours(uint32_t residue) {
  return static_cast<uint32_t>((kPeriodDraws - 1 - residue) / kUnits + 1);
}

// Room for the entries of a stream's list: the expected count of seeds at
// or below the threshold, and eight standard deviations beside it, so that
// a longer list is out of the question in practice.
size_t ExpectedEntries(uint32_t residue, uint32_t threshold) {
  const double share = (static_cast<double>(threshold) + 1.0) / 4294967296.0;
  const double mean = StreamHours(residue) * share;
  return static_cast<size_t>(mean + 8.0 * std::sqrt(mean) + 64.0);
}

}  // namespace

std::array<TypeThresholds, kUnitTypes> ThresholdsOf(
    const ChainParameters& params) {
  std::array<TypeThresholds, kUnitTypes> types;
  for (int type = 0; type < kUnitTypes; ++type) {
    // Unit `type` is the first unit of the type; all its units share it.
    types[type] = {SeedThreshold(params.failure_probability[type]),
                   SeedThreshold(params.repair_probability[type])};
  }
  return types;
}

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
  GroupTypes(types);
  Allocate();
  gaps_as_built_ = scanner_.collect_gaps && FindRepairClasses() && KeepGaps();
}

void PeriodLists::GroupTypes(
    const std::array<TypeThresholds, kUnitTypes>& types) {
  // Types of the same thresholds share a list.
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
}

void PeriodLists::Allocate() {
  streams_.resize(static_cast<size_t>(kUnits) * lists_);
  size_t entries = 0;
  for (uint32_t residue = 0; residue < kUnits; ++residue) {
    for (int list = 0; list < lists_; ++list) {
      List& l = ListOf(residue, list);
      l.begin.reserve(kStretches + 1);
      l.begin.push_back(0);
      if (list_read_[residue % 2][list]) {
        l.room =
            static_cast<uint32_t>(ExpectedEntries(residue, list_fail_[list]));
        entries += l.room;
      }
    }
  }
  table_ = AllocateHugePages(entries * sizeof(uint16_t));
  room_ = entries;
  uint16_t* next = static_cast<uint16_t*>(table_.get());
  first_entry_ = next;
  for (List& l : streams_) {
    l.entries = next;
    next += l.room;
  }
}

bool PeriodLists::FindRepairClasses() {
  // Where the scanner finds repairs beside the failures, each list's gaps
  // are found as it is built: the repair classes of each parity.
  for (int parity = 0; parity < 2; ++parity) {
    RepairClasses& classes = repair_classes_[parity];
    for (int list = 0; list < lists_; ++list) {
      if (!list_read_[parity][list]) continue;
      int k = 0;
      while (k < classes.count && classes.repair[k] != list_repair_[list]) ++k;
      if (k == kMostRepairClasses) return false;
      if (k == classes.count) {
        classes.repair[k] = list_repair_[list];
        ++classes.count;
      }
      classes.fail[k] = std::max(classes.fail[k], list_fail_[list]);
      list_class_[parity][list] = k;
    }
  }
  return true;
}

void PeriodLists::BuildUpTo(int64_t end_hour, WorkerPool* pool) {
  if (full_) return;
  // Every stream's stretches up to the one holding the last draw; past the
  // first period, all of them.
  const uint64_t end_draw = DrawOf(0, end_hour);
  const uint32_t end =
      end_draw >= kPeriodDraws
          ? kStretches
          : static_cast<uint32_t>((end_draw - 1) / kUnits / kStretchHours + 1);
  if (end <= built_) return;
  std::atomic<bool> full{false};
  scratch_.resize(pool->threads());
  pool->ParallelFor(kUnits, [&](int residue, int thread) {
    if (!Extend(static_cast<uint32_t>(residue), end, &scratch_[thread])) {
      full.store(true);
    }
  });
  if (full.load()) {
    full_ = true;
  } else {
    MarkBuilt(end);
  }
}

int64_t PeriodLists::ListingYears() {
  return (static_cast<int64_t>(kPeriodDraws / kUnits) + kHoursPerYear) /
         kHoursPerYear;
}

bool PeriodLists::Extend(uint32_t residue, uint32_t end, Scratch* scratch) {
  std::vector<StreamHit>& hits = scratch->hits;
  std::vector<GapHit>& gap_hits = scratch->gap_hits;
  const uint32_t stream_hours = StreamHours(residue);
  const int parity = static_cast<int>(residue % 2);
  const std::array<bool, kUnitTypes>& read = list_read_[parity];
  try {
    for (uint32_t stretch = ListOf(residue, 0).begin.size() - 1; stretch < end;
         ++stretch) {
      const uint32_t first = stretch * kStretchHours;
      const uint32_t seed =
          SeedOfDraw(DrawOf(static_cast<int>(residue), first));
      const uint32_t hours = first < stream_hours
                                 ? std::min(kStretchHours, stream_hours - first)
                                 : 0;
      hits.clear();
      gap_hits.clear();
      if (gaps_as_built_) {
        scanner_.collect_gaps(seed, hours, widest_threshold_[parity],
                              repair_classes_[parity], &gap_hits);
      } else {
        scanner_.collect(seed, hours, widest_threshold_[parity], &hits);
      }
      for (int list = 0; list < lists_; ++list) {
        List& l = ListOf(residue, list);
        if (read[list]) {
          const bool room = gaps_as_built_
                                ? AppendWithGaps(gap_hits, list_fail_[list],
                                                 list_class_[parity][list], &l)
                                : Append(hits, list_fail_[list], &l);
          if (!room) return false;
        }
        l.begin.push_back(l.size);
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool PeriodLists::Append(const std::vector<StreamHit>& hits, uint32_t threshold,
                         List* l) {
  if (l->room - l->size >= hits.size()) {
    // Every hit is written, and kept where it is a failure of the list: no
    // branch to mispredict.
    uint32_t size = l->size;
    for (const StreamHit& hit : hits) {
      l->entries[size] = static_cast<uint16_t>(hit.hour);
      size += hit.seed <= threshold ? 1 : 0;
    }
    l->size = size;
    return true;
  }
  for (const StreamHit& hit : hits) {
    if (hit.seed > threshold) continue;
    if (l->size == l->room) return false;
    l->entries[l->size++] = static_cast<uint16_t>(hit.hour);
  }
  return true;
}

bool PeriodLists::AppendWithGaps(const std::vector<GapHit>& hits,
                                 uint32_t threshold, int repair_class,
                                 List* l) {
  if (l->room - l->size < hits.size()) return false;
  uint16_t* gaps = gaps_ + (l->entries - first_entry_);
  uint32_t size = l->size;
  for (const GapHit& hit : hits) {
    l->entries[size] = static_cast<uint16_t>(hit.hour);
    gaps[size] = hit.gap[repair_class];
    size += hit.seed <= threshold ? 1 : 0;
  }
  l->size = size;
  return true;
}

PeriodLists::View PeriodLists::Lookup(uint32_t stretch, uint32_t residue,
                                      int type) {
  List& l = ListOf(residue, list_of_type_[type]);
  const uint32_t begin = l.begin[stretch];
  return {l.entries + begin, l.begin[stretch + 1] - begin};
}

bool PeriodLists::KeepGaps() {
  if (gaps_) return true;
  if (gaps_dropped_) return false;
  try {
    // Zero pages, all kGapUnknown.
    gap_table_ = AllocateHugePages(room_ * sizeof(uint16_t));
  } catch (const std::bad_alloc&) {
    return false;
  }
  gaps_ = static_cast<uint16_t*>(gap_table_.get());
  return true;
}

bool PeriodLists::DropGaps() {
  if (!gaps_) return false;
  gap_table_.reset();
  gaps_ = nullptr;
  gaps_as_built_ = false;
  gaps_dropped_ = true;
  return true;
}

size_t PeriodLists::bytes() const {
  size_t bytes = 0;
  for (const List& l : streams_) {
    bytes += l.size * sizeof(uint16_t) + l.begin.size() * sizeof(uint32_t);
    if (gaps_) bytes += l.size * sizeof(uint16_t);
  }
  return bytes;
}

}  // namespace adequacy
