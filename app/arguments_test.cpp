#include "app/arguments.h"

#include <gtest/gtest.h>

#include <vector>

namespace adequacy {
namespace {

Arguments Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "adequacy");
  return ParseArguments(static_cast<int>(args.size()), args.data());
}

TEST(ArgumentsTest, OnlyTheTwoOptionsAloneAreUnderstood) {
  EXPECT_EQ(Parse({}).invocation, Invocation::kDialogue);
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
  };
  for (const auto& misuse : misuses) {
    const Arguments parsed = Parse(misuse.args);
    EXPECT_EQ(parsed.invocation, Invocation::kMisuse);
    EXPECT_EQ(parsed.offending, misuse.offending);
  }
}

}  // namespace
}  // namespace adequacy
