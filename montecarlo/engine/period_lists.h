// The draws of the generator's period that can take a unit down, listed
// once and read again in every later period.
//
// The seed sequence has period 2^32 draws, about 4457 simulated years.
// Draw n is read by unit n mod 110 in hour n div 110, so a position p of the
// period (p = n mod 2^32) is read, in period k = n div 2^32, by the unit
// (p + 26 k) mod 110: 2^32 = 110 * 39,045,157 + 26.  Positions with the same
// residue p mod 110 form one unit's stream for the whole of a period, and
// each residue's stream is cut into stretches of 65,536 hours.
//
// For every residue and unit type, a list holds the hours whose seed is at
// or below the type's failure threshold, stretch after stretch in one run of
// memory, so an up unit finds its next failure by reading one entry and
// walks on through the next stretches as the memory lies.  As 110 and 26 are
// even, a residue is only ever read by units of its own parity, and so by types
// of its parity (type = unit mod 10): the lists of the other types are left
// empty, which saves nearly half of the memory.
//
// As (r + 26 k) mod 10 takes each value of r's parity once in five periods,
// a list is read once in the fleet's first lap, which is all that is walked
// where the lap is replayed.  Where years are walked beyond it, every list
// is read again in later periods, and the number of hours to the repair
// that follows each entry is worth keeping: a table of them beside the
// entries is then made, filled as each is first found.  Where the scanner
// finds repairs at little cost beside the failures it collects (AVX-512),
// the table is made at once and the gaps are found as the lists are built,
// but for repairs that lie beyond the end of their stretch.
#ifndef ADEQUACY_MONTECARLO_ENGINE_PERIOD_LISTS_H_
#define ADEQUACY_MONTECARLO_ENGINE_PERIOD_LISTS_H_

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "direct/hourly_load.h"
#include "model/fleet.h"
#include "montecarlo/chain.h"
#include "montecarlo/engine/huge_pages.h"
#include "montecarlo/engine/stream_scan.h"
#include "montecarlo/engine/worker_pool.h"

namespace adequacy {

inline constexpr uint64_t kPeriodDraws = uint64_t{1} << 32;
inline constexpr uint32_t kStretchHours = 1u << 16;
// Hours of a residue's stream in one period: 39,045,158 for residues below
// 26, one fewer for the others.
inline constexpr uint32_t kMaxStreamHours =
    static_cast<uint32_t>((kPeriodDraws - 1) / kUnits + 1);
inline constexpr uint32_t kStretches =
    (kMaxStreamHours + kStretchHours - 1) / kStretchHours;

// Where the draw of a unit at a global hour lies in the period.
struct StreamPosition {
  uint32_t residue;  // Position mod 110: the stream.
  uint32_t stretch;
  uint32_t offset;  // Hour within the stretch.
  uint32_t length;  // Hours of this stretch of this stream.
};

// The number of the draw of a unit at a global hour, counted from 0.
inline uint64_t DrawOf(int unit, int64_t hour) {
  return static_cast<uint64_t>(hour) * kUnits + unit;
}

StreamPosition PositionOf(int unit, int64_t hour);

// What a unit type needs to know of its chain, as seed thresholds.
struct TypeThresholds {
  uint32_t fail;    // An up unit goes down when its seed is at most this.
  uint32_t repair;  // A down unit comes up when its seed is at most this.
};

// Every type's thresholds, from the chain's probabilities.
std::array<TypeThresholds, kUnitTypes> ThresholdsOf(
    const ChainParameters& params);

// A repair gap not yet known, and one too long to keep (the repair is then
// found by scanning).
inline constexpr uint16_t kGapUnknown = 0;
inline constexpr uint16_t kGapTooLong = 0xFFFF;

// Kept gaps are read and written atomically (relaxed): a gap found by one
// thread may be read by another.
inline uint16_t LoadGap(uint16_t* gap) {
  return std::atomic_ref<uint16_t>(*gap).load(std::memory_order_relaxed);
}
inline void StoreGap(uint16_t* gap, uint16_t value) {
  std::atomic_ref<uint16_t>(*gap).store(value, std::memory_order_relaxed);
}

class PeriodLists {
 public:
  // Asks for the memory of every list at once, in one table (only pages
  // written are used): room for the expected entries and far more than
  // their spread.  Throws std::bad_alloc when it cannot be had.
  PeriodLists(const std::array<TypeThresholds, kUnitTypes>& types,
              StreamScanner scanner);

  // Stretches [0, built_stretches()) of every stream are built.
  uint32_t built_stretches() const { return built_; }
  bool built(uint32_t stretch) const { return stretch < built_; }

