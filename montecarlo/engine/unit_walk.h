// One unit's walk along its stream of seeds, from one state change to the
// next.
//
// A unit changes state only on a seed at or below the threshold of its
// current state.  An up unit reads its next failure from the period lists
// (or scans its stream for it where they are not built), and looks for the
// repair that follows from there, or reads it from the gaps the lists keep;
// a down unit whose repair is not known scans for it.  The spans of time the
// unit is down are recorded, and added to the difference rows of the year scan.
#ifndef ADEQUACY_MONTECARLO_ENGINE_UNIT_WALK_H_
#define ADEQUACY_MONTECARLO_ENGINE_UNIT_WALK_H_

#include <array>
#include <cstdint>
#include <vector>

#include "model/fleet.h"
#include "montecarlo/chain.h"
#include "montecarlo/engine/period_lists.h"
#include "montecarlo/engine/stream_scan.h"

namespace adequacy {

// Hours [start, end) of a chunk, counted from its first hour, that a unit
// was down.
struct DownSpan {
  uint32_t start;
  uint32_t end;
};

inline constexpr int64_t kUnknownHour = -1;

// Where a unit's walk stands between chunks.  Alone on its cache lines, as
// units are walked on different threads.
struct alignas(64) Walker {
  int32_t state = kUnitUp;
  int64_t from = 0;   // The first hour whose seed is not yet read.
  int64_t since = 0;  // While down: the hour the unit went down.
  // While down: the hour of the repair, when known.
  int64_t repair = kUnknownHour;
  // The failure list the unit read last: the hours it covers, the first
  // entry not yet passed and the end of its entries.
  int64_t list_start = kUnknownHour;
  int64_t list_end = kUnknownHour;
  const uint16_t* cursor = nullptr;
  const uint16_t* list_stop = nullptr;

  // Starts a walk at `hour` in `state`.
  static Walker At(int64_t hour, int32_t state);
  // Forgets the list, whose memory is given back.
  void ForgetList();
};

class UnitWalk {
 public:
  UnitWalk(const std::array<TypeThresholds, kUnitTypes>& types,
           StreamScanner scanner)
      : types_(types), scanner_(scanner) {}

  // Walks `unit` over hours [first_hour, end_hour), with the lists where
  // `lists` has them built.  Appends the unit's down spans to *spans and
  // adds them to `rows`.
  void Walk(int unit, PeriodLists* lists, int64_t first_hour, int64_t end_hour,
            Walker* w, std::vector<DownSpan>* spans, int32_t* rows) const;

 private:
  // The hour of the unit's next failure at or after w->from; at or after
  // `limit` when there is none before it.  *entry is its list entry, or
  // null when it was found by scanning.
  int64_t NextFailure(int unit, PeriodLists* lists, int64_t limit, Walker* w,
                      const uint16_t** entry) const;
  // The same where the list read last has no entry left at w->from.
  int64_t NextFailureAfter(int unit, PeriodLists* lists, int64_t limit,
                           Walker* w, const uint16_t** entry) const;
  // The hour of the repair after a failure read from a list, or
  // kUnknownHour when too far off to find at once.
  int64_t RepairAfter(int unit, int64_t failure, const uint16_t* entry,
                      PeriodLists* lists) const;
  // The hours from a failure to its repair, or kGapTooLong.
  uint16_t FindRepairGap(int unit, int64_t failure) const;
  // The first hour in [from, limit) whose seed is at or below `threshold`;
  // `limit` if none.
  int64_t Scan(int unit, int64_t from, int64_t limit, uint32_t threshold) const;

  std::array<TypeThresholds, kUnitTypes> types_;
  StreamScanner scanner_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_UNIT_WALK_H_
