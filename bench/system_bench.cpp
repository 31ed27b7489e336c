#include "bench/system_bench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capacity/area_search.h"
#include "direct/areas.h"
#include "direct/assessment.h"
#include "direct/placement.h"
#include "direct/study.h"
#include "model/capacity_table.h"
#include "montecarlo/areas/areas_simulation.h"
#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/storage_dispatch.h"
#include "montecarlo/events/system_simulation.h"
#include "system/load_change.h"
#include "system/system_file.h"
#include "system/text_file.h"

extern char** environ;

namespace adequacy {
namespace {

const std::string kExamples = std::string(ADEQUACY_SOURCE_DIR) + "/examples";

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since)
      .count();
}

// Years a second of `method` on every core, over at least `years` years.
double YearsPerSecond(const std::vector<UnitRates>& units, const YearLoad& load,
                      YearMethod method, int64_t years,
                      const std::vector<DeviceRates>& devices = {}) {
  SystemSimulation simulation(units, load, kDefaultSeed, AvailableProcessors(),
                              method, devices);
  const auto start = std::chrono::steady_clock::now();
  simulation.RunTo(years);
  return static_cast<double>(simulation.sample().years()) / Seconds(start);
}

struct Speeds {
  double events = 0.0;
  double hourly = 0.0;
};

// Each engine's years a second as the best of three runs, the two taken
// in turn: the machine's noise only ever slows a run, so the fastest is
// the engine's own speed, and both are timed over the same stretch.
template <class YearsPerSecondOf>
Speeds BestOfThree(const YearsPerSecondOf& years_per_second) {
  Speeds best;
  for (int round = 0; round < 3; ++round) {
    best.events = std::max(best.events, years_per_second(YearMethod::kEvents));
    best.hourly = std::max(best.hourly, years_per_second(YearMethod::kHourly));
  }
  return best;
}

struct Timed {
  double seconds = 0.0;
  double peak_megabytes = 0.0;
  bool ok = false;
};

