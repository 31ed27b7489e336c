#include "montecarlo/fast_engine.h"

#include <algorithm>
#include <bit>
#include <thread>

#include "montecarlo/rng.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ADEQUACY_X86_KERNELS 1
#endif

namespace adequacy {
namespace {

constexpr int kBlockHours = 64;
constexpr int kUnitDrawsPerYear = kUnits * kHoursPerYear;
// Years per chunk: each chunk runs the units on the threads, then merges
// their capacity changes hour by hour.
constexpr int kChunkYears = 128;

// Seed maps of one unit's stream: one hour, one block, and hour j of a
// block from its first hour.
struct StreamSteps {
  LcgStep hour;
  LcgStep block;
  alignas(64) std::array<uint32_t, kBlockHours> lane_a;
  alignas(64) std::array<uint32_t, kBlockHours> lane_c;
};

constexpr StreamSteps MakeSteps() {
  StreamSteps s{};
  s.hour = LcgJump(kUnits);
  s.block = LcgJump(static_cast<uint64_t>(kUnits) * kBlockHours);
  for (int j = 0; j < kBlockHours; ++j) {
    const LcgStep lane = LcgJump(static_cast<uint64_t>(kUnits) * j);
    s.lane_a[j] = lane.a;
    s.lane_c[j] = lane.c;
  }
  return s;
}

constexpr StreamSteps kSteps = MakeSteps();

// The seed threshold that applies to the unit in its current state.
inline uint32_t ThresholdOf(const UnitStream& unit, int32_t state) {
  return state == kUnitUp ? unit.fail_threshold : unit.repair_threshold;
}

// The unit changes state at `hour`.
inline void Flip(const UnitStream& unit, uint32_t hour, int32_t* state,
                 std::vector<CapacityChange>* changes) {
  const bool up = *state == kUnitUp;
  *state = up ? kUnitDown : kUnitUp;
  changes->push_back({hour, up ? -unit.capacity_mw : unit.capacity_mw});
}

// The exact chain of one unit over n hours, one seed per hour; advances
// *seed past them.
inline void StepHours(uint32_t* seed, uint32_t first_hour, uint32_t n,
                      const UnitStream& unit, int32_t* state,
                      std::vector<CapacityChange>* changes) {
  uint32_t x = *seed;
  for (uint32_t i = 0; i < n; ++i) {
    if (x <= ThresholdOf(unit, *state))
      Flip(unit, first_hour + i, state, changes);
    x = kSteps.hour.Apply(x);
  }
  *seed = x;
}

void PlainKernel(uint32_t seed, const UnitStream& unit, uint32_t hours,
                 int32_t* state, std::vector<CapacityChange>* changes) {
  StepHours(&seed, 0, hours, unit, state, changes);
}

#ifdef ADEQUACY_X86_KERNELS

// Each 64-hour block computes the seeds of its hours side by side from the
// block's first seed.  A block with no seed at or below the unit's current
// threshold changes nothing, which is the common case; otherwise the hours
// with such a seed are taken in order, and after each change the rest of
// the block is tested against the new state's threshold.  The unit's state
// stays in a local so that it can live in a register.

// The 64-bit mask of the block's hours whose seed is at or below the
// threshold, hour j of the block being bit j.
__attribute__((target("avx2"), always_inline)) inline uint64_t Avx2Hits(
    const __m256i (&m)[8], uint32_t threshold) {
  const __m256i t = _mm256_set1_epi32(static_cast<int>(threshold));
  uint64_t mask = 0;
  for (int v = 0; v < 8; ++v) {
    const __m256i hit = _mm256_cmpeq_epi32(_mm256_min_epu32(m[v], t), m[v]);
    mask |= static_cast<uint64_t>(_mm256_movemask_ps(_mm256_castsi256_ps(hit)))
            << (8 * v);
  }
  return mask;
}

__attribute__((target("avx512f"), always_inline)) inline uint64_t Avx512Hits(
    const __m512i (&m)[4], uint32_t threshold) {
  const __m512i t = _mm512_set1_epi32(static_cast<int>(threshold));
  return static_cast<uint64_t>(_mm512_cmple_epu32_mask(m[0], t)) |
         static_cast<uint64_t>(_mm512_cmple_epu32_mask(m[1], t)) << 16 |
         static_cast<uint64_t>(_mm512_cmple_epu32_mask(m[2], t)) << 32 |
         static_cast<uint64_t>(_mm512_cmple_epu32_mask(m[3], t)) << 48;
}

// The hours of a block after hour j.
inline uint64_t After(int j) {
  return j == kBlockHours - 1 ? 0 : ~uint64_t{0} << (j + 1);
}

__attribute__((target("avx2"))) void Avx2Kernel(
    uint32_t seed, const UnitStream& unit, uint32_t hours, int32_t* state,
    std::vector<CapacityChange>* changes) {
  __m256i a[8], c[8];
  for (int v = 0; v < 8; ++v) {
    a[v] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(&kSteps.lane_a[8 * v]));
    c[v] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(&kSteps.lane_c[8 * v]));
  }
  int32_t current = *state;
  uint32_t hour = 0;
  for (; hour + kBlockHours <= hours; hour += kBlockHours) {
    const __m256i x = _mm256_set1_epi32(static_cast<int>(seed));
    seed = kSteps.block.Apply(seed);
    __m256i m[8];
    for (int v = 0; v < 8; ++v) {
      m[v] = _mm256_add_epi32(_mm256_mullo_epi32(x, a[v]), c[v]);
    }
    const __m256i low =
        _mm256_min_epu32(_mm256_min_epu32(_mm256_min_epu32(m[0], m[1]),
                                          _mm256_min_epu32(m[2], m[3])),
                         _mm256_min_epu32(_mm256_min_epu32(m[4], m[5]),
                                          _mm256_min_epu32(m[6], m[7])));
    const __m256i t =
        _mm256_set1_epi32(static_cast<int>(ThresholdOf(unit, current)));
    if (_mm256_movemask_epi8(
            _mm256_cmpeq_epi32(_mm256_min_epu32(low, t), low)) == 0) {
      continue;
    }
    for (uint64_t hits = Avx2Hits(m, ThresholdOf(unit, current)); hits != 0;) {
      const int j = std::countr_zero(hits);
      Flip(unit, hour + j, &current, changes);
      hits = Avx2Hits(m, ThresholdOf(unit, current)) & After(j);
    }
  }
  StepHours(&seed, hour, hours - hour, unit, &current, changes);
  *state = current;
}

