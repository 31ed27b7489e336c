#include "montecarlo/fast_engine.h"

#include <algorithm>
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

const StreamSteps& Steps() {
  static const StreamSteps steps = [] {
    StreamSteps s;
    s.hour = LcgJump(kUnits);
    s.block = LcgJump(static_cast<uint64_t>(kUnits) * kBlockHours);
    for (int j = 0; j < kBlockHours; ++j) {
      const LcgStep lane = LcgJump(static_cast<uint64_t>(kUnits) * j);
      s.lane_a[j] = lane.a;
      s.lane_c[j] = lane.c;
    }
    return s;
  }();
  return steps;
}

// The exact chain of one unit over n hours, one seed per hour; advances
// *seed past them.
inline void StepHours(uint32_t* seed, uint32_t first_hour, uint32_t n,
                      const UnitStream& unit, int32_t* state,
                      std::vector<CapacityChange>* changes) {
  const LcgStep hour_step = Steps().hour;
  uint32_t x = *seed;
  for (uint32_t i = 0; i < n; ++i) {
    const bool up = *state == kUnitUp;
    if (x <= (up ? unit.fail_threshold : unit.repair_threshold)) {
      *state = up ? kUnitDown : kUnitUp;
      changes->push_back(
          {first_hour + i, up ? -unit.capacity_mw : unit.capacity_mw});
    }
    x = hour_step.Apply(x);
  }
  *seed = x;
}

void PlainKernel(uint32_t seed, const UnitStream& unit, uint32_t hours,
                 int32_t* state, std::vector<CapacityChange>* changes) {
  StepHours(&seed, 0, hours, unit, state, changes);
}

#ifdef ADEQUACY_X86_KERNELS

// Clears a 64-hour block when no seed of the block is at or below the
// threshold of the unit's current state; only blocks with a hit are
// stepped hour by hour.
__attribute__((target("avx2"))) void Avx2Kernel(
    uint32_t seed, const UnitStream& unit, uint32_t hours, int32_t* state,
    std::vector<CapacityChange>* changes) {
  const StreamSteps& steps = Steps();
  __m256i a[8], c[8];
  for (int v = 0; v < 8; ++v) {
    a[v] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(&steps.lane_a[8 * v]));
    c[v] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(&steps.lane_c[8 * v]));
  }
  uint32_t hour = 0;
  while (hour + kBlockHours <= hours) {
    const uint32_t threshold =
        *state == kUnitUp ? unit.fail_threshold : unit.repair_threshold;
    const __m256i x = _mm256_set1_epi32(static_cast<int>(seed));
    __m256i low = _mm256_add_epi32(_mm256_mullo_epi32(x, a[0]), c[0]);
    for (int v = 1; v < 8; ++v) {
      low = _mm256_min_epu32(
          low, _mm256_add_epi32(_mm256_mullo_epi32(x, a[v]), c[v]));
    }
    const __m256i t = _mm256_set1_epi32(static_cast<int>(threshold));
    const __m256i hit = _mm256_cmpeq_epi32(_mm256_min_epu32(low, t), low);
    if (_mm256_movemask_epi8(hit) != 0) {
      uint32_t x_block = seed;
      StepHours(&x_block, hour, kBlockHours, unit, state, changes);
    }
    seed = steps.block.Apply(seed);
    hour += kBlockHours;
  }
  StepHours(&seed, hour, hours - hour, unit, state, changes);
}

