// The random numbers of one unit in one simulated year, from Philox4x32-10
// keyed by the seed and counting by (year, unit, draw).  Any year of any
// unit is reached at once, so years can be simulated in any order, on any
// thread, and give the same numbers.
#ifndef ADEQUACY_MONTECARLO_EVENTS_UNIT_DRAWS_H_
#define ADEQUACY_MONTECARLO_EVENTS_UNIT_DRAWS_H_

#include <Random123/philox.h>

#include <cstdint>

namespace adequacy {

inline constexpr char kGeneratorName[] = "Philox4x32-10";

// The two uses of the generator draw from different streams.
enum class DrawUse : uint32_t { kSojourns = 0, kHours = 1 };

class UnitDraws {
 public:
  UnitDraws(uint64_t seed, int64_t year, uint32_t unit, DrawUse use)
      : key_{{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32)}},
        counter_{{0, unit, static_cast<uint32_t>(year),
                  (static_cast<uint32_t>(static_cast<uint64_t>(year) >> 32) &
                   0x7FFFFFFFu) |
                      (static_cast<uint32_t>(use) << 31)}} {}

  // The next number, uniform in (0, 1) with 53 bits: never 0 nor 1.
  double Uniform() {
    if (left_ == 0) Refill();
    --left_;
    const uint64_t bits = (static_cast<uint64_t>(block_[2 * left_]) << 32) |
                          block_[2 * left_ + 1];
    return (static_cast<double>(bits >> 11) + 0.5) * 0x1.0p-53;
  }

 private:
  // The next block of four words.  Out of line, so that the common case
  // above, a word pair already drawn, is small enough to inline wherever
  // a unit draws.
  [[gnu::noinline]] void Refill() {
    block_ = philox_(counter_, key_);
    ++counter_[0];
    left_ = 2;
  }

  r123::Philox4x32 philox_;
  r123::Philox4x32::key_type key_;
  r123::Philox4x32::ctr_type counter_;
  r123::Philox4x32::ctr_type block_{};
  int left_ = 0;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_UNIT_DRAWS_H_
