// The program at a person's terminal, driven through tmux: the status line
// fits the terminal, stays out of the way of a background run, and never
// stays on the screen after a checkpoint, a signal or a stop.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/run_program.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Replies that run to 10,000,000 simulated years, with loads under which the
// fleet falls short in most years, too often for the fleet's first lap to be
// kept and replayed: every year is walked, so the run to 1,000,000 years lasts
// long enough to be resized, stopped and interrupted.
const char kTo10M[] = "2000 8000 7000 2500\n\n1\n1\n1\n1\n2\n\n";
// Loads beyond the installed capacity, short in every hour, to 10,000,000
// years: a year costs the most it can, so the years from 1000 to 10,000
// take more than a second and show the line soon after the start, for the
// tests that need the line and not the long run.  (Fields overflow: a
// line on standard error for each, which these tests can bear.)
const char kShortTo10M[] = "15000 15000 15000 0\n\n1\n1\n1\n1\n2\n\n";
// Loads short in many hours, whose fields all fit: the years from 1000 to
// 10,000 take about 0.8 s and those from 10,000 to 100,000 about 2 s.
const char kHeavyTo10M[] = "10000 10000 10000 0\n\n1\n1\n1\n1\n2\n\n";

// The number of the last "about N s left" on the screen, or -1.
int SecondsLeft(const std::string& screen) {
  const size_t about = screen.rfind("about ");
  if (about == std::string::npos ||
      screen.compare(screen.find(' ', about + 6), 7, " s left") != 0) {
    return -1;
  }
  return std::atoi(screen.c_str() + about + 6);
}

// Makes the program start no worker thread.
const char kOneThread[] =
    "env ASAN_OPTIONS=verify_asan_link_order=0 "
    "LD_PRELOAD=" ADEQUACY_NO_THREADS_SHIM " ";

bool HaveTmux() { return std::system("tmux -V >/dev/null 2>&1") == 0; }

// Kills every process whose working directory is `dir`.
void KillProgramsIn(const std::string& dir) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code ignored;
    const fs::path cwd = fs::read_symlink(entry.path() / "cwd", ignored);
    if (!ignored && cwd == fs::path(dir)) kill(std::stoi(pid), SIGKILL);
  }
}

