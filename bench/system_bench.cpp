#include "bench/system_bench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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
                      YearMethod method, int64_t years) {
  SystemSimulation simulation(units, load, kDefaultSeed, AvailableProcessors(),
                              method);
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
}

}  // namespace adequacy
