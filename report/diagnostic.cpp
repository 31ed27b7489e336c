#include "report/diagnostic.h"

#include <cstdio>
#include <cstdlib>

namespace adequacy {
namespace {

const char* MessageTemplate(Failure failure) {
  switch (failure) {
    case Failure::kInputRecordTooLong:
      return "input record too long, unit %d, file %s";
    case Failure::kEndOfFile:
      return "end-of-file during read, unit %d, file %s";
    case Failure::kOpenFailure:
      return "open failure, unit %d, file %s";
    case Failure::kWriteError:
      return "error during write, unit %d, file %s";
    case Failure::kReadError:
      return "error during read, unit %d, file %s";
    case Failure::kSyntaxError:
      return "list-directed I/O syntax error, unit %d, file %s";
    case Failure::kConversionError:
      return "input conversion error, unit %d, file %s";
  }
  return "unknown failure, unit %d, file %s";
}

std::string Diagnostic(const char* severity, int number, const char* tmpl,
                       IoSite site) {
  const std::string file(site.file);
  char message[256];
  std::snprintf(message, sizeof(message), tmpl, site.unit, file.c_str());
  char line[320];
  std::snprintf(line, sizeof(line), "%s (%i): %s", severity, number, message);
  return line;
}

void WriteErrorLine(const std::string& line) {
  std::fputs(line.c_str(), stderr);
  std::fputs("\r\n", stderr);
  std::fflush(stderr);
}

}  // namespace

std::string StopDiagnostic(Failure failure, IoSite site) {
  return Diagnostic("forrtl: severe", static_cast<int>(failure),
                    MessageTemplate(failure), site);
}

std::string OutputConversionDiagnostic(IoSite site) {
  return Diagnostic("forrtl: error", 63,
                    "output conversion error, unit %d, file %s", site);
}

unsigned ExitStatus(Failure failure) {
  return 0xC0000000u + static_cast<unsigned>(failure);
}

void Stop(Failure failure, IoSite site) {
  WriteErrorLine(StopDiagnostic(failure, site));
  WriteErrorLine(
      "Image              PC                Routine            Line        "
      "Source");
  WriteErrorLine(
      "adequacy           0000000000000000  Unknown               Unknown  "
      "Unknown");
  // exit() flushes and closes the report file; every record in it is
  // complete because each one is flushed as it is written.
  std::exit(static_cast<int>(ExitStatus(failure)));
}

void WarnOutputConversion(IoSite site) {
  WriteErrorLine(OutputConversionDiagnostic(site));
}

}  // namespace adequacy
