// The texts of the command-line options: the usage and the version line.
// They are not records: plain lines, for a person or a script reading
// --help and --version.
#ifndef ADEQUACY_REPORT_USAGE_H_
#define ADEQUACY_REPORT_USAGE_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace adequacy {

// What the program does, its dialogue, the report file, the options and
// the make targets; `longest_reply` is the longest reply line it reads.
std::string UsageText(int64_t longest_reply);

// What `adequacy assess` does, its options, the system file and an
// example.
std::string AssessUsageText();

// What `adequacy capacity` does, its options and an example.
std::string CapacityUsageText();

// "adequacy capacity: what; see adequacy capacity --help".
std::string CapacityMisuseText(const std::string& what);

// "adequacy: FILE:LINE: what is wrong" (no line where it is 0).
std::string InputErrorText(const std::string& file, int64_t line,
                           const std::string& what);

// "adequacy assess: what; see adequacy assess --help".
std::string AssessMisuseText(const std::string& what);

// "adequacy: cannot write 'PATH': reason".
std::string OutputFailureText(const std::string& path,
                              const std::string& reason);

// "adequacy 1.2.3".
std::string VersionText(const char* version);

// One line each for a command line that is not understood: "adequacy:
// unknown option '--x'; see adequacy --help", an argument after a whole
// command line, and an option that lacks its file name.
std::string UnknownArgumentText(const std::string& argument);
std::string ExtraArgumentText(const std::string& argument);
std::string MissingFileNameText(const std::string& option);

// "adequacy: cannot write the details file 'x': reason".
std::string DetailsFailureText(const std::string& path,
                               const std::string& reason);

// Writes `text`; false if it could not be written whole.
bool WriteText(std::FILE* out, const std::string& text);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_USAGE_H_
