#include "app/capacity.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>

#include "app/command_output.h"
#include "app/figure_render.h"
#include "app/simulation_options.h"
#include "app/version.h"
#include "capacity/area_search.h"
#include "capacity/carrying.h"
#include "capacity/curve.h"
#include "capacity/simulated_area.h"
#include "capacity/simulated_credit.h"
#include "direct/placement.h"
#include "direct/study.h"
#include "model/capacity_table.h"
#include "montecarlo/engine/worker_pool.h"
#include "montecarlo/events/system_simulation.h"
#include "montecarlo/statistics/standard_error.h"
#include "report/capacity_figure.h"
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
  std::string plot_path;  // The figure, an SVG or a PNG.
  std::string area;       // The area asked about, in a system with areas.
  Target target;
  bool target_given = false;
  double tolerance = 0.01;
  // The simulation, for resources with storage: a number of years, or the
  // ELCC's standard error as a share of the resources' MW.
  SimulationOptions run{.precision = 0.01, .max_years = 2'000'000};
};

// The loads at which a figure's curves are drawn.
constexpr int kCurvePoints = 41;

// The years of the pilot run that sizes a run to a precision.
constexpr int64_t kPilotYears = 4096;

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
  app.add_option("--area", options->area);
  app.add_option("--tolerance", options->tolerance);
  const CLI::Option* json = app.add_option("--json", options->json_path);
  const CLI::Option* plot = app.add_option("--plot", options->plot_path);
  SimulationFlags simulation;
  simulation.Add(&app, &options->run);
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
  if (plot->count() > 0 && !FigureName(options->plot_path)) {
    return Misused("--plot needs a file name ending in .svg or .png");
  }
  fault = simulation.Fault(options->run, kPilotYears, false);
  if (!fault.empty()) return Misused(fault);
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

// The base system's index is the value the credit keeps, found exactly;
// storage there has no exact solution, so only added storage is credited.
constexpr char kBaseStorageText[] =
    "[[storage]] in the system itself has no exact index to keep; give the "
    "devices with --add to have their credit simulated";

// The credit of additions with storage, by simulation: the ELCC to the
// precision or over the years asked for, the EFC from the index they give.
// False, with the reason in `fault`, where the system cannot be simulated
// or no unit never out gives the index the resources give.
bool SimulateCredit(const CapacityOptions& options, const System& combined,
                    CarryingSearch* base, CapacityAnswers* a,
                    std::string* fault) {
  const DirectStudy study(combined);
  double scale_mw = a->installed_mw;
  for (size_t i = combined.storage.size() - a->added_devices;
       i < combined.storage.size(); ++i) {
    const StorageDevice& device = combined.storage[i];
    scale_mw += device.discharge_mw * static_cast<double>(device.count);
  }
  a->installed_mw = scale_mw;
  SimulatedCredit credit(combined, study, a->target.index, options.run.seed,
                         options.run.threads);
  if (!credit.fault().empty()) {
    *fault = credit.fault();
    return false;
  }
  // A tenth of the goal's error is the search's tolerance: finer is lost
  // in the sample's error.
  const double tolerance = std::max(options.tolerance, 0.001 * scale_mw);
  int64_t years = options.run.years;
  if (years == 0) {
    const Estimated pilot =
        credit.LoadAt(a->credit_value, kPilotYears, tolerance, scale_mw);
    years = YearsFor(pilot.standard_error, kPilotYears,
                     options.run.precision * scale_mw, options.run.max_years);
  }
  const Estimated elcc =
      credit.LoadAt(a->credit_value, years, tolerance, scale_mw);
  const SampleInterval with = credit.IndexAt(0.0, years);
  a->simulated = true;
  a->years = years;
  a->seed = options.run.seed;
  a->elcc.at = elcc.at;
  a->elcc.index = credit.IndexAt(elcc.at, years).estimate;
  a->elcc_se = elcc.standard_error;
  a->elcc_low = elcc.low;
  a->elcc_high = elcc.high;
  a->index_with_additions = with.estimate;
  a->index_with_additions_se = with.standard_error;
  // The EFC from the exact index of the base with a unit never out: the
  // index's interval carried through it.
  a->efc = base->FirmCapacityFor(with.estimate);
  a->efc_low = base->FirmCapacityFor(with.high).at;
  a->efc_high =
      base->FirmCapacityFor(
              std::max(0.0, with.estimate - (with.high - with.estimate)))
          .at;
  a->efc_se = (a->efc_high - a->efc_low) / (2.0 * kNormal95);
  a->evaluations += credit.evaluations();
  if (a->efc.fault != NoAnswer::kNone) {
    *fault = "no unit never out gives the index these resources give";
    return false;
  }
  return true;
}

