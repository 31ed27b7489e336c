#include "report/field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace adequacy {
namespace {

std::string F(double value, int width, int decimals, bool* overflow = nullptr) {
  bool local = false;
  std::string text = RenderFixed(value, width, decimals, &local);
  if (overflow != nullptr) *overflow = local;
  EXPECT_EQ(static_cast<int>(text.size()), width);
  return text;
}

std::string I(int32_t value, int width, bool* overflow = nullptr) {
  bool local = false;
  std::string text = RenderInteger(value, width, &local);
  if (overflow != nullptr) *overflow = local;
  return text;
}

TEST(FieldTest, FixedPointExamples) {
  EXPECT_EQ(F(0.5, 11, 6), "   0.500000");
  EXPECT_EQ(F(8760, 11, 6), "8760.000000");
  EXPECT_EQ(F(0.0001234, 12, 8), "  0.00012340");
  EXPECT_EQ(F(-3.5, 8, 2), "   -3.50");
  EXPECT_EQ(F(2000, 7, 0), "  2000.");
  EXPECT_EQ(F(0, 12, 0), "          0.");
  EXPECT_EQ(F(1000, 8, 0), "   1000.");
  EXPECT_EQ(F(0, 11, 6), "   0.000000");
  EXPECT_EQ(F(-12.5f, 8, 2), "  -12.50");
}

TEST(FieldTest, TiesRoundToEvenOnTheStoredValue) {
  EXPECT_EQ(F(2.5, 7, 0), "     2.");
  EXPECT_EQ(F(3.5, 7, 0), "     4.");
  EXPECT_EQ(F(0.125, 6, 2), "  0.12");
  // 0.1f is slightly above 0.1: the stored value decides.
  EXPECT_EQ(F(0.15f, 6, 1), "   0.2");
  EXPECT_EQ(F(0.15, 6, 1), "   0.1");
}

TEST(FieldTest, NoNegativeZero) {
  EXPECT_EQ(F(-0.0000001, 11, 6), "   0.000000");
  EXPECT_EQ(F(-0.0, 8, 2), "    0.00");
  EXPECT_EQ(F(-0.4, 7, 0), "     0.");
}

TEST(FieldTest, LeadingZeroDroppedOnlyWithoutRoom) {
  EXPECT_EQ(F(0.5, 8, 6), "0.500000");
  EXPECT_EQ(F(0.5, 7, 6), ".500000");
  EXPECT_EQ(F(-0.5, 9, 6), "-0.500000");
  EXPECT_EQ(F(-0.5, 8, 6), "-.500000");
  EXPECT_EQ(F(-0.5, 7, 6), "*******");
}

TEST(FieldTest, OverflowFillsWithAsterisks) {
  bool overflow = false;
  EXPECT_EQ(F(10000000, 8, 0, &overflow), "********");
  EXPECT_TRUE(overflow);
  EXPECT_EQ(F(100000, 11, 5, &overflow), "***********");
  EXPECT_TRUE(overflow);
  EXPECT_EQ(F(9999999, 8, 0, &overflow), "9999999.");
  EXPECT_FALSE(overflow);
  EXPECT_EQ(F(std::numeric_limits<double>::max(), 10, 3, &overflow),
            "**********");
  EXPECT_EQ(F(-std::numeric_limits<double>::max(), 12, 8), "************");
  // Rounding up can push a value over its width.
  EXPECT_EQ(F(99999.999995, 11, 5, &overflow), "***********");
}

TEST(FieldTest, NonFiniteValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  bool overflow = false;
  EXPECT_EQ(F(inf, 8, 2, &overflow), "Infinity");
  EXPECT_FALSE(overflow);
  EXPECT_EQ(F(-inf, 10, 5), " -Infinity");
  EXPECT_EQ(F(nan, 10, 5), "       NaN");
  EXPECT_EQ(F(-nan, 11, 3), "        NaN");
  EXPECT_EQ(F(-inf, 8, 2, &overflow), "********");
  EXPECT_TRUE(overflow);
}

TEST(FieldTest, IntegerFields) {
  EXPECT_EQ(I(7, 3), "  7");
  EXPECT_EQ(I(1424, 7), "   1424");
  EXPECT_EQ(I(2000, 10), "      2000");
  EXPECT_EQ(I(0, 7), "       ");
  EXPECT_EQ(I(-42, 7), "    -42");
  bool overflow = false;
  EXPECT_EQ(I(2147483647, 7, &overflow), "*******");
  EXPECT_TRUE(overflow);
  EXPECT_EQ(I(INT32_MIN, 11, &overflow), "-2147483648");
  EXPECT_FALSE(overflow);
}

}  // namespace
}  // namespace adequacy
