// One simulated year of a system, two ways that are the same chain in
// distribution: the event engine draws each unit's sojourns, one draw per
// change of state; the hourly loop, the reference, draws for every unit
// every hour.  Both put the capacity's changes in a row of differences by
// hour, from which the year's deficit hours, events and unserved energy
// follow in one pass over the hours.
#ifndef ADEQUACY_MONTECARLO_EVENTS_SIM_YEAR_H_
#define ADEQUACY_MONTECARLO_EVENTS_SIM_YEAR_H_

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "montecarlo/events/storage_dispatch.h"
#include "montecarlo/events/unit_rates.h"
#include "montecarlo/statistics/tally.h"
#include "montecarlo/statistics/year_sample.h"

namespace adequacy {

// The hours a year is simulated against: the net load of each, and
// whether it is its day's peak hour (the first of the day's largest net
// load).
struct YearLoad {
  std::vector<double> net_mw;
  std::vector<uint8_t> day_peak;

  explicit YearLoad(std::span<const double> net);
  int64_t hours() const { return static_cast<int64_t>(net_mw.size()); }
  // At least the largest net load of hours [first, end), and above it by
  // no more than a float's rounding; -infinity where empty.
  double PeakOf(int64_t first, int64_t end) const;
  // Whether `capacity` covers every net load of hours [first, end), by the
  // year's peak and those of the blocks of hours they touch: a check on a
  // row small enough to stay in the nearest cache, which settles most runs
  // before PeakOf's table.
  bool Covered(int64_t first, int64_t end, double capacity) const {
    if (!(peak_mw_ > capacity)) return true;
    const size_t last = static_cast<size_t>(end - 1) >> kBlockBits;
    for (size_t block = static_cast<size_t>(first) >> kBlockBits; block <= last;
         ++block) {
      if (block_peak_[block] > capacity) return false;
    }
    return true;
  }

 private:
  // Blocks of 128 hours, about five days.
  static constexpr int kBlockBits = 7;
  // The largest net load of each block of hours, rounded up to a float.
  std::vector<float> block_peak_;
  float peak_mw_ = -std::numeric_limits<float>::infinity();  // The year's.
  // peak_[k][h]: the largest net load of hours [h, h + 2^k), rounded up to
  // a float.
  std::vector<std::vector<float>> peak_;
};

enum class YearMethod { kEvents, kHourly };

// The draws of device d are those of unit kDeviceDraws + d, beyond any
// fleet's units, so that the units draw the same with and without devices;
// the year's load outcome is drawn as unit kOutcomeDraws.
inline constexpr uint32_t kDeviceDraws = 1u << 30;
inline constexpr uint32_t kOutcomeDraws = 1u << 29;

// The load outcome of year `year` of the run keyed by `seed`, drawn by
// `probabilities` from a stream of its own; 0 where there is one.
size_t DrawnOutcome(uint64_t seed, int64_t year,
                    const std::vector<double>& probabilities);

// The loads of the years a simulation walks: for each weather year, the
// load of each outcome of an uncertain load (loads[w * outcomes + k]),
// with the outcomes' probabilities; simulated year i has weather year
// i mod W and draws its outcome.  `first_hours` places each weather year
// in the series, for what is kept by hour.  Empty for the one load given.
// The loads must outlive the simulators, and no year may be longer than
// the load given.
struct LoadOutcomes {
  std::vector<const YearLoad*> loads;
  std::vector<double> probabilities;
  std::vector<int64_t> first_hours;
  int64_t series_hours = 0;
};

// Simulates years of one fleet, and its storage, against one load; one per
// thread, as it holds the year's row of differences.
class YearSimulator {
 public:
  // With `outcomes`, each year simulates one of them, drawn by its
  // probability; `load` gives the hours.
  YearSimulator(const std::vector<UnitRates>& units, const YearLoad& load,
                YearMethod method, const std::vector<DeviceRates>& devices = {},
                const LoadOutcomes& outcomes = {});

  // Simulates year `year` of the run keyed by `seed`: `out` is the year
  // without storage and, where there are devices, `stored` the same year
  // of the fleet with them.
  void Simulate(uint64_t seed, int64_t year, YearOutcome* out,
                YearOutcome* stored = nullptr);

