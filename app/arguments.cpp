#include "app/arguments.h"

#include <string_view>

namespace adequacy {

Arguments ParseArguments(int argc, const char* const* argv) {
  Arguments parsed;
  if (argc <= 1) return parsed;
  const std::string_view first = argv[1] != nullptr ? argv[1] : "";
  // One option at a time: anything more is a misuse, so that a mistyped
  // command never starts a run that rewrites OP.
  if (argc == 2 && first == "--help") {
    parsed.invocation = Invocation::kHelp;
  } else if (argc == 2 && first == "--version") {
    parsed.invocation = Invocation::kVersion;
  } else {
    parsed.invocation = Invocation::kMisuse;
    parsed.offending = argc == 2 || (first != "--help" && first != "--version")
                           ? std::string(first)
                           : std::string(argv[2] != nullptr ? argv[2] : "");
  }
  return parsed;
}

}  // namespace adequacy
