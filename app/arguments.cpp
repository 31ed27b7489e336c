#include "app/arguments.h"

#include <string_view>

namespace adequacy {

Arguments ParseArguments(int argc, const char* const* argv) {
  Arguments parsed;
  if (argc <= 1) return parsed;
  const std::string_view first = argv[1];
  const bool option = first == "--help" || first == "--version";
  // One option at a time: anything more is a misuse, so that a mistyped
  // command never starts a run that rewrites OP.
  if (option && argc == 2) {
    parsed.invocation =
        first == "--help" ? Invocation::kHelp : Invocation::kVersion;
  } else {
    parsed.invocation = Invocation::kMisuse;
    parsed.offending = option ? argv[2] : first;
  }
  return parsed;
}

}  // namespace adequacy
