// Signs of life between two checkpoints: a status line on standard error,
// only when that is a terminal a person watches.
#ifndef ADEQUACY_APP_PROGRESS_H_
#define ADEQUACY_APP_PROGRESS_H_

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "app/terminal.h"

namespace adequacy {

// The line is wanted when standard error is a terminal and TERM (null when
// unset) names one that can redraw a line: not unset, empty or "dumb".
bool StatusLineWanted(bool error_is_terminal, const char* term);

// When to draw, from the seconds since the run to the checkpoint began and
// since the line was last drawn (`drawn` false if never): not in the first
// half second, then at most ten times a second.
bool StatusLineDue(double since_start, double since_drawn, bool drawn);

class ProgressDisplay {
 public:
  // Tells the width of the terminal and whether the process is in its
  // foreground, read afresh at every redraw.
  using Probe = std::function<TerminalState()>;

  // Draws on `terminal` when `enabled`, and otherwise does nothing at all.
  ProgressDisplay(bool enabled, std::FILE* terminal, Probe probe)
      : enabled_(enabled), terminal_(terminal), probe_(std::move(probe)) {}

  // A run from `years` to the checkpoint begins.
  void Start(int64_t years, int64_t checkpoint);
  // The simulation has reached `years`, and done `share` (0 to 1) of the
  // work of this run to the checkpoint.
  void Update(int64_t years, double share);
  // Erases the line, if one is shown, before the next record.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;

  // Seconds since Start, less the time the process was stopped.
  double RunningSeconds(Clock::time_point now) const;

  bool enabled_;
  std::FILE* terminal_;
  Probe probe_;
  Clock::time_point start_;
  Clock::time_point drawn_at_;
  int64_t stopped_at_start_ = 0;
  bool drawn_ = false;
  int64_t first_years_ = 0;
  int64_t checkpoint_ = 0;
};

}  // namespace adequacy

#endif  // ADEQUACY_APP_PROGRESS_H_