// The program run with `arguments`, its output thrown away, under
// /usr/bin/time: a child of this large process would count this process's
// memory as its own peak, one of that small program's does not.
Timed TimeProgram(const std::vector<std::string>& arguments) {
  const std::string peak_file = "/tmp/adequacy-bench-peak";
  std::vector<char*> argv;
  std::string timer = "/usr/bin/time";
  std::vector<std::string> kept = {"-o", peak_file, "-f", "%M",
                                   ADEQUACY_BINARY};
  kept.insert(kept.end(), arguments.begin(), arguments.end());
  argv.push_back(timer.data());
  for (std::string& a : kept) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  Timed timed;
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  if (posix_spawn(&pid, timer.c_str(), &actions, nullptr, argv.data(),
                  environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    timed.seconds = Seconds(start);
    timed.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (std::FILE* peak = std::fopen(peak_file.c_str(), "r")) {
      double kilobytes = 0.0;
      if (std::fscanf(peak, "%lf", &kilobytes) == 1) {
        timed.peak_megabytes = kilobytes / 1024.0;
      }
      std::fclose(peak);
      std::remove(peak_file.c_str());
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return timed;
}

void PrintEngines(const char* name, const std::string& file,
                  int64_t event_years, int64_t hourly_years) {
  System system;
  InputError error;
  std::vector<UnitRates> units;
  std::string fault;
  if (!ReadSystemFile(file, &system, &error) ||
      !UnitRatesOf(system, &units, &fault)) {
    std::printf("  %s: cannot be read\n", name);
    return;
  }
  const YearLoad load(NetLoad(system.load, system.profiles));
  const Speeds speeds = BestOfThree([&](YearMethod method) {
    return YearsPerSecond(
        units, load, method,
        method == YearMethod::kEvents ? event_years : hourly_years);
  });
  std::printf(
      "  %-22s event engine %9.0f years/s, hourly loop %7.0f years/s, "
      "ratio %.0f\n",
      name, speeds.events, speeds.hourly, speeds.events / speeds.hourly);
}

// The RTS-79 with its 4-hour battery: the engines with storage, what the
// control buys, and the program to 1 % and to the battery's ELCC.
void PrintStorage() {
  System system;
  System battery;
  System combined;
  InputError error;
  std::vector<UnitRates> units;
  std::vector<DeviceRates> devices;
  std::string fault;
  double added = 0.0;
  if (!ReadSystemFile(kExamples + "/rts79/system.toml", &system, &error) ||
      !ReadAdditionsFile(kExamples + "/rts79/battery.toml", system, &battery,
                         &error) ||
      !Combine(system, battery, &combined, &added) ||
      !UnitRatesOf(combined, &units, &fault) ||
      !DeviceRatesOf(combined, &devices, &fault)) {
    std::printf("  RTS-79 with its battery: cannot be read\n");
    return;
  }
  const std::vector<double> net = NetLoad(combined.load, combined.profiles);
  const YearLoad load(net);
  const Speeds speeds = BestOfThree([&](YearMethod method) {
    return YearsPerSecond(units, load, method,
                          method == YearMethod::kEvents ? 50000 : 500, devices);
  });
  std::printf(
      "  RTS-79 and a 200 MW / 800 MWh battery (round trip 0.85): event "
      "engine %.0f years/s, hourly loop %.0f years/s, ratio %.0f\n",
      speeds.events, speeds.hourly, speeds.events / speeds.hourly);
  const CapacityTable table(combined.unit_kinds());
  const Assessment exact = Assess(table, combined.load, net, false);
  const ExactIndices controls{exact.lolh, exact.lole, exact.eue};
  SystemSimulation run(units, load, kDefaultSeed, AvailableProcessors(),
                       YearMethod::kEvents, devices, controls);
  constexpr int64_t kYears = 20000;
  run.RunTo(kYears);
  for (SampleFigure figure :
       {SampleFigure::kDeficitHours, SampleFigure::kUnservedMwh}) {
    const SampleInterval plain = run.sample().Interval(figure);
    const SampleInterval controlled = run.paired().Reported(figure, controls);
    const double n = static_cast<double>(kYears);
    // Years for 1 % from each: n (se / (0.01 estimate))^2.
    const auto years_for = [&](const SampleInterval& i) {
      const double r = i.standard_error / (0.01 * i.estimate);
      return n * r * r;
    };
    std::printf(
        "    %s over %lld years: %.4g, standard error %.4g plain, %.4g "
        "controlled (%.2f of it); %.0f and %.0f years for 1 %%\n",
        figure == SampleFigure::kDeficitHours ? "LOLH" : "EUE ",
        static_cast<long long>(kYears), controlled.estimate,
        plain.standard_error, controlled.standard_error,
        controlled.standard_error / plain.standard_error, years_for(plain),
        years_for(controlled));
  }
  const Timed precise = TimeProgram({"assess", kExamples + "/rts79/system.toml",
                                     "--add", kExamples + "/rts79/battery.toml",
                                     "--precision", "0.01", "--json", "-"});
  std::printf(
      "    to 1 %% relative standard error of LOLH and EUE (controlled): "
      "%.2f s wall, peak %.1f MB%s\n",
      precise.seconds, precise.peak_megabytes, precise.ok ? "" : " (failed)");
  const Timed credit =
      TimeProgram({"capacity", kExamples + "/rts79/system.toml", "--add",
                   kExamples + "/rts79/battery.toml", "--precision", "0.0102"});
  std::printf(
      "    its ELCC at the RTS-79's LOLE to a 95 %% half-width of 2 %% of "
      "200 MW: %.2f s wall, peak %.1f MB%s\n",
      credit.seconds, credit.peak_megabytes, credit.ok ? "" : " (failed)");
}

// Years a second of `method` on every core over the weather years and
// outcomes of `loads`.
double SeriesYearsPerSecond(const std::vector<UnitRates>& units,
                            const SeriesLoads& loads, YearMethod method,
                            int64_t years) {
  SystemSimulation simulation(units, loads.longest(), kDefaultSeed,
                              AvailableProcessors(), method, {}, {},
                              loads.outcomes());
  const auto start = std::chrono::steady_clock::now();
  simulation.RunTo(years);
  return static_cast<double>(simulation.sample().years()) / Seconds(start);
}

// Writes `years` weather years of `hours` hours each, the RTS-79's load
// shape repeated, as a CSV table with a weather_year column (or one year
// of them all without it), beside a system file of the RTS-79's units.
bool WriteWeatherSystem(const std::string& dir, int years, int64_t hours,
                        bool year_column) {
  System rts;
  InputError error;
  std::string units;
  if (!ReadSystemFile(kExamples + "/rts79/system.toml", &rts, &error) ||
      !ReadTextFile(kExamples + "/rts79/system.toml", &units, &error.what)) {
    return false;
  }
  std::filesystem::create_directories(dir);
  std::FILE* csv = std::fopen((dir + "/series.csv").c_str(), "w");
  if (!csv) return false;
  std::fprintf(csv, "weather_year,demand\n");
  for (int year = 0; year < years; ++year) {
    const double level = 0.97 + 0.06 * (year % 7) / 6.0;
    for (int64_t hour = 0; hour < hours; ++hour) {
      std::fprintf(
          csv, "%d,%.1f\n", 1980 + year,
          rts.load[static_cast<size_t>(hour) % rts.load.size()] * level);
    }
  }
  std::fclose(csv);
  std::FILE* toml = std::fopen((dir + "/system.toml").c_str(), "w");
  if (!toml) return false;
  std::fprintf(toml,
               "[load]\nfile = \"series.csv\"\ncolumn = \"demand\"\n%s\n%s",
               year_column ? "year_column = \"weather_year\"" : "",
               units.substr(units.find("[[units]]")).c_str());
  std::fclose(toml);
  return true;
}

// The single-area model with everything on: the RTS-79 with its 350 and
// 400 MW units derated, every unit given four weeks of maintenance and
// its load uncertain by 2.5 % (maintenance.toml), and weather years.
void PrintModel() {
  System system;
  InputError error;
  if (!ReadSystemFile(kExamples + "/rts79/maintenance.toml", &system, &error)) {
    std::printf("  maintenance.toml: cannot be read\n");
    return;
  }
  for (size_t g = 7; g < system.units.size(); ++g) {
    system.units[g].derates = {
        {system.units[g].capacity_mw / 2, 0.05, 0.0, 20.0}};
  }
  const ScenarioLoads outcomes = LoadsOfScenarios(system, LoadChange());
  int64_t line = 0;
  std::string fault;
  auto start = std::chrono::steady_clock::now();
  const bool placed = PlaceMaintenance(outcomes, &system, &line, &fault);
  const double place_seconds = Seconds(start);
  start = std::chrono::steady_clock::now();
  const DirectStudy study(system);
  const Assessment exact = study.AssessOutcomes(outcomes, false);
  const double direct_seconds = Seconds(start);
  std::printf(
      "  RTS-79, derates on its 350 and 400 MW units, 32 entries of 28 days "
      "placed in %.3f s%s; with the schedule fixed and 7 load outcomes, the "
      "direct solution in %.4f s (LOLE %.5g)\n",
      place_seconds, placed ? "" : " (failed)", direct_seconds, exact.lole);
  std::vector<UnitRates> units;
  if (!UnitRatesOf(system, &units, &fault)) return;
  System known = system;
  known.uncertainty.clear();
  for (const System* each : {&known, &system}) {
    const ScenarioLoads its = LoadsOfScenarios(*each, LoadChange());
    const SeriesLoads loads(*each, its);
    const Speeds speeds = BestOfThree([&](YearMethod method) {
      return SeriesYearsPerSecond(
          units, loads, method, method == YearMethod::kEvents ? 100000 : 1000);
    });
    std::printf(
        "    %s: event engine %.0f years/s, hourly loop %.0f years/s, ratio "
        "%.0f\n",
        each == &known ? "derates and maintenance, the load known"
                       : "and the load uncertain (7 outcomes)",
        speeds.events, speeds.hourly, speeds.events / speeds.hourly);
  }
  const std::string dir = "/tmp/adequacy-bench-weather";
  if (WriteWeatherSystem(dir, 40, 8760, true)) {
    const Timed direct = TimeProgram({"assess", dir + "/system.toml"});
    const Timed simulated = TimeProgram(
        {"assess", dir + "/system.toml", "--years", "4000", "--json", "-"});
    std::printf(
        "  40 weather years of 8760 hours, the program: direct %.2f s wall, "
        "peak %.1f MB%s; with 4000 simulated years %.2f s, peak %.1f MB%s\n",
        direct.seconds, direct.peak_megabytes, direct.ok ? "" : " (failed)",
        simulated.seconds, simulated.peak_megabytes,
        simulated.ok ? "" : " (failed)");
  }
  if (WriteWeatherSystem(dir, 1, 1'000'008, false)) {
    const Timed one = TimeProgram(
        {"assess", dir + "/system.toml", "--years", "100", "--json", "-"});
    std::printf(
        "  one series of 1,000,008 hours, 100 simulated years: %.2f s wall, "
        "peak %.1f MB%s\n",
        one.seconds, one.peak_megabytes, one.ok ? "" : " (failed)");
  }
  std::filesystem::remove_all(dir);
}

// Two RTS-79 areas and a 300 MW tie, exact: the direct solution, and the
// north's load-carrying capability.
void PrintAreas() {
  System system;
  InputError error;
  if (!ReadSystemFile(kExamples + "/two_areas/system.toml", &system, &error)) {
    std::printf("  two_areas/system.toml: cannot be read\n");
    return;
  }
  auto start = std::chrono::steady_clock::now();
  const AreasAssessment exact = AssessAreas(system);
  const double direct = Seconds(start);
  start = std::chrono::steady_clock::now();
  AreaSearch north(system, 0, RiskIndex::kLole);
  const Answer added = north.LargestAdded(0.1, 0.01);
  const double search = Seconds(start);
  std::printf(
      "  two RTS-79 areas, a 300 MW tie, exact: %.3f s (LOLE of each %.6g, "
      "of the system %.6g); the north's load-carrying capability at LOLE "
      "0.1, %.2f MW, in %.3f s (%d solutions)\n",
      direct, exact.areas[0].lole, exact.system.lole, added.at, search,
      north.evaluations());
}

// Three RTS-79 areas in a ring of 200 MW ties: the program to 2 % of the
// system's LOLH and EUE, the years that needs with the islands as the
// control and without, and the event engine against the hourly loop that
// transfers in every hour.
void PrintRing() {
  System system;
  InputError error;
  const std::string file = kExamples + "/ring/system.toml";
  AreasModel model;
  std::string fault;
  if (!ReadSystemFile(file, &system, &error) ||
      !AreasModelOf(system, &model, &fault)) {
    std::printf("  ring/system.toml: cannot be read\n");
    return;
  }
  const AreasControls controls = ControlsOf(AssessAreas(system));
  const Timed run =
      TimeProgram({"assess", file, "--precision", "0.02", "--json", "-"});
  AreasSimulation events(model, kDefaultSeed, AvailableProcessors(),
                         YearMethod::kEvents, controls);
  auto start = std::chrono::steady_clock::now();
  events.RunTo(40000);
  const double event_rate = 40000 / Seconds(start);
  AreasSimulation hourly(model, kDefaultSeed, AvailableProcessors(),
                         YearMethod::kHourly, controls);
  start = std::chrono::steady_clock::now();
  hourly.RunTo(400);
  const double hourly_rate = 400 / Seconds(start);
  // Years for 2 % from the relative standard errors over these years.
  const PairedSample& whole = events.sample().system();
  // Plain (0), the islands as control (1), and the copper plate too (2).
  const auto years_for = [&](SampleFigure figure, int controls_used) {
    const SampleInterval i =
        controls_used == 0
            ? whole.sample().Interval(figure)
            : whole.Reported(
                  figure, controls.islands,
                  controls_used == 2 ? &controls.copper_plate : nullptr);
    const double relative = i.standard_error / i.estimate / 0.02;
    return static_cast<double>(whole.years()) * relative * relative;
  };
  std::printf(
      "  three RTS-79 areas in a ring, 200 MW ties: EUE %.4g MWh/yr; to 2 %% "
      "of LOLH and EUE %.2f s wall, peak %.1f MB%s; years for 2 %% of EUE "
      "%.0f plain, %.0f with the islands as control, %.0f with the copper "
      "plate too (LOLH %.0f, %.0f, %.0f); event engine %.0f years/s, hourly "
      "loop with flows %.0f years/s, ratio %.0f\n",
      whole
          .Reported(SampleFigure::kUnservedMwh, controls.islands,
                    &controls.copper_plate)
          .estimate,
      run.seconds, run.peak_megabytes, run.ok ? "" : " (failed)",
      years_for(SampleFigure::kUnservedMwh, 0),
      years_for(SampleFigure::kUnservedMwh, 1),
      years_for(SampleFigure::kUnservedMwh, 2),
      years_for(SampleFigure::kDeficitHours, 0),
      years_for(SampleFigure::kDeficitHours, 1),
      years_for(SampleFigure::kDeficitHours, 2), event_rate, hourly_rate,
      event_rate / hourly_rate);
}

}  // namespace

void PrintSystemSimulationBench() {
  std::printf("Monte Carlo of system files, %d threads:\n",
              AvailableProcessors());
  PrintEngines("IEEE RTS-79", kExamples + "/rts79/system.toml", 50000, 500);
  PrintEngines("built-in system file", kExamples + "/builtin/system.toml",
               20000, 200);
  const Timed rts = TimeProgram({"assess", kExamples + "/rts79/system.toml",
                                 "--precision", "0.01", "--json", "-"});
  std::printf(
      "  RTS-79 to 1 %% relative standard error of LOLH and EUE: "
      "%.2f s wall, peak %.1f MB%s\n",
      rts.seconds, rts.peak_megabytes, rts.ok ? "" : " (failed)");
  const Timed builtin = TimeProgram(
      {"assess", kExamples + "/builtin/system.toml", "--years", "1000000"});
  std::printf(
      "  built-in system file, 1,000,000 years: %.2f s wall, peak "
      "%.1f MB%s\n",
      builtin.seconds, builtin.peak_megabytes, builtin.ok ? "" : " (failed)");
  PrintStorage();
  PrintModel();
  PrintAreas();
  PrintRing();
}

}  // namespace adequacy
