// The status line shown on a terminal while the Monte Carlo simulation runs
// between two checkpoints.  It is not a record: it is drawn over itself and
// erased before the next record, so the screen ends up as without it.
#ifndef ADEQUACY_REPORT_STATUS_LINE_H_
#define ADEQUACY_REPORT_STATUS_LINE_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace adequacy {

// "  simulating: 123,456 of 1,000,000 years (12.3%), about 9 s left";
// a negative `seconds_left` is not known yet.
std::string StatusLineText(int64_t years, int64_t checkpoint,
                           double seconds_left);

// Draws `text` over the terminal's current line (carriage return, the
// text, clear to the end of the line); an empty text erases the line.
void DrawStatusLine(std::FILE* terminal, const std::string& text);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_STATUS_LINE_H_
