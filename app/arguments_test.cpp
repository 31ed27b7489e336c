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
  for (const auto& args : {std::vector<const char*>{"--details", "run.json"},
                           std::vector<const char*>{"--details=run.json"}}) {
    const Arguments details = Parse(args);
    EXPECT_EQ(details.invocation, Invocation::kDialogue);
    EXPECT_EQ(details.details_path, "run.json");
  }
  EXPECT_EQ(Parse({"--help"}).invocation, Invocation::kHelp);
  EXPECT_EQ(Parse({"-h"}).invocation, Invocation::kHelp);
  EXPECT_EQ(Parse({"--version"}).invocation, Invocation::kVersion);
  const struct {
    std::vector<const char*> args;
    Misuse misuse;
    const char* offending;
  } misuses[] = {
      {{"--bogus"}, Misuse::kUnknown, "--bogus"},
      {{""}, Misuse::kUnknown, ""},
      {{"OP"}, Misuse::kUnknown, "OP"},
      {{"--help", "--version"}, Misuse::kExtra, "--version"},
      {{"-h", "x"}, Misuse::kExtra, "x"},
      {{"--version", "x"}, Misuse::kExtra, "x"},
      {{"x", "--help"}, Misuse::kUnknown, "x"},
      {{"--details"}, Misuse::kMissingFileName, "--details"},
      {{"--details", ""}, Misuse::kMissingFileName, "--details"},
      {{"--details="}, Misuse::kMissingFileName, "--details"},
      {{"--details", "--help"}, Misuse::kMissingFileName, "--details"},
      {{"--details", "a.json", "b.json"}, Misuse::kExtra, "b.json"},
      {{"run.json", "--details"}, Misuse::kUnknown, "run.json"},
  };
  for (const auto& misuse : misuses) {
    const Arguments parsed = Parse(misuse.args);
    SCOPED_TRACE(misuse.offending);
    EXPECT_EQ(parsed.invocation, Invocation::kMisuse);
    EXPECT_EQ(parsed.misuse, misuse.misuse);
    EXPECT_EQ(parsed.offending, misuse.offending);
  }
}

}  // namespace
}  // namespace adequacy
