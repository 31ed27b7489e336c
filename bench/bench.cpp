// Benchmarks: the direct-solution pass with the plain and the fast
// unserved-energy sum, and the Monte Carlo engines in simulated years per
// second.  Prints, from one run, the years per second of the plain loop, of
// the engine scanning every hour, of the engine walking the period lists and
// of the engine replaying the fleet's first lap, their ratios, the one-off
// cost of the lists and the peak resident memory; then the program itself,
// timed to each checkpoint (the median of three runs) against the plain
// loop's rate.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/program_run.h"
#include "bench/system_bench.h"
#include "direct/assessment.h"
#include "direct/direct_pass.h"
#include "montecarlo/engine/fast_engine.h"
#include "montecarlo/engine/fleet_lap.h"
#include "montecarlo/plain_loop.h"

namespace adequacy {
namespace {

const AvailabilityTable& Table() {
  static const AvailabilityTable table = [] {
    AvailabilityTable t;
    t.Build();
    return t;
  }();
  return table;
}

const HourlyLoads& DefaultLoads() {
  static HourlyLoads loads;
  static const bool filled =
      (RunDirectPass(LoadParameters(), Table(), &loads), true);
  (void)filled;
  return loads;
}

void BM_DirectPass(benchmark::State& state) {
  const auto method = static_cast<ShortfallSum>(state.range(0));
  HourlyLoads loads;
  for (auto _ : state) {
    DirectResult r = RunDirectPass(LoadParameters(), Table(), &loads, method);
    benchmark::DoNotOptimize(r);
  }
  state.SetLabel(method == ShortfallSum::kPlain ? "plain sum" : "fast sum");
}
BENCHMARK(BM_DirectPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A large fleet of one's own: 1000 units of 20 to 80 MW, 50,000 MW in
// all, outage rates from 2 to 11 %, against 8760 hours of a daily shape
// peaking at 42,000 MW.  The availability table is built and the year
// assessed in every iteration, as `adequacy assess` does.
std::vector<UnitKind> LargeFleet() {
  std::vector<UnitKind> units;
  // Pairs of 20 + 5k and 80 - 5k MW, 100 MW a pair.
  for (int pair = 0; pair < 500; ++pair) {
    const int32_t small = 20 + 5 * (pair % 7);
    for (int32_t capacity : {small, 100 - small}) {
      units.push_back({capacity, 0.02 + 0.01 * (pair % 10), 1});
    }
  }
  return units;
}

std::vector<double> LargeLoad() {
  std::vector<double> load(8760);
  for (size_t hour = 0; hour < load.size(); ++hour) {
    const double day = static_cast<double>(hour / 24) / 365.0;
    const double shape = 0.6 + 0.4 * ((hour % 24) >= 8 && (hour % 24) < 20);
    load[hour] = 42000.0 * shape * (0.85 + 0.15 * day) + 0.25;
  }
  return load;
}

void BM_LargeFleetAssessment(benchmark::State& state) {
  const std::vector<UnitKind> units = LargeFleet();
  const std::vector<double> load = LargeLoad();
  int64_t installed = 0;
  for (auto _ : state) {
    const CapacityTable table(units);
    installed = table.installed_mw();
    Assessment result = Assess(table, load, load, false);
    benchmark::DoNotOptimize(result);
  }
  state.SetLabel(std::to_string(units.size()) + " units, " +
                 std::to_string(installed) + " MW, 8760 hours");
}
BENCHMARK(BM_LargeFleetAssessment)->Unit(benchmark::kMillisecond);

void BM_PlainYear(benchmark::State& state) {
  const ChainParameters params = SetUpChainParameters();
  ChainState chain = InitialChainState();
  for (auto _ : state) SimulatePlainYear(params, DefaultLoads(), &chain);
  state.counters["years/s"] =
      benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainYear)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs of 1000 years from the start of the phase, the first checkpoint's
// worth, by the engine scanning every hour (threads as the argument).
void BM_ScanningEngine(benchmark::State& state) {
  const ChainParameters params = SetUpChainParameters();
  const FastEngine::Options options{.threads = static_cast<int>(state.range(0)),
                                    .period_lists = false};
  for (auto _ : state) {
    FastEngine engine(params, DefaultLoads(), options);
    ChainState chain = InitialChainState();
    engine.SimulateYears(&chain, 1000);
  }
  state.counters["years/s"] = benchmark::Counter(state.iterations() * 1000.0,
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScanningEngine)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

// Wall seconds of `run`, best of `tries`.
template <typename F>
double BestSeconds(F run, int tries = 3) {
  double best = 1e30;
  for (int i = 0; i < tries; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, Seconds(start));
  }
  return best;
}

// Seconds the plain loop takes for a year: the best of five runs of 20
// years, as the machine is shared.
double PlainLoopYear() {
  const ChainParameters params = SetUpChainParameters();
  ChainState chain = InitialChainState();
  constexpr int kYears = 20;
  return BestSeconds(
             [&] {
               for (int i = 0; i < kYears; ++i) {
                 SimulatePlainYear(params, DefaultLoads(), &chain);
               }
             },
             5) /
         kYears;
}

// Runs of the program to the checkpoint of ADEQUACY_BENCH_YEARS
// (100,000,000 unless set): each checkpoint's time is the median of three
// runs to it, as the machine is shared; the runs to checkpoints beyond
// 10,000,000 years are made once.  Run before anything else here takes
// memory: a child counts the memory this process holds when it starts as
// its own.
ProgramRun RunProgram() {
  constexpr int kRuns = 3;
  constexpr int64_t kRepeatedUpTo = 10000000;
  const char* env = std::getenv("ADEQUACY_BENCH_YEARS");
  const int64_t last = env ? std::atoll(env) : 100000000;
  std::vector<ProgramRun> runs;
  for (int i = 0; i < kRuns; ++i) {
    runs.push_back(TimeProgram(ADEQUACY_BINARY,
                               i == 0 ? last : std::min(last, kRepeatedUpTo)));
  }
  ProgramRun run = runs[0];
  for (size_t c = 0; c < run.checkpoints.size(); ++c) {
    std::vector<double> seconds;
    for (const ProgramRun& r : runs) {
      if (r.ok && c < r.checkpoints.size()) {
        seconds.push_back(r.checkpoints[c].wall_seconds);
      }
    }
    std::sort(seconds.begin(), seconds.end());
    if (!seconds.empty()) {
      run.checkpoints[c].wall_seconds = seconds[seconds.size() / 2];
    }
  }
  for (const ProgramRun& r : runs) {
    run.peak_megabytes = std::max(run.peak_megabytes, r.peak_megabytes);
  }
  return run;
}

// The program's wall clock at each checkpoint against the plain loop's.
void PrintProgramRun(double literal_year, const ProgramRun& run) {
  // The plain loop again, and the faster of the two.
  literal_year = std::min(literal_year, PlainLoopYear());
  if (!run.ok) {
    std::printf("Whole program: the run failed\n");
    return;
  }
  std::printf(
      "Whole program, default loads, wall clock from its start to each "
      "checkpoint record, median of three runs to 10,000,000 years (plain "
      "loop %.0f years/s):\n",
      1 / literal_year);
  std::printf("  %13s %10s %14s\n", "years", "seconds", "x plain loop");
  for (const CheckpointTime& c : run.checkpoints) {
    std::printf("  %13lld %10.2f %14.0f\n", static_cast<long long>(c.years),
                c.wall_seconds,
                static_cast<double>(c.years) * literal_year / c.wall_seconds);
  }
  std::printf("  peak resident memory of the program: %.1f MB\n",
              run.peak_megabytes);
}

void PrintSummary(const ProgramRun& run) {
  const ChainParameters params = SetUpChainParameters();
  const double literal_year = PlainLoopYear();
  FastEngine::Options scan_options;
  scan_options.period_lists = false;
  FastEngine scanning(params, DefaultLoads(), scan_options);
  ChainState scanned = InitialChainState();
  const double scan_year =
      BestSeconds([&] { scanning.SimulateYears(&scanned, 300); }) / 300;

  // The lists are built as the simulation first reaches each stretch of
  // the period, and their repair gaps are found on first use and kept,
  // which takes about five periods; after that every year reads them.  This
  // engine walks every year, as it does where the lap cannot be kept.
  FastEngine::Options walk_options;
  walk_options.replay = false;
  FastEngine walking(params, DefaultLoads(), walk_options);
  ChainState walked = InitialChainState();
  constexpr int kWarmYears = 25000;
  constexpr int kSteadyYears = 50000;
  auto start = std::chrono::steady_clock::now();
  walking.SimulateYears(&walked, kWarmYears);
  const double warm = Seconds(start);
  start = std::chrono::steady_clock::now();
  walking.SimulateYears(&walked, kSteadyYears);
  const double steady_year = Seconds(start) / kSteadyYears;
  const double plain_warm = kWarmYears * steady_year;
  const double list_megabytes = walking.list_bytes() / 1048576.0;
  // The engine as the program runs it: the first lap walked and kept,
  // then years replayed from it.
  FastEngine engine(params, DefaultLoads());
  ChainState chain = InitialChainState();
  constexpr int kReplayYears = 2000000;
  start = std::chrono::steady_clock::now();
  engine.SimulateYears(&chain, FirstYearOfLap(1) + 1);
  const double first_lap = Seconds(start);
  start = std::chrono::steady_clock::now();
  engine.SimulateYears(&chain, kReplayYears);
  const double replay_year = Seconds(start) / kReplayYears;

  HourlyLoads loads;
  const double plain_pass = BestSeconds([&] {
    RunDirectPass(LoadParameters(), Table(), &loads, ShortfallSum::kPlain);
  });
  const double fast_pass = BestSeconds([&] {
    RunDirectPass(LoadParameters(), Table(), &loads, ShortfallSum::kFast);
  });
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);

  std::printf("\nMonte Carlo, default loads, %d threads:\n", engine.threads());
  std::printf("  plain loop        %12.0f years/s\n", 1 / literal_year);
  std::printf("  scanning engine   %12.0f years/s  %8.1f x plain loop\n",
              1 / scan_year, literal_year / scan_year);
  std::printf(
      "  list engine       %12.0f years/s  %8.1f x plain loop, %.1f x "
      "scanning\n",
      1 / steady_year, literal_year / steady_year, scan_year / steady_year);
  std::printf("  replaying engine  %12.0f years/s  %8.1f x plain loop%s\n",
              1 / replay_year, literal_year / replay_year,
              engine.replaying() ? "" : " (NOT REPLAYING)");
  std::printf(
      "  the first lap, %lld years walked and kept: %.2f s, %.0f x plain "
      "loop\n",
      static_cast<long long>(FirstYearOfLap(1) + 1), first_lap,
      static_cast<double>(FirstYearOfLap(1) + 1) * literal_year / first_lap);
  std::printf(
      "  one-off cost of the lists: %.2f s beyond the steady rate over the "
      "first %d years; %.1f MB\n",
      warm - plain_warm, kWarmYears, list_megabytes);
  std::printf("  peak resident memory of this run: %.1f MB\n",
              usage.ru_maxrss / 1024.0);
  std::printf("Direct pass: plain sum %.2f ms, fast sum %.3f ms, ratio %.1f\n",
              plain_pass * 1e3, fast_pass * 1e3, plain_pass / fast_pass);
  PrintProgramRun(literal_year, run);
}

}  // namespace
}  // namespace adequacy

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const adequacy::ProgramRun run = adequacy::RunProgram();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  adequacy::PrintSummary(run);
  adequacy::PrintSystemSimulationBench();
  return 0;
}
