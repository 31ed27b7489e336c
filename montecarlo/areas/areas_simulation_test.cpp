#include "montecarlo/areas/areas_simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "direct/areas.h"
#include "montecarlo/areas/areas_event_hours.h"
#include "montecarlo/areas/transfer.h"

namespace adequacy {
namespace {

// An hour of two areas: margins and limits, and who is short after the
// tie carries what it can.
struct HourCase {
  double margin[2];
  double forward;
  double backward;
  double unserved[2];
  double flow;
  bool at_limit[2];
};

// Each row also checked with the areas swapped, which must swap the
// answer and turn the flow round.
TEST(TransferTest, EachHourAndItsMirror) {
  const HourCase cases[] = {
      {{10, 5}, 100, 100, {0, 0}, 0, {false, false}},       // Both serve.
      {{-30, 50}, 100, 100, {0, 0}, -30, {false, false}},   // Helped whole.
      {{-30, 50}, 100, 20, {10, 0}, -20, {false, true}},    // The limit.
      {{-30, 12}, 100, 100, {18, 0}, -12, {false, false}},  // The surplus.
      {{-30, 0}, 100, 100, {30, 0}, 0, {false, false}},     // Nothing spare.
      {{-30, -5}, 100, 100, {30, 5}, 0, {false, false}},    // Both short.
      {{-30, 50}, 100, 0, {30, 0}, 0, {false, false}},      // A one-way tie.
      {{40, -0.5}, 0.25, 9, {0, 0.25}, 0.25, {true, false}},
  };
  for (const HourCase& c : cases) {
    for (const bool mirror : {false, true}) {
      const size_t a = mirror ? 1 : 0;
      const double margin[2] = {c.margin[a], c.margin[1 - a]};
      const TieLimit tie{0, 1, mirror ? c.backward : c.forward,
                         mirror ? c.forward : c.backward};
      double unserved[2];
      double flow;
      TransferTwo(margin, tie, unserved, &flow);
      bool at_limit[2];
      AtLimit(tie, flow, at_limit);
      const std::string what = std::to_string(c.margin[0]) + "," +
                               std::to_string(c.margin[1]) +
                               (mirror ? " mirrored" : "");
      EXPECT_EQ(unserved[0], c.unserved[a]) << what;
      EXPECT_EQ(unserved[1], c.unserved[1 - a]) << what;
      EXPECT_EQ(flow, mirror ? -c.flow : c.flow) << what;
      EXPECT_EQ(at_limit[0], c.at_limit[a]) << what;
      EXPECT_EQ(at_limit[1], c.at_limit[1 - a]) << what;
    }
  }
}

// Two small areas, each short on its own some evenings, the north's
// evening before the south's, so that each can help the other; a tie of
// `limit` MW, out `outage` of the hours where given.
System TwoAreas(double limit, double outage = 0.0) {
  System system;
  system.areas = {{"north", {}}, {"south", {}}};
  system.units = {{"n big", 2, 100, 0.08, 0.0, 40.0},
                  {"n small", 3, 30, 0.05, 0.0, 12.0},
                  {"s big", 1, 150, 0.06, 0.0, 60.0},
                  {"s small", 4, 25, 0.1, 0.0, 10.0}};
  system.units[2].area = system.units[3].area = 1;
  for (int hour = 0; hour < 24 * 14; ++hour) {
    const int of_day = hour % 24;
    system.areas[0].load.push_back(
        of_day >= 16 && of_day < 20 ? 235.0 + hour % 5 : 140.0);
    system.areas[1].load.push_back(
        of_day >= 18 && of_day < 22 ? 200.0 + hour % 3 : 120.0);
    system.load.push_back(system.areas[0].load.back() +
                          system.areas[1].load.back());
  }
  Interface tie;
  tie.first = 0;
  tie.second = 1;
  tie.forward_mw = tie.backward_mw = limit;
  if (outage > 0.0) {
    tie.forced_outage_rate = outage;
    tie.mean_repair_hours = 8.0;
  }
  system.interfaces = {tie};
  return system;
}

// The two areas and an east, short later in the evening, in a ring.
System ThreeAreas(double limit) {
  System system = TwoAreas(limit);
  system.areas.push_back({"east", {}});
  system.units.push_back({"e big", 1, 120, 0.07, 0.0, 50.0});
  system.units.push_back({"e small", 3, 30, 0.08, 0.0, 10.0});
  system.units[4].area = system.units[5].area = 2;
  for (size_t hour = 0; hour < system.load.size(); ++hour) {
    const size_t of_day = hour % 24;
    system.areas[2].load.push_back(of_day >= 19 ? 190.0 : 110.0);
    system.load[hour] += system.areas[2].load.back();
  }
  Interface tie = system.interfaces[0];
  tie.first = 1;
  tie.second = 2;
  system.interfaces.push_back(tie);
  tie.first = 2;
  tie.second = 0;
  system.interfaces.push_back(tie);
  return system;
}

// The fleet of `system` as one area against the summed load: the copper
// plate, or a system of one area.
System OneArea(const System& system) {
  System one;
  one.units = system.units;
  for (UnitGroup& group : one.units) group.area = 0;
  one.load = system.load;
  return one;
}

struct Simulated {
  AreasModel model;
  std::vector<AreasYear> years;
};

// `years` years of `system` by `method`, one by one.
void SimulateYears(const System& system, int64_t years, YearMethod method,
                   Simulated* out) {
  std::string fault;
  ASSERT_TRUE(AreasModelOf(system, &out->model, &fault)) << fault;
  const std::vector<AreaLoads> loads = out->model.loads();
  AreasYearSimulator simulator(out->model.units, out->model.unit_areas,
                               out->model.ties, loads, method,
                               out->model.devices, out->model.device_areas);
  out->years.resize(static_cast<size_t>(years));
  for (int64_t year = 0; year < years; ++year) {
    simulator.Simulate(7, year, &out->years[static_cast<size_t>(year)]);
  }
}

void ExpectSameYear(const YearOutcome& a, const YearOutcome& b,
                    const std::string& what) {
  EXPECT_EQ(a.deficit_hours, b.deficit_hours) << what;
  EXPECT_EQ(a.peak_deficits, b.peak_deficits) << what;
  EXPECT_EQ(a.deficit_days, b.deficit_days) << what;
  EXPECT_EQ(a.event_hours, b.event_hours) << what;
  EXPECT_NEAR(a.unserved_mwh, b.unserved_mwh, 1e-9) << what;
}

// The limits of the rule, year by year on the same draws: a tie of 0
// leaves each area alone; a tie beyond any transfer is the copper plate,
// the one-area engine on the whole fleet; and one area is that engine.
TEST(AreasYearTest, TheLimitsOfATieYearByYear) {
  for (const size_t areas : {2, 3}) {
    const auto make = [&](double limit) {
      return areas == 2 ? TwoAreas(limit) : ThreeAreas(limit);
    };
    for (const YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
      const int64_t years = method == YearMethod::kEvents ? 300 : 30;
      Simulated islands;
      SimulateYears(make(0.0), years, method, &islands);
      Simulated plate;
      SimulateYears(make(1e9), years, method, &plate);
      const System whole = OneArea(make(0.0));
      System single = whole;
      single.areas = {{"all", whole.load}};
      Simulated alone;
      SimulateYears(single, years, method, &alone);
      std::vector<UnitRates> units;
      std::string fault;
      ASSERT_TRUE(UnitRatesOf(whole, &units, &fault));
      const YearLoad load(whole.load);
      YearSimulator reference(units, load, method);
      int64_t short_years = 0;
      for (int64_t year = 0; year < years; ++year) {
        const auto y = static_cast<size_t>(year);
        const std::string what =
            std::to_string(areas) + " areas, year " + std::to_string(year);
        for (size_t a = 0; a < areas; ++a) {
          ExpectSameYear(islands.years[y].areas[a], islands.years[y].alone[a],
                         what);
        }
        ExpectSameYear(islands.years[y].system, islands.years[y].islands, what);
        EXPECT_EQ(islands.years[y].at_limit,
                  std::vector<int32_t>(2 * (areas == 2 ? 1 : 3), 0));
        YearOutcome one;
        reference.Simulate(7, year, &one);
        ExpectSameYear(plate.years[y].system, one, what + " copper plate");
        ExpectSameYear(alone.years[y].areas[0], one, what + " one area");
        ExpectSameYear(alone.years[y].system, one, what + " one area");
        short_years += one.deficit_hours > 0 ? 1 : 0;
      }
      EXPECT_GT(short_years, years / 10);  // The years are not all empty.
    }
  }
}

// A battery for `area`, out 3 % of the hours.
StorageDevice Battery(size_t area, double energy_mwh) {
  StorageDevice device;
  device.name = "battery";
  device.charge_mw = device.discharge_mw = 40.0;
  device.energy_mwh = energy_mwh;
  device.charge_efficiency = device.discharge_efficiency = 0.92;
  device.forced_outage_rate = 0.03;
  device.mean_repair_hours = 20.0;
  device.area = area;
  return device;
}

// Storage serves its own area after the transfers, year by year on the
// same draws: one area with a device is the one-area engine with it; of
// areas, the others' years are as without it and its own never worse, by
// what the device gives; a device with no energy changes nothing.
TEST(AreasYearTest, StorageServesItsOwnAreaAfterTheTransfers) {
  for (const YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
    const int64_t years = method == YearMethod::kEvents ? 300 : 30;
    const std::string how = method == YearMethod::kEvents ? "events" : "hourly";
    // One area: the one-area engine's years with storage.
    System single = OneArea(TwoAreas(0.0));
    single.areas = {{"all", single.load}};
    single.storage = {Battery(0, 120.0)};
    Simulated alone;
    SimulateYears(single, years, method, &alone);
    std::vector<UnitRates> units;
    std::vector<DeviceRates> devices;
    std::string fault;
    ASSERT_TRUE(UnitRatesOf(single, &units, &fault));
    ASSERT_TRUE(DeviceRatesOf(single, &devices, &fault));
    const YearLoad load(single.load);
    YearSimulator reference(units, load, method, devices);
    for (int64_t year = 0; year < years; ++year) {
      YearOutcome plain;
      YearOutcome stored;
      reference.Simulate(7, year, &plain, &stored);
      const auto& y = alone.years[static_cast<size_t>(year)];
      ExpectSameYear(y.areas[0], stored, how + " one area");
      ExpectSameYear(y.alone[0], plain, how + " one area, alone");
    }
    // Areas: a battery in the north, and one with no energy.
    for (const size_t areas : {2, 3}) {
      const System without = areas == 2 ? TwoAreas(60.0) : ThreeAreas(60.0);
      Simulated none;
      SimulateYears(without, years, method, &none);
      for (const double energy : {0.0, 120.0}) {
        System with = without;
        with.storage = {Battery(0, energy)};
        Simulated stored;
        SimulateYears(with, years, method, &stored);
        double saved_mwh = 0.0;
        double given_mwh = 0.0;
        for (size_t y = 0; y < none.years.size(); ++y) {
          const std::string what = how + ", " + std::to_string(areas) +
                                   " areas, " + std::to_string(energy) +
                                   " MWh, year " + std::to_string(y);
          const AreasYear& a = none.years[y];
          const AreasYear& b = stored.years[y];
          for (size_t other = 1; other < areas; ++other) {
            ExpectSameYear(b.areas[other], a.areas[other], what);
          }
          ExpectSameYear(b.islands, a.islands, what);
          ExpectSameYear(b.copper_plate, a.copper_plate, what);
          if (energy == 0.0) {
            ExpectSameYear(b.areas[0], a.areas[0], what);
            ExpectSameYear(b.system, a.system, what);
          }
          EXPECT_LE(b.areas[0].deficit_hours, a.areas[0].deficit_hours) << what;
          EXPECT_LE(b.areas[0].unserved_mwh, a.areas[0].unserved_mwh + 1e-9)
              << what;
          saved_mwh += a.areas[0].unserved_mwh - b.areas[0].unserved_mwh;
          given_mwh += b.discharged_mwh.at(0);
        }
        // What the device gives is what its area is spared.
        EXPECT_NEAR(saved_mwh, given_mwh, 1e-6 * (1.0 + given_mwh));
        if (energy > 0.0) {
          EXPECT_GT(saved_mwh, 0.0) << how << " " << areas;
        }
      }
    }
  }
}

// Three areas: the system's estimates lie between its exact bounds, each
// area's below its value alone, and the ties bind in some deficit hours.
TEST(AreasSimulationTest, ThreeAreasLieWithinTheirBounds) {
  const System system = ThreeAreas(40.0);
  const AreasAssessment exact = AssessAreas(system);
  ASSERT_FALSE(exact.exact);
  AreasModel model;
  std::string fault;
  ASSERT_TRUE(AreasModelOf(system, &model, &fault));
  const AreasControls controls = ControlsOf(exact);
  AreasSimulation simulation(model, 3, 2, YearMethod::kEvents, controls);
  simulation.RunTo(20000);
  const AreasSample& sample = simulation.sample();
  const auto between = [&](SampleFigure figure, double low, double high) {
    const SampleInterval i = sample.system().Reported(figure, controls.islands,
                                                      &controls.copper_plate);
    EXPECT_GT(i.estimate + 4.0 * i.standard_error, low);
    EXPECT_LT(i.estimate - 4.0 * i.standard_error, high);
    EXPECT_LT(i.estimate, 0.9 * high);  // The ties help.
  };
  between(SampleFigure::kDeficitHours, exact.copper_plate.lolh,
          exact.islands.lolh);
  between(SampleFigure::kUnservedMwh, exact.copper_plate.eue,
          exact.islands.eue);
  for (size_t a = 0; a < 3; ++a) {
    const SampleInterval i =
        sample.area(a).Reported(SampleFigure::kUnservedMwh, controls.alone[a]);
    EXPECT_LT(i.estimate, exact.island_areas[a].eue) << a;
  }
  int64_t at_limit = 0;
  for (size_t t = 0; t < 3; ++t) {
    at_limit += sample.at_limit(t, 0) + sample.at_limit(t, 1);
  }
  EXPECT_GT(at_limit, 0);
}

// Each area's and the system's estimates, as reported with the islands as
// controls, hold the exact two-area solution: ties of every kind, by the
// event engine and by the hourly loop, and with both loads uncertain.
TEST(AreasSimulationTest, EstimatesHoldTheExactSolution) {
  struct Case {
    double limit;
    double outage;
    YearMethod method;
    int64_t years;
    bool turned = false;     // The tie named south to north, 10 MW that way.
    bool uncertain = false;  // Both areas' loads, one outcome for both.
  };
  const Case cases[] = {{0.0, 0.0, YearMethod::kEvents, 20000},
                        {40.0, 0.0, YearMethod::kEvents, 20000},
                        {40.0, 0.2, YearMethod::kEvents, 20000},
                        {40.0, 0.0, YearMethod::kEvents, 20000, true},
                        {1e6, 0.0, YearMethod::kEvents, 20000},
                        {40.0, 0.2, YearMethod::kHourly, 2000},
                        {40.0, 0.2, YearMethod::kEvents, 20000, false, true}};
  for (const Case& c : cases) {
    System system = TwoAreas(c.limit, c.outage);
    if (c.turned) {
      Interface& tie = system.interfaces[0];
      std::swap(tie.first, tie.second);
      tie.forward_mw = 10.0;
    }
    if (c.uncertain) {
      system.areas[0].uncertainty = {{0.92, 0.3}, {1.0, 0.4}, {1.08, 0.3}};
      system.areas[1].uncertainty = {{0.9, 0.3}, {1.0, 0.4}, {1.05, 0.3}};
    }
    const AreasAssessment exact = AssessAreas(system);
    ASSERT_TRUE(exact.exact);
    AreasModel model;
    std::string fault;
    ASSERT_TRUE(AreasModelOf(system, &model, &fault));
    const AreasControls controls = ControlsOf(exact);
    AreasSimulation simulation(model, 3, 2, c.method, controls);
    simulation.RunTo(c.years);
    const std::string what =
        "limit " + std::to_string(c.limit) + " out " +
        std::to_string(c.outage) +
        (c.method == YearMethod::kHourly ? " hourly" : "") +
        (c.uncertain ? " uncertain" : "");
    const auto hold = [&](const PairedSample& paired, const ExactIndices& x,
                          const AreaIndices& truth, const std::string& who,
                          const ExactIndices* second = nullptr) {
      const double values[] = {truth.lolh, truth.lole, truth.eue};
      int k = 0;
      for (const SampleFigure figure :
           {SampleFigure::kDeficitHours, SampleFigure::kPeakDeficits,
            SampleFigure::kUnservedMwh}) {
        const SampleInterval i = paired.Reported(figure, x, second);
        // A tie of 0 is its own control: no error at all.
        EXPECT_LE(std::fabs(i.estimate - values[k]),
                  4.0 * i.standard_error + 1e-9 * values[k])
            << what << " " << who << " figure " << k << ": " << i.estimate
            << " against " << values[k];
        ++k;
      }
    };
    const AreasSample& sample = simulation.sample();
    ASSERT_EQ(sample.years(), c.years);
    for (size_t a = 0; a < 2; ++a) {
      hold(sample.area(a), controls.alone[a], exact.areas[a],
           system.areas[a].name);
    }
    hold(sample.system(), controls.islands, exact.system, "system",
         &controls.copper_plate);
    // A tie is at its limit only in hours some area was short.
    const int64_t short_hours = sample.system().sample().deficit_hours();
    for (int way = 0; way < 2; ++way) {
      EXPECT_LE(sample.at_limit(0, way), short_hours) << what;
      if (c.limit == 0.0 || c.limit == 1e6) {
        EXPECT_EQ(sample.at_limit(0, way), 0) << what;
      }
    }
    if (c.limit == 40.0) {
      EXPECT_GT(sample.at_limit(0, 0) + sample.at_limit(0, 1), 0) << what;
    }
  }
}

// Three copies of one weather year are that year alone: the direct
// solution's every index, and the simulation year by year, each simulated
// year taking a copy in turn.
TEST(AreasSimulationTest, ThreeCopiesOfAWeatherYearAreThatYear) {
  for (const System& one : {TwoAreas(40.0, 0.1), ThreeAreas(40.0)}) {
    System three = one;
    const int64_t hours = static_cast<int64_t>(one.load.size());
    for (int copy = 1; copy < 3; ++copy) {
      for (Area& area : three.areas) {
        area.load.insert(area.load.end(), area.load.begin(),
                         area.load.begin() + hours);
      }
      three.load.insert(three.load.end(), one.load.begin(), one.load.end());
    }
    for (int copy = 0; copy < 3; ++copy) {
      three.weather_years.push_back(
          {"year " + std::to_string(copy), copy * hours, hours});
    }
    const AreasAssessment a = AssessAreas(one);
    const AreasAssessment b = AssessAreas(three);
    for (const auto& [x, y] :
         {std::pair{a.islands, b.islands},
          std::pair{a.copper_plate, b.copper_plate},
          std::pair{a.system, b.system},
          std::pair{a.island_areas[1], b.island_areas[1]}}) {
      EXPECT_NEAR(x.lolh, y.lolh, 1e-12 * (1.0 + x.lolh));
      EXPECT_NEAR(x.lole, y.lole, 1e-12 * (1.0 + x.lole));
      EXPECT_NEAR(x.eue, y.eue, 1e-12 * (1.0 + x.eue));
      EXPECT_NEAR(x.energy, y.energy, 1e-9 * x.energy);
    }
    Simulated alone;
    SimulateYears(one, 60, YearMethod::kEvents, &alone);
    Simulated copies;
    SimulateYears(three, 60, YearMethod::kEvents, &copies);
    for (size_t y = 0; y < 60; ++y) {
      ExpectSameYear(copies.years[y].system, alone.years[y].system,
                     "year " + std::to_string(y));
      ExpectSameYear(copies.years[y].areas[0], alone.years[y].areas[0],
                     "year " + std::to_string(y));
    }
  }
}

// A tie named the other way round, its limits swapped with it, is the
// same tie: every year the same, each way's time at its limit swapped.
TEST(AreasYearTest, ATieTurnedRoundIsTheSameTie) {
  for (const System& given : {TwoAreas(30.0, 0.1), ThreeAreas(30.0)}) {
    System turned = given;
    Interface& tie = turned.interfaces[0];
    tie.forward_mw = 30.0;
    tie.backward_mw = 12.0;
    System straight = turned;
    std::swap(tie.first, tie.second);
    std::swap(tie.forward_mw, tie.backward_mw);
    Simulated a;
    SimulateYears(straight, 200, YearMethod::kEvents, &a);
    Simulated b;
    SimulateYears(turned, 200, YearMethod::kEvents, &b);
    int64_t at_limit = 0;
    for (size_t y = 0; y < 200; ++y) {
      const std::string what = "year " + std::to_string(y);
      ExpectSameYear(a.years[y].system, b.years[y].system, what);
      for (size_t area = 0; area < given.areas.size(); ++area) {
        ExpectSameYear(a.years[y].areas[area], b.years[y].areas[area], what);
      }
      EXPECT_EQ(a.years[y].at_limit[0], b.years[y].at_limit[1]) << what;
      EXPECT_EQ(a.years[y].at_limit[1], b.years[y].at_limit[0]) << what;
      at_limit += a.years[y].at_limit[0] + a.years[y].at_limit[1];
    }
    EXPECT_GT(at_limit, 0);
  }
}

// Maintenance in an area: a unit out for the whole series is the area
// without it, in the direct solution; and over part of it, with the other
// area's units out too, the simulation holds the exact solution.
TEST(AreasSimulationTest, MaintenanceInAnArea) {
  System whole = TwoAreas(40.0);
  whole.units[0].maintenance = {{1, 14, 1}};
  System fewer = TwoAreas(40.0);
  fewer.units[0].count = 1;
  const AreasAssessment a = AssessAreas(whole);
  const AreasAssessment b = AssessAreas(fewer);
  for (const auto& [x, y] :
       {std::pair{a.system, b.system}, std::pair{a.areas[0], b.areas[0]},
        std::pair{a.islands, b.islands},
        std::pair{a.copper_plate, b.copper_plate}}) {
    EXPECT_NEAR(x.lolh, y.lolh, 1e-12 * (1.0 + x.lolh));
    EXPECT_NEAR(x.lole, y.lole, 1e-12 * (1.0 + x.lole));
    EXPECT_NEAR(x.eue, y.eue, 1e-12 * (1.0 + x.eue));
  }
  System part = TwoAreas(40.0);
  part.units[0].maintenance = {{3, 5, 1}};
  part.units[3].maintenance = {{6, 4, 2}};
  const AreasAssessment exact = AssessAreas(part);
  const AreasAssessment none = AssessAreas(TwoAreas(40.0));
  EXPECT_GT(exact.system.eue, none.system.eue);
  AreasModel model;
  std::string fault;
  ASSERT_TRUE(AreasModelOf(part, &model, &fault)) << fault;
  const AreasControls controls = ControlsOf(exact);
  AreasSimulation simulation(model, 9, 2, YearMethod::kEvents, controls);
  simulation.RunTo(20000);
  const AreasSample& sample = simulation.sample();
  for (size_t area = 0; area < 2; ++area) {
    for (const SampleFigure figure :
         {SampleFigure::kDeficitHours, SampleFigure::kUnservedMwh}) {
      const SampleInterval i =
          sample.area(area).Reported(figure, controls.alone[area]);
      const double value = figure == SampleFigure::kDeficitHours
                               ? exact.areas[area].lolh
                               : exact.areas[area].eue;
      EXPECT_LT(std::fabs(i.estimate - value), 4.0 * i.standard_error)
          << area << ": " << i.estimate << " against " << value;
    }
  }
  const SampleInterval eue = sample.system().Reported(
      SampleFigure::kUnservedMwh, controls.islands, &controls.copper_plate);
  EXPECT_LT(std::fabs(eue.estimate - exact.system.eue),
            4.0 * eue.standard_error);
}

// The system's worst event drawn again: in every hour its unserved MW lie
// between the copper plate's and the islands' from the areas' margins,
// each tie within its limit, and its own hours add up to its energy.
TEST(AreasSimulationTest, TheWorstEventOfTheSystem) {
  for (const size_t areas : {2, 3}) {
    const System system = areas == 2 ? TwoAreas(40.0) : ThreeAreas(40.0);
    const AreasAssessment exact = AssessAreas(system);
    AreasModel model;
    std::string fault;
    ASSERT_TRUE(AreasModelOf(system, &model, &fault));
    AreasSimulation simulation(model, 3, 2, YearMethod::kEvents,
                               ControlsOf(exact));
    simulation.RunTo(2000);
    const EventHours worst = WorstAreasEventHours(&simulation);
    ASSERT_TRUE(worst.found);
    EXPECT_EQ(worst.unserved_mwh,
              simulation.sample().system().sample().largest_event_mwh());
    double own = 0.0;
    for (const EventHour& h : worst.hourly) {
      ASSERT_EQ(h.area_margin_mw.size(), areas);
      ASSERT_EQ(h.tie_flow_mw.size(), system.interfaces.size());
      double plate = 0.0;
      double islands = 0.0;
      for (double m : h.area_margin_mw) {
        plate += m;
        islands += std::max(0.0, -m);
      }
      EXPECT_GE(h.unserved_mw, std::max(0.0, -plate) - 1e-6) << h.hour;
      EXPECT_LE(h.unserved_mw, islands + 1e-6) << h.hour;
      for (double flow : h.tie_flow_mw) EXPECT_LE(std::fabs(flow), 40.0 + 1e-9);
      const int64_t after = h.hour - worst.first_hour;
      if (after >= 0 && after < worst.duration_hours) own += h.unserved_mw;
    }
    EXPECT_NEAR(own, worst.unserved_mwh, 1e-9 * worst.unserved_mwh);
  }
}

// The same seed gives the same figures on one thread and on three.
TEST(AreasSimulationTest, TheSeedAloneDecides) {
  const System system = TwoAreas(40.0, 0.1);
  AreasModel model;
  std::string fault;
  ASSERT_TRUE(AreasModelOf(system, &model, &fault));
  AreasControls controls{
      {1.0, 0.5, 50.0}, {{1.0, 0.5, 50.0}, {1, 0.5, 50}}, {0.5, 0.2, 20.0}};
  AreasSimulation one(model, 5, 1, YearMethod::kEvents, controls);
  AreasSimulation three(model, 5, 3, YearMethod::kEvents, controls);
  one.RunTo(5000);
  three.RunTo(5000);
  for (const SampleFigure figure :
       {SampleFigure::kDeficitHours, SampleFigure::kUnservedMwh,
        SampleFigure::kEvents}) {
    const SampleInterval a = one.sample().system().Reported(figure, {});
    const SampleInterval b = three.sample().system().Reported(figure, {});
    EXPECT_EQ(a.estimate, b.estimate);
    EXPECT_EQ(a.standard_error, b.standard_error);
  }
  EXPECT_EQ(one.sample().at_limit(0, 1), three.sample().at_limit(0, 1));
}

}  // namespace
}  // namespace adequacy
