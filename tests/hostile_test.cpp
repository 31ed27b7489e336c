// The program in a hostile environment: limits on file size, stack and
// memory, a report file that is a FIFO or held by another run, an endless
// reply line and command-line arguments.  Each ends with the same records
// as a normal run, or with the right diagnostic and OP a whole prefix of
// them; none crashes, hangs or tears a record.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/run_program.h"

namespace adequacy {
namespace {

bool UnderAddressSanitizer() {
  return ReadFile("/proc/self/maps").find("asan") != std::string::npos;
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find("\r\n"));
}

// `op` holds whole records only, and they begin `whole`.
void ExpectWholePrefix(const std::string& op, const std::string& whole) {
  EXPECT_EQ(whole.compare(0, op.size(), op), 0) << "not a prefix";
  EXPECT_TRUE(op.empty() || op.substr(op.size() - 2) == "\r\n")
      << "a torn record: " << Records(op).back();
}

TEST(HostileTest, FileSizeLimitTakesBackThePartialRecord) {
  const char replies[] = "/\n\n2\n\n";
  const ProgramRun normal = RunProgram(replies);
  const ProgramRun run = RunProgram(replies, nullptr, "ulimit -f 2 &&");
  EXPECT_EQ(run.exit_status, 38);
  EXPECT_EQ(FirstLine(run.err),
            "forrtl: severe (38): error during write, unit 3, file OP");
  // The limit's unit differs between shells; it cuts well inside the
  // first block of records either way.
  EXPECT_GT(run.op.size(), 0u);
  EXPECT_LT(run.op.size(), normal.op.size());
  ExpectWholePrefix(run.op, normal.op);
}

// A disk that fills part way through a record: the record is taken back.
TEST(HostileTest, FullDiskTakesBackThePartialRecord) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
  const char replies[] = "/\\n/\\n\\n2\\n\\n";
  char pattern[] = "/tmp/adequacy-full-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string mount = "mount -t tmpfs -o size=4k tmpfs '" + dir + "'";
  if (std::system((mount + " 2>/dev/null").c_str()) != 0) {
    rmdir(dir.c_str());
    GTEST_SKIP() << "a small disk cannot be mounted here";
  }
  const std::string run = "cd '" + dir + "' && printf '" + replies +
                          "' | '" ADEQUACY_BINARY "' > /dev/null 2> '" + dir +
                          ".err'";
  const int status = std::system(run.c_str());
  const std::string op = ReadFile(dir + "/OP");
  const std::string err = ReadFile(dir + ".err");
  (void)!std::system(("umount '" + dir + "'").c_str());
  rmdir(dir.c_str());
  std::remove((dir + ".err").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 38);
  EXPECT_EQ(FirstLine(err),
            "forrtl: severe (38): error during write, unit 3, file OP");
  EXPECT_GT(op.size(), 3000u);  // Past the first block, short of 4 KB.
  ExpectWholePrefix(MaskTimes(op), MaskTimes(RunProgram("/\n/\n\n2\n\n").op));
}

TEST(HostileTest, ReportFileThatIsAFifoWithNoReaderFailsAtOnce) {
  const ProgramRun run = RunProgram(
      "\n2\n\n",
      [](const std::string& dir) { mkfifo((dir + "/OP").c_str(), 0600); },
      "timeout 20");
  EXPECT_EQ(run.exit_status, 30);
  EXPECT_EQ(FirstLine(run.err),
            "forrtl: severe (30): open failure, unit 3, file OP");
  EXPECT_EQ(run.out, "");
}

// The report of a run still going on in the same directory is left alone.
TEST(HostileTest, ReportFileHeldByAnotherRun) {
  const std::string theirs = "   1000.   0.196000   0.097000\r\n";
  int held = -1;
  std::string op;
  const ProgramRun run = RunProgram("\n2\n\n", [&](const std::string& dir) {
    const std::string path = dir + "/OP";
    held = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(write(held, theirs.data(), theirs.size()),
              static_cast<ssize_t>(theirs.size()));
    ASSERT_EQ(flock(held, LOCK_EX), 0);
  });
  close(held);
  EXPECT_EQ(run.exit_status, 30);
  EXPECT_EQ(FirstLine(run.err),
            "forrtl: severe (30): open failure, unit 3, file OP");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.op, theirs);
}

TEST(HostileTest, EndlessReplyLineStops) {
  const ProgramRun run =
      RunProgram("", nullptr, "timeout 30", "< /dev/zero > stdout 2> stderr");
  EXPECT_EQ(run.exit_status, 22);
  EXPECT_EQ(FirstLine(run.err),
            "forrtl: severe (22): input record too long, unit -4, file "
            "CONIN$");
  EXPECT_EQ(Records(run.op).size(), 39u);
}

TEST(HostileTest, SmallStackGivesTheSameRecords) {
  if (UnderAddressSanitizer()) {
    GTEST_SKIP() << "the address sanitizer's frames need a larger stack";
  }
  // The transcript's input lacks the last line feed, which changes only
  // the end of the run.
  const ProgramRun normal = GoldenRun("eof_at_closing");
  const ProgramRun run = RunProgram("\n2\n\n", nullptr, "ulimit -s 64 &&");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(MaskTimes(run.op), normal.op);
  EXPECT_EQ(MaskTimes(run.out), normal.out);
}

