// One simulated year of a system of areas joined by ties.  Each area's
// units are drawn as the one-area engine draws them (unit i of the whole
// fleet from stream i), each tie that can fail as a chain of its own; the
// capacity's changes go in a row of differences by hour for each area,
// with one row of bits for the hours where anything changes.  Between two
// changes every area's capacity and every tie is fixed: a run that needs
// looking into only where some area's load passes its capacity, and there
// the transfers settle who is short, hour by hour.
//
// Storage serves its own area only: after the transfers, an area's devices
// discharge for what it is still short and charge from what it has left,
// as the one-area dispatch does; they then need each hour in which some
// device can take energy.
//
// Beside the year as it is, the same draws give each area alone (every tie
// at 0) and the copper plate (every unit against the summed load), without
// storage, whose expectations the direct solution has exactly: the
// controls.
#ifndef ADEQUACY_MONTECARLO_AREAS_AREAS_YEAR_H_
#define ADEQUACY_MONTECARLO_AREAS_AREAS_YEAR_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "montecarlo/areas/transfer.h"
#include "montecarlo/events/sim_year.h"
#include "montecarlo/events/storage_dispatch.h"
#include "montecarlo/events/unit_rates.h"
#include "montecarlo/statistics/year_sample.h"

namespace adequacy {

// The draws of tie t are those of unit kTieDraws + t, beyond any fleet's
// units and apart from the devices' and the load outcome's.
inline constexpr uint32_t kTieDraws = 1u << 28;

// A tie as the simulation takes it: its areas and limits, and its chain
// where it can fail.
struct TieRates {
  TieLimit limit;
  bool can_fail = false;
  UnitRates chain;
};

// The loads of a system of areas over one weather year: each area's net
// load, and the summed net load whose day peaks are the system's.  They
// must outlive the simulators.
struct AreaLoads {
  std::vector<const YearLoad*> areas;
  const YearLoad* system = nullptr;
  int64_t first_hour = 0;  // The weather year's, in the series.
};

// What one year of a system of areas comes to.
struct AreasYear {
  // Each area's, after the transfers and its storage.
  std::vector<YearOutcome> areas;
  std::vector<YearOutcome> alone;  // Each area's on its own.
  YearOutcome system;              // Some area short, each hour.
  YearOutcome islands;             // Some area short on its own.
  YearOutcome copper_plate;        // Every unit against the summed load.
  // Of each tie, the system's deficit hours it was at its limit, from its
  // first area to its second ([2 t]) and back ([2 t + 1]).
  std::vector<int32_t> at_limit;
  // Each device's MWh given this year, the devices in file order.
  std::vector<double> discharged_mwh;
};

class AreasYearSimulator {
 public:
  // `unit_areas[i]` is the area of units[i]; `years` the loads of each
  // weather year, simulated year i taking weather year i mod their number,
  // so that the years are used evenly.  The event engine looks into the
  // runs where some area's load passes its capacity; the hourly loop, the
  // reference, draws every unit every hour and transfers in every hour.
  // `device_areas[d]` is the area of devices[d].  With more than one
  // `outcome_probabilities`, `years` holds each weather year at each
  // outcome in turn, and each year draws its outcome by them.
  AreasYearSimulator(const std::vector<UnitRates>& units,
                     const std::vector<size_t>& unit_areas,
                     const std::vector<TieRates>& ties,
                     const std::vector<AreaLoads>& years, YearMethod method,
                     const std::vector<DeviceRates>& devices = {},
                     const std::vector<size_t>& device_areas = {},
                     const std::vector<double>& outcome_probabilities = {1.0});

  void Simulate(uint64_t seed, int64_t year, AreasYear* out);

  // Year `year` simulated again, noting in every hour each area's margin
  // on its own (its available MW less its net load; hours by areas) and
  // what each tie carried (hours by ties), and the system's net load.
  const YearLoad& Redraw(uint64_t seed, int64_t year,
                         std::vector<double>* margins,
                         std::vector<double>* flows);

 private:
  // The entry of years_ of year `year`'s weather year at its first outcome.
  size_t FirstOfWeatherYear(int64_t year) const {
    const size_t outcomes = outcome_probabilities_.size();
    return static_cast<size_t>(year) % (years_.size() / outcomes) * outcomes;
  }
  void DrawUnits(uint64_t seed, int64_t year);
  void DrawTies(uint64_t seed, int64_t year);
  void DrawDevices(uint64_t seed, int64_t year);
  // Each device up or out from `hour` until the next change.
  void SetDevicesAt(int64_t hour);
  // True where no area can be short in hours [first, end) and no device
  // can take energy: nothing there changes any figure.
  bool Quiet(int64_t first, int64_t end) const;
  // What each area's devices leave of its unserved MW this hour, from
  // each area's margin and the ties' flows.
  void Dispatch();
  void Tally(AreasYear* out);
  // Hours [first, end) with every capacity and tie as they are now.
  void TallyRun(int64_t first, int64_t end, AreasYear* out);
  void TallyHour(int64_t hour, AreasYear* out);
  void Change(size_t area, int64_t hour, int32_t mw) {
    change_mw_[area][static_cast<size_t>(hour)] += mw;
    Mark(hour);
  }
  void Mark(int64_t hour) {
    changed_[static_cast<size_t>(hour) >> 6] |= uint64_t{1} << (hour & 63);
  }

  const std::vector<UnitRates>& units_;
  const std::vector<size_t>& unit_areas_;
  const std::vector<TieRates>& ties_;
  std::vector<AreaLoads> years_;
  std::vector<double> outcome_probabilities_;
  AreaLoads loads_;  // The year's.
  YearMethod method_;
  int64_t hours_ = 0;  // The year's.
  // Each area's capacity gained (or lost) at the start of each hour, one
  // entry past the year, and its capacity through the run in hand.
  std::vector<std::vector<int32_t>> change_mw_;
  std::vector<int64_t> available_;
  std::vector<uint64_t> changed_;
  // Each tie's hours out, in order, the next of them, and its limits now.
  std::vector<std::vector<HourSpan>> outages_;
  std::vector<size_t> cursors_;
  std::vector<TieLimit> limits_;
  // Each area's devices and their dispatch (none where it has none), each
  // device's area and place there, its hours out and the next of them.
  std::vector<std::vector<DeviceRates>> area_devices_;
  std::vector<std::unique_ptr<StorageDispatch>> dispatch_;
  std::vector<DeviceRates> devices_;
  std::vector<size_t> device_areas_;
  std::vector<size_t> device_places_;
  std::vector<std::vector<HourSpan>> device_outages_;
  std::vector<size_t> device_cursors_;
  // Each area's events after the transfers and alone; the system's.
  std::vector<EventCounter> events_;
  std::vector<EventCounter> alone_events_;
  EventCounter system_events_;
  EventCounter islands_events_;
  EventCounter copper_events_;
  std::vector<double> margins_;
  std::vector<double> unserved_;
  std::vector<double> flows_;
  std::vector<double> imports_;
  Transfers transfers_;
  // Where a redraw asks: every hour's margins and flows.
  std::vector<double>* margins_by_hour_ = nullptr;
  std::vector<double>* flows_by_hour_ = nullptr;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_AREAS_YEAR_H_
