// The plot companion over the reports of the golden transcripts: a
// well-formed SVG with the right points in each series, and one line of
// error and no figure for a file that is not a report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/run_program.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

struct Plot {
  int status;
  std::string err;
  std::string svg;  // Empty when no figure was written.
};

bool HaveGnuplot() {
  return std::system("command -v gnuplot >/dev/null 2>&1") == 0;
}

// Plots `report`, with `companion` as OP.json beside it when not empty.
Plot PlotReport(const std::string& report, const std::string& companion = "") {
  std::string pattern =
      (fs::temp_directory_path() / "adequacy-plot-XXXXXX").string();
  const std::string dir = mkdtemp(pattern.data());
  std::ofstream(dir + "/OP", std::ios::binary) << report;
  if (!companion.empty()) std::ofstream(dir + "/OP.json") << companion;
  const int status = std::system(("sh '" ADEQUACY_PLOT_SCRIPT "' '" + dir +
                                  "/OP' svg >/dev/null 2>'" + dir + "/err'")
                                     .c_str());
  Plot plot{WEXITSTATUS(status), ReadFile(dir + "/err"),
            ReadFile(dir + "/OP.svg")};
  fs::remove_all(dir);
  return plot;
}

std::string Golden(const std::string& name) {
  return ReadFile(ADEQUACY_GOLDEN_DIR "/" + name + "/OP");
}

// Every element that opens is closed, in order.
bool WellFormed(const std::string& svg) {
  if (svg.rfind("<?xml", 0) != 0) return false;
  std::vector<std::string> open;
  for (size_t at = svg.find('<'); at != std::string::npos;
       at = svg.find('<', at + 1)) {
    const size_t end = svg.find('>', at);
    if (end == std::string::npos) return false;
    const std::string tag = svg.substr(at + 1, end - at - 1);
    if (tag[0] == '?' || tag[0] == '!' || tag.back() == '/') continue;
    const std::string name =
        tag.substr(tag[0] == '/' ? 1 : 0,
                   tag.find_first_of(" \t\n") - (tag[0] == '/' ? 1 : 0));
    if (tag[0] != '/') {
      open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return false;
    } else {
      open.pop_back();
    }
  }
  return open.empty();
}

// Points drawn per series, by panel and title ("b:LOLH"), without the one
// in the key.
std::map<std::string, int> Points(const std::string& svg) {
  std::map<std::string, int> points;
  const std::string group = "<g id=\"gnuplot_plot_";
  for (size_t at = svg.find(group); at != std::string::npos;) {
    const size_t next = svg.find(group, at + 1);
    const std::string body = svg.substr(at, next - at);
    const size_t id = body.find('"') + 1;
    const std::string panel(1, body[body.find('"', id) - 1]);
    const size_t title = body.find("<title>") + 7;
    const std::string name = body.substr(title, body.find("</title>") - title);
    // A filled point with error bars is drawn over a white copy of itself,
    // which is not counted.
    int uses = 0;
    for (size_t u = body.find("<use"); u != std::string::npos;
         u = body.find("<use", u + 1)) {
      const std::string tag = body.substr(u, body.find('>', u) - u);
      if (tag.find("color='white'") == std::string::npos) ++uses;
    }
    points[panel + ":" + name] = uses - 1;
    at = next;
  }
  return points;
}

// The LOLP of each hour of the last pass's sample day (0 winter, 1 summer,
// 2 off-peak) as printed; 0 for one printed as asterisks.
std::vector<double> SampleLolps(const std::string& report, int day) {
  const std::vector<std::string> records = Records(report);
  size_t last = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i] == "          DIRECT SOLUTION") last = i;
  }
  std::vector<double> lolps;
  for (size_t hour = 0; hour < 24; ++hour) {
    const std::string field =
        records[last + 12 + hour].substr(10 + 19 * day, 12);
    lolps.push_back(
        field.find('*') == std::string::npos ? std::atof(field.c_str()) : 0.0);
  }
  return lolps;
}

// Hours of the last pass's sample day whose LOLP is printed above zero.
int PositiveLolp(const std::string& report, int day) {
  int count = 0;
  for (double lolp : SampleLolps(report, day)) count += lolp > 0;
  return count;
}

class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed";
  }
};

