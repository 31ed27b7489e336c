#include "montecarlo/engine/address_space.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace adequacy {
namespace {

constexpr int64_t kMB = int64_t{1} << 20;

TEST(AddressSpaceTest, ThreadsWithinTheHeadroom) {
  struct Case {
    int64_t headroom;
    int threads;
    int expected;
  };
  const Case cases[] = {
      {kNoAddressLimit, 16, 16},  // No limit: every processor.
      {kNoAddressLimit, 0, 1},    // At least one thread.
      {0, 16, 1},                 // Over the limit already: one to try.
      {30 * kMB, 16, 1},          // Not even one thread's lists.
      {41 * kMB, 16, 2},          // Where sixteen tries ended on one.
      {50 * kMB, 16, 8},
      {62 * kMB, 16, 16},
      {62 * kMB, 2, 2},  // Never more than asked for.
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ThreadsWithin(c.headroom, c.threads), c.expected)
        << c.headroom / kMB << " MB, " << c.threads << " threads";
  }
}

TEST(AddressSpaceTest, HeadroomIsNeverNegative) {
  EXPECT_GE(AddressSpaceHeadroom(), 0);
}

}  // namespace
}  // namespace adequacy