// Places the maintenance the system leaves to the program, against its
// load as given; false, told, where an entry fits nowhere.
bool Place(System* system) {
  int64_t line = 0;
  std::string fault;
  if (PlaceMaintenance(LoadsOfScenarios(*system, {}), system, &line, &fault)) {
    return true;
  }
  WriteText(stderr, InputErrorText(system->file, line, fault));
  return false;
}

// The load-carrying capability of `base` at the target; false, told
// against `file`, where a search has no answer.
template <class Search>
bool Carrying(const CapacityOptions& options, const std::string& file,
              Search* base, CapacityAnswers* a) {
  a->target = options.target;
  a->base_index = base->IndexAt(1.0, 0.0);
  a->scale = base->LargestScale(a->target.value, options.tolerance);
  a->added = base->LargestAdded(a->target.value, options.tolerance);
  for (NoAnswer fault : {a->scale.fault, a->added.fault}) {
    if (fault != NoAnswer::kNone) {
      WriteText(stderr,
                InputErrorText(file, 0, NoAnswerText(fault, a->target)));
      return false;
    }
  }
  a->peak_load_mw = base->peak_load() * a->scale.at;
  a->evaluations = base->evaluations();
  return true;
}

// The file of --add read and joined to `system`, and the value the credit
// keeps; false, told, where it cannot be.
bool ReadCombined(const CapacityOptions& options, const System& system,
                  System* additions, System* combined, CapacityAnswers* a) {
  InputError error;
  if (!ReadAdditionsFile(options.add_path, system, additions, &error)) {
    WriteText(stderr, InputErrorText(error.file, error.line, error.what));
    return false;
  }
  if (!Combine(system, *additions, combined, &a->installed_mw)) {
    WriteText(stderr, InputErrorText(options.add_path, 0,
                                     "the fleet with these units is too "
                                     "large for the availability table"));
    return false;
  }
  a->credit = true;
  a->credit_value = options.target_given ? options.target.value : a->base_index;
  a->additions_name = additions->name;
  return true;
}

// The exact credit of additions: the load `with` them carries at the value
// kept, and the firm MW that give `base` the index they give.
template <class Search>
void ExactCredit(const CapacityOptions& options, Search* base, Search* with,
                 CapacityAnswers* a) {
  a->index_with_additions = with->IndexAt(1.0, 0.0);
  a->elcc = with->LargestAdded(a->credit_value, options.tolerance);
  a->efc = base->FirmCapacityFor(a->index_with_additions);
  a->evaluations = base->evaluations() + with->evaluations();
}

// False, told, where the ELCC search had no answer.
bool ElccFound(const CapacityOptions& options, const CapacityAnswers& a) {
  if (a.elcc.fault == NoAnswer::kNone) return true;
  Target goal = a.target;
  goal.value = a.credit_value;
  WriteText(stderr, InputErrorText(options.add_path, 0,
                                   NoAnswerText(a.elcc.fault, goal)));
  return false;
}

// The answers, as JSON and the report the options ask for.
int WriteAnswers(const CapacityOptions& options, const System& system,
                 const CapacityAnswers& a,
                 const CapacityCurves* curves = nullptr) {
  if (!options.json_path.empty() &&
      !WriteOutput(options.json_path, CapacityJson(system, a, kVersion))) {
    return kCommandFailed;
  }
  if (options.json_path != kStandardOutput &&
      !WriteOutput(kStandardOutput, CapacityText(system, a))) {
    return kCommandFailed;
  }
  // The figure last, so that a missing gnuplot costs nothing else.
  if (curves != nullptr &&
      !RenderFigure(CapacityFigure(system, a, *curves, kVersion,
                                   ScratchFigureName(options.plot_path)),
                    options.plot_path)) {
    return kCommandFailed;
  }
  return kCommandDone;
}

// An area's answer by simulation, `load` MW the load found, `index` its
// index there; false, told against `file`, where there is none.
bool SimulatedAnswer(const std::string& file, const Target& target,
                     const Estimated& found, double index, Answer* answer) {
  answer->fault = found.fault;
  answer->at = found.at;
  answer->index = index;
  if (found.fault == NoAnswer::kNone) return true;
  WriteText(stderr, InputErrorText(file, 0, NoAnswerText(found.fault, target)));
  return false;
}

