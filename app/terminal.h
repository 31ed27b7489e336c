// The terminal the status line is drawn on: how wide it is, whether this
// process is in its foreground, and the signals that must not leave the
// line behind on the screen.
#ifndef ADEQUACY_APP_TERMINAL_H_
#define ADEQUACY_APP_TERMINAL_H_

#include <signal.h>

#include <cstdint>

namespace adequacy {

struct TerminalState {
  int columns = 0;          // 0 when the width is unknown.
  bool foreground = false;  // The terminal's foreground process group.
};

// Reads the state of the terminal on descriptor `fd` now.
TerminalState ProbeTerminal(int fd);

// Installs handlers that erase the status line on `fd`, when it is shown,
// before the process dies of SIGINT, SIGTERM, SIGHUP or SIGQUIT (it still
// dies of the signal) and before it stops on SIGTSTP.  Call once, and only
// when the line is drawn at all.
void GuardStatusLine(int fd);

// Holds back the signals that the handlers erase the line for, on this
// thread, while the line is drawn or erased: a handler that ran part way
// through would erase a line that the draw then puts back.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t saved_;
};

// Turns off the echo of the terminal on `fd` (the input), if it is one,
// while the status line is shown: what the user types ahead would be
// echoed where the line is, move the cursor, and leave the line on the
// screen above the next record.  What is typed is still read, in turn.
// RestoreEcho puts the settings back; so do the handlers of
// GuardStatusLine, a stop, and the process's exit.
void QuietEcho(int fd);
void RestoreEcho();

// Whether the status line is on the screen now, for the handlers.
void NoteStatusLineShown(bool shown);
bool StatusLineShown();

// Nanoseconds the process has spent stopped by SIGTSTP since it started,
// so that the time-left estimate leaves them out.
int64_t StoppedNanoseconds();

}  // namespace adequacy

#endif  // ADEQUACY_APP_TERMINAL_H_
