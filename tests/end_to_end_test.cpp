// The built program, run with scripted replies: the report file, the
// console, the diagnostics and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/run_program.h"

namespace adequacy {
namespace {

const std::string kDefaultEcho =
    "D1 MIN, D2 WIN, D3 SUM, D4 ADD =   2000   8000   7000   1424";
const std::string kFirstCheckpoint =
    "   1000.   0.196000   0.097000   0.021000    20.065";

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find("\r\n"));
}

void ExpectStop(const ProgramRun& run, int status, const std::string& line) {
  EXPECT_EQ(run.exit_status, status);
  EXPECT_EQ(FirstLine(run.err), line);
  const std::vector<std::string> err = Records(run.err);
  ASSERT_GE(err.size(), 2u);
  for (const char* heading : {"Image", "PC", "Routine", "Line", "Source"}) {
    EXPECT_NE(err[1].find(heading), std::string::npos) << heading;
  }
}

TEST(EndToEndTest, DefaultRunToTheFirstCheckpoint) {
  const ProgramRun run = RunProgram("\n2\n\n");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> op = Records(MaskTimes(run.op));
  ASSERT_EQ(op.size(), 46u);
  EXPECT_EQ(op[3], "   0.225305   0.099956   0.095577");
  EXPECT_EQ(op[6], "   33.39505   28573440.   1.16874");
  EXPECT_EQ(op[8], "   RESERVE MARGIN =   13.57%");
  EXPECT_EQ(op[37], kDefaultEcho);
  EXPECT_EQ(op[38], "TIME =#SEC");
  EXPECT_EQ(op[39], "  ");
  EXPECT_EQ(op[40], "  ");
  EXPECT_EQ(op[41], "           MONTECARLO SEQUENTIAL SOLUTION");
  EXPECT_EQ(op[43], "   YRS       LOLH       LOLEV      ALOLP     MWHEUE");
  EXPECT_EQ(op[44], kFirstCheckpoint);
  EXPECT_EQ(op[45], "TIME =#SEC");
  const std::string console =
      "     LOLH       LOLE     puEUEppm\r\n"
      "   0.225305   0.099956      1.169\r\n"
      "D1 MIN, D2 WIN, D3 SUM, D4 ADD =      2000      8000      7000      "
      "1424\r\n"
      " ENTER NEW D1,D2,D3,D4 OR RETURN TO CONTINUE\r\n"
      "           MONTECARLO SEQUENTIAL SOLUTION\r\n"
      "   YRS       LOLH       LOLEV      ALOLP     MWHEUE\r\n" +
      kFirstCheckpoint +
      "\r\n"
      "TIME =#SEC\r\n"
      " CONTINUE MONTECARLO? 1=YES\r\n"
      " FILE OP CONTAINS THE OUTPUT REPORT\r\n"
      " PRESS ENTER TO END THIS PROGRAM\r\n";
  EXPECT_EQ(MaskTimes(run.out), console);
}

