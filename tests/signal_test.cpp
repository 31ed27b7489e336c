// Interrupting the program: it ends promptly and the report file keeps
// every record completed before the signal, with no partial record.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/run_program.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

class Child {
 public:
  // Starts the program in a scratch directory with its standard input on a
  // pipe we hold; standard output goes to `out_fd` (or /dev/null), and the
  // child closes `other_fd`, the far end of that pipe.
  explicit Child(int out_fd = -1, int other_fd = -1) {
    std::string pattern =
        (fs::temp_directory_path() / "adequacy-signal-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    int in[2];
    EXPECT_EQ(pipe(in), 0);
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(127);
      if (other_fd >= 0) close(other_fd);
      signal(SIGPIPE, SIG_DFL);
      dup2(in[0], 0);
      const int out = out_fd >= 0 ? out_fd : open("/dev/null", O_WRONLY);
      dup2(out, 1);
      const int err = open("/dev/null", O_WRONLY);
      dup2(err, 2);
      close(in[1]);
      execl(ADEQUACY_BINARY, ADEQUACY_BINARY, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    input_ = in[1];
  }
  ~Child() {
    if (input_ >= 0) close(input_);
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void Type(const std::string& text) {
    ASSERT_EQ(write(input_, text.data(), text.size()),
              static_cast<ssize_t>(text.size()));
  }

  std::string Report() const { return ReadFile(dir_ + "/OP"); }

  // Waits until the report holds at least `count` records.
  bool WaitForRecords(size_t count) const {
    for (int i = 0; i < 1000; ++i) {
      if (Records(Report()).size() >= count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // The signal that ended the process, or 0 if it exited; waits at most
  // `seconds`.
  int WaitForEnd(int seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  pid_t pid() const { return pid_; }
  int exit_status() const { return exit_status_; }

 private:
  std::string dir_;
  pid_t pid_ = -1;
  int input_ = -1;
  bool reaped_ = false;
  int exit_status_ = -1;
};

// Every record of the report is whole: the file ends with a line end.
void ExpectWholeRecords(const std::string& report) {
  ASSERT_GE(report.size(), 2u);
  EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
}

TEST(SignalTest, TerminatedAtTheWhatIfPrompt) {
  Child child;
  ASSERT_TRUE(child.WaitForRecords(39));
  kill(child.pid(), SIGTERM);
  EXPECT_EQ(child.WaitForEnd(5), SIGTERM);
  EXPECT_EQ(Records(child.Report()).size(), 39u);
  ExpectWholeRecords(child.Report());
}

TEST(SignalTest, InterruptedWhileSimulating) {
  Child child;
  child.Type("\n1\n");
  ASSERT_TRUE(child.WaitForRecords(46));
  kill(child.pid(), SIGINT);
  EXPECT_EQ(child.WaitForEnd(5), SIGINT);
  const size_t records = Records(child.Report()).size();
  EXPECT_TRUE(records == 46u || records == 48u) << records;
  ExpectWholeRecords(child.Report());
}

TEST(SignalTest, BrokenConsolePipe) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  Child child(out[1], out[0]);
  close(out[1]);
  close(out[0]);  // Nobody reads the console any more.
  // A failed write like any other, not a death by SIGPIPE.
  EXPECT_EQ(child.WaitForEnd(5), 0);
  EXPECT_EQ(child.exit_status(), 38);
  // The direct-solution block and the time record precede any console
  // write.
  EXPECT_EQ(Records(child.Report()).size(), 39u);
  ExpectWholeRecords(child.Report());
}

}  // namespace
}  // namespace adequacy