__attribute__((target("avx512f"))) void Avx512Kernel(
    uint32_t seed, const UnitStream& unit, uint32_t hours, int32_t* state,
    std::vector<CapacityChange>* changes) {
  __m512i a[4], c[4];
  for (int v = 0; v < 4; ++v) {
    a[v] = _mm512_load_si512(&kSteps.lane_a[16 * v]);
    c[v] = _mm512_load_si512(&kSteps.lane_c[16 * v]);
  }
  int32_t current = *state;
  uint32_t hour = 0;
  for (; hour + kBlockHours <= hours; hour += kBlockHours) {
    const __m512i x = _mm512_set1_epi32(static_cast<int>(seed));
    seed = kSteps.block.Apply(seed);
    const __m512i m[4] = {_mm512_add_epi32(_mm512_mullo_epi32(x, a[0]), c[0]),
                          _mm512_add_epi32(_mm512_mullo_epi32(x, a[1]), c[1]),
                          _mm512_add_epi32(_mm512_mullo_epi32(x, a[2]), c[2]),
                          _mm512_add_epi32(_mm512_mullo_epi32(x, a[3]), c[3])};
    const __m512i t =
        _mm512_set1_epi32(static_cast<int>(ThresholdOf(unit, current)));
    if ((_mm512_cmple_epu32_mask(m[0], t) | _mm512_cmple_epu32_mask(m[1], t) |
         _mm512_cmple_epu32_mask(m[2], t) | _mm512_cmple_epu32_mask(m[3], t)) ==
        0) {
      continue;
    }
    for (uint64_t hits = Avx512Hits(m, ThresholdOf(unit, current));
         hits != 0;) {
      const int j = std::countr_zero(hits);
      Flip(unit, hour + j, &current, changes);
      hits = Avx512Hits(m, ThresholdOf(unit, current)) & After(j);
    }
  }
  StepHours(&seed, hour, hours - hour, unit, &current, changes);
  *state = current;
}

#endif  // ADEQUACY_X86_KERNELS

}  // namespace

std::vector<UnitKernel> AvailableKernels() {
  std::vector<UnitKernel> kernels = {&PlainKernel};
#ifdef ADEQUACY_X86_KERNELS
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) kernels.push_back(&Avx2Kernel);
  if (__builtin_cpu_supports("avx512f")) kernels.push_back(&Avx512Kernel);
#endif
  return kernels;
}

uint32_t SeedThreshold(float probability) {
  // draw <= p  <=>  (seed >> 8) <= floor(p * 2^24); p * 2^24 is exact.
  const double scaled = static_cast<double>(probability) * 16777216.0;
  const uint32_t k =
      scaled >= 16777215.0 ? 16777215u : static_cast<uint32_t>(scaled);
  return (k << 8) | 0xFFu;
}

