#include "montecarlo/events/storage_dispatch.h"

#include <algorithm>
#include <limits>

namespace adequacy {
namespace {

// Energy within this share of the device's energy of full is full: what
// the rounding of a charge to the brim leaves.
constexpr double kFullShare = 1e-12;
// Up to this many devices are put in order by insertion.
constexpr size_t kFewDevices = 16;

}  // namespace

bool DeviceRatesOf(const System& system, std::vector<DeviceRates>* devices,
                   std::string* error) {
  devices->clear();
  for (size_t entry = 0; entry < system.storage.size(); ++entry) {
    const StorageDevice& given = system.storage[entry];
    DeviceRates rates;
    rates.entry = static_cast<int>(entry);
    rates.charge_mw = given.charge_mw;
    rates.discharge_mw = given.discharge_mw;
    rates.energy_mwh = given.energy_mwh;
    rates.charge_efficiency = given.charge_efficiency;
    rates.discharge_efficiency = given.discharge_efficiency;
    rates.initial_mwh = given.initial_share * given.energy_mwh;
    rates.can_fail = given.mean_repair_hours > 0.0;
    if (rates.can_fail &&
        !ChainRatesOf(given.name, given.forced_outage_rate,
                      given.mean_time_to_failure_hours, given.mean_repair_hours,
                      &rates.chain, error)) {
      return false;
    }
    devices->insert(devices->end(), static_cast<size_t>(given.count), rates);
  }
  return true;
}

StorageDispatch::StorageDispatch(const std::vector<DeviceRates>& devices)
    : devices_(devices),
      energy_(devices.size(), 0.0),
      up_(devices.size(), 1),
      discharged_(devices.size(), 0.0),
      order_(devices.size()) {}

void StorageDispatch::StartYear() {
  for (size_t d = 0; d < devices_.size(); ++d) {
    energy_[d] = devices_[d].initial_mwh;
    up_[d] = 1;
    discharged_[d] = 0.0;
  }
}

double StorageDispatch::HoursHeld(size_t device) const {
  const double mw = devices_[device].discharge_mw;
  return mw > 0.0 ? energy_[device] / mw
                  : std::numeric_limits<double>::infinity();
}

void StorageDispatch::Order(bool most_first) {
  order_.clear();
  for (size_t d = 0; d < devices_.size(); ++d) {
    if (up_[d]) order_.push_back(d);
  }
  // Stable, so that ties keep file order: by insertion for the few devices
  // of most systems, by merging for many.
  const auto before = [&](size_t a, size_t b) {
    return most_first ? HoursHeld(a) > HoursHeld(b)
                      : HoursHeld(a) < HoursHeld(b);
  };
  if (order_.size() > kFewDevices) {
    std::stable_sort(order_.begin(), order_.end(), before);
    return;
  }
  for (size_t i = 1; i < order_.size(); ++i) {
    const size_t device = order_[i];
    size_t j = i;
    for (; j > 0 && before(device, order_[j - 1]); --j) {
      order_[j] = order_[j - 1];
    }
    order_[j] = device;
  }
}

double StorageDispatch::Hour(double margin) {
  if (margin < 0.0) {
    const double deficit = -margin;
    double left = deficit;
    Order(/*most_first=*/true);
    for (size_t d : order_) {
      if (!(left > 0.0)) break;
      const DeviceRates& device = devices_[d];
      const double gives = std::min({left, device.discharge_mw,
                                     energy_[d] * device.discharge_efficiency});
      if (!(gives > 0.0)) continue;
      energy_[d] =
          std::max(0.0, energy_[d] - gives / device.discharge_efficiency);
      discharged_[d] += gives;
      left -= gives;
    }
    // Where the devices gave nothing the hour is judged as without them,
    // so that devices that can do nothing change nothing.
    if (left == deficit) return left;
    return left > kServedTolerance ? left : 0.0;
  }
  if (margin > 0.0) {
    double surplus = margin;
    Order(/*most_first=*/false);
    for (size_t d : order_) {
      if (!(surplus > 0.0)) break;
      const DeviceRates& device = devices_[d];
      const double room = device.energy_mwh - energy_[d];
      if (!(room > 0.0)) continue;
      const double takes = std::min(
          {surplus, device.charge_mw, room / device.charge_efficiency});
      if (!(takes > 0.0)) continue;
      energy_[d] += takes * device.charge_efficiency;
      if (device.energy_mwh - energy_[d] <= kFullShare * device.energy_mwh) {
        energy_[d] = device.energy_mwh;
      }
      surplus -= takes;
    }
  }
  return 0.0;
}

bool StorageDispatch::Idle() const {
  for (size_t d = 0; d < devices_.size(); ++d) {
    const DeviceRates& device = devices_[d];
    if (up_[d] && device.charge_mw > 0.0 && energy_[d] < device.energy_mwh) {
      return false;
    }
  }
  return true;
}

}  // namespace adequacy