// The replies "2500/", Enter, 1, "no", Enter: a run that the transcript
// typical_run replays, so its records are read from there.
TEST(EndToEndTest, TypicalRunWithAWhatIfPassAndTwoCheckpoints) {
  const ProgramRun run = GoldenRun("typical_run");
  EXPECT_EQ(run.exit_status, 0);
  const std::vector<std::string> op = Records(MaskTimes(run.op));
  // Two direct blocks, one time record, five headings, two checkpoints.
  ASSERT_EQ(op.size(), 38u * 2 + 1 + 5 + 4);
  EXPECT_EQ(op[37], kDefaultEcho);
  EXPECT_EQ(op[38], "TIME =#SEC");
  EXPECT_EQ(op[39], "          DIRECT SOLUTION");
  EXPECT_EQ(op[38 + 38],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =   2500   8000   7000   1424");
  EXPECT_EQ(op[77 + 5], kFirstCheckpoint);
  EXPECT_EQ(op[77 + 7].substr(0, 8), "  10000.");
  const std::vector<std::string> out = Records(MaskTimes(run.out));
  ASSERT_EQ(out.size(), 4u * 2 + 2 + 3 * 2 + 2);
  EXPECT_EQ(out[13].substr(0, 8), "  10000.");
}

TEST(EndToEndTest, RepeatedPassesWriteOneTimeRecord) {
  const ProgramRun run =
      RunProgram("3000 9000 8000 1600\n2000,8000,7000,1424\n/\n\n2\n\n");
  EXPECT_EQ(run.exit_status, 0);
  const std::vector<std::string> op = Records(MaskTimes(run.op));
  ASSERT_EQ(op.size(), 38u * 4 + 1 + 5 + 2);
  EXPECT_EQ(op[38 + 38],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =   3000   9000   8000   1600");
  // The same parameters give the same block.
  const std::vector<std::string> first(op.begin(), op.begin() + 38);
  const std::vector<std::string> third(op.begin() + 77, op.begin() + 115);
  const std::vector<std::string> fourth(op.begin() + 115, op.begin() + 153);
  EXPECT_EQ(first, third);
  EXPECT_EQ(third, fourth);
  // The Monte Carlo phase simulates the loads of the last pass.
  EXPECT_EQ(op[153 + 5], kFirstCheckpoint);
}

TEST(EndToEndTest, MonteCarloSimulatesTheLastPassLoads) {
  const ProgramRun run = RunProgram("2000 9000/\n\n2\n\n");
  EXPECT_EQ(run.exit_status, 0);
  const std::vector<std::string> op = Records(run.op);
  ASSERT_EQ(op.size(), 38u * 2 + 1 + 5 + 2);
  EXPECT_EQ(op[82].substr(0, 8), "   1000.");
  EXPECT_NE(op[82], kFirstCheckpoint);
}

// The failure rows are replayed byte for byte by the golden transcripts;
// here, the shape of a stop: diagnostic line, stack listing heading, status,
// and the report kept up to the stop.
TEST(EndToEndTest, AStopWritesItsDiagnosticAndKeepsTheReport) {
  const ProgramRun run = RunProgram("2500 x 7100 1500\n");
  ExpectStop(run, 59,
             "forrtl: severe (59): list-directed I/O syntax error, unit -5, "
             "file Internal List-Directed Read");
  EXPECT_EQ(Records(run.op).size(), 39u);
}

TEST(EndToEndTest, LastLineWithoutLineFeedIsALine) {
  const ProgramRun run = RunProgram("\n2\nbye");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
}

TEST(EndToEndTest, LoadsOutsideTheTable) {
  const ProgramRun high = RunProgram("1E9 1E9 1E9 0\n");
  const std::vector<std::string> op = Records(high.op);
  ASSERT_GE(op.size(), 77u);
  EXPECT_EQ(op[39 + 3], "8760.000000 365.000000   1.000000");
  EXPECT_EQ(op[39 + 37],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =*********************       ");
  const ProgramRun low = RunProgram("-5000 -5000 -5000 -5000\n");
  const std::vector<std::string> low_op = Records(low.op);
  ASSERT_GE(low_op.size(), 77u);
  EXPECT_EQ(low_op[38 + 1 + 3], "   0.000000   0.000000   0.000000");
  EXPECT_EQ(low_op[38 + 1 + 8], "   RESERVE MARGIN =Infinity%");
}

TEST(EndToEndTest, HugeParameterSaturatesAndOverflowsItsField) {
  const ProgramRun run = RunProgram("1E20/\n");
  const std::vector<std::string> op = Records(run.op);
  ASSERT_GE(op.size(), 77u);
  EXPECT_EQ(op[38 + 38],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =*******   8000   7000   1424");
  EXPECT_NE(run.err.find("forrtl: error (63): output conversion error, unit "
                         "3, file OP\r\n"),
            std::string::npos);
  // The run went on to the next prompt.
  EXPECT_EQ(run.exit_status, 24);
}

TEST(EndToEndTest, ZeroLoadsPrintTheIeeeResults) {
  const ProgramRun run = RunProgram("0 0 0 0\n");
  const std::vector<std::string> op = Records(run.op);
  ASSERT_GE(op.size(), 77u);
  EXPECT_EQ(op[39 + 6], "    0.00000          0.       NaN");
  EXPECT_EQ(op[39 + 8], "   RESERVE MARGIN =Infinity%");
  EXPECT_EQ(op[39 + 37],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =                "
            "            ");
}

TEST(EndToEndTest, ReportFileThatCannotBeOpenedOrWritten) {
  const std::string open_failure =
      "forrtl: severe (30): open failure, unit 3, file OP";
  const ProgramRun directory = RunProgram(
      "\n", [](const std::string& dir) { mkdir((dir + "/OP").c_str(), 0700); });
  ExpectStop(directory, 30, open_failure);
  EXPECT_EQ(directory.out, "");
  if (geteuid() != 0) {
    const ProgramRun read_only = RunProgram(
        "\n", [](const std::string& dir) { chmod(dir.c_str(), 0500); });
    ExpectStop(read_only, 30, open_failure);
  }
  const ProgramRun full = RunProgram("\n", [](const std::string& dir) {
    symlink("/dev/full", (dir + "/OP").c_str());
  });
  ExpectStop(full, 38,
             "forrtl: severe (38): error during write, unit 3, "
             "file OP");
  EXPECT_EQ(full.out, "");
}

TEST(EndToEndTest, HostileRepliesEndSoundly) {
  struct Case {
    std::string input;
    int status;
  };
  const std::string huge_blank(10000000, ' ');
  const std::string huge_text(10000000, 'x');
  const Case cases[] = {
      {huge_blank + "\n2\n\n", 0},         // Blank in its first 50 columns.
      {huge_text + "\n", 59},              // Consumed whole, then parsed.
      {std::string(49, ' ') + "1\n", 24},  // One value, then no more room.
      {std::string("\0\f\r\x80\n", 5), 59},
      {"-1E38/\n\n2\n\n", 0},
      {"4*\n\n2\n\n", 0},
      {"0*5\n", 59},
      {"\r\n2\r\n\r\n", 0},  // CR LF line ends.
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.substr(0, 20));
    const ProgramRun run = RunProgram(c.input);
    EXPECT_EQ(run.exit_status, c.status);
    const std::vector<std::string> op = Records(run.op);
    ASSERT_GE(op.size(), 39u);
    EXPECT_EQ(op.back().rfind("<partial>", 0), std::string::npos);
  }
}

}  // namespace
}  // namespace adequacy
