#include "montecarlo/events/event_hours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "montecarlo/events/series_loads.h"
#include "montecarlo/events/storage_dispatch.h"
#include "system/load_change.h"

namespace adequacy {
namespace {

// Six units against a week whose evenings strain them, the load known or
// uncertain (so that the year drawn again must take its own outcome).
System Strained(bool uncertain) {
  System system;
  system.units = {{"big", 2, 100, 0.08, 0.0, 40.0},
                  {"small", 4, 30, 0.05, 0.0, 12.0}};
  for (int hour = 0; hour < 24 * 7; ++hour) {
    const int of_day = hour % 24;
    system.load.push_back(of_day >= 17 && of_day < 21 ? 240.0 + hour % 7
                                                      : 150.0);
  }
  if (uncertain) system.uncertainty = {{0.8, 0.3}, {1.0, 0.4}, {1.15, 0.3}};
  return system;
}

// The worst event is the sample's largest, the same on any number of
// threads; its hours add up to its energy and are the only deficit hours
// next to it; and in every hour drawn again, what is unserved is what the
// net load asks beyond the fleet's available MW.
TEST(EventHoursTest, TheWorstEventAsItHappened) {
  for (const bool uncertain : {false, true}) {
    const System system = Strained(uncertain);
    std::vector<UnitRates> units;
    std::string fault;
    ASSERT_TRUE(UnitRatesOf(system, &units, &fault));
    const ScenarioLoads scenarios = LoadsOfScenarios(system, LoadChange());
    const SeriesLoads loads(system, scenarios);
    EventHours first;
    for (const int threads : {1, 3}) {
      SystemSimulation simulation(units, loads.longest(), 5, threads,
                                  YearMethod::kEvents, {}, {},
                                  loads.outcomes());
      simulation.RunTo(3000);
      const EventHours worst = WorstEventHours(&simulation);
      const std::string what = (uncertain ? "uncertain, " : "known, ") +
                               std::to_string(threads) + " threads";
      ASSERT_TRUE(worst.found) << what;
      EXPECT_EQ(worst.unserved_mwh, simulation.sample().largest_event_mwh());
      if (threads == 1) {
        first = worst;
      } else {
        EXPECT_EQ(worst.year, first.year) << what;
        EXPECT_EQ(worst.first_hour, first.first_hour) << what;
      }
      double own_mwh = 0.0;
      for (const EventHour& h : worst.hourly) {
        EXPECT_NEAR(h.unserved_mw,
                    std::max(0.0, h.net_load_mw - h.available_mw), 1e-9)
            << what << " hour " << h.hour;
        const int64_t after = h.hour - worst.first_hour;
        if (after >= 0 && after < worst.duration_hours) {
          own_mwh += h.unserved_mw;
          EXPECT_GT(h.unserved_mw, 0.0) << what;
        } else if (after == -1 || after == worst.duration_hours) {
          EXPECT_EQ(h.unserved_mw, 0.0) << what;
        }
      }
      EXPECT_NEAR(own_mwh, worst.unserved_mwh, 1e-9 * worst.unserved_mwh);
      EXPECT_LE(worst.hourly.front().hour, worst.first_hour);
      EXPECT_GE(worst.hourly.back().hour,
                worst.first_hour + worst.duration_hours - 1);
    }
  }
}

// With a battery, the worst event's hours are those dispatched: in each,
// what the battery gave and what was left unserved make up what the net
// load asked beyond the fleet, and its energy stays within its size.
TEST(EventHoursTest, TheWorstEventWithStorage) {
  System system = Strained(false);
  StorageDevice battery;
  battery.name = "battery";
  battery.charge_mw = battery.discharge_mw = 30.0;
  battery.energy_mwh = 90.0;
  battery.charge_efficiency = battery.discharge_efficiency = 0.9;
  system.storage = {battery};
  std::vector<UnitRates> units;
  std::vector<DeviceRates> devices;
  std::string fault;
  ASSERT_TRUE(UnitRatesOf(system, &units, &fault));
  ASSERT_TRUE(DeviceRatesOf(system, &devices, &fault));
  const YearLoad load(system.load);
  SystemSimulation simulation(units, load, 5, 2, YearMethod::kEvents, devices);
  simulation.RunTo(2000);
  const EventHours worst = WorstEventHours(&simulation);
  ASSERT_TRUE(worst.found);
  double given = 0.0;
  for (const EventHour& h : worst.hourly) {
    ASSERT_EQ(h.energy_mwh.size(), 1u);
    EXPECT_NEAR(h.unserved_mw + h.discharge_mw[0],
                std::max(0.0, h.net_load_mw - h.available_mw), 1e-6)
        << h.hour;
    EXPECT_GE(h.energy_mwh[0], -1e-9);
    EXPECT_LE(h.energy_mwh[0], battery.energy_mwh + 1e-9);
    given += h.discharge_mw[0];
  }
  EXPECT_GT(given, 0.0);
}

}  // namespace
}  // namespace adequacy
