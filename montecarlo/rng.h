// The linear congruential generator of the simulation: seed' = 69069 *
// seed + 1 mod 2^32, draw = (seed' >> 8) * 2^-24.
#ifndef ADEQUACY_MONTECARLO_RNG_H_
#define ADEQUACY_MONTECARLO_RNG_H_

#include <cstdint>

namespace adequacy {

inline constexpr uint32_t kLcgMultiplier = 69069u;
inline constexpr uint32_t kLcgIncrement = 1u;
inline constexpr uint32_t kStartSeed = 3u;

inline uint32_t NextSeed(uint32_t seed) {
  return kLcgMultiplier * seed + kLcgIncrement;
}

// Advances the seed and returns the next draw, an exact multiple of 2^-24
// in [0, 1).
inline float DrawUniform(uint32_t* seed) {
  *seed = NextSeed(*seed);
  const double k = static_cast<double>(*seed >> 8);
  return static_cast<float>(k * 5.9604644775390625E-8);
}

// The affine map seed -> a * seed + c (mod 2^32).
struct LcgStep {
  uint32_t a;
  uint32_t c;
  constexpr uint32_t Apply(uint32_t seed) const { return a * seed + c; }
};

// The map of `steps` consecutive draws, by repeated squaring.
constexpr LcgStep LcgJump(uint64_t steps) {
  LcgStep result = {1u, 0u};
  LcgStep power = {kLcgMultiplier, kLcgIncrement};
  while (steps > 0) {
    if (steps & 1u) {
      result = {power.a * result.a, power.a * result.c + power.c};
    }
    power = {power.a * power.a, power.a * power.c + power.c};
    steps >>= 1;
  }
  return result;
}

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_RNG_H_