// The sample days, a panel per estimate, and the what-if passes; without
// the companion, no intervals, and the figure says what they need.
TEST_F(PlotTest, TypicalRunHasAPanelPerEstimate) {
  const std::string report = Golden("typical_run");
  const Plot plot = PlotReport(report);
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_TRUE(WellFormed(plot.svg));
  std::map<std::string, int> points = Points(plot.svg);
  EXPECT_EQ(points["a:winter load"], 24);
  EXPECT_EQ(points["a:off-peak load"], 24);
  EXPECT_EQ(points["a:winter LOLP"], PositiveLolp(report, 0));
  EXPECT_EQ(points["a:summer LOLP"], PositiveLolp(report, 1));
  EXPECT_EQ(points.count("a:off-peak LOLP"), 0u);  // All printed as zero.
  EXPECT_NE(plot.svg.find("with LOLP printed as zero are not on the log"),
            std::string::npos);
  for (const char* series : {"b:LOLH", "c:LOLEV", "d:ALOLP", "e:MWHEUE"}) {
    EXPECT_EQ(points[series], 2) << series;
  }
  EXPECT_EQ(points.count("b:direct LOLH"), 1u);
  EXPECT_EQ(points.count("e:direct MWHEUE"), 1u);
  EXPECT_EQ(points.count("c:direct LOLEV"), 0u);
  // Each what-if series says its unit.
  for (const char* series :
       {"f:LOLH (h/year)", "f:LOLE (days/year)", "f:puEUEppm (ppm)"}) {
    EXPECT_EQ(points[series], 2) << series;
  }
  EXPECT_NE(plot.svg.find("2500/8000/7000/1424"), std::string::npos);
  EXPECT_NE(plot.svg.find("need the companion file"), std::string::npos);
  EXPECT_NE(plot.svg.find("DETAILS="), std::string::npos);
  EXPECT_EQ(plot.svg.find("95% interval</title>"), std::string::npos);
}

// The sample days' probability axis spans every hour printed above zero:
// none is clipped at the top or the bottom.
TEST_F(PlotTest, LolpAxisSpansItsData) {
  const std::string report = Golden("typical_run");
  std::string pattern =
      (fs::temp_directory_path() / "adequacy-plot-gp-XXXXXX").string();
  const std::string dir = mkdtemp(pattern.data());
  std::ofstream(dir + "/OP", std::ios::binary) << report;
  ASSERT_EQ(std::system(("PLOT_SCRIPT='" + dir + "/figure.gp' sh '" +
                         ADEQUACY_PLOT_SCRIPT "' '" + dir +
                         "/OP' svg >/dev/null 2>&1")
                            .c_str()),
            0);
  const std::string script = ReadFile(dir + "/figure.gp");
  fs::remove_all(dir);
  const size_t at = script.find("set y2range [");
  ASSERT_NE(at, std::string::npos) << script;
  const double low = std::atof(script.c_str() + at + 13);
  const double high = std::atof(script.c_str() + script.find(':', at) + 1);
  for (int day = 0; day < 3; ++day) {
    for (double lolp : SampleLolps(report, day)) {
      if (lolp <= 0) continue;
      EXPECT_LT(low, lolp);
      EXPECT_GT(high, lolp);
    }
  }
}

// A checkpoint whose years print as asterisks is drawn at the year count
// the sequence of checkpoints gives it.
TEST_F(PlotTest, StarredYearsComeFromTheSequence) {
  std::string report = Golden("typical_run");
  const size_t at = report.find("  10000.");
  ASSERT_NE(at, std::string::npos);
  report.replace(at, 8, "********");
  const Plot plot = PlotReport(report);
  ASSERT_EQ(plot.status, 0) << plot.err;
  std::map<std::string, int> points = Points(plot.svg);
  EXPECT_EQ(points["b:LOLH"], 2);
  EXPECT_EQ(points["e:MWHEUE"], 2);
  EXPECT_NE(plot.svg.find("YRS printed as asterisks at 1 checkpoint(s), each "
                          "drawn at ten times the years of the one before"),
            std::string::npos);
}

TEST_F(PlotTest, WhatIfSequenceAndZeroLoads) {
  Plot plot = PlotReport(Golden("value_lists"));
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_TRUE(WellFormed(plot.svg));
  // Four passes have a LOLE of zero, which a log axis cannot show.
  EXPECT_EQ(Points(plot.svg)["f:LOLE (days/year)"], 5);
  EXPECT_NE(plot.svg.find("11 index value(s) of zero are not on the log"),
            std::string::npos);
  plot = PlotReport(Golden("zero_loads"));
  ASSERT_EQ(plot.status, 0) << plot.err;
  std::map<std::string, int> points = Points(plot.svg);
  EXPECT_EQ(points["a:summer load"], 24);
  EXPECT_EQ(points.count("a:winter LOLP"), 0u);
  EXPECT_NE(plot.svg.find("no hour has a LOLP above zero"), std::string::npos);
}

