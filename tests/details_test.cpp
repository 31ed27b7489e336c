// The companion file written with --details FILE: the records are the same
// as without it, the file is one complete JSON document after every pass
// and checkpoint (also when the run is stopped), and a file that cannot or
// must not be written stops the program before OP is touched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/run_program.h"
#include "tests/scratch_dir.h"

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
  void ExpectShapeUnderLittleMemory(int years);
  // An address-space limit and the fewest threads it must leave room for.
  struct Limit {
    int megabytes;
    int threads;
  };
  void ExpectFewerThreadsUnderLittleMemory(const std::string& replies,
                                           const std::string& masked_op,
                                           int checkpoints,
                                           const std::vector<Limit>& limits);

  ProgramRun RunWithDetails(const std::string& replies,
                            const std::string& path) {
    return RunProgram(replies, nullptr, "",
                      "--details '" + path + "' " + kStandardStreams);
  }

  std::string dir_;
};

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
  // The typical run's replies, whose records are kept as a transcript.
  const ProgramRun plain = GoldenRun("typical_run");
  const std::string path = Path("run.json");
  const ProgramRun with =
      RunWithDetails(ReadFile(ADEQUACY_GOLDEN_DIR "/typical_run/input"), path);
  EXPECT_EQ(with.exit_status, 0);
  EXPECT_EQ(MaskTimes(with.op), plain.op);
  EXPECT_EQ(MaskTimes(with.out), plain.out);
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

// Names in the directory other than `kept`.
std::vector<std::string> Others(const std::string& dir,
                                const std::vector<std::string>& kept) {
  std::vector<std::string> others;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (std::find(kept.begin(), kept.end(), name) == kept.end()) {
      others.push_back(name);
    }
  }
  return others;
}

// A temporary name planted in a shared directory, as a link to a file of
// someone else's, is never followed: the file linked to stays as it was.
TEST_F(DetailsTest, APlantedTemporaryFileIsNeverFollowed) {
  const std::string path = Path("run.json");
  const std::string victim = Path("victim");
  std::ofstream(victim) << "precious\n";
  ASSERT_EQ(symlink(victim.c_str(), (path + ".part").c_str()), 0);
  ASSERT_EQ(link(victim.c_str(), (path + ".tmp").c_str()), 0);
  const ProgramRun run = RunWithDetails("\n2\n\n", path);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(ReadFile(victim), "precious\n");
  EXPECT_TRUE(fs::is_symlink(path + ".part"));
  EXPECT_EQ(
      Others(dir_, {"run.json", "run.json.part", "run.json.tmp", "victim"}),
      std::vector<std::string>{});
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  EXPECT_EQ(Checked(path, 1, 1), "");
}

// A rewrite cut short by the file-size limit leaves the last whole
// document, says so once, and the run goes on to its normal end.
TEST_F(DetailsTest, AFailedRewriteKeepsTheLastWholeDocument) {
  const std::string path = Path("run.json");
  // The typical run, whose records are kept as a transcript: 4096 bytes in
  // the shell's blocks of 512 hold its report (4028) and the document of
  // its first checkpoint (2646), not that of its second (4342).
  const ProgramRun plain = GoldenRun("typical_run");
  const ProgramRun run = RunProgram(
      ReadFile(ADEQUACY_GOLDEN_DIR "/typical_run/input"), nullptr,
      "ulimit -f 8 &&", "--details '" + path + "' " + kStandardStreams);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(MaskTimes(run.op), plain.op);
  EXPECT_EQ(run.err, "adequacy: cannot write the details file '" + path +
                         "': File too large\n");
  EXPECT_EQ(Others(dir_, {"run.json"}), std::vector<std::string>{});
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  EXPECT_EQ(Checked(path, 2, 1), "");
}

