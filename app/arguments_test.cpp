#include "app/arguments.h"

#include <gtest/gtest.h>

#include <vector>

namespace adequacy {
namespace {

Arguments Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "adequacy");
  return ParseArguments(static_cast<int>(args.size()), args.data());
}

TEST(ArgumentsTest, OnlyTheOptionsAloneAreUnderstood) {
  EXPECT_EQ(Parse({}).invocation, Invocation::kDialogue);
  EXPECT_EQ(Parse({}).details_path, "");
  const Arguments details = Parse({"--details", "run.json"});
  EXPECT_EQ(details.invocation, Invocation::kDialogue);
  EXPECT_EQ(details.details_path, "run.json");
  EXPECT_EQ(Parse({"--help"}).invocation, Invocation::kHelp);
  EXPECT_EQ(Parse({"--version"}).invocation, Invocation::kVersion);
  const struct {
    std::vector<const char*> args;
    const char* offending;
  } misuses[] = {
      {{"-h"}, "-h"},
      {{""}, ""},
      {{"OP"}, "OP"},
      {{"--help", "--version"}, "--version"},
      {{"--version", "x"}, "x"},
      {{"x", "--help"}, "x"},
      {{"--details"}, "--details"},
      {{"--details", ""}, ""},
      {{"--details", "--help"}, "--help"},
      {{"--details", "a.json", "b.json"}, "b.json"},
      {{"run.json", "--details"}, "run.json"},
  };
  for (const auto& misuse : misuses) {
    const Arguments parsed = Parse(misuse.args);
    EXPECT_EQ(parsed.invocation, Invocation::kMisuse);
    EXPECT_EQ(parsed.offending, misuse.offending);
  }
}

}  // namespace
}  // namespace adequacy
