// Simulated years with storage: the limits that hold exactly, and the two
// ways of simulating a year against each other.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "montecarlo/events/sim_year.h"
#include "montecarlo/events/storage_dispatch.h"
#include "montecarlo/events/system_simulation.h"

namespace adequacy {
namespace {

constexpr uint64_t kSeed = 11;

// Six units against a week whose evenings strain them.
struct Case {
  std::vector<UnitRates> units;
  YearLoad load;
};

Case SmallCase() {
  System system;
  system.units = {{"big", 2, 100, 0.08, 0.0, 40.0},
                  {"small", 4, 30, 0.05, 0.0, 12.0}};
  std::vector<double> load;
  for (int hour = 0; hour < 24 * 7; ++hour) {
    const int of_day = hour % 24;
    load.push_back(of_day >= 17 && of_day < 21 ? 240.0 + hour % 7 : 150.0);
  }
  std::vector<UnitRates> units;
  std::string error;
  EXPECT_TRUE(UnitRatesOf(system, &units, &error));
  return {units, YearLoad(load)};
}

DeviceRates Battery(double mw, double mwh, double efficiency = 0.9) {
  DeviceRates device;
  device.charge_mw = device.discharge_mw = mw;
  device.energy_mwh = device.initial_mwh = mwh;
  device.charge_efficiency = device.discharge_efficiency = efficiency;
  return device;
}

// Out from the start of every year, and never repaired.
DeviceRates AlwaysOut(double mw, double mwh) {
  DeviceRates device = Battery(mw, mwh);
  device.can_fail = true;
  device.chain.fail = 1.0;
  device.chain.down_share = 1.0;
  device.chain.log_stay_up = -std::numeric_limits<double>::infinity();
  device.chain.log_stay_down = 0.0;
  return device;
}

bool Same(const YearOutcome& a, const YearOutcome& b) {
  return a.deficit_hours == b.deficit_hours &&
         a.peak_deficits == b.peak_deficits &&
         a.deficit_days == b.deficit_days && a.unserved_mwh == b.unserved_mwh &&
         a.event_hours == b.event_hours && a.event_mwh == b.event_mwh;
}

// Devices that can do nothing give the years without storage exactly, and
// the units' history is the same with devices and without.
TEST(StorageYearTest, DevicesThatCanDoNothingChangeNothing) {
  const Case c = SmallCase();
  const std::vector<std::vector<DeviceRates>> idle = {
      {Battery(100, 0)}, {Battery(0, 400)}, {AlwaysOut(100, 400)}};
  YearSimulator plain(c.units, c.load, YearMethod::kEvents);
  for (YearMethod method : {YearMethod::kEvents, YearMethod::kHourly}) {
    YearSimulator reference(c.units, c.load, method);
    for (const auto& devices : idle) {
      YearSimulator with(c.units, c.load, method, devices);
      YearOutcome x, y, alone;
      for (int64_t year = 0; year < 300; ++year) {
        reference.Simulate(kSeed, year, &alone);
        with.Simulate(kSeed, year, &x, &y);
        ASSERT_TRUE(Same(x, alone)) << year;
        ASSERT_TRUE(Same(y, x)) << year;
      }
    }
  }
}

// A device with more power than any deficit and more energy than all of
// them, full at the year's start, leaves nothing unserved; one of the same
// efficiencies added beside another never makes a year worse.
TEST(StorageYearTest, EnoughStorageServesAllAndMoreNeverHurts) {
  const Case c = SmallCase();
  const std::vector<DeviceRates> huge = {Battery(1000, 1e6)};
  const std::vector<DeviceRates> one = {Battery(40, 120)};
  const std::vector<DeviceRates> two = {Battery(40, 120), Battery(30, 60)};
  YearSimulator all(c.units, c.load, YearMethod::kEvents, huge);
  YearSimulator first(c.units, c.load, YearMethod::kEvents, one);
  YearSimulator both(c.units, c.load, YearMethod::kEvents, two);
  YearOutcome x, y, y1, y2;
  double short_years = 0;
  for (int64_t year = 0; year < 2000; ++year) {
    all.Simulate(kSeed, year, &x, &y);
    short_years += x.deficit_hours > 0 ? 1 : 0;
    ASSERT_EQ(y.deficit_hours, 0) << year;
    ASSERT_EQ(y.unserved_mwh, 0.0) << year;
    first.Simulate(kSeed, year, &x, &y1);
    both.Simulate(kSeed, year, &x, &y2);
    ASSERT_LE(y1.unserved_mwh, x.unserved_mwh + 1e-9) << year;
    ASSERT_LE(y2.unserved_mwh, y1.unserved_mwh + 1e-9) << year;
  }
  EXPECT_GT(short_years, 100);
}

// The event engine and the hourly loop with storage, over the same years:
// every index within four standard errors of each other; and the control
// narrows the intervals of LOLH and EUE.
TEST(StorageYearTest, TheEventEngineAgreesWithTheHourlyLoop) {
  const Case c = SmallCase();
  std::vector<DeviceRates> devices = {Battery(40, 120)};
  devices[0].can_fail = true;
  ASSERT_TRUE([&] {
    std::string error;
    return ChainRatesOf("battery", 0.05, 0.0, 20.0, &devices[0].chain, &error);
  }());
  // The exact indices without storage, from a long run of the same fleet.
  SystemSimulation free_run(c.units, c.load, 99, 2);
  free_run.RunTo(60000);
  const ExactIndices exact{
      free_run.sample().Interval(SampleFigure::kDeficitHours).estimate,
      free_run.sample().Interval(SampleFigure::kPeakDeficits).estimate,
      free_run.sample().Interval(SampleFigure::kUnservedMwh).estimate};
  SystemSimulation events(c.units, c.load, 5, 2, YearMethod::kEvents, devices,
                          exact);
  SystemSimulation hourly(c.units, c.load, 5, 2, YearMethod::kHourly, devices,
                          exact);
  events.RunTo(6000);
  hourly.RunTo(6000);
  for (int f = 0; f < kSampleFigures; ++f) {
    const auto figure = static_cast<SampleFigure>(f);
    const SampleInterval e = events.sample().Interval(figure);
    const SampleInterval h = hourly.sample().Interval(figure);
    EXPECT_GT(e.estimate, 0.0) << f;
    EXPECT_LT(std::fabs(e.estimate - h.estimate),
              4 * std::hypot(e.standard_error, h.standard_error))
        << f;
  }
  for (SampleFigure f :
       {SampleFigure::kDeficitHours, SampleFigure::kUnservedMwh}) {
    const SampleInterval plain = events.sample().Interval(f);
    const SampleInterval controlled = events.paired().Reported(f, exact);
    EXPECT_LT(controlled.standard_error, 0.8 * plain.standard_error);
    EXPECT_LT(std::fabs(controlled.estimate - plain.estimate),
              4 * plain.standard_error);
  }
  const YearSample& s = events.sample();
  EXPECT_LE(s.Interval(SampleFigure::kDeficitDays).estimate,
            s.Interval(SampleFigure::kDeficitHours).estimate);
  ASSERT_EQ(s.discharged_mwh().size(), 1u);
  EXPECT_GT(s.discharged_mwh()[0], 0.0);
  EXPECT_LE(s.empty_hours()[0], s.deficit_hours());
}

}  // namespace
}  // namespace adequacy
