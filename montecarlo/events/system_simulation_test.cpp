#include "montecarlo/events/system_simulation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numeric>
#include <string>

#include "direct/assessment.h"
#include "direct/study.h"
#include "model/capacity_table.h"
#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/unit_draws.h"
#include "system/load_change.h"

namespace adequacy {
namespace {

// Six units against a week whose evening hours strain them: risky enough
// that a few thousand years estimate every index well.
System SmallSystem() {
  System system;
  system.units = {{"big", 2, 100, 0.08, 0.0, 40.0},
                  {"small", 4, 30, 0.05, 0.0, 12.0}};
  for (int hour = 0; hour < 24 * 7; ++hour) {
    const int of_day = hour % 24;
    system.load.push_back(of_day >= 17 && of_day < 21 ? 240.0 + hour % 7
                                                      : 150.0);
  }
  return system;
}

bool SameBits(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

bool SameSample(const YearSample& a, const YearSample& b) {
  for (int f = 0; f < kSampleFigures; ++f) {
    const SampleInterval x = a.Interval(static_cast<SampleFigure>(f));
    const SampleInterval y = b.Interval(static_cast<SampleFigure>(f));
    if (!SameBits(x.estimate, y.estimate) ||
        !SameBits(x.standard_error, y.standard_error)) {
      return false;
    }
  }
  return a.years() == b.years() && a.events_by_hours() == b.events_by_hours() &&
         a.years_by_deficit_hours() == b.years_by_deficit_hours() &&
         SameBits(a.largest_event_mwh(), b.largest_event_mwh());
}

// LOLH, LOLE and EUE of `run` each within four standard errors of
// `exact`'s, which are above 0.
void ExpectExactWithin(const SystemSimulation& run, const Assessment& exact,
                       const std::string& what) {
  const struct {
    SampleFigure figure;
    double exact;
  } figures[] = {{SampleFigure::kDeficitHours, exact.lolh},
                 {SampleFigure::kPeakDeficits, exact.lole},
                 {SampleFigure::kUnservedMwh, exact.eue}};
  for (const auto& f : figures) {
    const SampleInterval e = run.sample().Interval(f.figure);
    EXPECT_GT(f.exact, 0.0);
    EXPECT_LT(std::fabs(e.estimate - f.exact), 4 * e.standard_error)
        << what << " " << static_cast<int>(f.figure);
  }
}

TEST(UnitRatesTest, RatesFromTheFileAndTheirLimits) {
  System system = SmallSystem();
  system.units[0].mean_time_to_failure_hours = 460.0;
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(system, &units, &error));
  ASSERT_EQ(units.size(), 6u);
  EXPECT_DOUBLE_EQ(units[0].fail, 1.0 / 460.0);
  EXPECT_DOUBLE_EQ(units[0].repair, 1.0 / 40.0);
  // From the outage rate: lambda = mu q / (1 - q), down a share q.
  EXPECT_DOUBLE_EQ(units[5].fail, (1.0 / 12.0) * 0.05 / 0.95);
  EXPECT_NEAR(units[5].down_share, 0.05, 1e-15);
  system.units[1].mean_repair_hours = 0.5;
  EXPECT_FALSE(UnitRatesOf(system, &units, &error));
  EXPECT_NE(error.find("'small'"), std::string::npos);
}

TEST(SojournTest, EndsAndTheGeometricLaw) {
  EXPECT_EQ(Sojourn(0.3, 0.0), kNeverChanges);  // Never fails.
  EXPECT_EQ(Sojourn(0.3, -INFINITY), 1);        // Always repaired.
  EXPECT_EQ(Sojourn(1.0 - 0x1.0p-53, std::log1p(-0.5)), 1);
  EXPECT_EQ(Sojourn(0x1.0p-54, std::log1p(-1e-300)), kNeverChanges);
  // Chi-square of 200,000 sojourns at p = 0.05 against the law, in 40
  // classes (k = 1..39 and the tail): the 0.999 point for 39 degrees of
  // freedom is 72.1.
  const double p = 0.05;
  constexpr int kClasses = 40;
  constexpr int kDraws = 200000;
  std::vector<double> counts(kClasses, 0.0);
  UnitDraws draws(7, 0, 0, DrawUse::kSojourns);
  for (int i = 0; i < kDraws; ++i) {
    const int64_t k = Sojourn(draws.Uniform(), std::log1p(-p));
    ASSERT_GE(k, 1);
    counts[static_cast<size_t>(std::min<int64_t>(k, kClasses) - 1)] += 1.0;
  }
  double chi2 = 0.0;
  for (int k = 1; k <= kClasses; ++k) {
    const double share = k < kClasses ? std::pow(1 - p, k - 1) * p
                                      : std::pow(1 - p, kClasses - 1);
    const double expected = share * kDraws;
    chi2 += (counts[k - 1] - expected) * (counts[k - 1] - expected) / expected;
  }
  EXPECT_LT(chi2, 72.1);
}

// The sojourn's integer ceiling is the floating-point one, also where the
// quotient is a whole number, a step either side of one, or near 2^53
// and 2^61, so that no earlier run's figures move.
TEST(SojournTest, TheCeilingOfTheQuotientExactly) {
  const auto reference = [](double u, double log_stay) -> int64_t {
    if (log_stay == 0.0) return kNeverChanges;
    const double hours = std::ceil(std::log(u) / log_stay);
    if (!(hours < static_cast<double>(kNeverChanges))) return kNeverChanges;
    return hours < 1.0 ? 1 : static_cast<int64_t>(hours);
  };
  UnitDraws draws(11, 0, 0, DrawUse::kSojourns);
  for (int i = 0; i < 100000; ++i) {
    const double u = draws.Uniform();
    const double p = std::pow(10.0, -12.0 * draws.Uniform());
    const double whole = std::floor(1.0 + 100.0 * draws.Uniform());
    for (const double log_stay :
         {std::log1p(-p), std::log(u) / whole,
          std::nextafter(std::log(u) / whole, 0.0),
          std::nextafter(std::log(u) / whole, -INFINITY),
          std::log(u) / (whole + 0x1p-40), std::log(u) * 0x1p-53,
          std::log(u) * 0x1p-61, std::nextafter(std::log(u) * 0x1p-61, 0.0),
          -static_cast<double>(INFINITY)}) {
      ASSERT_EQ(Sojourn(u, log_stay), reference(u, log_stay))
          << u << " " << log_stay;
    }
  }
}

// The same seed gives the same figures, bit for bit, on 1, 2 and 7
// threads; another seed other figures.
TEST(SystemSimulationTest, TheSeedAloneDecides) {
  const System system = SmallSystem();
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(system, &units, &error));
  const YearLoad load(system.load);
  SystemSimulation one(units, load, 42, 1);
  one.RunTo(3000);
  for (int threads : {2, 7}) {
    SystemSimulation other(units, load, 42, threads);
    other.RunTo(3000);
    EXPECT_TRUE(SameSample(one.sample(), other.sample())) << threads;
  }
  SystemSimulation reseeded(units, load, 43, 2);
  reseeded.RunTo(3000);
  EXPECT_FALSE(SameSample(one.sample(), reseeded.sample()));
}

// The event engine against the exact solution and against the hourly
// loop: every estimate within four standard errors, the counts adding up.
TEST(SystemSimulationTest, AgreesWithTheExactSolutionAndTheHourlyLoop) {
  const System system = SmallSystem();
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(system, &units, &error));
  const YearLoad load(system.load);
  const CapacityTable table(system.unit_kinds());
  const Assessment exact = Assess(table, system.load, system.load, false);
  SystemSimulation events(units, load, 5, 2);
  SystemSimulation hourly(units, load, 5, 2, YearMethod::kHourly);
  events.RunTo(6000);
  hourly.RunTo(6000);
  ExpectExactWithin(events, exact, "events");
  ExpectExactWithin(hourly, exact, "hourly");
  for (SampleFigure f : {SampleFigure::kEvents, SampleFigure::kHadDeficit}) {
    const SampleInterval e = events.sample().Interval(f);
    const SampleInterval h = hourly.sample().Interval(f);
    EXPECT_LT(std::fabs(e.estimate - h.estimate),
              4 * std::hypot(e.standard_error, h.standard_error));
  }
  const YearSample& s = events.sample();
  const auto total = [](const std::vector<int64_t>& v) {
    return std::accumulate(v.begin(), v.end(), int64_t{0});
  };
  EXPECT_EQ(total(s.events_by_hours()), s.events());
  EXPECT_EQ(total(s.years_by_deficit_hours()), s.years());
  EXPECT_NEAR(s.Interval(SampleFigure::kEvents).estimate * s.years(),
              static_cast<double>(s.events()), 1e-6);
  EXPECT_NEAR(s.event_mwh() / s.years(),
              s.Interval(SampleFigure::kUnservedMwh).estimate, 1e-6);
  EXPECT_NEAR(s.event_hours() / s.years(),
              s.Interval(SampleFigure::kDeficitHours).estimate, 1e-9);
}