// A run that cannot write its first document stops with status 1 and a
// message, and leaves no file behind: not the companion, not a temporary
// file, not an OP it made.
TEST_F(DetailsTest, AFailedStartLeavesNothing) {
  const std::string path = Path("r.json");
  // The limit applies to the program alone; its message goes through a
  // pipe that the limit does not reach.
  const ProgramRun run = RunProgram(
      "\n2\n\n", nullptr, "{ (ulimit -f 0 && exec",
      "--details '" + path +
          "' < input 2>&1 >/dev/null); echo \"status $?\"; } | cat > stdout");
  EXPECT_EQ(run.out, "adequacy: cannot write the details file '" + path +
                         "': File too large\nstatus 1\n");
  EXPECT_EQ(run.op, "");
  EXPECT_EQ(Others(dir_, {}), std::vector<std::string>{});
}

// The same on a disk that is full from the start.
TEST_F(DetailsTest, AFullDiskLeavesNothing) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
  const std::string disk = Path("disk");
  fs::create_directory(disk);
  const std::string mount = "mount -t tmpfs -o size=4k tmpfs '" + disk + "'";
  if (std::system((mount + " 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "a small disk cannot be mounted here";
  }
  // Fill it.
  (void)!std::system(
      ("dd if=/dev/zero of='" + disk + "/fill' bs=1024 count=8 2>/dev/null")
          .c_str());
  const int status = std::system(
      ("cd '" + disk + "' && printf '\\n2\\n\\n' | '" + ADEQUACY_BINARY +
       "' --details run.json > /dev/null 2> '" + Path("err") + "'")
          .c_str());
  const std::vector<std::string> left = Others(disk, {"fill"});
  (void)!std::system(("umount '" + disk + "'").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(
      ReadFile(Path("err"))
          .rfind("adequacy: cannot write the details file 'run.json': ", 0),
      0u);
  EXPECT_EQ(left, std::vector<std::string>{});
}

// A second run refused because another holds OP touches nothing of that
// run's: its companion file stays as it was.
TEST_F(DetailsTest, ARefusedSecondRunLeavesTheFirstRunsFile) {
  const std::string path = Path("run.json");
  const std::string first = "{\"the first run's\": 1}\n";
  std::ofstream(path) << first;
  int held = -1;
  auto hold = [&](const std::string& dir) {
    held = open((dir + "/OP").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
  };
  const ProgramRun run = RunProgram(
      "\n2\n\n", hold, "", "--details '" + path + "' " + kStandardStreams);
  close(held);
  EXPECT_EQ(run.exit_status, 30);
  EXPECT_EQ(ReadFile(path), first);
  EXPECT_EQ(Others(dir_, {"run.json"}), std::vector<std::string>{});
}

// Under an address-space limit, from where the fastest engine just fails
// to where only the plain loop fits, the companion has the same shape: the
// counts after every checkpoint, or the reason they are missing.  The
// dialogue runs to `years`, 1000 or 10,000, under each limit.
void DetailsTest::ExpectShapeUnderLittleMemory(int years) {
  if (ReadFile("/proc/self/maps").find("asan") != std::string::npos) {
    GTEST_SKIP() << "an address space limit does not apply under the "
                    "address sanitizer";
  }
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const std::string path = Path("run.json");
  const std::string check = path + ".check.py";
  // One interpreter checks every file: it takes longer to start than a
  // run of the program.
  std::ofstream(check)
      << "import json, sys\n"
         "for f in sys.argv[1:]:\n"
         "  d = json.load(open(f))\n"
         "  assert d['years'] == "
      << years
      << ", (f, d['years'])\n"
         "  if d['statistics_missing'] is None:\n"
         "    assert d['events']['count'] > 0, f\n"
         "    assert sum(d['years_by_deficit_hours'].values()) == "
      << years
      << ", f\n"
         "  else:\n"
         "    assert d['events'] is None, f\n";
  const char* replies = years == 1000 ? "\n2\n\n" : "\n1\n2\n\n";
  std::string written;  // The companions of the runs that started.
  // Every 200 KB over two checkpoints; every 600 KB for one.
  const int step = years == 1000 ? 600 : 200;
  for (int kilobytes = 8600; kilobytes <= 10400; kilobytes += step) {
    const std::string companion = path + "." + std::to_string(kilobytes);
    const ProgramRun run = RunProgram(
        replies, nullptr, "ulimit -v " + std::to_string(kilobytes) + " && exec",
        "--details '" + companion + "' " + kStandardStreams);
    if (run.exit_status != 0) continue;  // Too little even to start.
    written += " '" + companion + "'";
  }
  EXPECT_EQ(std::system(("python3 '" + check + "'" + written).c_str()), 0);
}

TEST_F(DetailsTest, LittleMemoryKeepsTheCompanionsShape) {
  ExpectShapeUnderLittleMemory(1000);
}

// The same over two checkpoints, the second document written where memory
// is scarcest: about 0.7 s a limit.
class DetailsLongTest : public DetailsTest {};

TEST_F(DetailsLongTest, LittleMemoryKeepsTheCompanionsShapeOverTwoCheckpoints) {
  ExpectShapeUnderLittleMemory(10000);
}

// Sixteen processors and an address-space limit that does not hold the
// fastest engine with sixteen threads: it starts with the threads it has
// room for and keeps them, rather than trying more first and ending on the
// one-thread engine without the lists (as it once did at 50 MB), and gives
// the same records, `masked_op`.  `replies` run to 10,000 or 100,000
// years.
void DetailsTest::ExpectFewerThreadsUnderLittleMemory(
    const std::string& replies, const std::string& masked_op, int checkpoints,
    const std::vector<Limit>& limits) {
  if (ReadFile("/proc/self/maps").find("asan") != std::string::npos) {
    GTEST_SKIP() << "an address space limit does not apply under the "
                    "address sanitizer";
  }
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const std::string check = Path("check.py");
  const std::string checks =
      "for f in sys.argv[1:]:\n"
      "  c = json.load(open(f))['checkpoints']\n"
      "  assert len(c) == " +
      std::to_string(checkpoints) +
      ", f\n"
      "  assert c[-1]['engine'] == 'full', (f, c[-1])\n"
      "  assert 1 < c[-1]['threads'] < 16, (f, c[-1])\n"
      "  assert all(x['threads'] == c[0]['threads'] for x in c), (f, c)\n"
      // No fewer threads than the limit has room for: the optional
      // repair gaps once took the room of the rows every engine needs,
      // and the engine started again with half its threads.
      "  assert c[0]['threads'] >= fewest[f], (f, c[0])\n";
  std::string written;
  std::string fewest = "fewest = {";
  for (const auto [megabytes, threads] : limits) {
    SCOPED_TRACE(megabytes);
    const std::string path = Path(std::to_string(megabytes) + ".json");
    const ProgramRun run =
        RunProgram(replies, nullptr,
                   "ulimit -v " + std::to_string(megabytes * 1024) +
                       " && LD_PRELOAD='" ADEQUACY_SIXTEEN_CPUS_SHIM "' exec",
                   "--details '" + path + "' " + kStandardStreams);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(MaskTimes(run.op), masked_op);
    written += " '" + path + "'";
    fewest += "'" + path + "': " + std::to_string(threads) + ", ";
  }
  std::ofstream(check) << "import json, sys\n" << fewest << "}\n" << checks;
  EXPECT_EQ(std::system(("python3 '" + check + "'" + written).c_str()), 0);
}

TEST_F(DetailsTest, ManyProcessorsAndLittleMemoryKeepTheFastEngine) {
  // The typical run's replies, to 10,000 years, whose records are kept.
  ExpectFewerThreadsUnderLittleMemory(
      ReadFile(ADEQUACY_GOLDEN_DIR "/typical_run/input"),
      GoldenRun("typical_run").op, 2, {{50, 2}});
}

// The same on to 100,000 years, past the fleet's first lap, which is kept
// and replayed within the limit, and with room for 12 or 13 threads.
TEST_F(DetailsLongTest, ManyProcessorsAndLittleMemoryKeepTheFastEngineAndLap) {
  const char kReplies[] = "\n1\n1\n2\n\n";
  ExpectFewerThreadsUnderLittleMemory(
      kReplies, MaskTimes(RunProgram(kReplies).op), 3, {{50, 2}, {64, 10}});
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