// The loads of `walked` in increasing order, each once.
std::vector<WalkedPoint> Walked(std::vector<WalkedPoint> walked) {
  std::stable_sort(walked.begin(), walked.end(),
                   [](const WalkedPoint& a, const WalkedPoint& b) {
                     return a.added_mw < b.added_mw;
                   });
  walked.erase(std::unique(walked.begin(), walked.end(),
                           [](const WalkedPoint& a, const WalkedPoint& b) {
                             return a.added_mw == b.added_mw;
                           }),
               walked.end());
  return walked;
}

// The capability and credit of one area of three or more, by simulation:
// every load over the same years, as many as the options ask or as the
// precision needs (a pilot run's error scaled, as for storage).
int SimulatedAreaCapacity(const CapacityOptions& options, const System& system,
                          size_t area) {
  SimulatedAreaSearch base(system, area, options.target.index, options.run.seed,
                           options.run.threads);
  if (!base.fault().empty()) {
    WriteText(stderr, InputErrorText(system.file, 0, base.fault()));
    return kCommandFailed;
  }
  const double scale_mw = std::max(1.0, base.installed_mw());
  const double tolerance = std::max(options.tolerance, 0.001 * scale_mw);
  const Target& target = options.target;
  int64_t years = options.run.years;
  if (years == 0) {
    const Estimated pilot =
        base.LargestAdded(target.value, kPilotYears, tolerance);
    years = YearsFor(pilot.standard_error, kPilotYears,
                     options.run.precision * scale_mw, options.run.max_years);
  }
  CapacityAnswers a;
  CapacityCurves curves;
  a.target = target;
  a.simulated = true;
  a.simulated_capability = true;
  a.years = years;
  a.seed = options.run.seed;
  const SampleInterval now = base.IndexAt(1.0, 0.0, years);
  a.base_index = now.estimate;
  a.base_index_se = now.standard_error;
  const Estimated added = base.LargestAdded(target.value, years, tolerance);
  const Estimated scale = base.LargestScale(target.value, years, tolerance);
  if (!SimulatedAnswer(system.file, target, added,
                       base.IndexAt(1.0, added.at, years).estimate, &a.added) ||
      !SimulatedAnswer(system.file, target, scale,
                       base.IndexAt(scale.at, 0.0, years).estimate, &a.scale)) {
    return kCommandFailed;
  }
  a.added_se = added.standard_error;
  a.scale_se = scale.standard_error;
  a.peak_load_mw = base.peak_load() * scale.at;
  if (!options.add_path.empty()) {
    System additions;
    System combined;
    if (!ReadCombined(options, system, &additions, &combined, &a)) {
      return kCommandFailed;
    }
    // Storage counts at its discharge power, as for one area.
    for (const StorageDevice& device : additions.storage) {
      a.installed_mw += device.discharge_mw * static_cast<double>(device.count);
    }
    SimulatedAreaSearch with(combined, area, target.index, options.run.seed,
                             options.run.threads);
    const SampleInterval given = with.IndexAt(1.0, 0.0, years);
    a.index_with_additions = given.estimate;
    a.index_with_additions_se = given.standard_error;
    const Estimated elcc = with.LargestAdded(a.credit_value, years, tolerance);
    // The firm MW in the area that give it the index the additions give:
    // so much load taken away.
    const Estimated firm = base.LargestAdded(given.estimate, years, tolerance);
    Target kept = target;
    kept.value = a.credit_value;
    if (!SimulatedAnswer(options.add_path, kept, elcc,
                         with.IndexAt(1.0, elcc.at, years).estimate, &a.elcc)) {
      return kCommandFailed;
    }
    a.elcc_se = elcc.standard_error;
    a.elcc_low = elcc.low;
    a.elcc_high = elcc.high;
    a.efc.at = -firm.at;
    a.efc.index = given.estimate;
    a.efc_se = firm.standard_error;
    a.efc_low = -firm.high;
    a.efc_high = -firm.low;
    a.evaluations += with.evaluations();
    curves.with = Walked(with.walked());
  }
  a.evaluations += base.evaluations();
  // The curves are the loads the searches tried, each an estimate over
  // the same years: a curve of its own would cost as many runs again.
  curves.walked = base.walked();
  curves.base = Walked(base.walked());
  System named = system;
  named.name += ", area " + system.areas[area].name;
  return WriteAnswers(options, named, a,
                      options.plot_path.empty() ? nullptr : &curves);
}

// True where the file of --add can be read and holds storage; a file that
// cannot is told of where it is read for the credit.
bool AddsStorage(const CapacityOptions& options, const System& system) {
  if (options.add_path.empty()) return false;
  InputError error;
  System additions;
  return ReadAdditionsFile(options.add_path, system, &additions, &error) &&
         !additions.storage.empty();
}

