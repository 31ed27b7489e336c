// A power system as its file describes it: a fleet of units of two or more
// states and their planned maintenance, a chronological hourly load over
// one or more weather years and its forecast's uncertainty, the variable
// generation that offsets it and the energy-limited storage that moves
// energy from hour to hour.
#ifndef ADEQUACY_SYSTEM_SYSTEM_H_
#define ADEQUACY_SYSTEM_SYSTEM_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/capacity_table.h"

namespace adequacy {

// A partial outage of a unit: the MW it then gives, and either its long-run
// share of hours or its mean time up before it, with its repair time.
struct Derate {
  int32_t available_mw = 0;
  double share = 0.0;
  double mean_time_to_failure_hours = 0.0;  // 0 where the share was given.
  double mean_repair_hours = 0.0;
};

// Planned maintenance of a group: `count` of its units out of service for
// `days` whole days from day `first_day` (1 for a weather year's first),
// the same in every weather year.  A `first_day` of 0 asks the program to
// place it; `placed` then says it did.
struct Maintenance {
  int64_t first_day = 0;
  int64_t days = 0;
  int64_t count = 1;
  bool placed = false;
  int64_t line = 0;  // Of its system file, for messages.
};

// `count` identical units.  The outage rate is what the direct solution
// needs; the failure and repair times are for a simulation.  A unit with
// derates is a chain of states, every outage returning to up.
struct UnitGroup {
  UnitGroup() = default;
  UnitGroup(std::string unit_name, int64_t n, int32_t mw, double q,
            double mttf_hours, double mttr_hours,
            std::vector<Derate> partial = {})
      : name(std::move(unit_name)),
        count(n),
        capacity_mw(mw),
        forced_outage_rate(q),
        mean_time_to_failure_hours(mttf_hours),
        mean_repair_hours(mttr_hours),
        derates(std::move(partial)) {}

  std::string name;
  int64_t count = 0;
  int32_t capacity_mw = 0;
  double forced_outage_rate = 0.0;
  double mean_time_to_failure_hours = 0.0;  // 0 where the rate was given.
  double mean_repair_hours = 0.0;
  std::vector<Derate> derates;
  std::vector<Maintenance> maintenance;
  size_t area = 0;  // Its area, in a system with areas.
};

// One outage state of a unit: the MW it gives, its long-run share of hours,
// and the hourly probabilities of entering it from up and of leaving it.
struct OutageState {
  int32_t available_mw = 0;
  double share = 0.0;
  double enter = 0.0;  // lambda: P(an up unit enters it in an hour).
  double leave = 0.0;  // mu: P(a unit in it returns to up in an hour).
};

// The outage states of a unit with derates, the full outage first, with
// shares and rates that agree: from shares, lambda = mu q / p_up; from mean
// times to failure, q = p_up lambda / mu, p_up what the shares given leave
// over 1 + the sum of lambda / mu of the others.  Empty for a two-state
// unit.  `up_share` is p_up (0 or less where the shares leave nothing).
std::vector<OutageState> OutageStates(const UnitGroup& group, double* up_share);

// Variable generation, MW in each hour of the load.
struct Profile {
  std::string name;
  std::vector<double> mw;
  size_t area = 0;  // Its area, in a system with areas.
};

// `count` identical energy-limited devices (batteries, pumped hydro): each
// charges from the fleet's surplus and discharges into its deficits, within
// its powers and its energy.  A device without an outage rate is never out.
struct StorageDevice {
  std::string name;
  int64_t count = 1;
  double charge_mw = 0.0;
  double discharge_mw = 0.0;
  double energy_mwh = 0.0;
  double charge_efficiency = 1.0;     // Stored per MWh taken.
  double discharge_efficiency = 1.0;  // Given per MWh stored.
  double initial_share = 1.0;         // Of energy_mwh, at each year's start.
  double forced_outage_rate = 0.0;
  double mean_time_to_failure_hours = 0.0;  // 0 where the rate was given.
  double mean_repair_hours = 0.0;           // 0 for a device never out.
  size_t area = 0;  // Its area, in a system with areas: it serves no other.
};

// One outcome of the load forecast: the whole year's load times
// `multiplier`, with its probability.
struct LoadScenario {
  double multiplier = 1.0;
  double probability = 1.0;
};

// The customary seven-step normal approximation of a forecast error of
// standard deviation `s`: multipliers 1 + k s, k = -3..3.
std::vector<LoadScenario> NormalScenarios(double s);

// One weather year of the series: its name (the year column's value) and
// its hours, a run of whole days.
struct WeatherYear {
  std::string name;
  int64_t first_hour = 0;
  int64_t hours = 0;
};

// An area of a system with areas: its own load, MW each hour.
struct Area {
  std::string name;
  std::vector<double> load;
  // Its load forecast's outcomes, empty for a load known exactly.  One
  // outcome is drawn a year for every area at once, so that areas with
  // outcomes have the same probabilities.
  std::vector<LoadScenario> uncertainty{};
  // MW added to every hour after the outcome's multiplier (the load a
  // capacity search adds).
  double added_mw = 0.0;
};

// A tie between two areas: the MW it carries each way, and its outage
// rate and repair time where it can fail (an interface that is out
// carries nothing).
struct Interface {
  size_t first = 0;
  size_t second = 0;
  double forward_mw = 0.0;   // From the first area to the second.
  double backward_mw = 0.0;  // From the second to the first.
  double forced_outage_rate = 0.0;
  double mean_time_to_failure_hours = 0.0;  // 0 where the rate was given.
  double mean_repair_hours = 0.0;           // 0 for a tie never out.
};

struct System {
  std::string name;
  std::string file;  // The system file, as it was named.
  std::vector<UnitGroup> units;
  std::vector<double> load;  // MW in each hour, a whole number of days.
  std::vector<Profile> profiles;
  std::vector<StorageDevice> storage;
  // The load forecast's uncertainty: empty for a load known exactly.
  std::vector<LoadScenario> uncertainty;
  // The weather years of the series, in file order: empty for a series
  // that is one year.
  std::vector<WeatherYear> weather_years;
  // The areas and the ties between them: empty for a system of one area.
  // With areas, `load` is the sum of the areas' loads, what all the units
  // would serve as one.
  std::vector<Area> areas;
  std::vector<Interface> interfaces;

  // The scenarios of the load: `uncertainty`, or the load as it is.
  std::vector<LoadScenario> scenarios() const;
  // The weather years, or the whole series as one.
  std::vector<WeatherYear> years() const;

  int64_t unit_count() const;
  int64_t installed_mw() const;
  std::vector<UnitKind> unit_kinds() const;
};

// `base` with the units, profiles and devices of `additions` (a file given
// with --add) after its own, and its ties (one between areas already tied
// adds its limits to that tie); `installed_mw` is what they add (each
// profile's largest hour, each tie's larger limit).  False where the fleet
// is then too large for the availability table.
bool Combine(const System& base, const System& additions, System* combined,
             double* installed_mw);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_SYSTEM_H_