  // The fleet's MW available in each hour of year `year`, drawn again as
  // Simulate draws it, and the year's net load: its weather year at its
  // load outcome.  With devices and `stored`, also each device's energy
  // at each hour's end and what it gave in the hour, hour by hour
  // (devices within an hour), as dispatched.
  const YearLoad& Redraw(uint64_t seed, int64_t year,
                         std::vector<int64_t>* available,
                         std::vector<double>* energy_mwh = nullptr,
                         std::vector<double>* discharge_mw = nullptr);

 private:
  // Hours [first, end) a device is out.
  struct Outage {
    int64_t first;
    int64_t end;
  };

  void DrawSojourns(uint64_t seed, int64_t year);
  void StepHours(uint64_t seed, int64_t year);
  // A unit's loss of `lost` MW over hours [first, end), less its hours on
  // maintenance; and those hours, the whole unit lost.  Most losses touch
  // no maintenance (most units have none, and the rest a few weeks): two
  // entries in the row, inline, after one test that is rarely true.
  void Lose(const UnitRates& unit, int64_t first, int64_t end, int32_t lost) {
    if (!unit.maintenance.empty() && ((first < unit.maintenance.back().end) &
                                      (end > unit.maintenance.front().first))) {
      LoseAround(unit, first, end, lost);
      return;
    }
    Change(first, -lost);
    Change(end, lost);
  }
  void LoseAround(const UnitRates& unit, int64_t first, int64_t end,
                  int32_t lost);
  void Maintain(const UnitRates& unit, int64_t hours);
  // The year's weather year, its load put in load_ at the outcome drawn.
  size_t ChooseLoad(uint64_t seed, int64_t year);
  // The year's units drawn as the method draws them, into the rows.
  void DrawUnits(uint64_t seed, int64_t year);
  // The hours each device is out, as a unit's chain gives them.
  void DrawOutages(uint64_t seed, int64_t year, YearMethod method);
  // The year's outcome from the row of differences, which it leaves zero.
  void Tally(YearOutcome* out, YearOutcome* stored);
  // The devices' states from hour `hour` until the next change, hours
  // coming in increasing order within a year.
  void SetDevicesAt(int64_t hour);
  // Hours [first, end) at `available` MW with the devices dispatched.
  // Notes each device's energy and what it gave in hour `hour`, where a
  // redraw asks.
  void Record(int64_t hour);
  void DispatchRun(int64_t first, int64_t end, int64_t available,
                   YearOutcome* out, EventCounter* events);

  const std::vector<UnitRates>& units_;
  const YearLoad* load_;  // The year's.
  LoadOutcomes outcomes_;
  YearMethod method_;
  std::vector<DeviceRates> devices_;
  std::vector<std::vector<Outage>> outages_;  // Each device's, in order.
  std::vector<size_t> cursors_;  // Each device's next outage of the year.
  StorageDispatch dispatch_;
  int64_t installed_mw_ = 0;
  // Where a redraw asks: each device's energy and discharge by hour, NaN
  // in the hours not dispatched, and the MWh given up to the last noted.
  std::vector<double>* energy_by_hour_ = nullptr;
  std::vector<double>* discharge_by_hour_ = nullptr;
  std::vector<double> given_so_far_;
  // Capacity gained (or lost, negative) at the start of each hour, and
  // one entry past the year; and a bit for each hour that has an entry,
  // so that the tally visits the changes alone.
  std::vector<int32_t> change_mw_;
  std::vector<uint64_t> changed_;
  void Change(int64_t hour, int32_t mw) {
    change_mw_[static_cast<size_t>(hour)] += mw;
    changed_[static_cast<size_t>(hour) >> 6] |= uint64_t{1} << (hour & 63);
  }
  // The deficit hours of hours [first, end) at `available` MW.  Most runs
  // have none, which the weeks' peaks settle here, inline.
  void TallyRun(int64_t first, int64_t end, int64_t available, YearOutcome* out,
                EventCounter* events) const {
    const double capacity = static_cast<double>(available);
    if (load_->Covered(first, end, capacity)) return;
    TallyHours(first, end, capacity, out, events);
  }
  void TallyHours(int64_t first, int64_t end, double capacity, YearOutcome* out,
                  EventCounter* events) const;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_SIM_YEAR_H_
