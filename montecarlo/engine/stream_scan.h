// One unit's seed stream: the seeds a unit is tested against at consecutive
// hours, each 110 draws after the last.  A draw r = k * 2^-24 satisfies
// r <= p exactly when its seed is at most (floor(p * 2^24) << 8) | 255, so
// every chain test is an unsigned compare of the seed with a threshold, and
// the scans below look for the first seed at or below one.
#ifndef ADEQUACY_MONTECARLO_ENGINE_STREAM_SCAN_H_
#define ADEQUACY_MONTECARLO_ENGINE_STREAM_SCAN_H_

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/fleet.h"
#include "montecarlo/rng.h"

namespace adequacy {

// The step of a unit's stream from one hour to the next.
inline constexpr LcgStep kHourStep = LcgJump(kUnits);

// The seed threshold equivalent to the test draw <= probability.
uint32_t SeedThreshold(float probability);

// The seed after draw n of the phase (counted from 0), the one draw n is
// tested against.  Constant time.
uint32_t SeedOfDraw(uint64_t draw);

struct StreamHit {
  uint32_t hour;  // Hours after the first seed of the scan.
  uint32_t seed;
};

// The repairs a scan finds beside the failures it collects: class k's
// hits, those at or below fail[k], each get the hours to the first later
// seed at or below repair[k].
inline constexpr int kMostRepairClasses = 5;
struct RepairClasses {
  int count = 0;
  std::array<uint32_t, kMostRepairClasses> repair{};
  std::array<uint32_t, kMostRepairClasses> fail{};
};

// A hit and, for each class, the hours from it to its repair; 0 where the
// hit is not in the class or the scan ends before the repair.
struct GapHit {
  uint32_t hour;
  uint32_t seed;
  std::array<uint16_t, kMostRepairClasses> gap;
};

// Scans of `hours` consecutive hours of one stream, `seed` being the seed of
// its first hour.
struct StreamScanner {
  // The first hour whose seed is at or below `threshold`; `hours` if none.
  uint32_t (*find_first)(uint32_t seed, uint32_t hours, uint32_t threshold);
  // Appends every hour whose seed is at or below `threshold`, in order.
  void (*collect)(uint32_t seed, uint32_t hours, uint32_t threshold,
                  std::vector<StreamHit>* hits);
  // The same with the hits' repair gaps, where this scanner finds them at
  // little cost beside the hits (else null: they are looked for one by
  // one as they are needed).
  void (*collect_gaps)(uint32_t seed, uint32_t hours, uint32_t threshold,
                       const RepairClasses& classes, std::vector<GapHit>* hits);
};

// One seed at a time, on any processor.
StreamScanner PlainScanner();
// Collect with gaps one seed at a time: what the vector code is held to.
// (The plain scanner itself finds gaps one by one as they are needed, as
// that costs it no more.)
void PlainCollectGaps(uint32_t seed, uint32_t hours, uint32_t threshold,
                      const RepairClasses& classes, std::vector<GapHit>* hits);
// Vector code, where this processor runs it: 64 hours at a time with AVX2,
// 128 with AVX-512.
std::optional<StreamScanner> Avx2Scanner();
std::optional<StreamScanner> Avx512Scanner();
// The fastest scanner this processor runs: vector code where it has it.
StreamScanner BestScanner();

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_STREAM_SCAN_H_