// One tmux server and session of its own, running a shell in a scratch
// directory.
class Terminal {
 public:
  Terminal(int columns, const std::string& replies) {
    std::string pattern =
        (fs::temp_directory_path() / "adequacy-tty-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    std::ofstream(dir_ + "/replies") << replies;
    std::ofstream(dir_ + "/shell") << "PS1='$ ' exec sh -i\n";

    socket_ = "adequacy-test-" + std::to_string(getpid()) + "-" +
              std::to_string(next_++);
    Tmux("new-session -d -x " + std::to_string(columns) + " -y 40 -c '" + dir_ +
         "' 'sh shell'");
    settled_ = WaitFor("$", milliseconds(5000));
  }
  ~Terminal() {
    Tmux("kill-server");
    // A job the shell ran in the background outlives the terminal (no
    // hangup reaches it), and a run to 10,000,000 years would take the
    // processors from every test after this one.
    KillProgramsIn(dir_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  bool settled() const { return settled_; }

  // The program with its replies from the file, standard error on the
  // terminal and standard output as `output` redirects it; on one thread
  // when `one_thread`, where the test only needs the line to show.  Its
  // exit status shows as "status=N", also when it dies of a signal sent to
  // the whole foreground group: the script waits out such a signal.
  void Start(const std::string& output, bool one_thread = false) {
    std::ofstream(dir_ + "/run")
        << "trap true INT TERM HUP\n"
           "sh -c 'echo $$ > pid; exec " +
               std::string(one_thread ? kOneThread : "") +
               ADEQUACY_BINARY " < replies " + output +
               "'\n"
               "echo status=$?\n";
    Keys("'sh run' Enter");
  }
  void Keys(const std::string& keys) { Tmux("send-keys -t 0 " + keys); }
  void Resize(int columns) {
    Tmux("resize-window -t 0 -x " + std::to_string(columns));
  }
  // The program's process id, once it has started.
  std::string Pid() {
    std::string pid;
    for (int i = 0; i < 100 && pid.empty(); ++i) {
      std::ifstream(dir_ + "/pid") >> pid;
      if (pid.empty()) std::this_thread::sleep_for(milliseconds(20));
    }
    return pid;
  }

  // Everything on the screen and in the scrollback.
  std::string Screen() {
    const std::string file = dir_ + "/screen";
    Tmux("capture-pane -p -S - -t 0 > '" + file + "'");
    return ReadFile(file);
  }

  bool WaitFor(const std::string& text, milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (Screen().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(milliseconds(200));
    }
    return false;
  }

 private:
  void Tmux(const std::string& command) {
    const std::string line =
        "tmux -L '" + socket_ + "' " + command + " 2>/dev/null";
    (void)!std::system(line.c_str());
  }

  static inline int next_ = 0;
  std::string dir_;
  std::string socket_;
  bool settled_ = false;
};

// The line of the intervals' half-widths under a checkpoint record.
const char kIntervalLabel[] = " 95% +/-";

// No trace of the status line: its text, or the share done, which no
// console record holds (nor, once its label is set aside, the intervals'
// line).
void ExpectNoStatusLine(std::string screen) {
  EXPECT_EQ(screen.find("simulating"), std::string::npos) << screen;
  for (size_t at; (at = screen.find(kIntervalLabel)) != std::string::npos;) {
    screen.erase(at, sizeof kIntervalLabel - 1);
  }
  EXPECT_EQ(screen.find('%'), std::string::npos) << screen;
}

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  }
};

// A long run on a terminal too narrow for the full line, widened, stopped
// with Ctrl-Z and continued with fg where `stop`, narrowed while the full
// line is shown and ended with Ctrl-C.  The line is erased at every
// checkpoint and before the stop and the death; after fg its estimate of
// the time left does not count the time stopped; and the process still
// dies of the signal.
void ExpectLongRunThroughResizes(bool stop) {
  // The quick run is widened in the years from 10,000 to 100,000 of loads
  // short in many hours; the long one in those from 100,000 to 1,000,000.
  Terminal t(20, stop ? kTo10M : kHeavyTo10M);
  ASSERT_TRUE(t.settled());
  // The program alone is the job, as a person starts it: the shell then
  // reports the stop once the program itself has stopped.
  t.Keys(std::string("'") + kOneThread + ADEQUACY_BINARY + " < replies' Enter");
  // The checkpoints pass with the line drawn at 20 columns.
  ASSERT_TRUE(t.WaitFor(stop ? "100000." : "  10000.", milliseconds(30000)));
  ExpectNoStatusLine(t.Screen());
  t.Resize(100);
  ASSERT_TRUE(t.WaitFor(stop ? "of 1,000,000 years" : "of 100,000 years",
                        milliseconds(20000)));
  if (stop) {
    std::this_thread::sleep_for(milliseconds(300));
    const int before = SecondsLeft(t.Screen());
    t.Keys("C-z");
    ASSERT_TRUE(t.WaitFor("Stopped", milliseconds(5000)));
    ExpectNoStatusLine(t.Screen());
    std::this_thread::sleep_for(milliseconds(3000));
    t.Keys("fg Enter");
    ASSERT_TRUE(t.WaitFor("s left", milliseconds(20000)));
    const int after = SecondsLeft(t.Screen());
    if (before >= 0 && after >= 0) {
      // Counting the three seconds stopped would multiply the estimate.
      EXPECT_LE(after, before * 3 / 2 + 1);
    }
  }
  // Narrowed with the full line on the screen: a terminal that re-wraps
  // lines has now spread it over three rows.
  t.Resize(30);
  std::this_thread::sleep_for(milliseconds(300));
  t.Keys("C-c");
  std::this_thread::sleep_for(milliseconds(300));
  t.Keys("'echo status=$?' Enter");
  ASSERT_TRUE(t.WaitFor("status=130", milliseconds(10000)));
  const std::string screen = t.Screen();
  ExpectNoStatusLine(screen);
  EXPECT_NE(screen.find("  10000."), std::string::npos) << screen;
  // Ended within the years it was widened in.
  EXPECT_EQ(screen.find(stop ? "1000000." : " 100000."), std::string::npos)
      << screen;
}

TEST_F(TerminalTest, ALongRunThroughResizesAndCtrlC) {
  ExpectLongRunThroughResizes(/*stop=*/false);
}

// With the stop, which takes three seconds more.
class TerminalLongTest : public TerminalTest {};

TEST_F(TerminalLongTest, ALongRunThroughResizesAStopAndCtrlC) {
  ExpectLongRunThroughResizes(/*stop=*/true);
}

// A reply typed ahead while the status line shows leaves no trace of the
// line: the typing is not echoed over it, and the echo is back once the
// program ends.
TEST_F(TerminalTest, AReplyTypedAheadLeavesNoStaleLine) {
  Terminal t(80, "");
  ASSERT_TRUE(t.settled());
  t.Keys(std::string("'") + kOneThread + ADEQUACY_BINARY + "' Enter");
  ASSERT_TRUE(t.WaitFor("RETURN TO CONTINUE", milliseconds(10000)));
  // Loads beyond the fleet, on to 10,000 years on one thread: the years
  // from 1000 on take about a second, long enough for the line to show.
  t.Keys("'11000 11000 11000 0' Enter Enter");
  ASSERT_TRUE(t.WaitFor("1=YES", milliseconds(20000)));
  t.Keys("1 Enter");
  ASSERT_TRUE(t.WaitFor("simulating", milliseconds(30000))) << t.Screen();
  t.Keys("2 Enter");
  ASSERT_TRUE(t.WaitFor("PRESS ENTER", milliseconds(60000)));
  t.Keys("Enter");
  std::this_thread::sleep_for(milliseconds(300));
  t.Keys("'echo typed-and-echoed' Enter");
  ASSERT_TRUE(t.WaitFor("$ echo typed-and-echoed", milliseconds(5000)));
  const std::string screen = t.Screen();
  ExpectNoStatusLine(screen);
  EXPECT_NE(screen.find("  10000."), std::string::npos) << screen;
}

// A run in the background draws nothing over the prompt and the text the
// user is typing there.
TEST_F(TerminalTest, BackgroundRunLeavesThePromptAlone) {
  Terminal t(80, kHeavyTo10M);
  ASSERT_TRUE(t.settled());
  t.Keys(std::string("'") + kOneThread + ADEQUACY_BINARY +
         " < replies > out &' Enter");
  std::this_thread::sleep_for(milliseconds(200));
  t.Keys("'echo typed-at-the-prompt'");
  // In the foreground the line would show 0.7 s from the start.
  std::this_thread::sleep_for(milliseconds(900));
  const std::string screen = t.Screen();
  ExpectNoStatusLine(screen);
  EXPECT_NE(screen.find("$ echo typed-at-the-prompt"), std::string::npos)
      << screen;
  t.Keys("C-u 'kill %1; wait; echo killed-$((1 + 1))' Enter");
  EXPECT_TRUE(t.WaitFor("killed-2", milliseconds(5000)));
}

// On a terminal each checkpoint record has the half-widths of its 95 %
// intervals under it, each ending in the column its estimate ends in; with
// standard output elsewhere, only the intervals reach the screen.
TEST_F(TerminalTest, IntervalsUnderEachCheckpoint) {
  Terminal t(80, "\n1\n2\n\n");
  ASSERT_TRUE(t.settled());
  t.Start("");
  ASSERT_TRUE(t.WaitFor("status=", milliseconds(30000)));
  const std::string screen = t.Screen();
  for (const char* record : {"   1000.   0.196000", "  10000.   0.232100"}) {
    const size_t at = screen.find(record);
    ASSERT_NE(at, std::string::npos) << screen;
    const size_t end = screen.find('\n', at);
    const std::string line = screen.substr(at, end - at);
    const std::string below = screen.substr(end + 1, line.size());
    EXPECT_EQ(below.rfind(kIntervalLabel, 0), 0u) << screen;
    // Past the years: the decimal points line up, and no field runs over
    // its neighbour.
    for (size_t i = sizeof kIntervalLabel - 1; i < line.size(); ++i) {
      EXPECT_EQ(line[i] == '.', below[i] == '.') << line << "\n" << below;
    }
  }
  Terminal quiet(80, "\n2\n\n");
  ASSERT_TRUE(quiet.settled());
  quiet.Start("> out");
  ASSERT_TRUE(quiet.WaitFor("status=", milliseconds(30000)));
  const std::string alone = quiet.Screen();
  EXPECT_EQ(alone.find("   1000."), std::string::npos) << alone;
  EXPECT_NE(alone.find(kIntervalLabel), std::string::npos) << alone;
}

// A run in the background that reaches its checkpoints writes no
// intervals' line over the prompt either.
TEST_F(TerminalTest, BackgroundRunWritesNoIntervals) {
  Terminal t(80, "\n2\n\n");
  ASSERT_TRUE(t.settled());
  t.Keys(std::string("'") + ADEQUACY_BINARY +
         " < replies > out & wait; echo ended-$((1 + 1))' Enter");
  // The command line shows the sum, and only its output the result.
  ASSERT_TRUE(t.WaitFor("ended-2", milliseconds(30000)));
  const std::string screen = t.Screen();
  EXPECT_EQ(screen.find(kIntervalLabel), std::string::npos) << screen;
}

// SIGTERM and SIGHUP while the line is shown: it is erased, and the process
// still dies of the signal.
TEST_F(TerminalTest, SignalsEraseTheLine) {
  const struct {
    const char* signal;
    int status;
  } cases[] = {{"TERM", 143}, {"HUP", 129}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(cases[i].signal);
    Terminal t(80, kShortTo10M);
    ASSERT_TRUE(t.settled());
    t.Start("> out", /*one_thread=*/true);
    ASSERT_TRUE(t.WaitFor("simulating", milliseconds(20000)));
    const std::string kill =
        std::string("kill -") + cases[i].signal + " " + t.Pid();
    ASSERT_EQ(std::system(kill.c_str()), 0);
    ASSERT_TRUE(t.WaitFor("status=1", milliseconds(10000)));
    const std::string screen = t.Screen();
    ExpectNoStatusLine(screen);
    EXPECT_NE(screen.find("status=" + std::to_string(cases[i].status)),
              std::string::npos)
        << screen;
  }
}

}  // namespace
}  // namespace adequacy
