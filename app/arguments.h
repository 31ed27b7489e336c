// What the command line asks for.  With no argument the program runs its
// dialogue; --help (-h) and --version only describe it and never touch the
// report file; --details FILE runs the dialogue and also writes FILE.
#ifndef ADEQUACY_APP_ARGUMENTS_H_
#define ADEQUACY_APP_ARGUMENTS_H_

#include <string>

namespace adequacy {

enum class Invocation { kDialogue, kHelp, kVersion, kMisuse };

// What is wrong with a command line that is not understood.
enum class Misuse {
  kNone,
  kUnknown,          // An argument that is no option of the program.
  kMissingFileName,  // --details without a file name, or with an empty one.
  kExtra,            // An argument after a complete command line.
};

struct Arguments {
  Invocation invocation = Invocation::kDialogue;
  Misuse misuse = Misuse::kNone;
  std::string offending;     // The argument not understood, for kMisuse.
  std::string details_path;  // The companion file asked for, if any.
};

Arguments ParseArguments(int argc, const char* const* argv);

}  // namespace adequacy

#endif  // ADEQUACY_APP_ARGUMENTS_H_
