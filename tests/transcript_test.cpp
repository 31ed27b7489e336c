// Golden transcripts: each directory under tests/golden holds a reply
// script and the report, console output, first diagnostic line and exit
// status it must produce (time records masked).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/run_program.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) { return ReadFile(path.string()); }

TEST(TranscriptTest, EveryTranscriptReplaysExactly) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(ADEQUACY_GOLDEN_DIR)) {
    if (!entry.is_directory()) continue;
    const fs::path dir = entry.path();
    SCOPED_TRACE(dir.filename().string());
    ++cases;
    const ProgramRun run = RunProgram(Slurp(dir / "input"));
    EXPECT_EQ(std::to_string(run.exit_status) + "\n", Slurp(dir / "status"));
    EXPECT_EQ(MaskTimes(run.out), Slurp(dir / "stdout"));
    EXPECT_EQ(MaskTimes(run.op), Slurp(dir / "OP"));
    const std::string first = run.err.substr(0, run.err.find("\r\n"));
    EXPECT_EQ(first + "\n", Slurp(dir / "stderr_first_line"));
  }
  EXPECT_GE(cases, 15);
}

// The transcripts' expectations carry the published figures of the
// default parameters and of the first checkpoint.
TEST(TranscriptTest, TypicalRunCarriesTheKnownFigures) {
  const std::string op =
      Slurp(fs::path(ADEQUACY_GOLDEN_DIR) / "typical_run/OP");
  for (const char* line :
       {"   0.225305   0.099956   0.095577\r\n",
        "   33.39505   28573440.   1.16874\r\n",
        "   RESERVE MARGIN =   13.57%\r\n",
        "D1 MIN, D2 WIN, D3 SUM, D4 ADD =   2000   8000   7000   1424\r\n",
        "D1 MIN, D2 WIN, D3 SUM, D4 ADD =   2500   8000   7000   1424\r\n",
        "   1000.   0.196000   0.097000   0.021000    20.065\r\n"}) {
    EXPECT_NE(op.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace adequacy
