#include "app/capacity.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>

#include "app/command_output.h"
#include "app/version.h"
#include "capacity/carrying.h"
#include "model/capacity_table.h"
#include "report/capacity_text.h"
#include "report/usage.h"
#include "system/load_change.h"
#include "system/system_file.h"

namespace adequacy {
namespace {

struct CapacityOptions {
  std::string system_path;
  std::string add_path;
  std::string json_path;
  Target target;
  bool target_given = false;
  double tolerance = 0.01;
};

int Misused(const std::string& what) {
  WriteText(stderr, CapacityMisuseText(what));
  return kCommandMisused;
}

// Parses the command line; returns -1 to go on, else the exit status.
int ParseOptions(int argc, const char* const* argv, CapacityOptions* options) {
  CLI::App app("", "adequacy capacity");
  app.set_help_flag();
  bool help = false;
  std::string target;
  app.add_flag("-h,--help", help);
  app.add_option("system", options->system_path);
  const CLI::Option* given = app.add_option("--target", target);
  app.add_option("--add", options->add_path);
  app.add_option("--tolerance", options->tolerance);
  const CLI::Option* json = app.add_option("--json", options->json_path);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return Misused(error.what());
  }
  if (help)
    return WriteText(stdout, CapacityUsageText()) ? kCommandDone
                                                  : kCommandFailed;
  std::string fault;
  options->target_given = given->count() > 0;
  if (options->system_path.empty()) return Misused("a system file is needed");
  if (options->target_given && !ParseTarget(target, &options->target, &fault)) {
    return Misused(fault);
  }
  if (!(options->tolerance > 0.0 && std::isfinite(options->tolerance))) {
    return Misused("--tolerance must be a number of MW above 0");
  }
  if (json->count() > 0 && options->json_path.empty()) {
    return Misused("--json needs a file name, or - for standard output");
  }
  return -1;
}

// The line that says why a search has no answer.
std::string NoAnswerText(NoAnswer fault, const Target& target) {
  char value[32];
  const auto end = std::to_chars(value, value + sizeof value, target.value);
  const std::string goal = std::string(IndexName(target.index)) + " = " +
                           std::string(value, end.ptr);
  switch (fault) {
    case NoAnswer::kEmptyLoadAbove:
      return "the target " + goal + " is below the risk of no load at all";
    case NoAnswer::kNoLoad:
      return "the fleet cannot carry any load at " + goal;
    case NoAnswer::kAnyLoad:
      return "any load meets " + goal +
             ", even one beyond the fleet's capacity";
    case NoAnswer::kNone:
      break;
  }
  return "";
}

// Storage has no exact solution, and the search here walks the exact one;
// rather than answer as if the devices were not there, it says so.
constexpr char kStorageNotYetText[] =
    "[[storage]] has no exact solution, and adequacy capacity does not yet "
    "simulate it; adequacy assess --years gives its indices";

int Capacity(const CapacityOptions& options) {
  System system;
  if (!ReadSystemOrTell(options.system_path, &system)) return kCommandFailed;
  if (!system.storage.empty()) {
    WriteText(stderr, InputErrorText(system.file, 0, kStorageNotYetText));
    return kCommandFailed;
  }
  InputError error;
  const std::vector<double> net = NetLoad(system.load, system.profiles);
  const CapacityTable table(system.unit_kinds());
  CarryingSearch base(table, system.load, net, options.target.index);
  CapacityAnswers a;
  a.target = options.target;
  a.base_index = base.IndexAt(1.0, 0.0);
  a.scale = base.LargestScale(a.target.value, options.tolerance);
  a.added = base.LargestAdded(a.target.value, options.tolerance);
  for (NoAnswer fault : {a.scale.fault, a.added.fault}) {
    if (fault != NoAnswer::kNone) {
      WriteText(stderr,
                InputErrorText(system.file, 0, NoAnswerText(fault, a.target)));
      return kCommandFailed;
    }
  }
  a.peak_load_mw = base.peak_load() * a.scale.at;
  int evaluations = base.evaluations();
  if (!options.add_path.empty()) {
    System additions;
    if (!ReadAdditionsFile(options.add_path,
                           static_cast<int64_t>(system.load.size()), &additions,
                           &error)) {
      WriteText(stderr, InputErrorText(error.file, error.line, error.what));
      return kCommandFailed;
    }
    if (!additions.storage.empty()) {
      WriteText(stderr,
                InputErrorText(options.add_path, 0, kStorageNotYetText));
      return kCommandFailed;
    }
    System combined;
    if (!Combine(system, additions, &combined, &a.installed_mw)) {
      WriteText(stderr, InputErrorText(options.add_path, 0,
                                       "the fleet with these units is too "
                                       "large for the availability table"));
      return kCommandFailed;
    }
    const std::vector<double> combined_net =
        NetLoad(combined.load, combined.profiles);
    const CapacityTable combined_table(combined.unit_kinds());
    CarryingSearch with(combined_table, combined.load, combined_net,
                        a.target.index);
    const double value =
        options.target_given ? options.target.value : a.base_index;
    a.credit = true;
    a.credit_value = value;
    a.additions_name = additions.name;
    a.index_with_additions = with.IndexAt(1.0, 0.0);
    a.elcc = with.LargestAdded(value, options.tolerance);
    a.efc = base.FirmCapacityFor(a.index_with_additions);
    evaluations = base.evaluations() + with.evaluations();
    if (a.elcc.fault != NoAnswer::kNone) {
      Target goal = a.target;
      goal.value = value;
      WriteText(stderr, InputErrorText(options.add_path, 0,
                                       NoAnswerText(a.elcc.fault, goal)));
      return kCommandFailed;
    }
  }
  a.evaluations = evaluations;
  if (!options.json_path.empty() &&
      !WriteOutput(options.json_path, CapacityJson(system, a, kVersion))) {
    return kCommandFailed;
  }
  if (options.json_path == kStandardOutput) return kCommandDone;
  return WriteOutput(kStandardOutput, CapacityText(system, a)) ? kCommandDone
                                                               : kCommandFailed;
}

}  // namespace

int RunCapacity(int argc, const char* const* argv) {
  CapacityOptions options;
  const int status = ParseOptions(argc, argv, &options);
  if (status >= 0) return status;
  try {
    return Capacity(options);
  } catch (const std::bad_alloc&) {
    WriteText(stderr, InputErrorText(options.system_path, 0,
                                     "not enough memory to answer"));
    return kCommandFailed;
  }
}

}  // namespace adequacy
