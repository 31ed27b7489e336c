// Signs of life between two checkpoints: a status line on standard error,
// only when that is a terminal a person watches.
#ifndef ADEQUACY_APP_PROGRESS_H_
#define ADEQUACY_APP_PROGRESS_H_

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace adequacy {

// The line is wanted when standard error is a terminal and TERM (null when
// unset) does not say it cannot redraw a line.
bool StatusLineWanted(bool error_is_terminal, const char* term);

// When to draw, from the seconds since the run to the checkpoint began and
// since the line was last drawn (`drawn` false if never): not in the first
// half second, then at most ten times a second.
bool StatusLineDue(double since_start, double since_drawn, bool drawn);

class ProgressDisplay {
 public:
  // Draws on `terminal` when `enabled`, and otherwise does nothing at all.
  ProgressDisplay(bool enabled, std::FILE* terminal)
      : enabled_(enabled), terminal_(terminal) {}

  // A run from `years` to the checkpoint begins.
  void Start(int64_t years, int64_t checkpoint);
  // The simulation has reached `years`.
  void Update(int64_t years);
  // Erases the line, if one is drawn, before the next record.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;

  bool enabled_;
  std::FILE* terminal_;
  Clock::time_point start_;
  Clock::time_point drawn_at_;
  bool drawn_ = false;
  int64_t first_years_ = 0;
  int64_t checkpoint_ = 0;
};

}  // namespace adequacy

#endif  // ADEQUACY_APP_PROGRESS_H_
