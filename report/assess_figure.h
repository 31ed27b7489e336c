// The picture of an assessment, as the data and the gnuplot script that
// draw it: when in the year the risk lies (a calendar of each hour's LOLP
// and each week's LOLH), where a year's shortfall comes from (the events
// by duration and by energy, the years by deficit hours), the worst
// simulated event hour by hour, and each index with its interval against
// its exact value.  The figures are tested here as numbers; gnuplot only
// draws them.
#ifndef ADEQUACY_REPORT_ASSESS_FIGURE_H_
#define ADEQUACY_REPORT_ASSESS_FIGURE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "direct/areas.h"
#include "direct/assessment.h"
#include "report/areas_simulation_text.h"
#include "report/simulation_text.h"
#include "system/system.h"

namespace adequacy {

// Weather years drawn one strip each, up to this many (those with the
// highest LOLH beyond it, in file order).
inline constexpr size_t kMostStrips = 4;

// One strip of the risk calendar: each hour's LOLP by day and hour of the
// day, and the LOLH of each week of seven days (the last one perhaps
// shorter).
struct CalendarStrip {
  std::string name;
  int64_t days = 0;
  std::vector<double> lolp;  // days x 24, day by day.
  std::vector<double> weekly_lolh;
  double lolh = 0.0;
  bool weather_year = false;  // One of several, or the whole series.
};

// The calendar of the direct solution's hours, one strip a weather year
// (the whole series as one without them).
std::vector<CalendarStrip> CalendarOf(const std::vector<HourRisk>& hours,
                                      const std::vector<WeatherYear>& years);

// One index's estimate and 95 % interval as shares of its exact value.
struct IndexRatio {
  std::string name;
  double estimate = 0.0;
  double low = 0.0;
  double high = 0.0;
};

// LOLH, LOLE and EUE as simulated over exact, where the exact value is
// above 0.
std::vector<IndexRatio> RatiosOf(const SimulationSummary& run,
                                 const Assessment& exact);

// A file for gnuplot beside the script: its name in the scratch directory
// and its text.
struct FigureFile {
  std::string name;
  std::string text;
};

// What the figure of an assessment draws.
struct AssessFigureInput {
  std::vector<CalendarStrip> strips;
  bool without_storage = false;  // The calendar's, of a system with some.
  // With the simulation: its years, seed, worst event (where drawn) and
  // the indices against their exact values (where exact).
  const YearSample* sample = nullptr;
  uint64_t seed = 0;
  const EventHours* worst = nullptr;
  std::vector<std::string> devices;  // Their names, one by one.
  std::vector<std::string> areas;    // With areas, theirs and the ties'.
  std::vector<std::string> ties;
  std::vector<IndexRatio> ratios;
};

// The figure of a system of one area: its calendar, and with `run` (null
// without the simulation) the simulated panels.
AssessFigureInput OneAreaFigure(const System& system, const Assessment& exact,
                                const SimulationSummary* run);

// The figure of a system of areas: a calendar strip an area (exact for
// two, each area alone beyond; of a weather year, the riskiest), and with
// `run` the system's simulated panels.
AssessFigureInput AreasFigure(const System& system,
                              const AreasAssessment& exact,
                              const AreasRun* run);

// The data files and, last, the script (`figure.gp`) that writes the
// figure to `output` (an SVG, or a PNG where it ends in .png), the files
// named relative to the directory gnuplot runs in.
std::vector<FigureFile> AssessFigure(const System& system,
                                     const AssessFigureInput& input,
                                     const std::string& version,
                                     const std::string& output);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_ASSESS_FIGURE_H_
