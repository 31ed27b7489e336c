#include "direct/unserved_energy.h"

#include <gtest/gtest.h>

#include <random>

namespace adequacy {
namespace {

double AddOnesLiterally(double sum, int64_t count) {
  for (int64_t i = 0; i < count; ++i) sum += 1.0;
  return sum;
}

TEST(UnservedEnergyTest, AddOnesMatchesTheLoopAcrossBinades) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> fraction(0.0, 1.0);
  const double starts[] = {0.0, 1e-300,   0.3,      0.7,
                           1.0, 33.39505, 1023.999, 4095.5 + 1.0 / 3.0};
  for (double start : starts) {
    for (int64_t count : {0, 1, 2, 3, 100, 1000, 70000}) {
      EXPECT_EQ(AddOnes(start, count), AddOnesLiterally(start, count))
          << start << " + " << count;
    }
  }
  for (int i = 0; i < 200; ++i) {
    const double start = fraction(random) * std::ldexp(1.0, i % 40);
    const int64_t count = static_cast<int64_t>(fraction(random) * 50000);
    ASSERT_EQ(AddOnes(start, count), AddOnesLiterally(start, count))
        << start << " + " << count;
  }
}

TEST(UnservedEnergyTest, AddOnesNearTwoToThe53) {
  const double big = 9007199254740990.0;  // 2^53 - 2.
  EXPECT_EQ(AddOnes(big, 10), AddOnesLiterally(big, 10));
  EXPECT_EQ(AddOnes(big + 1.0, 5), AddOnesLiterally(big + 1.0, 5));
  // Above 2^53 the sum stops moving; the count must not cost time.
  EXPECT_EQ(AddOnes(1e17, INT64_C(1) << 62), 1e17);
}

TEST(UnservedEnergyTest, FastSumIsBitIdenticalToThePlainSum) {
  AvailabilityTable table;
  table.Build();
  const ShortfallTerms terms = MakeShortfallTerms(table);
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> load(-100, 12000);
  double plain = 0.0;
  double fast = 0.0;
  for (int hour = 0; hour < 3000; ++hour) {
    const int32_t n = load(random);
    plain = AddShortfallPlain(plain, terms, n);
    fast = AddShortfallFast(fast, terms, n);
    ASSERT_EQ(plain, fast) << hour;
  }
}

TEST(UnservedEnergyTest, LoadsBeyondTheTableAddOnePerMegawatt) {
  AvailabilityTable table;
  table.Build();
  const ShortfallTerms terms = MakeShortfallTerms(table);
  const double within = AddShortfallPlain(0.0, terms, kInstalledCapacity);
  EXPECT_EQ(AddShortfallPlain(0.0, terms, kInstalledCapacity + 1000),
            AddOnesLiterally(within, 1000));
  EXPECT_EQ(AddShortfallFast(0.0, terms, INT32_MAX),
            AddOnes(within, INT64_C(2147483647) - kInstalledCapacity));
  EXPECT_EQ(AddShortfallFast(5.0, terms, 0), 5.0);
  EXPECT_EQ(AddShortfallFast(5.0, terms, -7), 5.0);
}

}  // namespace
}  // namespace adequacy
