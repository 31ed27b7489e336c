// What the command line asks for.  With no argument the program runs its
// dialogue; the options only describe it and never touch the report file.
#ifndef ADEQUACY_APP_ARGUMENTS_H_
#define ADEQUACY_APP_ARGUMENTS_H_

#include <string>

namespace adequacy {

enum class Invocation { kDialogue, kHelp, kVersion, kMisuse };

struct Arguments {
  Invocation invocation = Invocation::kDialogue;
  std::string offending;  // The argument not understood, for kMisuse.
};

Arguments ParseArguments(int argc, const char* const* argv);

}  // namespace adequacy

#endif  // ADEQUACY_APP_ARGUMENTS_H_
