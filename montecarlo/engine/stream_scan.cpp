#include "montecarlo/engine/stream_scan.h"

#include <array>
#include <bit>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ADEQUACY_X86_SCAN 1
#endif

namespace adequacy {
namespace {

// F^(v << 8b) for every byte value v of byte b of a 32-bit draw count: any
// jump is the composition of four of them.
struct ByteJumps {
  std::array<std::array<LcgStep, 256>, 4> step;
};

constexpr ByteJumps MakeByteJumps() {
  ByteJumps jumps{};
  for (int b = 0; b < 4; ++b) {
    const LcgStep unit = LcgJump(uint64_t{1} << (8 * b));
    LcgStep power = {1u, 0u};
    for (int v = 0; v < 256; ++v) {
      jumps.step[b][v] = power;
      power = {unit.a * power.a, unit.a * power.c + unit.c};
    }
  }
  return jumps;
}

constexpr ByteJumps kByteJumps = MakeByteJumps();

uint32_t PlainFindFirst(uint32_t seed, uint32_t hours, uint32_t threshold) {
  for (uint32_t h = 0; h < hours; ++h) {
    if (seed <= threshold) return h;
    seed = kHourStep.Apply(seed);
  }
  return hours;
}

void PlainCollect(uint32_t seed, uint32_t hours, uint32_t threshold,
                  std::vector<StreamHit>* hits) {
  for (uint32_t h = 0; h < hours; ++h) {
    if (seed <= threshold) hits->push_back({h, seed});
    seed = kHourStep.Apply(seed);
  }
}

// The hits still waiting for their repair, by class (a few at a time; one
// that finds no room keeps its gap unknown, which is never wrong).
struct PendingGaps {
  static constexpr int kRoom = 32;
  std::array<std::array<uint32_t, kRoom>, kMostRepairClasses> hit;
  std::array<int, kMostRepairClasses> size{};
  uint32_t classes = 0;  // Bit k: class k has hits waiting.

  void Add(int k, uint32_t i) {
    if (size[k] == kRoom) return;
    hit[k][size[k]++] = i;
    classes |= 1u << k;
  }
  // Class k's hits are repaired at scan hour `hour`.
  void Resolve(int k, uint32_t hour, std::vector<GapHit>* hits) {
    for (int n = 0; n < size[k]; ++n) {
      GapHit& h = (*hits)[hit[k][n]];
      const uint32_t gap = hour - h.hour;
      if (gap < 0xFFFF) h.gap[k] = static_cast<uint16_t>(gap);
    }
    size[k] = 0;
    classes &= ~(1u << k);
  }
};

// Hours [first, hours) of a collect with gaps, one at a time; `seed` is the
// seed of hour `first`.
void CollectGapsFrom(uint32_t seed, uint32_t first, uint32_t hours,
                     uint32_t threshold, const RepairClasses& classes,
                     PendingGaps* pending, std::vector<GapHit>* hits) {
  for (uint32_t h = first; h < hours; ++h) {
    // A repair of the hits before this hour comes first.
    for (uint32_t todo = pending->classes; todo != 0; todo &= todo - 1) {
      const int k = std::countr_zero(todo);
      if (seed <= classes.repair[k]) pending->Resolve(k, h, hits);
    }
    if (seed <= threshold) {
      hits->push_back({h, seed, {}});
      for (int k = 0; k < classes.count; ++k) {
        if (seed <= classes.fail[k]) {
          pending->Add(k, static_cast<uint32_t>(hits->size() - 1));
        }
      }
    }
    seed = kHourStep.Apply(seed);
  }
}

#ifdef ADEQUACY_X86_SCAN

// The hours [first, hours) after the last whole window, one at a time;
// `seed` is the seed of hour `first`.
void CollectTail(uint32_t seed, uint32_t first, uint32_t hours,
                 uint32_t threshold, std::vector<StreamHit>* hits) {
  const size_t first_tail_hit = hits->size();
  PlainCollect(seed, hours - first, threshold, hits);
  for (size_t i = first_tail_hit; i < hits->size(); ++i) {
    (*hits)[i].hour += first;
  }
}

// A window of hours gets its seeds side by side from the window's first seed:
// lane j holds A_j * x + C_j, the map of j hours.
template <int kHours>
struct WindowSteps {
  LcgStep window;
  alignas(64) std::array<uint32_t, kHours> lane_a;
  alignas(64) std::array<uint32_t, kHours> lane_c;
};

template <int kHours>
constexpr WindowSteps<kHours> MakeWindowSteps() {
  WindowSteps<kHours> s{};
  s.window = LcgJump(static_cast<uint64_t>(kUnits) * kHours);
  for (int j = 0; j < kHours; ++j) {
    const LcgStep lane = LcgJump(static_cast<uint64_t>(kUnits) * j);
    s.lane_a[j] = lane.a;
    s.lane_c[j] = lane.c;
  }
  return s;
}

// AVX2: eight vectors of eight lanes.
constexpr int kWindowHours = 64;
constexpr WindowSteps<kWindowHours> kWindow = MakeWindowSteps<kWindowHours>();

struct Avx2Window {
  __m256i a[8];
  __m256i c[8];
};

__attribute__((target("avx2"), always_inline)) inline Avx2Window LoadWindow() {
  Avx2Window b;
  for (int v = 0; v < 8; ++v) {
    b.a[v] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(&kWindow.lane_a[8 * v]));
    b.c[v] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(&kWindow.lane_c[8 * v]));
  }
  return b;
}

