// Checks the Monte Carlo intervals against the exact solution.
//
// The chain's long-run share of down hours is each unit's forced outage
// rate, so for whole-megawatt loads the direct solution's LOLH and MWHEUE
// are what the simulated LOLH and MWHEUE estimate.  Within the fleet's
// first lap (22,287 years) disjoint runs of years are independent samples
// of its history.  So for each load set the first 22,000 years are split
// into 11 batches of 2,000; each batch's estimates and 95 % intervals are
// formed with the program's own statistics code, and the share of the
// intervals that hold the exact value is counted, with the spread of
// z = (estimate - exact) / standard error.
//
// Beyond the first lap no independent replication exists.  For the
// default loads the program then prints, at 1,000,000 to 1,000,000,000
// years, the standard error beside the one years assumed independent would
// give and beside the first lap's own.
//
// Runs for under a minute on two cores: `make calibrate`.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/calibrate_storage.h"
#include "bench/calibrate_systems.h"
#include "direct/direct_pass.h"
#include "montecarlo/engine/fast_engine.h"
#include "montecarlo/statistics/lap_groups.h"
#include "montecarlo/statistics/standard_error.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {
namespace {

constexpr int kBatches = 11;
constexpr int64_t kBatchYears = 2000;

// From light to heavy, all with ALOLP of at least 0.01: the added load
// swept, and three other shapes of the year.
const LoadParameters kLoadSets[] = {
    {2000, 8000, 7000, 1300}, {2000, 8000, 7000, 1424},
    {2000, 8000, 7000, 1500}, {2000, 8000, 7000, 1600},
    {2000, 8000, 7000, 1800}, {2000, 8000, 7000, 2000},
    {2000, 8000, 7000, 2200}, {2000, 8000, 7000, 2500},
    {2000, 8600, 7000, 900},  {2000, 7400, 8400, 1424},
    {2000, 8400, 7600, 1200}, {2000, 8000, 8000, 1600},
};

// The spread of z over batches.
struct ZSpread {
  std::vector<double> z;
  int held = 0;

  void Add(double estimate, const Interval& interval, double exact) {
    z.push_back((estimate - exact) / interval.standard_error);
    if (interval.low <= exact && exact <= interval.high) ++held;
  }
  double Mean() const {
    double sum = 0;
    for (double v : z) sum += v;
    return sum / static_cast<double>(z.size());
  }
  double Deviation() const {
    const double mean = Mean();
    double sum = 0;
    for (double v : z) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / static_cast<double>(z.size() - 1));
  }
  double Share() const {
    return static_cast<double>(held) / static_cast<double>(z.size());
  }
};

ChainAccumulators Difference(const ChainAccumulators& after,
                             const ChainAccumulators& before) {
  ChainAccumulators d;
  d.years = after.years - before.years;
  d.deficit_hours = after.deficit_hours - before.deficit_hours;
  d.unserved_mwh = after.unserved_mwh - before.unserved_mwh;
  d.event_free_years = after.event_free_years - before.event_free_years;
  d.events = after.events - before.events;
  return d;
}

