#include "montecarlo/events/storage_dispatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace adequacy {
namespace {

DeviceRates Device(double mw, double mwh, double initial_mwh,
                   double charge_efficiency = 1.0,
                   double discharge_efficiency = 1.0) {
  DeviceRates device;
  device.charge_mw = device.discharge_mw = mw;
  device.energy_mwh = mwh;
  device.initial_mwh = initial_mwh;
  device.charge_efficiency = charge_efficiency;
  device.discharge_efficiency = discharge_efficiency;
  return device;
}

// Hour by hour against margins, each case's unserved MW and energies after
// its last hour.
TEST(StorageDispatchTest, DischargeAndChargeByTheRule) {
  struct Case {
    const char* what;
    std::vector<DeviceRates> devices;
    std::vector<double> margins;
    std::vector<double> unserved;  // Each hour's.
    std::vector<double> energies;  // After the last hour.
  };
  const Case cases[] = {
      {"power bounds what is given",
       {Device(50, 400, 400)},
       {-80},
       {30},
       {350}},
      {"energy bounds it, after the discharge efficiency",
       {Device(100, 100, 40, 1.0, 0.5)},
       {-50},
       {30},
       {0}},
      {"the most hours left discharges first",
       {Device(100, 400, 100), Device(100, 400, 300)},
       {-150},
       {0},
       {50, 200}},
      {"ties go in file order",
       {Device(100, 400, 200), Device(100, 400, 200)},
       {-150},
       {0},
       {100, 150}},
      {"the fewest hours stored charges first, the charge efficiency kept",
       {Device(100, 400, 300, 0.8), Device(100, 400, 100, 0.8)},
       {150},
       {0},
       {340, 180}},
      {"charging stops at full, a surplus beyond it unused",
       {Device(100, 100, 90)},
       {50, -120},
       {0, 20},
       {0}},
      {"a margin of 0 does nothing", {Device(100, 100, 50)}, {0}, {0}, {50}},
      {"empty devices leave the deficit as it was",
       {Device(100, 100, 0)},
       {-1e-12},
       {1e-12},
       {0}},
      {"what is left below the tolerance is served",
       {Device(100, 100, 100 - 1e-10)},
       {-100},
       {0},
       {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StorageDispatch dispatch(c.devices);
    dispatch.StartYear();
    for (size_t h = 0; h < c.margins.size(); ++h) {
      EXPECT_NEAR(dispatch.Hour(c.margins[h]), c.unserved[h], 1e-15) << h;
    }
    for (size_t d = 0; d < c.energies.size(); ++d) {
      EXPECT_NEAR(dispatch.energy_mwh(d), c.energies[d], 1e-9) << d;
    }
  }
}

// Many devices are put in order as a few are: the most hours first, ties
// in file order.
TEST(StorageDispatchTest, ManyDevicesKeepTheRule) {
  for (bool ties : {false, true}) {
    SCOPED_TRACE(ties);
    std::vector<DeviceRates> devices;
    for (int d = 0; d < 20; ++d) {
      devices.push_back(Device(1, 100, ties ? 5 : d));
    }
    StorageDispatch dispatch(devices);
    dispatch.StartYear();
    EXPECT_EQ(dispatch.Hour(-3), 0);
    for (int d = 0; d < 20; ++d) {
      const bool gave = ties ? d < 3 : d >= 17;
      EXPECT_EQ(dispatch.discharged_mwh()[d], gave ? 1.0 : 0.0) << d;
    }
  }
}

TEST(StorageDispatchTest, ADeviceOutKeepsItsEnergy) {
  const std::vector<DeviceRates> devices = {Device(100, 400, 200)};
  StorageDispatch dispatch(devices);
  dispatch.StartYear();
  dispatch.SetUp(0, false);
  EXPECT_EQ(dispatch.Hour(-50), 50);
  dispatch.Hour(80);
  EXPECT_EQ(dispatch.energy_mwh(0), 200);
  EXPECT_TRUE(dispatch.Idle());  // Out: it takes nothing.
  dispatch.SetUp(0, true);
  EXPECT_FALSE(dispatch.Idle());
  EXPECT_EQ(dispatch.Hour(-50), 0);
  EXPECT_EQ(dispatch.discharged_mwh()[0], 50);
}

// With unequal efficiencies a device added can make things worse: listed
// first, a lossy device takes a scarce surplus that a better one would
// have kept whole.  With equal ones it cannot.
TEST(StorageDispatchTest, ALossyDeviceCanTakeTheSurplusOfABetterOne) {
  const DeviceRates good = Device(10, 10, 0);
  const DeviceRates lossy = Device(10, 10, 0, 0.5);
  const std::vector<double> margins = {10, -10};
  const auto unserved = [&](const std::vector<DeviceRates>& devices) {
    StorageDispatch dispatch(devices);
    dispatch.StartYear();
    double sum = 0.0;
    for (double m : margins) sum += dispatch.Hour(m);
    return sum;
  };
  EXPECT_EQ(unserved({good}), 0.0);
  EXPECT_EQ(unserved({lossy, good}), 5.0);
  EXPECT_EQ(unserved({good, good}), 0.0);
}

}  // namespace
}  // namespace adequacy
