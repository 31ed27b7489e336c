// Started with a standard stream closed, the program still writes exactly
// the report: nothing meant for the console lands in OP, and OP is never
// read as the replies.
#include <gtest/gtest.h>

#include <string>

#include "tests/run_program.h"

namespace adequacy {
namespace {

const char kReplies[] = "\n2\n\n";

TEST(StandardStreamsTest, ClosedOutputOrErrorChangesNothingInTheReport) {
  const ProgramRun normal = RunProgram(kReplies);
  ASSERT_EQ(normal.exit_status, 0);
  for (const char* streams :
       {"< input >&- 2> stderr", "< input > stdout 2>&-", "< input >&- 2>&-"}) {
    const ProgramRun run = RunProgram(kReplies, nullptr, "", streams);
    EXPECT_EQ(run.exit_status, 0) << streams;
    EXPECT_EQ(MaskTimes(run.op), MaskTimes(normal.op)) << streams;
  }
}

// A closed input reads as its end: the run stops at the what-if prompt
// exactly as with an empty script.
TEST(StandardStreamsTest, ClosedInputIsTheEndOfTheReplies) {
  const std::string golden = ADEQUACY_GOLDEN_DIR "/eof_at_what_if/";
  const ProgramRun run = RunProgram("", nullptr, "", "<&- > stdout 2> stderr");
  EXPECT_EQ(std::to_string(run.exit_status) + "\n",
            ReadFile(golden + "status"));
  EXPECT_EQ(run.err.substr(0, run.err.find("\r\n")) + "\n",
            ReadFile(golden + "stderr_first_line"));
  EXPECT_EQ(MaskTimes(run.op), ReadFile(golden + "OP"));
  EXPECT_EQ(Records(run.op).size(), 39u);
}

}  // namespace
}  // namespace adequacy