void Calibrate(const AvailabilityTable& table) {
  std::printf(
      "Batches of %lld years within the first lap, %d per load set; the\n"
      "share of 95%% intervals that hold the exact value, and z = (estimate "
      "-\nexact) / standard error.\n\n",
      static_cast<long long>(kBatchYears), kBatches);
  std::printf(
      "lag-1: the mean correlation of a year's deficit hours with the next "
      "year's.\n\n"
      "  D1   D2   D3   D4  ALOLP  lag-1 |  LOLH exact  held  z mean  z sd "
      "| MWHEUE exact  held  z mean  z sd\n");
  ZSpread all_lolh, all_mwheue;
  for (const LoadParameters& set : kLoadSets) {
    HourlyLoads loads;
    const DirectResult exact = RunDirectPass(set, table, &loads);
    FastEngine::Options options;
    options.replay = false;
    FastEngine engine(SetUpChainParameters(), loads, options);
    ChainState state = InitialChainState();
    ZSpread lolh, mwheue;
    double lag_one = 0.0;
    for (int batch = 0; batch < kBatches; ++batch) {
      const ChainAccumulators before = state.totals;
      YearStatistics stats;
      engine.SimulateYears(&state, kBatchYears, &stats);
      lag_one += LagOneCorrelation(stats, YearFigure::kDeficitHours) / kBatches;
      const Estimates estimates = EstimatesOf(Difference(state.totals, before));
      const EstimateIntervals intervals = IntervalsOf(estimates, stats);
      lolh.Add(estimates.lolh, intervals.lolh, exact.lolh);
      mwheue.Add(estimates.mwheue, intervals.mwheue, exact.mwheue);
      all_lolh.Add(estimates.lolh, intervals.lolh, exact.lolh);
      all_mwheue.Add(estimates.mwheue, intervals.mwheue, exact.mwheue);
    }
    const Estimates overall = EstimatesOf(state.totals);
    std::printf(
        "%4.0f %4.0f %4.0f %4.0f %6.4f %6.3f | %10.5f %4d  %6.2f %5.2f | "
        "%12.4f %4d  %6.2f %5.2f\n",
        set.d1, set.d2, set.d3, set.d4, overall.alolp, lag_one, exact.lolh,
        lolh.held, lolh.Mean(), lolh.Deviation(), exact.mwheue, mwheue.held,
        mwheue.Mean(), mwheue.Deviation());
  }
  std::printf(
      "\nAll %zu batches: LOLH intervals hold the exact value in %.1f%% "
      "(z mean %.2f, sd %.2f); MWHEUE in %.1f%% (z mean %.2f, sd %.2f).\n",
      all_lolh.z.size(), 100 * all_lolh.Share(), all_lolh.Mean(),
      all_lolh.Deviation(), 100 * all_mwheue.Share(), all_mwheue.Mean(),
      all_mwheue.Deviation());
}

// The errors beyond the first lap, default loads.
void BeyondTheFirstLap(const AvailabilityTable& table) {
  HourlyLoads loads;
  const DirectResult exact = RunDirectPass(LoadParameters(), table, &loads);
  FastEngine engine(SetUpChainParameters(), loads);
  ChainState state = InitialChainState();
  YearStatistics stats;
  const int64_t kLapYears = FirstYearOfLap(1);
  engine.SimulateYears(&state, kLapYears, &stats);
  const EstimateIntervals first = IntervalsOf(EstimatesOf(state.totals), stats);
  std::printf(
      "\nDefault loads beyond the first lap (%lld years); the first "
      "lap's\nerror is that of its own %lld years.\n\n",
      static_cast<long long>(kLapYears), static_cast<long long>(kLapYears));
  std::printf(
      "     years  figure    estimate     exact  std error   naive  first "
      "lap\n");
  for (int64_t checkpoint : {int64_t{1000000}, int64_t{10000000},
                             int64_t{100000000}, int64_t{1000000000}}) {
    engine.SimulateYears(
        &state, checkpoint - static_cast<int64_t>(state.totals.years), &stats);
    const Estimates estimates = EstimatesOf(state.totals);
    const EstimateIntervals now = IntervalsOf(estimates, stats);
    const struct {
      const char* name;
      const Interval& now;
      const Interval& first;
      double exact;
    } rows[] = {{"LOLH", now.lolh, first.lolh, exact.lolh},
                {"LOLEV", now.lolev, first.lolev, NAN},
                {"ALOLP", now.alolp, first.alolp, NAN},
                {"MWHEUE", now.mwheue, first.mwheue, exact.mwheue}};
    for (const auto& row : rows) {
      char exact_text[16] = "        -";
      if (!std::isnan(row.exact)) {
        std::snprintf(exact_text, sizeof exact_text, "%9.6f", row.exact);
      }
      std::printf("%10lld  %-6s %11.6f %s %10.6f %8.6f %10.6f\n",
                  static_cast<long long>(checkpoint), row.name,
                  row.now.estimate, exact_text, row.now.standard_error,
                  row.now.naive_standard_error, row.first.standard_error);
    }
  }
}

}  // namespace
}  // namespace adequacy

int main() {
  adequacy::AvailabilityTable table;
  table.Build();
  adequacy::Calibrate(table);
  adequacy::BeyondTheFirstLap(table);
  const bool systems = adequacy::CalibrateSystems();
  const bool storage = adequacy::CalibrateStorage();
  return systems && storage ? 0 : 1;
}