// The window's seeds into m; true when any of them is at or below t.
__attribute__((target("avx2"), always_inline)) inline bool WindowSeeds(
    const Avx2Window& b, uint32_t seed, __m256i t, __m256i (&m)[8]) {
  const __m256i x = _mm256_set1_epi32(static_cast<int>(seed));
  for (int v = 0; v < 8; ++v) {
    m[v] = _mm256_add_epi32(_mm256_mullo_epi32(x, b.a[v]), b.c[v]);
  }
  const __m256i low =
      _mm256_min_epu32(_mm256_min_epu32(_mm256_min_epu32(m[0], m[1]),
                                        _mm256_min_epu32(m[2], m[3])),
                       _mm256_min_epu32(_mm256_min_epu32(m[4], m[5]),
                                        _mm256_min_epu32(m[6], m[7])));
  return _mm256_movemask_epi8(
             _mm256_cmpeq_epi32(_mm256_min_epu32(low, t), low)) != 0;
}

// Bit j set for every hour j of the window whose seed is at or below t.
__attribute__((target("avx2"), always_inline)) inline uint64_t WindowMask(
    const __m256i (&m)[8], __m256i t) {
  uint64_t mask = 0;
  for (int v = 0; v < 8; ++v) {
    const __m256i hit = _mm256_cmpeq_epi32(_mm256_min_epu32(m[v], t), m[v]);
    mask |= static_cast<uint64_t>(_mm256_movemask_ps(_mm256_castsi256_ps(hit)))
            << (8 * v);
  }
  return mask;
}

__attribute__((target("avx2"))) uint32_t Avx2FindFirst(uint32_t seed,
                                                       uint32_t hours,
                                                       uint32_t threshold) {
  const Avx2Window b = LoadWindow();
  const __m256i t = _mm256_set1_epi32(static_cast<int>(threshold));
  uint32_t h = 0;
  for (; h + kWindowHours <= hours; h += kWindowHours) {
    __m256i m[8];
    if (WindowSeeds(b, seed, t, m)) {
      return h + static_cast<uint32_t>(std::countr_zero(WindowMask(m, t)));
    }
    seed = kWindow.window.Apply(seed);
  }
  return h + PlainFindFirst(seed, hours - h, threshold);
}

__attribute__((target("avx2"))) void Avx2Collect(uint32_t seed, uint32_t hours,
                                                 uint32_t threshold,
                                                 std::vector<StreamHit>* hits) {
  const Avx2Window b = LoadWindow();
  const __m256i t = _mm256_set1_epi32(static_cast<int>(threshold));
  uint32_t h = 0;
  for (; h + kWindowHours <= hours; h += kWindowHours) {
    __m256i m[8];
    if (WindowSeeds(b, seed, t, m)) {
      alignas(32) uint32_t seeds[kWindowHours];
      for (int v = 0; v < 8; ++v) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(&seeds[8 * v]), m[v]);
      }
      for (uint64_t mask = WindowMask(m, t); mask != 0; mask &= mask - 1) {
        const int j = std::countr_zero(mask);
        hits->push_back({h + j, seeds[j]});
      }
    }
    seed = kWindow.window.Apply(seed);
  }
  CollectTail(seed, h, hours, threshold, hits);
}

// AVX-512: eight vectors of sixteen lanes, a window of 128 hours whose
// eight products are independent, so that the multiplier stays busy.
constexpr int kWideHours = 128;
constexpr WindowSteps<kWideHours> kWide = MakeWindowSteps<kWideHours>();

struct Avx512Block {
  __m512i a[8];
  __m512i c[8];
};

__attribute__((target("avx512f"), always_inline)) inline Avx512Block
LoadWideBlock() {
  Avx512Block b;
#pragma GCC unroll 8
  for (int v = 0; v < 8; ++v) {
    b.a[v] = _mm512_load_si512(&kWide.lane_a[16 * v]);
    b.c[v] = _mm512_load_si512(&kWide.lane_c[16 * v]);
  }
  return b;
}

// Bit j of the pair (low 64 hours, high 64 hours) set for every hour j of
// the window whose seed is at or below t.
struct WideMask {
  uint64_t low;
  uint64_t high;
};

