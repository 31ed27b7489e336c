#include "app/terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "report/status_line.h"

namespace adequacy {
namespace {

// Shared with the signal handlers: lock-free atomics only.
std::atomic<bool> g_shown{false};
std::atomic<int64_t> g_stopped_ns{0};
std::atomic<int> g_fd{-1};
// The input terminal whose echo is off while the line is shown, and its
// settings before; -1 while echo is as the user had it.
std::atomic<int> g_quiet_fd{-1};
termios g_saved_input;

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t GuardedSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : kFatalSignals) sigaddset(&set, signal_number);
  sigaddset(&set, SIGTSTP);
  return set;
}

int64_t MonotonicNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void EraseIfShown() {
  if (!g_shown.exchange(false)) return;
  const int fd = g_fd.load();
  // Where the shell has taken the terminal back already (another process
  // of the job stopped or died first), the cursor is on its prompt now,
  // and erasing would erase that instead.
  if (tcgetpgrp(fd) != getpgrp()) return;
  // Nothing to be done if the terminal will not take it.
  (void)!write(fd, kEraseStatusLine, std::strlen(kEraseStatusLine));
}

// Puts the input terminal's settings back; safe in a signal handler.  The
// settings are changed with SIGTTOU held back, which would otherwise stop
// a process that has meanwhile been put in the background.
void RestoreEchoNow() {
  const int fd = g_quiet_fd.exchange(-1);
  if (fd < 0) return;
  sigset_t ttou;
  sigset_t saved;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  pthread_sigmask(SIG_BLOCK, &ttou, &saved);
  tcsetattr(fd, TCSANOW, &g_saved_input);
  pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

void Install(int signal_number, void (*handler)(int)) {
  struct sigaction action;
  std::memset(&action, 0, sizeof(action));
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal_number, &action, nullptr);
}

// Erases the line, then dies of the signal as if it had no handler, so
// that the exit status still names it.
void OnFatalSignal(int signal_number) {
  const int saved_errno = errno;
  EraseIfShown();
  RestoreEchoNow();
  signal(signal_number, SIG_DFL);
  // Blocked while this handler runs; delivered, fatally, on its return.
  raise(signal_number);
  errno = saved_errno;
}

// Erases the line and stops; on continuing, counts the time stopped.  The
// line is drawn again by the next redraw, if the process is then in the
// foreground.
void OnStop(int signal_number) {
  const int saved_errno = errno;
  EraseIfShown();
  // The shell gets the terminal back as the user had it; echo is turned
  // off again when the line is next drawn.
  RestoreEchoNow();
  const int64_t stopped_at = MonotonicNanoseconds();
  signal(signal_number, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, signal_number);
  pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
  raise(signal_number);  // Stops here until SIGCONT.
  Install(signal_number, OnStop);
  g_stopped_ns.fetch_add(MonotonicNanoseconds() - stopped_at);
  errno = saved_errno;
}

// A signal ignored when the program started (nohup) stays ignored.
void InstallUnlessIgnored(int signal_number, void (*handler)(int)) {
  struct sigaction current;
  if (sigaction(signal_number, nullptr, &current) == 0 &&
      current.sa_handler == SIG_IGN) {
    return;
  }
  Install(signal_number, handler);
}

}  // namespace

TerminalState ProbeTerminal(int fd) {
  TerminalState state;
  winsize size;
  if (ioctl(fd, TIOCGWINSZ, &size) == 0) state.columns = size.ws_col;
  const pid_t foreground = tcgetpgrp(fd);
  state.foreground = foreground != -1 && foreground == getpgrp();
  return state;
}

void GuardStatusLine(int fd) {
  g_fd.store(fd);
  for (int signal_number : kFatalSignals) {
    InstallUnlessIgnored(signal_number, OnFatalSignal);
  }
  InstallUnlessIgnored(SIGTSTP, OnStop);
}

SignalsHeld::SignalsHeld() {
  const sigset_t guarded = GuardedSignals();
  pthread_sigmask(SIG_BLOCK, &guarded, &saved_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }

void QuietEcho(int fd) {
  if (g_quiet_fd.load() >= 0 || isatty(fd) != 1) return;
  termios settings;
  if (tcgetattr(fd, &settings) != 0 || !(settings.c_lflag & (ECHO | ECHONL))) {
    return;
  }
  g_saved_input = settings;
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
  // TCSANOW, not TCSAFLUSH: what the user has typed ahead stays to be read.
  if (tcsetattr(fd, TCSANOW, &settings) != 0) return;
  static const bool at_exit = std::atexit(RestoreEchoNow) == 0;
  (void)at_exit;
  g_quiet_fd.store(fd);
}

void RestoreEcho() { RestoreEchoNow(); }

void NoteStatusLineShown(bool shown) { g_shown.store(shown); }

bool StatusLineShown() { return g_shown.load(); }

int64_t StoppedNanoseconds() { return g_stopped_ns.load(); }

}  // namespace adequacy
