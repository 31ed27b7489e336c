#include "bench/calibrate_storage.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "capacity/simulated_credit.h"
#include "direct/assessment.h"
#include "model/capacity_table.h"
#include "montecarlo/events/system_simulation.h"
#include "montecarlo/statistics/standard_error.h"
#include "system/load_change.h"
#include "system/system_file.h"

namespace adequacy {
namespace {

constexpr int kRuns = 60;
constexpr int kCreditRuns = 100;
// Seeds of the runs, and of the references, which share none.
constexpr uint64_t kRunSeed = 5000;
constexpr uint64_t kReferenceSeed = 900000;

struct Coverage {
  int intervals = 0;
  int held = 0;
  void Add(double estimate, double se, double reference) {
    ++intervals;
    if (std::fabs(estimate - reference) <= kNormal95 * se) ++held;
  }
  double share() const { return static_cast<double>(held) / intervals; }
};

StorageDevice Battery(double mw, double hours, double round_trip) {
  StorageDevice device;
  device.name = "battery";
  device.charge_mw = device.discharge_mw = mw;
  device.energy_mwh = mw * hours;
  device.charge_efficiency = device.discharge_efficiency =
      std::sqrt(round_trip);
  return device;
}

// Four weeks whose evenings strain twelve units, each evening's load its
// own; a battery with outages.
System SmallStored() {
  System system;
  system.name = "12 units and a battery";
  system.units = {{"b", 12, 20, 0.1, 0.0, 40.0}};
  for (int hour = 0; hour < 24 * 28; ++hour) {
    const int of_day = hour % 24;
    const int day = hour / 24;
    system.load.push_back(of_day >= 17 && of_day < 21
                              ? 185.0 + 3.7 * (day % 7) + of_day - 17
                              : 140.0);
  }
  StorageDevice device = Battery(30, 3, 0.85);
  device.forced_outage_rate = 0.05;
  device.mean_repair_hours = 30;
  system.storage.push_back(device);
  return system;
}

const SampleFigure kFigures[] = {
    SampleFigure::kDeficitHours, SampleFigure::kPeakDeficits,
    SampleFigure::kUnservedMwh,  SampleFigure::kDeficitDays,
    SampleFigure::kEvents,       SampleFigure::kHadDeficit};

// The controlled intervals of independent runs against a reference of
// many more years.
Coverage CalibrateIndices(const System& system, int64_t years,
                          int64_t reference_years) {
  std::vector<UnitRates> units;
  std::vector<DeviceRates> devices;
  std::string fault;
  Coverage coverage;
  if (!UnitRatesOf(system, &units, &fault) ||
      !DeviceRatesOf(system, &devices, &fault)) {
    return coverage;
  }
  const std::vector<double> net = NetLoad(system.load, system.profiles);
  const CapacityTable table(system.unit_kinds());
  const Assessment exact = Assess(table, system.load, net, false);
  const ExactIndices controls{exact.lolh, exact.lole, exact.eue};
  const YearLoad load(net);
  SystemSimulation reference(units, load, kReferenceSeed, AvailableProcessors(),
                             YearMethod::kEvents, devices, controls);
  reference.RunTo(reference_years);
  double plain_variance = 0.0;
  double controlled_variance = 0.0;
  for (int run = 0; run < kRuns; ++run) {
    SystemSimulation simulation(units, load, kRunSeed + run,
                                AvailableProcessors(), YearMethod::kEvents,
                                devices, controls);
    simulation.RunTo(years);
    for (SampleFigure figure : kFigures) {
      const SampleInterval i = simulation.paired().Reported(figure, controls);
      coverage.Add(i.estimate, i.standard_error,
                   reference.paired().Reported(figure, controls).estimate);
    }
    const SampleFigure eue = SampleFigure::kUnservedMwh;
    plain_variance +=
        std::pow(simulation.sample().Interval(eue).standard_error, 2);
    controlled_variance +=
        std::pow(simulation.paired().Reported(eue, controls).standard_error, 2);
  }
  std::printf(
      "  %-26s %6lld years a run, %lld for the reference: %3.0f %% held; "
      "EUE's error %.2f of the plain one\n",
      system.name.c_str(), static_cast<long long>(years),
      static_cast<long long>(reference_years), 100.0 * coverage.share(),
      std::sqrt(controlled_variance / plain_variance));
  return coverage;
}

// The ELCC's intervals of independent runs against the ELCC of a run of
// many more years, the small system's battery added to its fleet.
Coverage CalibrateCredit(int64_t years, int64_t reference_years) {
  const System stored = SmallStored();
  System base = stored;
  base.storage.clear();
  const DirectStudy study(stored);
  const std::vector<double> net = NetLoad(base.load, base.profiles);
  // EUE, which moves with the load continuously: an ELCC at a step of a
  // count has no interval to speak of.
  CarryingSearch exact(study, base.load, net, RiskIndex::kEue);
  const double value = exact.IndexAt(1.0, 0.0);
  const double installed = stored.storage[0].discharge_mw;
  const double tolerance = 0.001 * installed;
  SimulatedCredit reference(stored, study, RiskIndex::kEue, kReferenceSeed,
                            AvailableProcessors());
  if (!reference.fault().empty()) return Coverage();
  const Estimated truth =
      reference.LoadAt(value, reference_years, tolerance, installed);
  Coverage coverage;
  for (int run = 0; run < kCreditRuns; ++run) {
    SimulatedCredit credit(stored, study, RiskIndex::kEue, kRunSeed + run,
                           AvailableProcessors());
    const Estimated elcc = credit.LoadAt(value, years, tolerance, installed);
    coverage.Add(elcc.at, elcc.standard_error, truth.at);
  }
  std::printf(
      "  ELCC of the battery at EUE %.4g: %.3f MW from %lld years; %d runs "
      "of %lld years, %3.0f %% of intervals held it\n",
      value, truth.at, static_cast<long long>(reference_years), kCreditRuns,
      static_cast<long long>(years), 100.0 * coverage.share());
  return coverage;
}

}  // namespace

bool CalibrateStorage() {
  std::printf(
      "\nSystems with storage (no exact solution): %d runs each, the 95 %% "
      "intervals of the controlled LOLH, LOLE, EUE, LOLD, LOLEV and ALOLP "
      "against a reference run of many more years:\n",
      kRuns);
  System rts;
  InputError error;
  System battery;
  if (!ReadSystemFile(
          std::string(ADEQUACY_SOURCE_DIR) + "/examples/rts79/system.toml",
          &rts, &error) ||
      !ReadAdditionsFile(
          std::string(ADEQUACY_SOURCE_DIR) + "/examples/rts79/battery.toml",
          rts, &battery, &error)) {
    std::printf("  the RTS-79 and its battery cannot be read: %s\n",
                error.what.c_str());
    return false;
  }
  System rts_stored;
  double added = 0.0;
  Combine(rts, battery, &rts_stored, &added);
  rts_stored.name = "RTS-79 and a 4-hour battery";
  Coverage all;
  for (const Coverage& one : {CalibrateIndices(rts_stored, 3000, 300000),
                              CalibrateIndices(SmallStored(), 2000, 400000)}) {
    all.intervals += one.intervals;
    all.held += one.held;
  }
  const Coverage credit = CalibrateCredit(2000, 200000);
  std::printf(
      "  all indices: %d intervals, %.1f %% held; the ELCC: %.1f %% held\n",
      all.intervals, 100.0 * all.share(), 100.0 * credit.share());
  const auto within = [](double share) {
    return share >= 0.90 && share <= 0.99;
  };
  return within(all.share()) && within(credit.share());
}

}  // namespace adequacy
