#include "app/progress.h"

#include <unistd.h>

#include <cstring>

#include "report/status_line.h"

namespace adequacy {
namespace {

constexpr double kFirstDrawSeconds = 0.5;
constexpr double kRedrawSeconds = 0.1;

double SecondsBetween(std::chrono::steady_clock::time_point from,
                      std::chrono::steady_clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace

bool StatusLineWanted(bool error_is_terminal, const char* term) {
  return error_is_terminal && term != nullptr && term[0] != '\0' &&
         std::strcmp(term, "dumb") != 0;
}

bool StatusLineDue(double since_start, double since_drawn, bool drawn) {
  return since_start >= kFirstDrawSeconds &&
         (!drawn || since_drawn >= kRedrawSeconds);
}

void ProgressDisplay::Start(int64_t years, int64_t checkpoint) {
  if (!enabled_) return;
  start_ = Clock::now();
  stopped_at_start_ = StoppedNanoseconds();
  drawn_ = false;
  first_years_ = years;
  checkpoint_ = checkpoint;
}

double ProgressDisplay::RunningSeconds(Clock::time_point now) const {
  const double stopped =
      static_cast<double>(StoppedNanoseconds() - stopped_at_start_) * 1e-9;
  return SecondsBetween(start_, now) - stopped;
}

void ProgressDisplay::Update(int64_t years, double share) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  const double elapsed = RunningSeconds(now);
  if (!StatusLineDue(elapsed, SecondsBetween(drawn_at_, now), drawn_)) return;
  drawn_ = true;
  drawn_at_ = now;
  // In the background the line would be drawn over the shell's prompt and
  // whatever the user is typing there.
  const TerminalState terminal = probe_();
  if (!terminal.foreground) return;
  // The rate so far, over the work of this run to the checkpoint: years
  // replayed from the fleet's first lap take far less than years walked.
  const double seconds_left = years > first_years_ && share > 0.0
                                  ? elapsed * (1.0 - share) / share
                                  : -1.0;
  const std::string text =
      FittedStatusLine(years, checkpoint_, seconds_left, terminal.columns);
  if (text.empty() && !StatusLineShown()) return;
  const SignalsHeld held;
  if (!text.empty()) QuietEcho(STDIN_FILENO);
  NoteStatusLineShown(!text.empty());
  DrawStatusLine(terminal_, text);
}

void ProgressDisplay::Finish() {
  if (!enabled_) return;
  const SignalsHeld held;
  RestoreEcho();
  if (!StatusLineShown()) return;
  NoteStatusLineShown(false);
  DrawStatusLine(terminal_, "");
}

}  // namespace adequacy
