// Energy-limited storage dispatched hour by hour against the fleet's margin,
// beside the year walk: the walk gives each hour's margin (available MW
// less net load) and which devices are up; the dispatch says what is left
// unserved and keeps each device's energy.
//
// The rule is greedy and needs no knowledge of the hours ahead.  In a
// deficit the devices that are up discharge, the one with the most hours
// of discharge left first; in a surplus they charge, the one with the
// fewest hours stored first; ties go in file order.  A device is charged
// from the fleet's surplus only, never from another device.  A device that
// is out keeps its energy.
#ifndef ADEQUACY_MONTECARLO_EVENTS_STORAGE_DISPATCH_H_
#define ADEQUACY_MONTECARLO_EVENTS_STORAGE_DISPATCH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "montecarlo/events/unit_rates.h"
#include "system/system.h"

namespace adequacy {

// One device as the simulation needs it.
struct DeviceRates {
  int entry = 0;  // Its [[storage]] entry, from 0.
  double charge_mw = 0.0;
  double discharge_mw = 0.0;
  double energy_mwh = 0.0;
  double charge_efficiency = 1.0;
  double discharge_efficiency = 1.0;
  double initial_mwh = 0.0;
  bool can_fail = false;
  UnitRates chain;  // Its up and down chain, where it can fail.
};

// The devices one by one (`count` of each entry); false, with the reason,
// where a chain's rate passes 1.
bool DeviceRatesOf(const System& system, std::vector<DeviceRates>* devices,
                   std::string* error);

// What is left unserved in an hour below this is no deficit, where a
// device gave something: the rounding of the energies' arithmetic.
inline constexpr double kServedTolerance = 1e-9;

class StorageDispatch {
 public:
  explicit StorageDispatch(const std::vector<DeviceRates>& devices);

  // Every device at its initial energy and up, the year's sums at 0.
  void StartYear();
  void SetUp(size_t device, bool up) { up_[device] = up; }

  // One hour at `margin` MW; returns the MW left unserved, 0 where the hour
  // is no deficit.
  double Hour(double margin);

  // True when no device that is up can take more energy: a surplus then
  // changes nothing, and only deficits need looking into.
  bool Idle() const;

  size_t size() const { return devices_.size(); }
  bool empty(size_t device) const {
    return energy_[device] <= kServedTolerance;
  }
  // MWh given by each device this year.
  const std::vector<double>& discharged_mwh() const { return discharged_; }
  double energy_mwh(size_t device) const { return energy_[device]; }

 private:
  // Hours of discharge the device holds: its order in both ways.
  double HoursHeld(size_t device) const;
  void Order(bool most_first);

  const std::vector<DeviceRates>& devices_;
  std::vector<double> energy_;
  std::vector<uint8_t> up_;
  std::vector<double> discharged_;
  std::vector<size_t> order_;  // Scratch: the devices in dispatch order.
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_STORAGE_DISPATCH_H_
