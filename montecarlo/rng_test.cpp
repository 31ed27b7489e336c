#include "montecarlo/rng.h"

#include <gtest/gtest.h>

namespace adequacy {
namespace {

TEST(RngTest, FirstEightDrawsFromSeedThree) {
  const uint32_t seeds[8] = {207208u,     1426747465u, 291020662u,
                             59158399u,   1497562036u, 3709842213u,
                             1637897634u, 2808073403u};
  const double draws[8] = {
      0.000048220157623291015625, 0.33219051361083984375,
      0.067758500576019287109375, 0.013773858547210693359375,
      0.348678290843963623046875, 0.863764941692352294921875,
      0.381352722644805908203125, 0.6538054943084716796875};
  uint32_t seed = kStartSeed;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(DrawUniform(&seed), draws[i]) << i;
    EXPECT_EQ(seed, seeds[i]) << i;
  }
}

TEST(RngTest, RangeEnds) {
  uint32_t seed = 0;
  EXPECT_EQ(DrawUniform(&seed), 0.0f);
  EXPECT_EQ(seed, 1u);
  // The seed whose successor is 0xFFFFFFFF gives the largest draw.
  seed = 0xFFFFFFFFu;
  for (int i = 0; i < 1000; ++i) ASSERT_LT(DrawUniform(&seed), 1.0f);
  EXPECT_EQ(static_cast<double>(0xFFFFFFu) * 5.9604644775390625E-8,
            0.999999940395355224609375);
}

TEST(RngTest, JumpEqualsRepeatedSteps) {
  uint32_t seed = 12345u;
  for (uint64_t steps : {0u, 1u, 2u, 110u, 7040u, 963600u}) {
    uint32_t stepped = seed;
    for (uint64_t i = 0; i < steps; ++i) stepped = NextSeed(stepped);
    EXPECT_EQ(LcgJump(steps).Apply(seed), stepped) << steps;
  }
  // The full period brings every seed back.
  EXPECT_EQ(LcgJump(UINT64_C(1) << 32).Apply(seed), seed);
}

}  // namespace
}  // namespace adequacy