// Units with derates: each state's time share shows in the hours whose
// load only it (or worse) leaves unserved, and the indices of a fleet of
// them hold the exact values, by sojourns and hour by hour.
TEST(SystemSimulationTest, DeratedStatesHoldTheirSharesAndTheExactValues) {
  System one;
  // 100 MW: full out 0.05; 50 MW with share 0.2; 80 MW after 200 hours
  // up on average, for 5.
  one.units = {{"derated",
                1,
                100,
                0.05,
                0.0,
                20.0,
                {{50, 0.2, 0.0, 10.0}, {80, 0.0, 200.0, 5.0}}}};
  for (int hour = 0; hour < 24 * 7; ++hour) {
    one.load.push_back(hour % 3 == 0 ? 90.0 : hour % 3 == 1 ? 60.0 : 30.0);
  }
  System fleet = SmallSystem();
  fleet.units[0].derates = {{60, 0.1, 0.0, 8.0}};
  fleet.units[1].derates = {{15, 0.0, 100.0, 6.0}};
  for (const System* system : {&one, &fleet}) {
    std::vector<UnitRates> units;
    std::string error;
    ASSERT_TRUE(UnitRatesOf(*system, &units, &error)) << error;
    const YearLoad load(system->load);
    const CapacityTable table(system->unit_kinds());
    const Assessment exact = Assess(table, system->load, system->load, false);
    for (YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
      SystemSimulation run(units, load, 21, 2, method);
      run.RunTo(4000);
      ExpectExactWithin(run, exact,
                        system->units[0].name + " " +
                            std::to_string(static_cast<int>(method)));
    }
  }
  // The shares the direct solution used: up 1 - 0.05 - 0.2 - the share of
  // the 80 MW state, p_up (5 / 200) by the chain.
  double up = 0.0;
  const std::vector<OutageState> states = OutageStates(one.units[0], &up);
  ASSERT_EQ(states.size(), 3u);
  EXPECT_NEAR(up, 0.75 / (1 + 5.0 / 200.0), 1e-15);
  EXPECT_NEAR(states[2].share, up * 5.0 / 200.0, 1e-15);
  EXPECT_NEAR(up + states[0].share + states[1].share + states[2].share, 1.0,
              1e-15);
}

