// Golden transcripts: each directory under tests/golden holds a reply
// script and the report, console output, first diagnostic line and exit
// status it must produce (time records masked).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/run_program.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) { return ReadFile(path.string()); }

// The transcripts' names, one test case each, so that they replay side by
// side.
std::vector<std::string> Transcripts() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ADEQUACY_GOLDEN_DIR)) {
    if (entry.is_directory()) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class TranscriptReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(TranscriptReplay, ReplaysExactly) {
  const fs::path dir = fs::path(ADEQUACY_GOLDEN_DIR) / GetParam();
  const ProgramRun run = RunProgram(Slurp(dir / "input"));
  EXPECT_EQ(std::to_string(run.exit_status) + "\n", Slurp(dir / "status"));
  EXPECT_EQ(MaskTimes(run.out), Slurp(dir / "stdout"));
  EXPECT_EQ(MaskTimes(run.op), Slurp(dir / "OP"));
  const std::string first = run.err.substr(0, run.err.find("\r\n"));
  EXPECT_EQ(first + "\n", Slurp(dir / "stderr_first_line"));
}

INSTANTIATE_TEST_SUITE_P(Golden, TranscriptReplay,
                         ::testing::ValuesIn(Transcripts()),
                         [](const auto& info) { return info.param; });

TEST(TranscriptTest, AllTranscriptsAreThere) {
  EXPECT_GE(Transcripts().size(), 15u);
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
