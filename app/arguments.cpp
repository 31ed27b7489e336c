#include "app/arguments.h"

#include <string_view>

namespace adequacy {
namespace {

constexpr std::string_view kDetailsOption = "--details";

Arguments Misused(Misuse misuse, std::string_view offending) {
  Arguments parsed;
  parsed.invocation = Invocation::kMisuse;
  parsed.misuse = misuse;
  parsed.offending = offending;
  return parsed;
}

// The first argument alone: what it asks for, and how many arguments it
// takes with it.
Arguments ParseFirst(int argc, const char* const* argv, int* used) {
  const std::string_view first = argv[1];
  *used = 1;
  Arguments parsed;
  if (first == "--help" || first == "-h") {
    parsed.invocation = Invocation::kHelp;
  } else if (first == "--version") {
    parsed.invocation = Invocation::kVersion;
  } else if (first == kDetailsOption) {
    // A file name that is not empty and does not look like an option, so
    // that "--details --help" is not taken for a file.
    if (argc < 3 || argv[2][0] == '\0' || argv[2][0] == '-') {
      return Misused(Misuse::kMissingFileName, first);
    }
    parsed.details_path = argv[2];
    *used = 2;
  } else if (first.rfind("--details=", 0) == 0) {
    parsed.details_path = first.substr(kDetailsOption.size() + 1);
    if (parsed.details_path.empty()) {
      return Misused(Misuse::kMissingFileName, kDetailsOption);
    }
  } else {
    return Misused(Misuse::kUnknown, first);
  }
  return parsed;
}

}  // namespace

Arguments ParseArguments(int argc, const char* const* argv) {
  if (argc <= 1) return {};
  int used = 0;
  Arguments parsed = ParseFirst(argc, argv, &used);
  // One option at a time: anything more is a misuse, so that a mistyped
  // command never starts a run that rewrites OP.
  if (parsed.invocation != Invocation::kMisuse && argc > 1 + used) {
    return Misused(Misuse::kExtra, argv[1 + used]);
  }
  return parsed;
}

}  // namespace adequacy
