// Every hour of an assessment as CSV, a header and one row an hour:
// hour,load_mw,net_load_mw,lolp,expected_unserved_mwh, the hour counted
// from 1 and every number at full double precision; the exact columns are
// of the system without storage.
#ifndef ADEQUACY_REPORT_HOURLY_CSV_H_
#define ADEQUACY_REPORT_HOURLY_CSV_H_

#include <string>
#include <vector>

#include "direct/areas.h"
#include "direct/assessment.h"
#include "montecarlo/areas/areas_sample.h"
#include "montecarlo/statistics/year_sample.h"
#include "system/system.h"

namespace adequacy {

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours);

// With weather years, a weather_year column after the hour (the year's
// name), and the simulated columns over the years that had the hour's
// weather year (simulated year i has weather year i mod W).
std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours,
                      const std::vector<WeatherYear>& years,
                      const YearSample* simulated);

// The same with two columns of a simulation's years after them:
// simulated_lolp, the share of years short in the hour, and
// simulated_unserved_mw, its mean MW unserved (with storage, where the
// system has some).
std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours,
                      const YearSample& simulated);

// Every hour of two areas (or one): hour (and weather_year, where the
// series has them), then each area's NAME_net_load_mw, NAME_lolp and
// NAME_expected_unserved_mwh, then system_lolp, the probability that some
// area is short.  With `simulated` (its hours kept), each area's
// NAME_simulated_lolp and NAME_simulated_unserved_mw, the share of the
// simulated years short in the hour and their mean MW short, and
// system_simulated_lolp.
// Every hour of three areas or more, simulated: hour (and weather_year),
// each area's NAME_net_load_mw, NAME_alone_lolp (exact, every tie at 0),
// NAME_simulated_lolp and NAME_simulated_unserved_mw; then the exact
// bounds islands_lolp and copper_plate_lolp, and system_simulated_lolp.
std::string BoundsHourlyCsv(const System& system,
                            const std::vector<std::vector<double>>& nets,
                            const std::vector<BoundsHour>& hours,
                            const AreasSample& simulated);

std::string AreasHourlyCsv(const System& system,
                           const std::vector<std::vector<double>>& nets,
                           const std::vector<TwoAreaHour>& hours,
                           const AreasSample* simulated = nullptr);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_HOURLY_CSV_H_
