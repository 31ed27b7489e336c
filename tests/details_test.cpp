// The companion file written with --details FILE: the records are the same
// as without it, the file is one complete JSON document after every pass
// and checkpoint (also when the run is stopped), and a file that cannot or
// must not be written stops the program before OP is touched.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/run_program.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

// A directory of the test's own, outside the program's scratch directory,
// so that the file outlives the run.
class DetailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (fs::temp_directory_path() / "adequacy-details-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  ProgramRun RunWithDetails(const std::string& replies,
                            const std::string& path) {
    return RunProgram(replies, nullptr, "",
                      "--details '" + path + "' " + kStandardStreams);
  }

  std::string dir_;
};

bool HavePython() { return std::system("python3 -c '' >/dev/null 2>&1") == 0; }

// Checks the document with a standard JSON library: the names scripts rely
// on, and every interval around its estimate.  Empty when all holds.
std::string Checked(const std::string& path, int passes, int checkpoints) {
  const std::string script =
      "import json, sys\n"
      "d = json.load(open(sys.argv[1]))\n"
      "assert d['schema'] == 1 and d['program']['name'] == 'adequacy'\n"
      "assert d['seed'] == 3 and d['started'].endswith('Z')\n"
      "assert len(d['passes']) == int(sys.argv[2])\n"
      "for p in d['passes']:\n"
      "  for k in ('D1','D2','D3','D4','LOLH','LOLE','ALLR','MWHEUE',\n"
      "            'MWHTOTAL','puEUEppm','reserve_margin'):\n"
      "    assert isinstance(p[k], (int, float)), k\n"
      "cs = d['checkpoints']\n"
      "assert len(cs) == int(sys.argv[3])\n"
      "for n, c in enumerate(cs):\n"
      "  assert c['years'] == 1000 * 10 ** n\n"
      "  assert c['cpu_seconds'] >= 0 and c['wall_seconds'] >= 0\n"
      "  for k in ('LOLH', 'LOLEV', 'ALOLP', 'MWHEUE'):\n"
      "    e = c[k]\n"
      "    assert e['standard_error'] > 0, k\n"
      "    lo, hi = e['ci95']\n"
      "    assert lo <= e['estimate'] <= hi, k\n"
      "if cs:\n"
      "  ev = d['events']\n"
      "  assert sum(ev['by_duration_hours'].values()) == ev['count']\n"
      "  assert sum(d['years_by_deficit_hours'].values()) == d['years']\n"
      "  assert ev['unserved_mwh_per_event']['max'] > 0\n"
      "print('ok')\n";
  std::ofstream(path + ".py") << script;
  const std::string command =
      "python3 '" + path + ".py' '" + path + "' " + std::to_string(passes) +
      " " + std::to_string(checkpoints) + " > '" + path + ".out' 2>&1";
  const int status = std::system(command.c_str());
  const std::string said = ReadFile(path + ".out");
  return status == 0 && said == "ok\n" ? "" : said;
}

TEST_F(DetailsTest, SameRecordsAndAWholeDocument) {
  const char kReplies[] = "2500/\n\n1\n2\n\n";
  const std::string path = Path("run.json");
  const ProgramRun plain = RunProgram(kReplies);
  const ProgramRun with = RunWithDetails(kReplies, path);
  EXPECT_EQ(with.exit_status, 0);
  EXPECT_EQ(MaskTimes(with.op), MaskTimes(plain.op));
  EXPECT_EQ(MaskTimes(with.out), MaskTimes(plain.out));
  EXPECT_EQ(with.err, "");
  const std::string json = ReadFile(path);
  EXPECT_NE(json.find("\"D1\": 2500,"), std::string::npos) << json;
  // The direct solution at full precision, not the report's six decimals.
  EXPECT_NE(json.find("\"LOLH\": 0.2253052527243522,"), std::string::npos);
  EXPECT_FALSE(fs::exists(path + ".part"));
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  EXPECT_EQ(Checked(path, 2, 2), "");
}

TEST_F(DetailsTest, AStoppedRunLeavesWhatItHadDone) {
  // The input ends at the first continue prompt.
  const std::string path = Path("run.json");
  const ProgramRun run = RunWithDetails("\n", path);
  EXPECT_NE(run.exit_status, 0);
  EXPECT_NE(MaskTimes(run.op).find("   1000."), std::string::npos);
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  EXPECT_EQ(Checked(path, 1, 1), "");
}

TEST_F(DetailsTest, AFileThatCannotBeWrittenStopsBeforeTheReport) {
  const std::string kept = "an earlier report\r\n";
  auto plant = [&](const std::string& dir) {
    std::ofstream(dir + "/OP", std::ios::binary) << kept;
  };
  const std::string cases[] = {Path("no/such/dir/run.json"), dir_, "OP", "./OP",
                               "/dev/null"};
  for (const std::string& path : cases) {
    SCOPED_TRACE(path);
    const ProgramRun run = RunProgram(
        "\n2\n\n", plant, "", "--details '" + path + "' " + kStandardStreams);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(
        run.err.rfind(
            "adequacy: cannot write the details file '" + path + "': ", 0),
        0u)
        << run.err;
    EXPECT_EQ(run.op, kept);
  }
}

}  // namespace
}  // namespace adequacy