__attribute__((target("avx512f"))) void Avx512Kernel(
    uint32_t seed, const UnitStream& unit, uint32_t hours, int32_t* state,
    std::vector<CapacityChange>* changes) {
  const StreamSteps& steps = Steps();
  __m512i a[4], c[4];
  for (int v = 0; v < 4; ++v) {
    a[v] = _mm512_load_si512(&steps.lane_a[16 * v]);
    c[v] = _mm512_load_si512(&steps.lane_c[16 * v]);
  }
  uint32_t hour = 0;
  while (hour + kBlockHours <= hours) {
    const uint32_t threshold =
        *state == kUnitUp ? unit.fail_threshold : unit.repair_threshold;
    const __m512i x = _mm512_set1_epi32(static_cast<int>(seed));
    const __m512i m0 = _mm512_add_epi32(_mm512_mullo_epi32(x, a[0]), c[0]);
    const __m512i m1 = _mm512_add_epi32(_mm512_mullo_epi32(x, a[1]), c[1]);
    const __m512i m2 = _mm512_add_epi32(_mm512_mullo_epi32(x, a[2]), c[2]);
    const __m512i m3 = _mm512_add_epi32(_mm512_mullo_epi32(x, a[3]), c[3]);
    const __m512i t = _mm512_set1_epi32(static_cast<int>(threshold));
    const __mmask16 hit = _mm512_cmple_epu32_mask(m0, t) |
                          _mm512_cmple_epu32_mask(m1, t) |
                          _mm512_cmple_epu32_mask(m2, t) |
                          _mm512_cmple_epu32_mask(m3, t);
    if (hit != 0) {
      uint32_t x_block = seed;
      StepHours(&x_block, hour, kBlockHours, unit, state, changes);
    }
    seed = steps.block.Apply(seed);
    hour += kBlockHours;
  }
  StepHours(&seed, hour, hours - hour, unit, state, changes);
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
}

void FastEngine::SimulateYears(ChainState* state, int64_t years) {
  while (years > 0) {
    const int chunk = static_cast<int>(std::min<int64_t>(years, kChunkYears));
    SimulateChunk(state, chunk);
    years -= chunk;
  }
}

void FastEngine::SimulateChunk(ChainState* state, int years) {
  const ChainState start = *state;
  const uint32_t hours = static_cast<uint32_t>(years) * kHoursPerYear;
  changes_[0].clear();
  changes_[1].clear();
  if (threads_ == 2) {
    constexpr int kSplit = kUnits / 2;
    std::thread worker([&] {
      SimulateUnits(kSplit, kUnits, start.seed, hours, state, &changes_[1]);
    });
    SimulateUnits(0, kSplit, start.seed, hours, state, &changes_[0]);
    worker.join();
  } else {
    SimulateUnits(0, kUnits, start.seed, hours, state, &changes_[0]);
  }
  state->seed =
      LcgJump(static_cast<uint64_t>(kUnitDrawsPerYear) * years).Apply(start.seed);
  Accumulate(start, years, &state->totals);
}

void FastEngine::SimulateUnits(int first, int last, uint32_t chunk_seed,
                               uint32_t hours, ChainState* state,
                               std::vector<CapacityChange>* changes) {
  for (int unit = first; unit < last; ++unit) {
    // The unit's own seed after its draw of the chunk's first hour.
    const uint32_t seed = LcgJump(unit + 1).Apply(chunk_seed);
    kernel_(seed, units_[unit], hours, &state->unit_state[unit], changes);
  }
}

void FastEngine::Accumulate(const ChainState& start_state, int years,
                            ChainAccumulators* totals) {
  delta_.assign(static_cast<size_t>(years) * kHoursPerYear, 0);
  for (const auto& changes : changes_) {
    for (const CapacityChange& change : changes) {
      delta_[change.hour] += change.delta_mw;
    }
  }
  int32_t available = 0;
  for (int unit = 0; unit < kUnits; ++unit) {
    if (start_state.unit_state[unit] == kUnitUp) {
      available += units_[unit].capacity_mw;
    }
  }
  const double tolerance = kDeficitTolerance;
  const int32_t* delta = delta_.data();
  for (int year = 0; year < years; ++year) {
    totals->years += 1.0;
    bool in_event = false;
    int32_t year_events = 0;
    for (int hour = 0; hour < kHoursPerYear; ++hour) {
      available += *delta++;
      const double load = loads_[hour];
      if (static_cast<double>(available) + tolerance >= load) {
        in_event = false;
      } else {
        totals->unserved_mwh = (totals->unserved_mwh + load) - available;
        totals->deficit_hours += 1.0;
        if (!in_event) {
          ++year_events;
          in_event = true;
        }
      }
    }
    totals->events += year_events;
    if (year_events == 0) totals->event_free_years += 1.0;
  }
}

}  // namespace adequacy
