#include "app/progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace adequacy {
namespace {

TEST(ProgressTest, WantedOnlyOnATerminalThatCanRedraw) {
  EXPECT_TRUE(StatusLineWanted(true, "xterm-256color"));
  EXPECT_FALSE(StatusLineWanted(true, nullptr));
  EXPECT_FALSE(StatusLineWanted(true, ""));
  EXPECT_FALSE(StatusLineWanted(true, "dumb"));
  EXPECT_FALSE(StatusLineWanted(false, "xterm"));
}

TEST(ProgressTest, NotInTheFirstHalfSecondThenTenTimesASecondAtMost) {
  EXPECT_FALSE(StatusLineDue(0.49, 0.0, false));
  EXPECT_TRUE(StatusLineDue(0.5, 0.0, false));
  EXPECT_FALSE(StatusLineDue(2.0, 0.05, true));
  EXPECT_TRUE(StatusLineDue(2.0, 0.1, true));
}

std::string Drawn(bool enabled, int wait_ms,
                  TerminalState terminal = {80, true}) {
  char buffer[512] = {};
  std::FILE* out = fmemopen(buffer, sizeof(buffer), "w");
  ProgressDisplay display(enabled, out, [terminal] { return terminal; });
  display.Start(1000, 10000);
  display.Update(2000, 1.0 / 9.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
  display.Update(3000, 2.0 / 9.0);
  display.Finish();
  std::fclose(out);
  return buffer;
}

TEST(ProgressTest, DrawsAfterHalfASecondAndErasesBeforeTheRecord) {
  EXPECT_EQ(Drawn(true, 0), "");
  const std::string drawn = Drawn(true, 600);
  EXPECT_EQ(drawn.rfind("\r  simulating: 3,000 of 10,000 years (30.0%)", 0),
            0u);
  EXPECT_EQ(drawn.substr(drawn.size() - 4), "\r\033[J");
  EXPECT_EQ(Drawn(false, 600), "");
}

// A process in the background draws nothing, and neither does one whose
// terminal is too narrow for anything useful or of unknown width.
TEST(ProgressTest, NothingInTheBackgroundOrWithoutRoom) {
  EXPECT_EQ(Drawn(true, 600, {80, false}), "");
  EXPECT_EQ(Drawn(true, 600, {7, true}), "");
  EXPECT_EQ(Drawn(true, 600, {0, true}), "");
  EXPECT_EQ(Drawn(true, 600, {20, true}),
            "\r  simulating: 30.0%\033[K\r\r\033[J");
}

}  // namespace
}  // namespace adequacy