// The chain of a derated unit spends each state's share of the hours: one
// unit against a load just above its capacity is short in every hour by
// what the state withholds, so each year's hours tell its states apart.
// The years are independent, so each share's mean over them is tested
// against the file's within four standard errors, by both engines.
TEST(SystemSimulationTest, DerateStatesKeepTheirFileShares) {
  System one;
  one.units = {{"derated",
                1,
                100,
                0.05,
                0.0,
                20.0,
                {{50, 0.2, 0.0, 10.0}, {80, 0.0, 200.0, 5.0}}}};
  one.load.assign(24 * 28, 100.5);
  double up = 0.0;
  const std::vector<OutageState> states = OutageStates(one.units[0], &up);
  const double shares[] = {up, states[0].share, states[1].share,
                           states[2].share};
  const double available[] = {100, 0, 50, 80};
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(one, &units, &error)) << error;
  const YearLoad load(one.load);
  for (YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
    YearSimulator simulator(units, load, method);
    constexpr int kYears = 3000;
    double sum[4] = {};
    double squares[4] = {};
    YearOutcome year;
    for (int64_t y = 0; y < kYears; ++y) {
      simulator.Simulate(77, y, &year);
      ASSERT_EQ(year.short_mw.size(), one.load.size());
      double hours[4] = {};
      for (double mw : year.short_mw) {
        for (int s = 0; s < 4; ++s) {
          if (std::fabs(100.5 - mw - available[s]) < 1e-9) ++hours[s];
        }
      }
      for (int s = 0; s < 4; ++s) {
        const double share = hours[s] / static_cast<double>(one.load.size());
        sum[s] += share;
        squares[s] += share * share;
      }
    }
    for (int s = 0; s < 4; ++s) {
      const double mean = sum[s] / kYears;
      const double spread =
          std::sqrt((squares[s] - kYears * mean * mean) / (kYears - 1));
      EXPECT_NEAR(mean, shares[s], 4 * spread / std::sqrt(kYears))
          << "state " << s << ", method " << static_cast<int>(method);
    }
  }
}

