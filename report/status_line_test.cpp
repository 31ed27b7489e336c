#include "report/status_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace adequacy {
namespace {

TEST(StatusLineTest, Text) {
  EXPECT_EQ(StatusLineText(123456, 1000000, 9.4),
            "  simulating: 123,456 of 1,000,000 years (12.3%), about 9 s "
            "left");
  EXPECT_EQ(StatusLineText(1000, 10000, -1),
            "  simulating: 1,000 of 10,000 years (10.0%), estimating the "
            "time left");
  EXPECT_EQ(StatusLineText(999000, 1000000, 0.2),
            "  simulating: 999,000 of 1,000,000 years (99.9%), less than a "
            "second left");
  EXPECT_EQ(StatusLineText(5000000, 2147483647, 1500),
            "  simulating: 5,000,000 of 2,147,483,647 years (0.2%), about 25 "
            "min left");
}

// Each width gets the fullest form that leaves the last column free.
TEST(StatusLineTest, FittedToTheWidth) {
  const std::string full = StatusLineText(123456, 1000000, 9.4);
  const int n = static_cast<int>(full.size());
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, n + 1), full);
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, n),
            "  123,456 of 1,000,000 years (12.3%), about 9 s left");
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, 40),
            "  123,456 of 1,000,000 years (12.3%)");
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, 30), "  simulating: 12.3%");
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, 8), "  12.3%");
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, 7), "");
  EXPECT_EQ(FittedStatusLine(123456, 1000000, 9.4, 0), "");
}

// Drawn over the current line with no line feed, the cursor left at its
// start; erased from there to the end of the screen, so that nothing of it
// stays even where a narrowed terminal has wrapped it.
TEST(StatusLineTest, DrawnInPlace) {
  char buffer[256] = {};
  std::FILE* out = fmemopen(buffer, sizeof(buffer), "w");
  DrawStatusLine(out, "abc");
  DrawStatusLine(out, "");
  std::fclose(out);
  EXPECT_EQ(std::string(buffer), "\rabc\033[K\r\r\033[J");
}

}  // namespace
}  // namespace adequacy
