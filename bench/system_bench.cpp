#include "bench/system_bench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "direct/assessment.h"
#include "model/capacity_table.h"
#include "montecarlo/events/storage_dispatch.h"
#include "montecarlo/events/system_simulation.h"
#include "system/load_change.h"
#include "system/system_file.h"

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
  const double events =
      YearsPerSecond(units, load, YearMethod::kEvents, event_years);
  const double hourly =
      YearsPerSecond(units, load, YearMethod::kHourly, hourly_years);
  std::printf(
      "  %-22s event engine %9.0f years/s, hourly loop %7.0f years/s, "
      "ratio %.0f\n",
      name, events, hourly, events / hourly);
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
      !ReadAdditionsFile(kExamples + "/rts79/battery.toml",
                         system, &battery,
                         &error) ||
      !Combine(system, battery, &combined, &added) ||
      !UnitRatesOf(combined, &units, &fault) ||
      !DeviceRatesOf(combined, &devices, &fault)) {
    std::printf("  RTS-79 with its battery: cannot be read\n");
    return;
  }
  const std::vector<double> net = NetLoad(combined.load, combined.profiles);
  const YearLoad load(net);
  const double events =
      YearsPerSecond(units, load, YearMethod::kEvents, 50000, devices);
  const double hourly =
      YearsPerSecond(units, load, YearMethod::kHourly, 500, devices);
  std::printf(
      "  RTS-79 and a 200 MW / 800 MWh battery (round trip 0.85): event "
      "engine %.0f years/s, hourly loop %.0f years/s, ratio %.0f\n",
      events, hourly, events / hourly);
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
}

}  // namespace adequacy
