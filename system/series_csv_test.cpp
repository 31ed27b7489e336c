#include "system/series_csv.h"

#include <gtest/gtest.h>

namespace adequacy {
namespace {

TEST(SeriesCsvTest, HeaderCommentsBlanksAndLineEnds) {
  std::vector<double> values;
  InputError error;
  ASSERT_TRUE(
      ParseSeries("load_mw\r\n# a comment\n\n 1530.5 \r\n2e3 # two "
                  "thousand\n-0\n7",
                  &values, &error));
  EXPECT_EQ(values, (std::vector<double>{1530.5, 2000.0, 0.0, 7.0}));
  values.clear();
  // A table with one numeric column, a timestamp beside it.
  ASSERT_TRUE(
      ParseSeries("time,load_mw\n2026-01-01T00,10\n2026-01-01T01, 12.5\n",
                  &values, &error));
  EXPECT_EQ(values, (std::vector<double>{10.0, 12.5}));
  values.clear();
  ASSERT_TRUE(ParseSeries("", &values, &error));
  EXPECT_TRUE(values.empty());
}

// Each fault with its line, counted from 1 with comments and blanks.
TEST(SeriesCsvTest, FaultsWithTheirLines) {
  const struct {
    const char* text;
    int64_t line;
    const char* what;
  } cases[] = {
      {"mw\n1\n# c\nabc\n", 4, "'abc' is not a number"},
      {"12O0\n", 1, "'12O0' is not a number"},
      {"1\n2,3\n", 2, "'2,3' is not a number"},
      {"1\n-4\n", 2, "a negative value, '-4' MW"},
      {"nan\n", 1, "'nan' is not a finite number"},
      {"5\ninf\n", 2, "'inf' is not a finite number"},
      {"1e400\n", 1, "'1e400' is out of a double's range"},
      {"mw\nload\n", 2, "'load' is not a number"},
      {"+5\n", 1, "'+5' is not a number"},
      {"time,a,b\nmon,1,2\n", 2,
       "a row of 3 fields with 2 numbers: name the column to read with "
       "column = "},
      {"time,mw\nmon,5\ntue\n", 3,
       "the row has 1 field; the values are in field 2"},
      {"time,mw\nmon,5\ntue,x\n", 3, "'x' is not a number"},
  };
  for (const auto& c : cases) {
    std::vector<double> values;
    InputError error;
    EXPECT_FALSE(ParseSeries(c.text, &values, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_EQ(error.what, c.what) << c.text;
  }
}

}  // namespace
}  // namespace adequacy
