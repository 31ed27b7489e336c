#include "app/arguments.h"

#include <string_view>

namespace adequacy {
namespace {

constexpr std::string_view kDetailsOption = "--details";

}  // namespace

Arguments ParseArguments(int argc, const char* const* argv) {
  Arguments parsed;
  if (argc <= 1) return parsed;
  const std::string_view first = argv[1];
  // --details takes a file name that is not empty and does not look like an
  // option, so that "--details --help" is not taken for a file.
  if (first == kDetailsOption && argc == 3 && argv[2][0] != '\0' &&
      argv[2][0] != '-') {
    parsed.details_path = argv[2];
    return parsed;
  }
  const bool option = first == "--help" || first == "--version";
  // One option at a time: anything more is a misuse, so that a mistyped
  // command never starts a run that rewrites OP.
  if (option && argc == 2) {
    parsed.invocation =
        first == "--help" ? Invocation::kHelp : Invocation::kVersion;
  } else {
    parsed.invocation = Invocation::kMisuse;
    if (first == kDetailsOption) {
      parsed.offending = argc == 2 ? first : argv[argc == 3 ? 2 : 3];
    } else {
      parsed.offending = option ? argv[2] : first;
    }
  }
  return parsed;
}

}  // namespace adequacy