// From a limit where the fastest engine has all it wants down to one where
// only the plain loop fits, and with every hour a deficit.
TEST(HostileTest, LittleMemoryGivesTheSameRecordsOrStopsSoundly) {
  if (UnderAddressSanitizer()) {
    GTEST_SKIP() << "an address space limit does not apply under the "
                    "address sanitizer";
  }
  struct Case {
    const char* replies;
    int kilobytes;
  };
  const Case cases[] = {
      {"\n2\n\n", 10000},
      {"\n2\n\n", 17000},
      {"1E9 1E9 1E9 0\n\n2\n\n", 36000},
      // Below about 1200 KB the kernel cannot map the program at all and
      // ends it in exec, before its first instruction.
      {"\n2\n\n", 2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.replies) + " at " + std::to_string(c.kilobytes) +
                 " KB");
    // The normal run of the default replies is kept as a transcript, whose
    // input lacks the last line feed, which changes only the end.
    const bool defaults = std::string(c.replies) == "\n2\n\n";
    ProgramRun normal =
        defaults ? GoldenRun("eof_at_closing") : RunProgram(c.replies);
    if (defaults) normal.err = "";
    const ProgramRun run =
        RunProgram(c.replies, nullptr,
                   "ulimit -v " + std::to_string(c.kilobytes) + " && exec");
    if (run.exit_status == 0) {
      EXPECT_EQ(MaskTimes(run.op), MaskTimes(normal.op));
      EXPECT_EQ(MaskTimes(run.out), MaskTimes(normal.out));
      EXPECT_EQ(run.err, normal.err);
      continue;
    }
    // Too little even to start: the loader's refusal, or one diagnostic.
    EXPECT_NE(run.exit_status, -1) << "died of a signal";
    EXPECT_EQ(run.err.find("terminate called"), std::string::npos);
    ExpectWholePrefix(MaskTimes(run.op), MaskTimes(normal.op));
  }
}

TEST(HostileTest, OptionsNeverTouchTheReport) {
  const std::string kept = "an earlier report\r\n";
  auto plant = [&](const std::string& dir) {
    int fd = open((dir + "/OP").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(write(fd, kept.data(), kept.size()),
              static_cast<ssize_t>(kept.size()));
    close(fd);
  };
  const ProgramRun help =
      RunProgram("", plant, "", "--help < input > stdout 2> stderr");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.out.rfind(
                "Usage: adequacy [--details FILE | --help | --version]\n", 0),
            0u);
  EXPECT_NE(help.out.find("OP"), std::string::npos);
  EXPECT_NE(help.out.find("make run"), std::string::npos);
  // What a newcomer needs: the indices and their units, the default
  // loads, the starred YRS, how to end a run and the exit statuses.
  for (const char* needed :
       {"LOLH      expected hours with a capacity deficit, hours/year",
        "MWh/year", "(defaults 2000 8000 7000 1424)",
        "YRS\nprints as asterisks", "Ctrl-C", "Exit status: 0"}) {
    EXPECT_NE(help.out.find(needed), std::string::npos) << needed;
  }
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LT(line.size(), 80u) << line;
  }
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.op, kept);

  const ProgramRun version =
      RunProgram("", plant, "", "--version < input > stdout 2> stderr");
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out.rfind("adequacy ", 0), 0u);
  EXPECT_EQ(version.op, kept);

  const ProgramRun short_help =
      RunProgram("", plant, "", "-h < input > stdout 2> stderr");
  EXPECT_EQ(short_help.exit_status, 0);
  EXPECT_EQ(short_help.out, help.out);

  // One line that says what is wrong, and no run.
  const struct {
    const char* arguments;
    const char* said;
  } misuses[] = {
      {"--bogus", "adequacy: unknown option '--bogus'; see adequacy --help\n"},
      {"OP", "adequacy: unknown argument 'OP'; see adequacy --help\n"},
      {"''", "adequacy: unknown argument ''; see adequacy --help\n"},
      {"--help --version",
       "adequacy: unexpected argument '--version' (one option at a time); "
       "see adequacy --help\n"},
      {"--details",
       "adequacy: --details needs a file name; see adequacy --help\n"},
      {"--details ''",
       "adequacy: --details needs a file name; see adequacy --help\n"},
      {"--details a b",
       "adequacy: unexpected argument 'b' (one option at a time); see "
       "adequacy --help\n"},
  };
  for (const auto& misuse : misuses) {
    SCOPED_TRACE(misuse.arguments);
    const ProgramRun run = RunProgram(
        "\n2\n\n", plant, "",
        std::string(misuse.arguments) + " < input > stdout 2> stderr");
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, misuse.said);
    EXPECT_EQ(run.op, kept);
  }
  // Without a report there, none is made.
  const ProgramRun bare = RunProgram("", nullptr, "", "--help > stdout");
  EXPECT_EQ(bare.op, "");
}

}  // namespace
}  // namespace adequacy
