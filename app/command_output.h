// What the commands for a system of one's own share: their exit statuses,
// and their outputs written to a file (whole, through a file renamed over
// it) or to standard output, failures told on standard error.
#ifndef ADEQUACY_APP_COMMAND_OUTPUT_H_
#define ADEQUACY_APP_COMMAND_OUTPUT_H_

#include <string>

#include "system/system.h"

namespace adequacy {

inline constexpr int kCommandDone = 0;
// An input that is not valid, or an output that cannot be written.
inline constexpr int kCommandFailed = 1;
// Options not understood.
inline constexpr int kCommandMisused = 2;

// The path that names standard output.
inline constexpr char kStandardOutput[] = "-";

// Writes `text` to `path`, or to standard output for "-"; false, with one
// line on standard error, where it cannot.
bool WriteOutput(const std::string& path, const std::string& text);

// Reads the system file at `path`; false, with its one line on standard
// error, where it is not a valid system.
bool ReadSystemOrTell(const std::string& path, System* system);

}  // namespace adequacy

#endif  // ADEQUACY_APP_COMMAND_OUTPUT_H_