// Fields of asterisks are left out, and the figure says so.
TEST_F(PlotTest, OverflowingFields) {
  const Plot plot = PlotReport(Golden("overflowing_fields"));
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_TRUE(WellFormed(plot.svg));
  std::map<std::string, int> points = Points(plot.svg);
  EXPECT_EQ(points.count("a:winter load"), 0u);
  EXPECT_EQ(points["a:winter LOLP"], 24);
  EXPECT_EQ(points["b:LOLH"], 1);
  EXPECT_EQ(points.count("e:MWHEUE"), 0u);
  EXPECT_NE(plot.svg.find("printed as asterisks"), std::string::npos);
}

// With the companion of a short run: an interval at every checkpoint, the
// two counts, and the run's identity in the caption.
TEST_F(PlotTest, CompanionGivesIntervalsAndCounts) {
  if (std::system("command -v jq >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "jq is not installed";
  }
  std::string pattern =
      (fs::temp_directory_path() / "adequacy-plot-run-XXXXXX").string();
  const std::string dir = mkdtemp(pattern.data());
  const ProgramRun run =
      RunProgram("\n1\n2\n\n", nullptr, "",
                 "--details '" + dir + "/OP.json' " + kStandardStreams);
  ASSERT_EQ(run.exit_status, 0);
  const std::string companion = ReadFile(dir + "/OP.json");
  fs::remove_all(dir);
  const Plot plot = PlotReport(run.op, companion);
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_TRUE(WellFormed(plot.svg));
  std::map<std::string, int> points = Points(plot.svg);
  EXPECT_EQ(points["b:LOLH, 95% interval"], 2);
  EXPECT_EQ(points["d:ALOLP, 95% interval"], 2);
  EXPECT_EQ(points["e:MWHEUE, 95% interval"], 2);
  EXPECT_EQ(points.count("f:events"), 1u);
  EXPECT_EQ(points.count("g:years"), 1u);
  EXPECT_NE(plot.svg.find("seed 3, run of "), std::string::npos);
  EXPECT_EQ(plot.svg.find("need the companion file"), std::string::npos);
  // Shares, not counts, with the sample they come from.
  EXPECT_NE(plot.svg.find("share of the 10000 simulated years"),
            std::string::npos);
  EXPECT_NE(plot.svg.find("share of events"), std::string::npos);
  EXPECT_EQ(plot.svg.find("replaying the first lap"), std::string::npos);
  // Past the fleet's first lap, the figure says that later years replay it.
  std::string later = companion;
  const size_t years = later.find("\n  \"years\": 10000,");
  ASSERT_NE(years, std::string::npos);
  later.replace(years, 18, "\n  \"years\": 100000,");
  const Plot replayed = PlotReport(run.op, later);
  ASSERT_EQ(replayed.status, 0) << replayed.err;
  EXPECT_NE(replayed.svg.find("(the years past 22,287 replay the first lap"),
            std::string::npos);
  // A companion that is not one: drawn without it, and said so.
  const Plot odd = PlotReport(run.op, "not json");
  ASSERT_EQ(odd.status, 0) << odd.err;
  EXPECT_EQ(Points(odd.svg)["b:LOLH"], 2);
  EXPECT_NE(odd.svg.find("is not a companion file"), std::string::npos);
}

// The README's figure was drawn by this version of the program: a change
// that touches what the figure shows redraws it (make docs-figure).
TEST(DocsFigureTest, DrawnByThisVersion) {
  const std::string companion =
      ReadFile(ADEQUACY_GOLDEN_DIR "/../../docs/typical_run.json");
  const std::string key = "\"version\": \"";
  const size_t at = companion.find(key);
  ASSERT_NE(at, std::string::npos);
  const std::string drawn_by = companion.substr(
      at + key.size(), companion.find('"', at + key.size()) - at - key.size());
  const ProgramRun version =
      RunProgram("", nullptr, "", "--version > stdout 2> stderr");
  EXPECT_EQ(version.out, "adequacy " + drawn_by + "\n")
      << "docs/typical_run.png is older than the program: make docs-figure";
}

TEST_F(PlotTest, NotAReportGivesOneLineAndNoFigure) {
  const std::string report = Golden("typical_run");
  for (const std::string& damaged :
       {std::string("hello\r\n"), report.substr(0, 700),
        report.substr(0, report.find("   1000.")) + "   1000.  garbled\r\n"}) {
    const Plot plot = PlotReport(damaged);
    EXPECT_NE(plot.status, 0);
    EXPECT_EQ(plot.svg, "");
    EXPECT_EQ(plot.err.rfind("plot: ", 0), 0u) << plot.err;
    EXPECT_NE(plot.err.find("is not a report of adequacy"), std::string::npos);
    EXPECT_EQ(plot.err.find('\n'), plot.err.size() - 1) << plot.err;
  }
}

}  // namespace
}  // namespace adequacy