// The capability and credit of one area of two, exact; by simulation
// beyond two areas or with storage added.
int AreaCapacity(const CapacityOptions& options, System* system) {
  if (system->areas.empty()) {
    return Misused("--area names an area, and the system has no [[areas]]");
  }
  size_t area = system->areas.size();
  std::string names;
  for (size_t a = 0; a < system->areas.size(); ++a) {
    if (system->areas[a].name == options.area) area = a;
    names += (a == 0 ? "" : ", ") + system->areas[a].name;
  }
  if (area == system->areas.size()) {
    return Misused(
        options.area.empty()
            ? "a system with [[areas]] needs --area NAME, one of " + names
            : "unknown area '" + options.area + "'; the areas are " + names);
  }
  // Storage has no exact solution: areas with it added are simulated, as
  // three or more are.
  if (system->areas.size() > 2 || AddsStorage(options, *system)) {
    return SimulatedAreaCapacity(options, *system, area);
  }
  if (system->areas.size() != 2) {
    WriteText(stderr, InputErrorText(system->file, 0,
                                     "capacity --area needs two areas or "
                                     "more; without [[areas]], a system of "
                                     "one area is answered exactly"));
    return kCommandFailed;
  }
  AreaSearch base(*system, area, options.target.index);
  CapacityAnswers a;
  CapacityCurves curves;
  const double installed = static_cast<double>(system->installed_mw());
  if (!Carrying(options, system->file, &base, &a)) return kCommandFailed;
  if (!options.add_path.empty()) {
    System additions;
    System combined;
    if (!ReadCombined(options, *system, &additions, &combined, &a)) {
      return kCommandFailed;
    }
    AreaSearch with(combined, area, a.target.index);
    ExactCredit(options, &base, &with, &a);
    if (!ElccFound(options, a)) return kCommandFailed;
    if (!options.plot_path.empty()) {
      curves.with = CurveOf(&with, CurveLoads(a, installed, kCurvePoints));
    }
  }
  if (!options.plot_path.empty()) {
    curves.walked = base.walked();
    curves.base = CurveOf(&base, CurveLoads(a, installed, kCurvePoints));
  }
  // The answers are the area's: its name goes with the system's.
  System named = *system;
  named.name += ", area " + system->areas[area].name;
  return WriteAnswers(options, named, a,
                      options.plot_path.empty() ? nullptr : &curves);
}

int Capacity(const CapacityOptions& options) {
  System system;
  if (!ReadSystemOrTell(options.system_path, &system)) return kCommandFailed;
  if (!system.storage.empty()) {
    WriteText(stderr, InputErrorText(system.file, 0, kBaseStorageText));
    return kCommandFailed;
  }
  if (!system.areas.empty() || !options.area.empty()) {
    return AreaCapacity(options, &system);
  }
  if (!Place(&system)) return kCommandFailed;
  const std::vector<double> net = NetLoad(system.load, system.profiles);
  const DirectStudy study(system);
  CarryingSearch base(study, system.load, net, options.target.index,
                      system.scenarios());
  CapacityAnswers a;
  CapacityCurves curves;
  const double installed = static_cast<double>(system.installed_mw());
  if (!Carrying(options, system.file, &base, &a)) return kCommandFailed;
  if (!options.add_path.empty()) {
    System additions;
    System combined;
    if (!ReadCombined(options, system, &additions, &combined, &a)) {
      return kCommandFailed;
    }
    // The base's schedule stands; the additions' entries are placed
    // around it.
    if (!Place(&combined)) return kCommandFailed;
    const std::vector<double> combined_net =
        NetLoad(combined.load, combined.profiles);
    const DirectStudy combined_study(combined);
    CarryingSearch with(combined_study, combined.load, combined_net,
                        a.target.index, combined.scenarios());
    if (!additions.storage.empty()) {
      a.added_devices = additions.storage.size();
      std::string fault;
      if (!SimulateCredit(options, combined, &base, &a, &fault)) {
        WriteText(stderr, InputErrorText(options.add_path, 0, fault));
        return kCommandFailed;
      }
    } else {
      ExactCredit(options, &base, &with, &a);
      if (!options.plot_path.empty()) {
        curves.with = CurveOf(&with, CurveLoads(a, installed, kCurvePoints));
      }
    }
    if (!ElccFound(options, a)) return kCommandFailed;
  }
  if (options.plot_path.empty()) return WriteAnswers(options, system, a);
  curves.walked = base.walked();
  curves.base = CurveOf(&base, CurveLoads(a, installed, kCurvePoints));
  return WriteAnswers(options, system, a, &curves);
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
