// The status line shown on a terminal while the Monte Carlo simulation runs
// between two checkpoints.  It is not a record: it is drawn over itself and
// erased before the next record, so the screen ends up as without it.
#ifndef ADEQUACY_REPORT_STATUS_LINE_H_
#define ADEQUACY_REPORT_STATUS_LINE_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace adequacy {

// Erases the line from its first column to the end of the screen.  The
// cursor is kept at the line's start while it is shown, so this also
// clears what a terminal that re-wraps lines when narrowed has moved onto
// the rows below.
inline constexpr char kEraseStatusLine[] = "\r\033[J";

// "  simulating: 123,456 of 1,000,000 years (12.3%), about 9 s left";
// a negative `seconds_left` is not known yet.
std::string StatusLineText(int64_t years, int64_t checkpoint,
                           double seconds_left);

// The fullest of the line's forms that fits a terminal `columns` wide
// without touching its last column (where a terminal may wrap); empty when
// even the share done does not fit, or the width is unknown (0).
std::string FittedStatusLine(int64_t years, int64_t checkpoint,
                             double seconds_left, int columns);

// Draws `text` over the terminal's current line (carriage return, the
// text, clear to the end of the line) and returns the cursor to the line's
// start; an empty text erases the line.
void DrawStatusLine(std::FILE* terminal, const std::string& text);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_STATUS_LINE_H_