// The lanes' unsigned minimum, in the masked form: the plain intrinsic
// starts from an undefined vector that the compiler warns of.
__attribute__((target("avx512f"), always_inline)) inline __m512i MinU32(
    __m512i p, __m512i q) {
  return _mm512_maskz_min_epu32(0xFFFF, p, q);
}

// The window's seeds; true when any is at or below t.  Hits are rare, so one
// compare of the lanes' minimum decides most windows.
__attribute__((target("avx512f"), always_inline)) inline bool WideWindowSeeds(
    const Avx512Block& b, uint32_t seed, __m512i t, __m512i (&m)[8]) {
  const __m512i x = _mm512_set1_epi32(static_cast<int>(seed));
#pragma GCC unroll 8
  for (int v = 0; v < 8; ++v) {
    m[v] = _mm512_add_epi32(_mm512_mullo_epi32(x, b.a[v]), b.c[v]);
  }
  const __m512i low = MinU32(MinU32(MinU32(m[0], m[1]), MinU32(m[2], m[3])),
                             MinU32(MinU32(m[4], m[5]), MinU32(m[6], m[7])));
  return _mm512_cmple_epu32_mask(low, t) != 0;
}

__attribute__((target("avx512f"), always_inline)) inline WideMask
WideWindowMask(const __m512i (&m)[8], __m512i t) {
  uint64_t k[8];
#pragma GCC unroll 8
  for (int v = 0; v < 8; ++v) k[v] = _mm512_cmple_epu32_mask(m[v], t);
  return {k[0] | k[1] << 16 | k[2] << 32 | k[3] << 48,
          k[4] | k[5] << 16 | k[6] << 32 | k[7] << 48};
}

// Scans whole windows of `hours` from `*seed`, calling on_hits(h, mask,
// seed) for each window (first hour h, its seed) with an hour at or below
// `threshold`, until it returns true.  Returns the first hour not scanned,
// *seed its seed.
template <typename OnHits>
__attribute__((target("avx512f"), always_inline)) inline uint32_t WideScan(
    uint32_t* seed, uint32_t hours, uint32_t threshold, OnHits on_hits) {
  const Avx512Block b = LoadWideBlock();
  const __m512i t = _mm512_set1_epi32(static_cast<int>(threshold));
  uint32_t h = 0;
  for (; h + kWideHours <= hours; h += kWideHours) {
    __m512i m[8];
    if (WideWindowSeeds(b, *seed, t, m) &&
        on_hits(h, WideWindowMask(m, t), *seed)) {
      break;
    }
    *seed = kWide.window.Apply(*seed);
  }
  return h;
}

__attribute__((target("avx512f"))) uint32_t Avx512FindFirst(
    uint32_t seed, uint32_t hours, uint32_t threshold) {
  uint32_t found = hours;
  const uint32_t h = WideScan(
      &seed, hours, threshold, [&](uint32_t first, WideMask mask, uint32_t) {
        found = first + static_cast<uint32_t>(
                            mask.low != 0 ? std::countr_zero(mask.low)
                                          : 64 + std::countr_zero(mask.high));
        return true;
      });
  return found < hours ? found : h + PlainFindFirst(seed, hours - h, threshold);
}

// The first hour of a window's mask after hour j, or -1.
inline int FirstBitAfter(const WideMask& mask, int j) {
  const int next = j + 1;
  if (next < 64) {
    const uint64_t low = mask.low >> next << next;
    if (low != 0) return std::countr_zero(low);
    return mask.high != 0 ? 64 + std::countr_zero(mask.high) : -1;
  }
  if (next >= kWideHours) return -1;
  const uint64_t high = mask.high >> (next - 64) << (next - 64);
  return high != 0 ? 64 + std::countr_zero(high) : -1;
}

// A window's repair seeds of class k, compared once per window, when asked.
struct BlockRepairs {
  WideMask mask[kMostRepairClasses];
  uint32_t made = 0;
};

__attribute__((target("avx512f"), always_inline)) inline const WideMask&
RepairsOf(int k, const __m512i (&m)[8], const __m512i* repair,
          BlockRepairs* repairs) {
  if ((repairs->made >> k & 1) == 0) {
    repairs->mask[k] = WideWindowMask(m, repair[k]);
    repairs->made |= 1u << k;
  }
  return repairs->mask[k];
}

