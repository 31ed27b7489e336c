#include "report/diagnostic.h"

#include <cstdio>
#include <cstdlib>

namespace adequacy {
namespace {

const char* MessageTemplate(Failure failure) {
  switch (failure) {
    case Failure::kInputRecordTooLong:
      return "input record too long, unit %d, file %s";
    case Failure::kInsufficientMemory:
      return "insufficient virtual memory";
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

// A diagnostic line is built in fixed buffers: a stop for want of memory
// must not need any.
struct DiagnosticLine {
  char text[320];
};

DiagnosticLine Diagnostic(const char* severity, int number, const char* tmpl,
                          IoSite site) {
  char file[128];
  std::snprintf(file, sizeof(file), "%.*s", static_cast<int>(site.file.size()),
                site.file.data());
  char message[256];
  // Not every template names the unit and the file; the ones that do not
  // leave the arguments unused.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(message, sizeof(message), tmpl, site.unit, file);
#pragma GCC diagnostic pop
  DiagnosticLine line;
  std::snprintf(line.text, sizeof(line.text), "%s (%i): %s", severity, number,
                message);
  return line;
}

void WriteErrorLine(const char* line) {
  std::fputs(line, stderr);
  std::fputs("\r\n", stderr);
  std::fflush(stderr);
}

}  // namespace

DiagnosticLine SevereLine(Failure failure, IoSite site) {
  return Diagnostic("forrtl: severe", static_cast<int>(failure),
                    MessageTemplate(failure), site);
}

DiagnosticLine ConversionLine(IoSite site) {
  return Diagnostic("forrtl: error", 63,
                    "output conversion error, unit %d, file %s", site);
}

std::string StopDiagnostic(Failure failure, IoSite site) {
  return SevereLine(failure, site).text;
}

std::string OutputConversionDiagnostic(IoSite site) {
  return ConversionLine(site).text;
}

unsigned ExitStatus(Failure failure) {
  return 0xC0000000u + static_cast<unsigned>(failure);
}

void Stop(Failure failure, IoSite site) {
  WriteErrorLine(SevereLine(failure, site).text);
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
  WriteErrorLine(ConversionLine(site).text);
}

}  // namespace adequacy