// An uncertain load: each year draws one outcome, and the indices hold the
// weighted exact values, by both engines; the units draw as without it.
TEST(SystemSimulationTest, UncertainLoadsDrawAnOutcomeAYear) {
  System system = SmallSystem();
  system.uncertainty = NormalScenarios(0.05);
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(system, &units, &error));
  const ScenarioLoads outcomes = LoadsOfScenarios(system, LoadChange());
  const CapacityTable table(system.unit_kinds());
  const Assessment exact = AssessOutcomes(
      table, outcomes.loads, outcomes.net_loads, outcomes.probabilities, false);
  std::vector<YearLoad> loads;
  for (const auto& net : outcomes.net_loads) loads.emplace_back(net);
  LoadOutcomes each;
  for (size_t k = 0; k < loads.size(); ++k) {
    each.loads.push_back(&loads[k]);
    each.probabilities.push_back(outcomes.probabilities[k]);
  }
  const YearLoad plain(system.load);
  const Assessment known = Assess(table, system.load, system.load, false);
  EXPECT_NE(exact.lolh, known.lolh);
  for (YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
    SystemSimulation run(units, plain, 31, 2, method, {}, {}, each);
    run.RunTo(6000);
    ExpectExactWithin(run, exact, std::to_string(static_cast<int>(method)));
  }
}

// Derates, maintenance, an uncertain load and two weather years of
// different lengths at once: both engines hold the exact values, and the
// hours kept by hour sit in the series where their weather year does.
TEST(SystemSimulationTest, EveryFeatureAtOnceHoldsTheExactValues) {
  System system = SmallSystem();
  system.units[0].derates = {{60, 0.1, 0.0, 8.0}};
  // One big unit out for days 2 and 3, two small ones for day 5.
  system.units[0].maintenance = {{2, 2, 1}};
  system.units[1].maintenance = {{5, 1, 2}};
  system.uncertainty = NormalScenarios(0.04);
  // A second weather year of six days, its evenings heavier.
  const size_t first = system.load.size();
  for (size_t hour = 0; hour < 24 * 6; ++hour) {
    system.load.push_back(system.load[hour] + (hour % 24 >= 17 ? 15.0 : 0.0));
  }
  system.weather_years = {{"a", 0, static_cast<int64_t>(first)},
                          {"b", static_cast<int64_t>(first), 24 * 6}};
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(system, &units, &error)) << error;
  const ScenarioLoads outcomes = LoadsOfScenarios(system, LoadChange());
  const DirectStudy study(system);
  const Assessment exact = study.AssessOutcomes(outcomes, false);
  const SeriesLoads loads(system, outcomes);
  EXPECT_EQ(loads.longest().hours(), static_cast<int64_t>(first));
  for (YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
    SystemSimulation run(units, loads.longest(), 41, 2, method, {}, {},
                         loads.outcomes());
    run.KeepHours();
    run.RunTo(6000);
    ExpectExactWithin(run, exact, std::to_string(static_cast<int>(method)));
    // The second weather year's deficits are kept at its own hours.
    const std::vector<int64_t>& years = run.sample().short_years_by_hour();
    ASSERT_EQ(years.size(), system.load.size());
    EXPECT_GT(years[first + 17], 0);
  }
}

// The peak of every range of hours bounds its largest load from above,
// within a float's rounding: never below it, which would skip a deficit.
TEST(YearLoadTest, PeakOfEveryRangeBoundsItsLargestLoad) {
  std::vector<double> net;
  uint32_t state = 12345;
  for (int hour = 0; hour < 24 * 9; ++hour) {
    state = state * 1664525u + 1013904223u;
    net.push_back(static_cast<double>(state >> 12) / 7.0 - 3e5);
  }
  const YearLoad load(net);
  for (int64_t first = 0; first < load.hours(); ++first) {
    double peak = -INFINITY;
    EXPECT_EQ(load.PeakOf(first, first), peak);
    for (int64_t end = first + 1; end <= load.hours(); ++end) {
      peak = std::max(peak, net[static_cast<size_t>(end - 1)]);
      const double bound = load.PeakOf(first, end);
      ASSERT_GE(bound, peak) << first << " " << end;
      ASSERT_LE(bound - peak, 1.2e-7 * std::fabs(peak)) << first << " " << end;
    }
  }
}

// To a precision: both relative errors at most it, or the bound said.
TEST(SystemSimulationTest, PrecisionOrTheBound) {
  const System system = SmallSystem();
  std::vector<UnitRates> units;
  std::string error;
  ASSERT_TRUE(UnitRatesOf(system, &units, &error));
  const YearLoad load(system.load);
  SystemSimulation run(units, load, 9, 2);
  EXPECT_EQ(run.RunToPrecision(0.05, 1000000), SimulationStop::kPrecision);
  EXPECT_LE(run.sample().RelativeError(SampleFigure::kDeficitHours), 0.05);
  EXPECT_LE(run.sample().RelativeError(SampleFigure::kUnservedMwh), 0.05);
  SystemSimulation bounded(units, load, 9, 2);
  EXPECT_EQ(bounded.RunToPrecision(0.001, 5000), SimulationStop::kMaxYears);
  EXPECT_EQ(bounded.sample().years(), 5000);
}

}  // namespace
}  // namespace adequacy
