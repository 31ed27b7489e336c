// The program on a machine that gives less: threads that cannot be started
// and memory that cannot be had change nothing in what it writes.
#include <gtest/gtest.h>

#include <string>

#include "tests/run_program.h"

namespace adequacy {
namespace {

// A what-if pass and two checkpoints, 10,000 years: past the generator's
// first period.  The normal run of these replies is kept as a golden
// transcript.
const char kReplies[] = "2500/\n\n1\nno\n\n";
const char kGolden[] = "typical_run";

void ExpectSameRecords(const ProgramRun& run, const ProgramRun& normal) {
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(MaskTimes(run.op), normal.op);
  EXPECT_EQ(MaskTimes(run.out), normal.out);
}

// Threads are wanted from the start of the simulation: a transcript that
// simulates 1000 years takes the same path as a longer one.
TEST(FaultTest, NoThreadCanBeStarted) {
  const ProgramRun normal = GoldenRun("fractional_d4");
  ExpectSameRecords(
      RunProgram(ReadFile(ADEQUACY_GOLDEN_DIR "/fractional_d4/input"), nullptr,
                 "ASAN_OPTIONS=verify_asan_link_order=0 "
                 "LD_PRELOAD='" ADEQUACY_NO_THREADS_SHIM "'"),
      normal);
}

TEST(FaultTest, LittleAddressSpace) {
  const ProgramRun normal = GoldenRun(kGolden);
  // The sanitizers reserve far more address space than any limit allows.
  if (ReadFile("/proc/self/maps").find("asan") != std::string::npos) {
    GTEST_SKIP() << "an address space limit does not apply under the "
                    "address sanitizer";
  }
  ExpectSameRecords(RunProgram(kReplies, nullptr, "ulimit -v 100000 &&"),
                    normal);
}

}  // namespace
}  // namespace adequacy