int FastEngine::DefaultThreads() {
  return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

FastEngine::FastEngine(const ChainParameters& params, const HourlyLoads& loads,
                       int threads, UnitKernel kernel)
    : loads_(loads),
      threads_(std::clamp(threads, 1, 2)),
      kernel_(kernel != nullptr ? kernel : AvailableKernels().back()) {
  for (int unit = 0; unit < kUnits; ++unit) {
    units_[unit] = {SeedThreshold(params.failure_probability[unit]),
                    SeedThreshold(params.repair_probability[unit]),
                    UnitTypeOf(unit).capacity_mw};
  }
  // The hour tables are sized once, for the largest chunk, and start zero;
  // each chunk clears only the hours it touched.
  for (Part& part : parts_) {
    part.delta.assign(static_cast<size_t>(kChunkYears) * kHoursPerYear, 0);
  }
}

void FastEngine::SimulateYears(ChainState* state, int64_t years) {
  while (years > 0) {
    const int chunk = static_cast<int>(std::min<int64_t>(years, kChunkYears));
    SimulateChunk(state, chunk);
    years -= chunk;
  }
}

template <typename Fn>
void FastEngine::OnParts(const Fn& fn) {
  if (threads_ == 2) {
    std::thread worker([&fn] { fn(1); });
    fn(0);
    worker.join();
  } else {
    fn(0);
    fn(1);
  }
}

void FastEngine::SimulateChunk(ChainState* state, int years) {
  const uint32_t chunk_seed = state->seed;
  int32_t available = 0;
  for (int unit = 0; unit < kUnits; ++unit) {
    if (state->unit_state[unit] == kUnitUp) {
      available += units_[unit].capacity_mw;
    }
  }
  OnParts([&](int part) { SimulateUnits(part, years, chunk_seed, state); });
  year_start_mw_.resize(years);
  for (int year = 0; year < years; ++year) {
    year_start_mw_[year] = available;
    available += parts_[0].net[year] + parts_[1].net[year];
  }
  OnParts([&](int part) { ScanYears(part, years); });
  Accumulate(&state->totals);
  state->seed = LcgJump(static_cast<uint64_t>(kUnitDrawsPerYear) * years)
                    .Apply(chunk_seed);
}

void FastEngine::SimulateUnits(int part, int years, uint32_t chunk_seed,
                               ChainState* state) {
  Part& p = parts_[part];
  // Clear what the previous chunk left in the hour table, then record this
  // chunk's changes in it.
  for (const CapacityChange& change : p.changes) p.delta[change.hour] = 0;
  p.changes.clear();
  const uint32_t hours = static_cast<uint32_t>(years) * kHoursPerYear;
  constexpr int kSplit = kUnits / 2;
  const int first = part == 0 ? 0 : kSplit;
  const int last = part == 0 ? kSplit : kUnits;
  for (int unit = first; unit < last; ++unit) {
    // The unit's own seed after its draw of the chunk's first hour.
    const uint32_t seed = LcgJump(unit + 1).Apply(chunk_seed);
    kernel_(seed, units_[unit], hours, &state->unit_state[unit], &p.changes);
  }
  p.net.assign(years, 0);
  for (const CapacityChange& change : p.changes) {
    p.delta[change.hour] =
        static_cast<int16_t>(p.delta[change.hour] + change.delta_mw);
    p.net[change.hour / kHoursPerYear] += change.delta_mw;
  }
}

void FastEngine::ScanYears(int part, int years) {
  Part& p = parts_[part];
  p.deficits.clear();
  p.years.clear();
  const int first = part == 0 ? 0 : years / 2;
  const int last = part == 0 ? years / 2 : years;
  const double tolerance = kDeficitTolerance;
  for (int year = first; year < last; ++year) {
    const size_t base = static_cast<size_t>(year) * kHoursPerYear;
    const int16_t* delta0 = parts_[0].delta.data() + base;
    const int16_t* delta1 = parts_[1].delta.data() + base;
    int32_t available = year_start_mw_[year];
    YearScan scan = {0, 0};
    bool in_event = false;
    for (int hour = 0; hour < kHoursPerYear; ++hour) {
      available += delta0[hour] + delta1[hour];
      const double load = loads_[hour];
      if (static_cast<double>(available) + tolerance >= load) {
        in_event = false;
      } else {
        p.deficits.push_back({load, available});
        ++scan.deficits;
        if (!in_event) {
          ++scan.events;
          in_event = true;
        }
      }
    }
    p.years.push_back(scan);
  }
}

void FastEngine::Accumulate(ChainAccumulators* totals) const {
  // Part 0 scanned the earlier years, so this is chronological order.
  for (const Part& p : parts_) {
    const Deficit* deficit = p.deficits.data();
    for (const YearScan& scan : p.years) {
      totals->years += 1.0;
      for (int32_t i = 0; i < scan.deficits; ++i, ++deficit) {
        totals->unserved_mwh =
            (totals->unserved_mwh + deficit->load) - deficit->available_mw;
        totals->deficit_hours += 1.0;
      }
      totals->events += scan.events;
      if (scan.events == 0) totals->event_free_years += 1.0;
    }
  }
}

}  // namespace adequacy