  // Builds one stream's lists on to stretch `end` (not included); false
  // when memory for them cannot be had, or (never seen) a list outgrows its
  // room.  Different streams may be built on different threads at once.
  // `scratch` is the building thread's own, kept for its next stream; a
  // thread-local one would need a destructor registered at the thread's
  // first use, which, failing for want of memory, aborts the process.
  struct Scratch {
    std::vector<StreamHit> hits;
    std::vector<GapHit> gap_hits;
  };
  bool Extend(uint32_t residue, uint32_t end, Scratch* scratch);
  bool Extend(uint32_t residue, uint32_t end) {
    Scratch scratch;
    return Extend(residue, end, &scratch);
  }
  // Every stream is built to stretch `end`.
  void MarkBuilt(uint32_t end) { built_ = std::max(built_, end); }

  // Builds every stream's lists as far as the hours before `end_hour`
  // read them, the streams spread over `pool`.  Once memory runs out it
  // builds no more, and the stretches not built are scanned.
  void BuildUpTo(int64_t end_hour, WorkerPool* pool);

  // The years over which the lists are built, the generator's first
  // period: up to the first year that starts after its last draw.
  static int64_t ListingYears();

  // The failure entries (hours within the stretch, ascending) of one unit
  // type in one stream; empty for a type whose parity is not the
  // residue's, as no unit of it reads the stream.  The entries of a
  // stream's next stretch follow on in memory.
  struct View {
    const uint16_t* entries;
    uint32_t size;
  };
  View Lookup(uint32_t stretch, uint32_t residue, int type);

  // Makes the table of repair gaps, all unknown; false when its memory
  // cannot be had, or was given back (gaps are then found each time).
  bool KeepGaps();
  // Gives the table of repair gaps back for good; false when there was
  // none.
  bool DropGaps();
  bool keeps_gaps() const { return gaps_ != nullptr; }
  // The kept gap of an entry, when gaps are kept; else null.
  uint16_t* GapOf(const uint16_t* entry) {
    return gaps_ ? gaps_ + (entry - first_entry_) : nullptr;
  }

  // Bytes held by the entries built.
  size_t bytes() const;

 private:
  // One stream's list for one set of thresholds: its entries, in its room
  // in the table, and where each stretch's begin (kStretches + 1 of them
  // once built).
  struct List {
    uint16_t* entries = nullptr;
    uint32_t size = 0;
    uint32_t room = 0;
    std::vector<uint32_t> begin;
  };

  // Adds the hits at or below `threshold` to the list; false when it has
  // no room for them.
  // The steps of the constructor: the types that share a list, the table
  // of every list, and the repair classes whose gaps are found as the
  // lists are built (false where there are too many of them).
  void GroupTypes(const std::array<TypeThresholds, kUnitTypes>& types);
  void Allocate();
  bool FindRepairClasses();

  static bool Append(const std::vector<StreamHit>& hits, uint32_t threshold,
                     List* l);
  // The same with their gaps in `repair_class`, into the kept gaps.
  bool AppendWithGaps(const std::vector<GapHit>& hits, uint32_t threshold,
                      int repair_class, List* l);

  List& ListOf(uint32_t residue, int list) {
    return streams_[residue * lists_ + list];
  }

  StreamScanner scanner_;
  // Types with the same thresholds share one list.
  std::array<int, kUnitTypes> list_of_type_;
  int lists_ = 0;
  std::array<uint32_t, kUnitTypes> list_fail_;
  std::array<uint32_t, kUnitTypes> list_repair_;
  // By the parity of the residue: which lists its units read, and the
  // widest failure threshold among them.
  std::array<std::array<bool, kUnitTypes>, 2> list_read_{};
  std::array<uint32_t, 2> widest_threshold_{};
  std::vector<List> streams_;  // By residue, then list.
  HugePages table_;
  size_t room_ = 0;  // Entries the table has room for.
  const uint16_t* first_entry_ = nullptr;
  HugePages gap_table_;
  uint16_t* gaps_ = nullptr;
  // By parity: the lists' repair classes, and each list's class.
  std::array<RepairClasses, 2> repair_classes_{};
  // Each thread's scratch for BuildUpTo, and whether memory ran out.
  std::vector<Scratch> scratch_;
  bool full_ = false;
  std::array<std::array<int, kUnitTypes>, 2> list_class_{};
  // Whether the gaps are found as the lists are built, and whether they
  // were given back.
  bool gaps_as_built_ = false;
  bool gaps_dropped_ = false;
  uint32_t built_ = 0;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_PERIOD_LISTS_H_
