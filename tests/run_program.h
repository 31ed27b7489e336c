// Runs the built program in a scratch directory with scripted standard
// input and collects what it leaves behind.
#ifndef ADEQUACY_TESTS_RUN_PROGRAM_H_
#define ADEQUACY_TESTS_RUN_PROGRAM_H_

#include <functional>
#include <string>
#include <vector>

namespace adequacy {

struct ProgramRun {
  int exit_status = -1;  // -1 when the process ended by a signal.
  std::string out;       // Standard output.
  std::string err;       // Standard error.
  std::string op;        // The report file, empty if there is none.
};

// The standard streams of a run: the replies from the file `input`, the
// console and the diagnostics to the files `stdout` and `stderr`.
inline constexpr char kStandardStreams[] = "< input > stdout 2> stderr";

// `prepare` runs in the scratch directory before the program starts (to
// plant an obstacle named OP, say); `launcher` is shell text put before the
// program's name (settings or limits for it), and `streams` its
// redirections.
ProgramRun RunProgram(
    const std::string& input,
    const std::function<void(const std::string&)>& prepare = nullptr,
    const std::string& launcher = "",
    const std::string& streams = kStandardStreams);

// The run kept as the golden transcript `name` (tests/golden/name): its
// status, and its console and report with the time records masked.
ProgramRun GoldenRun(const std::string& name);

// The whole content of a file; empty if it cannot be read.
std::string ReadFile(const std::string& path);

// Splits text into CR LF records; a trailing fragment without a line end is
// returned as a last record prefixed with "<partial>".
std::vector<std::string> Records(const std::string& text);

// Replaces the seconds of every time record with "#".
std::string MaskTimes(const std::string& text);

}  // namespace adequacy

#endif  // ADEQUACY_TESTS_RUN_PROGRAM_H_
