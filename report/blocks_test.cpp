#include "report/blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace adequacy {
namespace {

// A channel over a temporary file, split back into records.
class Capture {
 public:
  Capture() : file_(std::tmpfile()), channel_(file_, kReportFile) {}
  ~Capture() { std::fclose(file_); }
  Channel& channel() { return channel_; }

  std::vector<std::string> Records() {
    std::rewind(file_);
    std::string all;
    int c;
    while ((c = std::fgetc(file_)) != EOF) all += static_cast<char>(c);
    std::vector<std::string> records;
    size_t start = 0;
    for (size_t end; (end = all.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      records.push_back(all.substr(start, end - start));
    }
    EXPECT_EQ(start, all.size()) << "text after the last line end";
    return records;
  }

 private:
  std::FILE* file_;
  Channel channel_;
};

class BlocksTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { table_.Build(); }
  DirectResult Pass(const LoadParameters& params) {
    return RunDirectPass(params, table_, &loads_);
  }
  static AvailabilityTable table_;
  HourlyLoads loads_;
};

AvailabilityTable BlocksTest::table_;

TEST_F(BlocksTest, DirectSolutionBlockWithDefaults) {
  Capture out;
  const DirectResult result = Pass(LoadParameters());
  WriteDirectSolutionBlock(out.channel(), result, SampleDayRows(table_, loads_),
                           {2000, 8000, 7000, 1424});
  const std::vector<std::string> r = out.Records();
  ASSERT_EQ(r.size(), 38u);
  const size_t lengths[12] = {25, 2, 31, 33, 2, 33, 33, 0, 28, 2, 54, 55};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(r[i].size(), lengths[i]) << i;
  for (int i = 12; i < 36; ++i) EXPECT_EQ(r[i].size(), 60u) << i;
  EXPECT_EQ(r[0], "          DIRECT SOLUTION");
  EXPECT_EQ(r[1], "  ");
  EXPECT_EQ(r[3], "   0.225305   0.099956   0.095577");
  EXPECT_EQ(r[6], "   33.39505   28573440.   1.16874");
  EXPECT_EQ(r[7], "");
  EXPECT_EQ(r[8], "   RESERVE MARGIN =   13.57%");
  EXPECT_EQ(r[12].substr(0, 10), "  1  5904.");
  EXPECT_EQ(r[23].substr(0, 10), " 12  9424.");
  EXPECT_EQ(r[36], "");
  EXPECT_EQ(r[37],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =   2000   8000   7000   1424");
}

TEST_F(BlocksTest, ConsoleSummaryAndPrompts) {
  Capture out;
  const DirectResult result = Pass(LoadParameters());
  WriteConsoleSummary(out.channel(), result, {2000, 8000, 7000, 0});
  WriteWhatIfPrompt(out.channel());
  WriteContinuePrompt(out.channel());
  WriteClosingMessages(out.channel());
  const std::vector<std::string> r = out.Records();
  ASSERT_EQ(r.size(), 7u);
  EXPECT_EQ(r[0], "     LOLH       LOLE     puEUEppm");
  EXPECT_EQ(r[1], "   0.225305   0.099956      1.169");
  EXPECT_EQ(r[2],
            "D1 MIN, D2 WIN, D3 SUM, D4 ADD =      2000      8000      "
            "7000          ");
  EXPECT_EQ(r[3], " ENTER NEW D1,D2,D3,D4 OR RETURN TO CONTINUE");
  EXPECT_EQ(r[4], " CONTINUE MONTECARLO? 1=YES");
  EXPECT_EQ(r[5], " FILE OP CONTAINS THE OUTPUT REPORT");
  EXPECT_EQ(r[6], " PRESS ENTER TO END THIS PROGRAM");
}

TEST_F(BlocksTest, MonteCarloRecords) {
  Capture report;
  Capture console;
  WriteMonteCarloHeadings(report.channel(), console.channel());
  WriteCheckpointRecord(report.channel(), {1000, 0.196, 0.097, 0.021, 20.065});
  WriteCheckpointRecord(report.channel(), {10000000, 0, 0, 1, 0});
  WriteTimeRecord(report.channel(), 1.5f);
  const std::vector<std::string> r = report.Records();
  ASSERT_EQ(r.size(), 8u);
  EXPECT_EQ(r[0], "  ");
  EXPECT_EQ(r[2], "           MONTECARLO SEQUENTIAL SOLUTION");
  EXPECT_EQ(r[4], "   YRS       LOLH       LOLEV      ALOLP     MWHEUE");
  EXPECT_EQ(r[5], "   1000.   0.196000   0.097000   0.021000    20.065");
  EXPECT_EQ(r[6], "********   0.000000   0.000000   1.000000     0.000");
  EXPECT_EQ(r[7], "TIME =     1.500 SEC");
  const std::vector<std::string> c = console.Records();
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0], r[2]);
  EXPECT_EQ(c[1], r[4]);
}

}  // namespace
}  // namespace adequacy
