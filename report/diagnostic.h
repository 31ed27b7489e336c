// Diagnostic lines on standard error, and the stops that end the run.
#ifndef ADEQUACY_REPORT_DIAGNOSTIC_H_
#define ADEQUACY_REPORT_DIAGNOSTIC_H_

#include <string>
#include <string_view>

namespace adequacy {

// The causes that stop the run; the value is the failure number, and the
// process exit status is 0xC0000000 plus that number.
enum class Failure {
  kInputRecordTooLong = 22,
  kInsufficientMemory = 41,
  kEndOfFile = 24,
  kOpenFailure = 30,
  kWriteError = 38,
  kReadError = 39,
  kSyntaxError = 59,
  kConversionError = 64,
};

// Where a failure happened: the unit number and file name of the diagnostic.
struct IoSite {
  int unit;
  std::string_view file;
};

inline constexpr IoSite kConsoleInput = {-4, "CONIN$"};
inline constexpr IoSite kConsoleOutput = {-1, "CONOUT$"};
inline constexpr IoSite kValueList = {-5, "Internal List-Directed Read"};
inline constexpr IoSite kReportFile = {3, "OP"};
// A failure that concerns no file: its message names neither.
inline constexpr IoSite kNoFile = {0, ""};

// The diagnostic line without its line end, e.g.
// "forrtl: severe (24): end-of-file during read, unit -4, file CONIN$".
std::string StopDiagnostic(Failure failure, IoSite site);
std::string OutputConversionDiagnostic(IoSite site);

unsigned ExitStatus(Failure failure);

// Writes the diagnostic and the call-stack heading to standard error and
// ends the process with the failure's exit status.  Records already written
// to the report file stay in it.
[[noreturn]] void Stop(Failure failure, IoSite site);

// Writes the non-stopping diagnostic of a field overflow.
void WarnOutputConversion(IoSite site);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_DIAGNOSTIC_H_