// Collect with gaps: the seeds of a window are at hand, so the repairs of
// its failures, and of those still waiting, are found by comparing them
// with each class's repair threshold too, in windows that have either.
__attribute__((target("avx512f"))) void Avx512CollectGaps(
    uint32_t seed, uint32_t hours, uint32_t threshold,
    const RepairClasses& classes, std::vector<GapHit>* hits) {
  const Avx512Block b = LoadWideBlock();
  const __m512i t = _mm512_set1_epi32(static_cast<int>(threshold));
  __m512i repair[kMostRepairClasses];
  for (int k = 0; k < classes.count; ++k) {
    repair[k] = _mm512_set1_epi32(static_cast<int>(classes.repair[k]));
  }
  PendingGaps pending;
  uint32_t h = 0;
  for (; h + kWideHours <= hours; h += kWideHours) {
    __m512i m[8];
    const bool hit = WideWindowSeeds(b, seed, t, m);
    if (hit || pending.classes != 0) {
      BlockRepairs repairs;
      // Hits of earlier windows are repaired at their class's first repair
      // seed in this one.
      for (uint32_t todo = pending.classes; todo != 0; todo &= todo - 1) {
        const int k = std::countr_zero(todo);
        const int first = FirstBitAfter(RepairsOf(k, m, repair, &repairs), -1);
        if (first >= 0) pending.Resolve(k, h + first, hits);
      }
      if (hit) {
        const WideMask failures = WideWindowMask(m, t);
        for (int half = 0; half < 2; ++half) {
          for (uint64_t f = half == 0 ? failures.low : failures.high; f != 0;
               f &= f - 1) {
            const int j = 64 * half + std::countr_zero(f);
            const uint32_t s = kWide.lane_a[j] * seed + kWide.lane_c[j];
            hits->push_back({h + j, s, {}});
            for (int k = 0; k < classes.count; ++k) {
              if (s > classes.fail[k]) continue;
              const int after =
                  FirstBitAfter(RepairsOf(k, m, repair, &repairs), j);
              if (after >= 0) {
                hits->back().gap[k] = static_cast<uint16_t>(after - j);
              } else {
                pending.Add(k, static_cast<uint32_t>(hits->size() - 1));
              }
            }
          }
        }
      }
    }
    seed = kWide.window.Apply(seed);
  }
  CollectGapsFrom(seed, h, hours, threshold, classes, &pending, hits);
}

// The seed of hour j of a window is recomputed for the few hours that hit.
__attribute__((target("avx512f"))) void Avx512Collect(
    uint32_t seed, uint32_t hours, uint32_t threshold,
    std::vector<StreamHit>* hits) {
  const uint32_t h =
      WideScan(&seed, hours, threshold,
               [&](uint32_t first, WideMask mask, uint32_t block_seed) {
                 for (int half = 0; half < 2; ++half) {
                   for (uint64_t m = half == 0 ? mask.low : mask.high; m != 0;
                        m &= m - 1) {
                     const int j = 64 * half + std::countr_zero(m);
                     hits->push_back({first + j, kWide.lane_a[j] * block_seed +
                                                     kWide.lane_c[j]});
                   }
                 }
                 return false;
               });
  CollectTail(seed, h, hours, threshold, hits);
}

#endif  // ADEQUACY_X86_SCAN

}  // namespace

uint32_t SeedThreshold(float probability) {
  // draw <= p  <=>  (seed >> 8) <= floor(p * 2^24); p * 2^24 is exact.
  const double scaled = static_cast<double>(probability) * 16777216.0;
  const uint32_t k =
      scaled >= 16777215.0 ? 16777215u : static_cast<uint32_t>(scaled);
  return (k << 8) | 0xFFu;
}

uint32_t SeedOfDraw(uint64_t draw) {
  // The seed after draw n is F^(n+1)(start); the sequence has period 2^32.
  const uint32_t steps = static_cast<uint32_t>(draw + 1);
  uint32_t seed = kStartSeed;
  for (int b = 0; b < 4; ++b) {
    seed = kByteJumps.step[b][(steps >> (8 * b)) & 0xFFu].Apply(seed);
  }
  return seed;
}

void PlainCollectGaps(uint32_t seed, uint32_t hours, uint32_t threshold,
                      const RepairClasses& classes, std::vector<GapHit>* hits) {
  PendingGaps pending;
  CollectGapsFrom(seed, 0, hours, threshold, classes, &pending, hits);
}

StreamScanner PlainScanner() {
  return {&PlainFindFirst, &PlainCollect, nullptr};
}

std::optional<StreamScanner> Avx2Scanner() {
#ifdef ADEQUACY_X86_SCAN
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) {
    return StreamScanner{&Avx2FindFirst, &Avx2Collect, nullptr};
  }
#endif
  return std::nullopt;
}

std::optional<StreamScanner> Avx512Scanner() {
#ifdef ADEQUACY_X86_SCAN
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) {
    return StreamScanner{&Avx512FindFirst, &Avx512Collect, &Avx512CollectGaps};
  }
#endif
  return std::nullopt;
}

StreamScanner BestScanner() {
  if (auto wide = Avx512Scanner()) return *wide;
  if (auto avx2 = Avx2Scanner()) return *avx2;
  return PlainScanner();
}

}  // namespace adequacy
