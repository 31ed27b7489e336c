#include "app/assess.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "app/command_output.h"
#include "app/figure_render.h"
#include "app/progress.h"
#include "app/simulation_options.h"
#include "app/terminal.h"
#include "app/version.h"
#include "direct/areas.h"
#include "direct/assessment.h"
#include "direct/placement.h"
#include "direct/study.h"
#include "model/capacity_table.h"
#include "montecarlo/areas/areas_event_hours.h"
#include "montecarlo/areas/areas_simulation.h"
#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/system_simulation.h"
#include "montecarlo/events/unit_rates.h"
#include "report/areas_simulation_text.h"
#include "report/areas_text.h"
#include "report/assess_figure.h"
#include "report/assessment_json.h"
#include "report/assessment_text.h"
#include "report/hourly_csv.h"
#include "report/simulation_text.h"
#include "report/usage.h"
#include "system/load_change.h"
#include "system/system_file.h"

namespace adequacy {
namespace {

struct AssessOptions {
  std::string system_path;
  std::string json_path;
  std::string hourly_path;
  std::string add_path;
  std::string plot_path;  // The figure, an SVG or a PNG.
  LoadChange change;
  bool by_year = false;  // Each weather year's indices in the report.
  // The simulation: a number of years, or a precision within a bound.
  SimulationOptions run{.max_years = 10'000'000};
  bool simulate() const { return run.years > 0 || run.precision > 0.0; }
};

// Parses the command line; returns -1 to go on, else the exit status.
int ParseOptions(int argc, const char* const* argv, AssessOptions* options) {
  CLI::App app("", "adequacy assess");
  app.set_help_flag();
  bool help = false;
  app.add_flag("-h,--help", help);
  app.add_option("system", options->system_path);
  const CLI::Option* json = app.add_option("--json", options->json_path);
  const CLI::Option* hourly = app.add_option("--hourly", options->hourly_path);
  app.add_option("--load-scale", options->change.scale);
  app.add_option("--load-add", options->change.added_mw);
  const CLI::Option* add = app.add_option("--add", options->add_path);
  const CLI::Option* plot = app.add_option("--plot", options->plot_path);
  app.add_flag("--by-year", options->by_year);
  SimulationFlags simulation;
  simulation.Add(&app, &options->run);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    WriteText(stderr, AssessMisuseText(error.what()));
    return kCommandMisused;
  }
  if (help) {
    return WriteText(stdout, AssessUsageText()) ? kCommandDone : kCommandFailed;
  }
  const std::string simulation_fault = simulation.Fault(options->run, 1, true);
  std::string fault;
  if (options->system_path.empty()) {
    fault = "a system file is needed";
  } else if (!(std::isfinite(options->change.scale) &&
               options->change.scale >= 0.0)) {
    fault = "--load-scale must be a finite number, 0 or more";
  } else if (!std::isfinite(options->change.added_mw)) {
    fault = "--load-add must be a finite number";
  } else if (add->count() > 0 && options->add_path.empty()) {
    fault = "--add needs a file name";
  } else if ((json->count() > 0 && options->json_path.empty()) ||
             (hourly->count() > 0 && options->hourly_path.empty())) {
    fault = "--json and --hourly need a file name, or - for standard output";
  } else if (plot->count() > 0 && !FigureName(options->plot_path)) {
    fault = "--plot needs a file name ending in .svg or .png";
  } else if (!simulation_fault.empty()) {
    fault = simulation_fault;
  } else if (options->json_path == kStandardOutput &&
             options->hourly_path == kStandardOutput) {
    fault = "--json and --hourly cannot both be standard output";
  }
  if (fault.empty()) return -1;
  WriteText(stderr, AssessMisuseText(fault));
  return kCommandMisused;
}

// Runs the simulation the options ask for, with a status line where a
// person watches standard error on a terminal, as the dialogue draws: the
// years, the seed and threads of `simulation`, a SystemSimulation or an
// AreasSimulation, in the summary.
template <class Simulation>
SimulationSummary Simulate(const AssessOptions& options,
                           Simulation* simulation) {
  const bool status_line =
      StatusLineWanted(isatty(STDERR_FILENO) == 1, std::getenv("TERM"));
  if (status_line) GuardStatusLine(STDERR_FILENO);
  ProgressDisplay progress(status_line, stderr,
                           [] { return ProbeTerminal(STDERR_FILENO); });
  const auto update = [&progress](int64_t years, double share) {
    progress.Update(years, share);
  };
  SimulationSummary run;
  run.seed = options.run.seed;
  run.threads = simulation->threads();
  run.precision = options.run.precision;
  if (options.run.years > 0) {
    progress.Start(0, options.run.years);
    simulation->RunTo(options.run.years, update);
    run.stop = SimulationStop::kYears;
  } else {
    progress.Start(0, options.run.max_years);
    run.stop = simulation->RunToPrecision(options.run.precision,
                                          options.run.max_years, update);
  }
  progress.Finish();
  return run;
}

// The system file, with the file of --add where given.
bool ReadSystemAndAdditions(const AssessOptions& options, System* system) {
  if (!ReadSystemOrTell(options.system_path, system)) return false;
  if (options.add_path.empty()) return true;
  InputError error;
  System additions;
  if (!ReadAdditionsFile(options.add_path, *system, &additions, &error)) {
    WriteText(stderr, InputErrorText(error.file, error.line, error.what));
    return false;
  }
  System combined;
  double added_mw = 0.0;
  if (!Combine(*system, additions, &combined, &added_mw)) {
    WriteText(stderr, InputErrorText(options.add_path, 0,
                                     "the fleet with these units is too "
                                     "large for the availability table"));
    return false;
  }
  *system = std::move(combined);
  return true;
}

// The simulation of a system with areas, its islands' exact values the
// controls; false, with a line on standard error, where it cannot be.
bool SimulateAreas(const AssessOptions& options, const System& system,
                   const AreasAssessment& result, AreasModel* model,
                   std::unique_ptr<AreasSimulation>* simulation, AreasRun* run,
                   EventHours* worst) {
  std::string fault;
  if (!AreasModelOf(system, model, &fault)) {
    WriteText(stderr, InputErrorText(system.file, 0, fault));
    return false;
  }
  run->exact = ControlsOf(result);
  *simulation = std::make_unique<AreasSimulation>(
      *model, options.run.seed, options.run.threads, YearMethod::kEvents,
      run->exact);
  if (!options.hourly_path.empty()) (*simulation)->KeepHours();
  run->summary = Simulate(options, simulation->get());
  run->sample = &(*simulation)->sample();
  *worst = WorstAreasEventHours(simulation->get());
  run->worst = worst;
  return true;
}

// A system with areas: the direct solution, exact for two areas and
// bounded for any number, and the simulation of any number.
int AssessAreasOf(const AssessOptions& options, System* system) {
  const bool hourly = !options.hourly_path.empty();
  if (hourly && system->areas.size() > 2 && !options.simulate()) {
    WriteText(stderr, InputErrorText(system->file, 0,
                                     "--hourly beyond two areas needs the "
                                     "simulation (--years or --precision): "
                                     "only the bounds are exact"));
    return kCommandFailed;
  }
  if (options.change.added_mw != 0.0) {
    WriteText(stderr, AssessMisuseText("--load-add is for one area: with "
                                       "[[areas]], scale their loads with "
                                       "--load-scale"));
    return kCommandMisused;
  }
  for (Area& area : system->areas) {
    area.load = ChangedLoad(area.load, options.change);
  }
  system->load = ChangedLoad(system->load, options.change);
  const bool plot = !options.plot_path.empty();
  const AreasAssessment result = AssessAreas(*system, hourly || plot);
  AreasModel model;
  std::unique_ptr<AreasSimulation> simulation;
  AreasRun run;
  EventHours worst;
  if (options.simulate() && !SimulateAreas(options, *system, result, &model,
                                           &simulation, &run, &worst)) {
    return kCommandFailed;
  }
  const AreasRun* simulated = simulation ? &run : nullptr;
  const std::string json =
      options.json_path.empty()
          ? ""
          : AreasJson(*system, options.change, result, kVersion, simulated);
  const std::string csv =
      !hourly ? ""
      : system->areas.size() > 2
          ? BoundsHourlyCsv(*system, AreaNetLoads(*system), result.bounds,
                            *run.sample)
          : AreasHourlyCsv(*system, AreaNetLoads(*system), result.hours,
                           simulated ? run.sample : nullptr);
  if (!options.json_path.empty() && !WriteOutput(options.json_path, json)) {
    return kCommandFailed;
  }
  if (hourly && !WriteOutput(options.hourly_path, csv)) return kCommandFailed;
  if (options.json_path != kStandardOutput &&
      options.hourly_path != kStandardOutput) {
    std::string text = AreasText(*system, options.change, result);
    if (simulated) text += AreasSimulationText(*system, run);
    if (!WriteOutput(kStandardOutput, text)) return kCommandFailed;
  }
  // The figure last, so that a missing gnuplot costs nothing else.
  if (plot && !RenderFigure(
                  AssessFigure(*system, AreasFigure(*system, result, simulated),
                               kVersion, ScratchFigureName(options.plot_path)),
                  options.plot_path)) {
    return kCommandFailed;
  }
  return kCommandDone;
}

int Assess(const AssessOptions& options) {
  System system;
  if (!ReadSystemAndAdditions(options, &system)) return kCommandFailed;
  if (!system.areas.empty()) return AssessAreasOf(options, &system);
  const std::vector<double> load = ChangedLoad(system.load, options.change);
  // Each outcome of an uncertain load, the load as it is where it is known.
  const ScenarioLoads outcomes = LoadsOfScenarios(system, options.change);
  for (const std::vector<double>& changed : outcomes.loads) {
    for (size_t hour = 0; hour < changed.size(); ++hour) {
      if (changed[hour] < 0.0 || !std::isfinite(changed[hour])) {
        WriteText(stderr,
                  AssessMisuseText("--load-scale and --load-add make the load "
                                   "of hour " +
                                   std::to_string(hour + 1) +
                                   " negative or beyond a double"));
        return kCommandMisused;
      }
    }
  }
  int64_t line = 0;
  std::string fault;
  if (!PlaceMaintenance(outcomes, &system, &line, &fault)) {
    WriteText(stderr, InputErrorText(system.file, line, fault));
    return kCommandFailed;
  }
  const std::vector<double> net = NetLoad(load, system.profiles);
  const DirectStudy study(system);
  const bool hourly = !options.hourly_path.empty();
  const bool plot = !options.plot_path.empty();
  std::vector<Assessment> by_year;
  const Assessment result =
      study.AssessOutcomes(outcomes, hourly || plot, &by_year);
  std::vector<UnitRates> units;
  std::vector<DeviceRates> devices;
  if (options.simulate() && (!UnitRatesOf(system, &units, &fault) ||
                             !DeviceRatesOf(system, &devices, &fault))) {
    WriteText(stderr, InputErrorText(system.file, 0, fault));
    return kCommandFailed;
  }
  // Each weather year, and each outcome of an uncertain load, that the
  // simulated years take in turn and draw.
  std::unique_ptr<SeriesLoads> loads;
  if (options.simulate())
    loads = std::make_unique<SeriesLoads>(system, outcomes);
  std::unique_ptr<SystemSimulation> simulation;
  SimulationSummary run;
  EventHours worst;
  if (options.simulate()) {
    // The exact indices of the system without storage are the controls.
    const ExactIndices exact{result.lolh, result.lole, result.eue};
    simulation = std::make_unique<SystemSimulation>(
        units, loads->longest(), options.run.seed, options.run.threads,
        YearMethod::kEvents, devices, exact, loads->outcomes());
    if (hourly) simulation->KeepHours();
    run = Simulate(options, simulation.get());
    run.sample = &simulation->sample();
    run.paired = &simulation->paired();
    run.exact = exact;
    run.system = &system;
    worst = WorstEventHours(simulation.get());
    run.worst = &worst;
  }
  const SimulationSummary* simulated = simulation ? &run : nullptr;
  // Every output is made before any is written, and each is written
  // whole or not at all, so that a failure leaves the files of the last
  // run as they were.
  const std::string json = options.json_path.empty()
                               ? ""
                               : AssessmentJson(system, options.change, result,
                                                kVersion, simulated, &by_year);
  const std::string csv =
      !hourly ? ""
              : HourlyCsv(load, net, result.hours, system.weather_years,
                          simulated ? simulated->sample : nullptr);
  const bool report = options.json_path != kStandardOutput &&
                      options.hourly_path != kStandardOutput;
  std::string text = report
                         ? AssessmentText(system, options.change, result,
                                          options.by_year ? &by_year : nullptr)
                         : "";
  if (report && simulated) text += SimulationText(*simulated, result);
  if (!options.json_path.empty() && !WriteOutput(options.json_path, json)) {
    return kCommandFailed;
  }
  if (hourly && !WriteOutput(options.hourly_path, csv)) return kCommandFailed;
  if (report && !WriteOutput(kStandardOutput, text)) return kCommandFailed;
  // The figure last, so that a missing gnuplot costs nothing else.
  if (plot && !RenderFigure(
                  AssessFigure(system, OneAreaFigure(system, result, simulated),
                               kVersion, ScratchFigureName(options.plot_path)),
                  options.plot_path)) {
    return kCommandFailed;
  }
  return kCommandDone;
}

}  // namespace

int RunAssess(int argc, const char* const* argv) {
  AssessOptions options;
  const int status = ParseOptions(argc, argv, &options);
  if (status >= 0) return status;
  try {
    return Assess(options);
  } catch (const std::bad_alloc&) {
    WriteText(stderr, InputErrorText(options.system_path, 0,
                                     "not enough memory to assess it"));
    return kCommandFailed;
  }
}

}  // namespace adequacy
