#include "bench/calibrate_systems.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "direct/areas.h"
#include "direct/assessment.h"
#include "direct/placement.h"
#include "direct/study.h"
#include "model/capacity_table.h"
#include "montecarlo/areas/areas_simulation.h"
#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/system_simulation.h"
#include "montecarlo/statistics/standard_error.h"
#include "system/load_change.h"
#include "system/system_file.h"

namespace adequacy {
namespace {

constexpr int kRuns = 60;
// Years a run: enough for a thousand deficit hours or more, so that the
// estimates' spread is near enough normal for a 95 % interval to hold
// 95 % of the time.  The built-in system, with a fifth of a deficit hour a
// year, needs more.
constexpr int64_t kRunYears = 2000;
constexpr int64_t kRareRunYears = 10000;

struct Tally {
  int intervals = 0;
  int held = 0;
  double z_sum = 0.0;
  double z_squares = 0.0;

  void Add(double estimate, double se, double exact) {
    const double z = (estimate - exact) / se;
    ++intervals;
    if (std::fabs(z) <= kNormal95) ++held;
    z_sum += z;
    z_squares += z * z;
  }
  void Merge(const Tally& other) {
    intervals += other.intervals;
    held += other.held;
    z_sum += other.z_sum;
    z_squares += other.z_squares;
  }
  double coverage() const { return static_cast<double>(held) / intervals; }
  double z_mean() const { return z_sum / intervals; }
  double z_spread() const {
    const double mean = z_mean();
    return std::sqrt((z_squares - intervals * mean * mean) / (intervals - 1));
  }
};

// A day of `hours` hours at `base`, with the evening at `peak`.
std::vector<double> Days(int days, double base, double peak) {
  std::vector<double> load;
  for (int hour = 0; hour < 24 * days; ++hour) {
    const int of_day = hour % 24;
    const double evening = of_day >= 17 && of_day < 21 ? 1.0 : 0.0;
    load.push_back(base + (peak - base) * evening + (hour / 24 % 7) * 0.5);
  }
  return load;
}

std::vector<System> MadeSystems() {
  std::vector<System> systems(4);
  systems[0].name = "3 units, light risk";
  systems[0].units = {{"a", 3, 100, 0.05, 0.0, 20.0}};
  systems[0].load = Days(28, 120.0, 195.0);
  systems[1].name = "5 units, heavy risk";
  systems[1].units = {{"b", 5, 50, 0.15, 0.0, 50.0}};
  systems[1].load = Days(28, 150.0, 205.0);
  systems[2].name = "200 units, a year";
  systems[2].units = {{"c", 150, 50, 0.06, 0.0, 30.0},
                      {"d", 50, 50, 0.03, 0.0, 10.0}};
  systems[2].load = Days(365, 7000.0, 9150.0);
  systems[3].name = "long repairs";
  systems[3].units = {{"e", 8, 100, 0.04, 0.0, 600.0},
                      {"f", 10, 20, 0.1, 0.0, 5.0}};
  systems[3].load = Days(91, 600.0, 890.0);
  // Everything at once: derates, maintenance fixed and placed, an
  // uncertain load, and three weather years of their own lengths.
  System& all = systems.emplace_back();
  all.name = "all four";
  all.units = {{"g", 4, 100, 0.05, 0.0, 30.0, {{50, 0.08, 0.0, 12.0}}},
               {"h", 6, 40, 0.06, 0.0, 15.0, {{25, 0.0, 300.0, 10.0}}}};
  all.units[0].maintenance = {{10, 14, 1}, {0, 21, 1}};
  all.units[1].maintenance = {{0, 14, 2}, {40, 7, 1}};
  all.uncertainty = NormalScenarios(0.03);
  for (const auto& [days, peak] :
       {std::pair{70, 520.0}, {63, 545.0}, {77, 505.0}}) {
    const std::vector<double> year = Days(days, 330.0, peak);
    all.weather_years.push_back({std::to_string(all.weather_years.size() + 1),
                                 static_cast<int64_t>(all.load.size()),
                                 static_cast<int64_t>(year.size())});
    all.load.insert(all.load.end(), year.begin(), year.end());
  }
  return systems;
}

bool ReadExample(const std::string& name, System* system) {
  InputError error;
  return ReadSystemFile(
      std::string(ADEQUACY_SOURCE_DIR) + "/examples/" + name + "/system.toml",
      system, &error);
}

Tally CalibrateOne(System system, int64_t years) {
  std::vector<UnitRates> units;
  std::string fault;
  Tally tally;
  const ScenarioLoads outcomes = LoadsOfScenarios(system, LoadChange());
  int64_t line = 0;
  if (!PlaceMaintenance(outcomes, &system, &line, &fault) ||
      !UnitRatesOf(system, &units, &fault)) {
    return tally;
  }
  const Assessment exact = DirectStudy(system).AssessOutcomes(outcomes, false);
  const SeriesLoads loads(system, outcomes);
  for (int run = 0; run < kRuns; ++run) {
    SystemSimulation simulation(units, loads.longest(), 1000 + run,
                                AvailableProcessors(), YearMethod::kEvents, {},
                                {}, loads.outcomes());
    simulation.RunTo(years);
    const YearSample& s = simulation.sample();
    const SampleInterval lolh = s.Interval(SampleFigure::kDeficitHours);
    const SampleInterval lole = s.Interval(SampleFigure::kPeakDeficits);
    const SampleInterval eue = s.Interval(SampleFigure::kUnservedMwh);
    tally.Add(lolh.estimate, lolh.standard_error, exact.lolh);
    tally.Add(lole.estimate, lole.standard_error, exact.lole);
    tally.Add(eue.estimate, eue.standard_error, exact.eue);
  }
  std::printf(
      "  %-22s %6lld years, LOLH %-8.4g %3.0f %% held, z mean "
      "%+.2f, spread %.2f\n",
      system.name.c_str(), static_cast<long long>(years), exact.lolh,
      100.0 * tally.coverage(), tally.z_mean(), tally.z_spread());
  return tally;
}

// The two-area example: each area's and the system's LOLH, LOLE and EUE,
// as reported (controlled by the islands), against the exact solution.
Tally CalibrateTwoAreas(int64_t years) {
  Tally tally;
  System system;
  InputError error;
  AreasModel model;
  std::string fault;
  if (!ReadSystemFile(
          std::string(ADEQUACY_SOURCE_DIR) + "/examples/two_areas/system.toml",
          &system, &error) ||
      !AreasModelOf(system, &model, &fault)) {
    std::printf("  two areas: cannot be read\n");
    return tally;
  }
  const AreasAssessment exact = AssessAreas(system);
  const AreasControls controls = ControlsOf(exact);
  const auto add = [&](const PairedSample& paired, const ExactIndices& control,
                       const AreaIndices& truth,
                       const ExactIndices* second = nullptr) {
    const double values[] = {truth.lolh, truth.lole, truth.eue};
    int k = 0;
    for (const SampleFigure figure :
         {SampleFigure::kDeficitHours, SampleFigure::kPeakDeficits,
          SampleFigure::kUnservedMwh}) {
      const SampleInterval i = paired.Reported(figure, control, second);
      tally.Add(i.estimate, i.standard_error, values[k++]);
    }
  };
  for (int run = 0; run < kRuns; ++run) {
    AreasSimulation simulation(model, 1000 + run, AvailableProcessors(),
                               YearMethod::kEvents, controls);
    simulation.RunTo(years);
    const AreasSample& sample = simulation.sample();
    for (size_t a = 0; a < 2; ++a) {
      add(sample.area(a), controls.alone[a], exact.areas[a]);
    }
    add(sample.system(), controls.islands, exact.system,
        &controls.copper_plate);
  }
  std::printf(
      "  %-22s %6lld years, LOLH %-8.4g %3.0f %% held, z mean "
      "%+.2f, spread %.2f (each area and the system)\n",
      "two RTS-79 areas", static_cast<long long>(years), exact.system.lolh,
      100.0 * tally.coverage(), tally.z_mean(), tally.z_spread());
  return tally;
}

}  // namespace

bool CalibrateSystems() {
  std::printf(
      "\nSystem files: %d runs each (one seed a run), the 95 %% "
      "intervals of LOLH, LOLE and EUE against the exact values:\n",
      kRuns);
  std::vector<System> systems;
  for (const char* example : {"rts79", "builtin"}) {
    System system;
    if (!ReadExample(example, &system)) {
      std::printf("  %s: cannot be read\n", example);
      return false;
    }
    systems.push_back(system);
  }
  for (System& made : MadeSystems()) systems.push_back(made);
  Tally all;
  for (const System& system : systems) {
    const bool rare = system.name == "Built-in system";
    all.Merge(CalibrateOne(system, rare ? kRareRunYears : kRunYears));
  }
  all.Merge(CalibrateTwoAreas(kRunYears));
  std::printf(
      "  all: %d intervals, %.1f %% held the exact value; z mean "
      "%+.3f, spread %.3f\n",
      all.intervals, 100.0 * all.coverage(), all.z_mean(), all.z_spread());
  return all.coverage() >= 0.90 && all.coverage() <= 0.99;
}

}  // namespace adequacy
