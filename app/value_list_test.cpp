#include "app/value_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace adequacy {
namespace {

ReplyLine Reply(const std::string& text) {
  ReplyLine line;
  line.fill(' ');
  std::memcpy(line.data(), text.data(), std::min<size_t>(text.size(), 50));
  return line;
}

struct Outcome {
  std::optional<Failure> failure;
  LoadParameters params;
};

Outcome Parse(const std::string& text) {
  Outcome outcome;
  outcome.failure = ParseLoadParameters(Reply(text), &outcome.params);
  return outcome;
}

void ExpectValues(const std::string& text, float d1, float d2, float d3,
                  float d4) {
  const Outcome o = Parse(text);
  EXPECT_FALSE(o.failure.has_value()) << text;
  EXPECT_EQ(o.params.d1, d1) << text;
  EXPECT_EQ(o.params.d2, d2) << text;
  EXPECT_EQ(o.params.d3, d3) << text;
  EXPECT_EQ(o.params.d4, d4) << text;
}

void ExpectFailure(const std::string& text, Failure failure) {
  const Outcome o = Parse(text);
  ASSERT_TRUE(o.failure.has_value()) << text;
  EXPECT_EQ(*o.failure, failure) << text;
}

TEST(ValueListTest, ExampleReplies) {
  ExpectValues("2500 8200 7100 1500", 2500, 8200, 7100, 1500);
  ExpectValues("2500,8200,7100,1500", 2500, 8200, 7100, 1500);
  ExpectValues("2500 , 8200,7100 ,1500", 2500, 8200, 7100, 1500);
  ExpectValues(",9000,,1600", 2000, 9000, 7000, 1600);
  ExpectValues("2500/", 2500, 8000, 7000, 1424);
  ExpectValues("/", 2000, 8000, 7000, 1424);
  ExpectValues("4*3000", 3000, 3000, 3000, 3000);
  ExpectValues("2* 7100 1500", 2000, 8000, 7100, 1500);
  ExpectValues("8.5E3 8e3 +7000 1424.", 8500, 8000, 7000, 1424);
  ExpectValues("1 2 3 4 5 6", 1, 2, 3, 4);
}

TEST(ValueListTest, OtherForms) {
  ExpectValues("T F .t .F", -1, 0, -1, 0);
  ExpectValues("TRUE,.FALSE.,3,4", -1, 0, 3, 4);
  ExpectValues("4*", 2000, 8000, 7000, 1424);
  ExpectValues("2*,5 6", 2000, 8000, 5, 6);
  ExpectValues("1*9 2*T 7", 9, -1, -1, 7);
  ExpectValues("1d3 1Q2 -5e-1 .5", 1000, 100, -0.5f, 0.5f);
  ExpectValues("\t1\t2\t3\t4", 1, 2, 3, 4);
  ExpectValues("1 2 3 4 x y z", 1, 2, 3, 4);
  ExpectValues("1E38 1E38 1E38 1E38", 1E38f, 1E38f, 1E38f, 1E38f);
  ExpectValues("1e-50 0 0 0", 0, 0, 0, 0);
  ExpectValues("0.1 0 0 0", 0.1f, 0, 0, 0);
  // A number running past column 50 is cut there.
  ExpectValues("1 2 3 " + std::string(40, ' ') + "1234" + "56", 1, 2, 3, 1234);
}

TEST(ValueListTest, RunningOutOfColumns) {
  ExpectFailure("2500 8200", Failure::kEndOfFile);
  ExpectFailure("2500,,", Failure::kEndOfFile);
  ExpectFailure("\t\t\t", Failure::kEndOfFile);
  ExpectFailure("1,2,3,", Failure::kEndOfFile);
}

TEST(ValueListTest, SyntaxAndConversionFailures) {
  ExpectFailure("2500 x 7100 1500", Failure::kSyntaxError);
  ExpectFailure("1..2", Failure::kSyntaxError);
  ExpectFailure("1E2E3", Failure::kSyntaxError);
  ExpectFailure("+-1", Failure::kSyntaxError);
  ExpectFailure("E5", Failure::kSyntaxError);
  ExpectFailure("-", Failure::kSyntaxError);
  ExpectFailure(".", Failure::kSyntaxError);
  ExpectFailure("1E", Failure::kSyntaxError);
  ExpectFailure("*5", Failure::kSyntaxError);
  ExpectFailure("0*5", Failure::kSyntaxError);
  ExpectFailure("1.5*3", Failure::kSyntaxError);
  ExpectFailure("2*3*4", Failure::kSyntaxError);
  ExpectFailure("(1,2)", Failure::kSyntaxError);
  ExpectFailure("'2500'", Failure::kConversionError);
  ExpectFailure("2*\"x\"", Failure::kConversionError);
  ExpectFailure("1E39", Failure::kConversionError);
  ExpectFailure("-1E39 0 0 0", Failure::kConversionError);
}

TEST(ValueListTest, ValuesBeforeAFailureAreKept) {
  const Outcome o = Parse("2500 x 7100 1500");
  EXPECT_EQ(o.params.d1, 2500.0f);
  EXPECT_EQ(o.params.d2, 8000.0f);
}

}  // namespace
}  // namespace adequacy
