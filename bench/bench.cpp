// Benchmarks: the direct-solution pass with the plain and the fast
// unserved-energy sum, and the Monte Carlo engines in simulated years per
// second.  Prints the fast-to-literal ratios at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "direct/direct_pass.h"
#include "montecarlo/fast_engine.h"
#include "montecarlo/literal_engine.h"

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

void BM_LiteralYear(benchmark::State& state) {
  const ChainParameters params = SetUpChainParameters();
  ChainState chain = InitialChainState();
  for (auto _ : state) SimulateYearLiteral(params, DefaultLoads(), &chain);
  state.counters["years/s"] =
      benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LiteralYear)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs of 1000 years, the first checkpoint's worth.
void BM_FastYears(benchmark::State& state) {
  const ChainParameters params = SetUpChainParameters();
  FastEngine engine(params, DefaultLoads(), static_cast<int>(state.range(0)));
  ChainState chain = InitialChainState();
  for (auto _ : state) engine.SimulateYears(&chain, 1000);
  state.counters["years/s"] = benchmark::Counter(state.iterations() * 1000.0,
                                                 benchmark::Counter::kIsRate);
  state.SetLabel(state.range(0) == 1 ? "1 thread" : "2 threads");
}
BENCHMARK(BM_FastYears)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Wall seconds of `run`, best of three.
template <typename F>
double BestSeconds(F run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took =
        std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void PrintRatios() {
  const ChainParameters params = SetUpChainParameters();
  ChainState literal = InitialChainState();
  const double literal_year =
      BestSeconds([&] {
        for (int i = 0; i < 20; ++i) {
          SimulateYearLiteral(params, DefaultLoads(), &literal);
        }
      }) /
      20;
  FastEngine engine(params, DefaultLoads());
  ChainState fast = InitialChainState();
  const double fast_year =
      BestSeconds([&] { engine.SimulateYears(&fast, 2000); }) / 2000;
  HourlyLoads loads;
  const double plain_pass = BestSeconds([&] {
    RunDirectPass(LoadParameters(), Table(), &loads, ShortfallSum::kPlain);
  });
  const double fast_pass = BestSeconds([&] {
    RunDirectPass(LoadParameters(), Table(), &loads, ShortfallSum::kFast);
  });
  std::printf(
      "\nMonte Carlo: literal %.0f years/s, fast %.0f years/s, "
      "ratio %.1f (target 40)\n",
      1 / literal_year, 1 / fast_year, literal_year / fast_year);
  std::printf(
      "Direct pass: plain sum %.2f ms, fast sum %.3f ms, ratio %.1f "
      "(target 10)\n",
      plain_pass * 1e3, fast_pass * 1e3, plain_pass / fast_pass);
}

}  // namespace
}  // namespace adequacy

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  adequacy::PrintRatios();
  return 0;
}
