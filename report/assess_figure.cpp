#include "report/assess_figure.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "montecarlo/events/unit_draws.h"
#include "report/gnuplot_text.h"

namespace adequacy {
namespace {

constexpr int64_t kHoursInDay = 24;
constexpr int64_t kDaysInWeek = 7;

// The figure's height in pixels of each kind of row, and its width.
constexpr int kWidth = 1000;
constexpr int kCaptionHeight = 50;
constexpr int kCalendarHeight = 230;
constexpr int kWeeksHeight = 120;
constexpr int kCountsHeight = 250;
constexpr int kEventHeight = 300;

// A round step at or below `x` > 0: 1, 2 or 5 times a power of ten.
double Step(double x) {
  const double decade = std::pow(10.0, std::floor(std::log10(x)));
  for (double m : {5.0, 2.0}) {
    if (m * decade <= x) return m * decade;
  }
  return decade;
}

CalendarStrip StripOf(const std::vector<HourRisk>& hours, int64_t first,
                      int64_t count, const std::string& name) {
  CalendarStrip strip;
  strip.name = name;
  strip.days = count / kHoursInDay;
  for (int64_t h = 0; h < strip.days * kHoursInDay; ++h) {
    const double lolp = hours[static_cast<size_t>(first + h)].lolp;
    strip.lolp.push_back(lolp);
    const auto week = static_cast<size_t>(h / (kHoursInDay * kDaysInWeek));
    if (strip.weekly_lolh.size() <= week) strip.weekly_lolh.push_back(0.0);
    strip.weekly_lolh[week] += lolp;
    strip.lolh += lolp;
  }
  return strip;
}

// One row of counts, `x count` for each nonzero count.
std::string CountsText(const std::vector<int64_t>& counts) {
  std::string text;
  for (size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    text += std::to_string(i) + " " + std::to_string(counts[i]) + "\n";
  }
  return text;
}

// Events by energy: the bin, its count and, every other bin, the lower
// edge in MWh as the tick's label.
std::string EnergyText(const std::vector<int64_t>& counts) {
  std::string text;
  for (size_t k = 0; k < counts.size(); ++k) {
    if (counts[k] == 0) continue;
    const double low = k == 0 ? 0.0 : std::ldexp(1.0, static_cast<int>(k) - 1);
    text += std::to_string(k) + " " + std::to_string(counts[k]) + " \"" +
            (k % 2 == 1 || k == 0 ? GnuplotNumber(low) : "") + "\"\n";
  }
  return text;
}

// Places the next panel: `left` and `width` as shares of the width, `top`
// and `height` in pixels of `total`.
std::string Place(double left, double width, int top, int height, int total) {
  const double h = static_cast<double>(height) / total;
  const double y = 1.0 - static_cast<double>(top + height) / total;
  return "set origin " + GnuplotNumber(left) + "," + GnuplotNumber(y) +
         "\nset size " + GnuplotNumber(width) + "," + GnuplotNumber(h) + "\n";
}

std::string Reset() {
  return "unset logscale\nset xtics autofreq\nset ytics autofreq\n"
         "set format x\nset format y\n"
         "set xrange [*:*]\nset yrange [*:*]\nset key default\n"
         "unset colorbox\nunset xlabel\nunset ylabel\nunset title\n";
}

std::string CalendarScript(const CalendarStrip& strip, bool without_storage,
                           size_t index, int top, int total) {
  const std::string cells = "cal_" + std::to_string(index) + ".dat";
  const std::string weeks = "week_" + std::to_string(index) + ".dat";
  const std::string of = strip.name.empty() ? "" : ", " + strip.name;
  std::string s = Reset() + Place(0.0, 1.0, top, kCalendarHeight, total);
  s +=
      "set title " +
      GnuplotString(
          std::string("When the risk lies: each hour's LOLP (direct solution") +
          (without_storage ? " without storage" : "") + of +
          "; blank where it is 0)") +
      " noenhanced\n";
  s += std::string("set xlabel '") +
       (strip.weather_year ? "day of the weather year" : "day of the series") +
       "'\nset ylabel 'hour of the day'\n";
  s += "set xrange [0.5:" +
       GnuplotNumber(static_cast<double>(strip.days) + 0.5) +
       "]\nset yrange [-0.5:23.5]\nset ytics 0,6,23\n";
  // Eight decades below the highest hour: the rest is as good as none.
  const double most = strip.lolp.empty() ? 0.0
                                         : *std::max_element(strip.lolp.begin(),
                                                             strip.lolp.end());
  if (most > 0.0) {
    s += "set cbrange [" + GnuplotNumber(most * 1e-8) + ":" +
         GnuplotNumber(most) + "]\n";
  }
  s += "set logscale cb\nset format cb '10^{%L}'\nset cblabel 'LOLP'\n"
       "set colorbox\nset palette defined (0 '#fff5eb', 0.5 '#fd8d3c', "
       "1 '#7f2704')\n";
  s += "plot '" + cells + "' using 1:2:3 with image notitle\n";
  s += "unset logscale cb\nunset cblabel\nset format cb\n"
       "set cbrange [*:*]\n";
  s += Reset() + Place(0.0, 1.0, top + kCalendarHeight, kWeeksHeight, total);
  s += "set title 'LOLH of each week, h (they add up to the year' . \"'\" . "
       "'s LOLH)'\nset xlabel 'week'\nset ylabel 'h'\n"
       "set style fill solid 0.8\nset boxwidth 0.8\n"
       "set xrange [0.5:" +
       GnuplotNumber(static_cast<double>(strip.weekly_lolh.size()) + 0.5) +
       "]\n";
  const double most_week = strip.weekly_lolh.empty()
                               ? 0.0
                               : *std::max_element(strip.weekly_lolh.begin(),
                                                   strip.weekly_lolh.end());
  if (most_week > 0.0) {
    s += "set yrange [0:" + GnuplotNumber(most_week * 1.05) + "]\nset ytics " +
         GnuplotNumber(Step(most_week)) + "\n";
  }
  s += "plot '" + weeks + "' using 1:2 with boxes lc rgb '#d94801' notitle\n";
  return s;
}

std::string CountsScript(const YearSample& sample, int top, int total) {
  const std::string years = std::to_string(sample.years());
  std::string s;
  s += Reset() + Place(0.0, 1.0 / 3, top, kCountsHeight, total);
  s += "set title 'Events by duration'\nset xlabel 'hours'\n"
       "set ylabel 'events'\nset logscale y\nset style fill solid 0.8\n"
       "set boxwidth 0.8\n"
       "plot 'events_hours.dat' using 1:2 with boxes lc rgb '#ff7f0e' "
       "notitle\n";
  s += Reset() + Place(1.0 / 3, 1.0 / 3, top, kCountsHeight, total);
  s += "set title 'Events by unserved energy'\n"
       "set xlabel 'MWh, bins doubling from each label'\n"
       "set ylabel 'events'\nset logscale y\nset style fill solid 0.8\n"
       "set boxwidth 0.8\n"
       "plot 'events_energy.dat' using 1:2:xtic(3) with boxes lc rgb "
       "'#9467bd' notitle\n";
  s += Reset() + Place(2.0 / 3, 1.0 / 3, top, kCountsHeight, total);
  s += "set title " + GnuplotString("Years by deficit hours, of " + years) +
       "\nset xlabel 'deficit hours in the year'\nset ylabel 'years'\n"
       "set xrange [-1:*]\n"
       "set logscale y\nset style fill solid 0.8\nset boxwidth 0.8\n"
       "plot 'years.dat' using 1:2 with boxes lc rgb '#2ca02c' notitle\n";
  return s;
}

// The worst event's panel up to its plot: placed, titled `what` with the
// event's year, hours and energy, its axes in hours and MW.
std::string EventPanel(const EventHours& worst, const std::string& what,
                       int top, int total, double width) {
  std::string s = Reset() + Place(0.0, width, top, kEventHeight, total);
  s += "set title " +
       GnuplotString(what + ": year " + std::to_string(worst.year) +
                     ", from hour " + std::to_string(worst.first_hour) + ", " +
                     std::to_string(worst.duration_hours) + " h, " +
                     GnuplotNumber(std::round(worst.unserved_mwh)) +
                     " MWh unserved") +
       " noenhanced\n";
  return s +
         "set xlabel 'hour of the series'\nset ylabel 'MW'\n"
         "set key top left\nset style fill solid 0.5\nset boxwidth 1\n";
}

std::string EventScript(const EventHours& worst,
                        const std::vector<std::string>& devices, int top,
                        int total, double width) {
  std::string s =
      EventPanel(worst, "The worst simulated event", top, total, width);
  std::string plot =
      "plot 'worst.dat' using 1:4 with boxes lc rgb '#d62728' "
      "title 'unserved', '' using 1:2 with lines lw 2 lc rgb '#1f77b4' "
      "title 'net load', '' using 1:3 with steps lw 2 lc rgb '#2ca02c' "
      "title 'available'";
  // Each device's discharge on the MW axis, its energy on the right one.
  const size_t shown = std::min(
      devices.size(),
      worst.hourly.empty() ? 0 : worst.hourly.front().energy_mwh.size());
  for (size_t d = 0; d < shown; ++d) {
    plot += ", '' using 1:" + std::to_string(6 + 2 * d) +
            " with steps lw 1.5 dt 2 title " +
            GnuplotString(devices[d] + " discharge, MW") +
            " noenhanced, '' using 1:" + std::to_string(5 + 2 * d) +
            " axes x1y2 with lines lw 1.5 title " +
            GnuplotString(devices[d] + " energy, MWh") + " noenhanced";
  }
  if (shown > 0) s += "set y2tics\nset y2label 'MWh stored'\n";
  s += plot + "\n";
  if (shown > 0) s += "unset y2tics\nunset y2label\n";
  return s;
}

// The worst event of areas: the system's MW unserved, each area's margin
// on its own and each tie's flow, from its first area to its second.
std::string AreasEventScript(const EventHours& worst,
                             const std::vector<std::string>& areas,
                             const std::vector<std::string>& ties, int top,
                             int total, double width) {
  std::string plot =
      "plot 'worst.dat' using 1:4 with boxes lc rgb '#d62728' "
      "title 'unserved, the system'";
  for (size_t a = 0; a < areas.size(); ++a) {
    plot += ", '' using 1:" + std::to_string(5 + a) + " with lines lw 2 " +
            "title " + GnuplotString(areas[a] + " margin on its own") +
            " noenhanced";
  }
  for (size_t t = 0; t < ties.size(); ++t) {
    plot += ", '' using 1:" + std::to_string(5 + areas.size() + t) +
            " with steps lw 1.5 dt 2 title " +
            GnuplotString(ties[t] + " flow") + " noenhanced";
  }
  return EventPanel(worst, "The worst simulated event of the system", top,
                    total, width) +
         plot + "\n";
}

std::string RatiosScript(size_t count, int top, int total, double left) {
  std::string s = Reset() + Place(left, 1.0 - left, top, kEventHeight, total);
  s += "set title 'Each index over its exact value, 95 % interval'\n"
       "set ylabel 'simulated / exact'\n"
       "set xrange [0.5:" +
       GnuplotNumber(static_cast<double>(count) + 0.5) +
       "]\nset key top center horizontal\n"
       "plot 'ratios.dat' using 1:2:3:4:xtic(5) with yerrorbars pt 7 ps 1.5 "
       "lc rgb '#1f77b4' title 'estimate', 1 with lines dt 2 lc rgb "
       "'#d62728' title 'exact'\n";
  return s;
}

std::string Caption(const System& system, const AssessFigureInput& input,
                    const std::string& version) {
  std::string caption = system.name + " (" + system.file + "), adequacy " +
                        version + ", direct solution";
  if (input.sample != nullptr) {
    caption += "; simulated with " + std::string(kGeneratorName) + ", seed " +
               std::to_string(input.seed) + ", " +
               std::to_string(input.sample->years()) + " years";
  }
  return caption;
}

}  // namespace

std::vector<CalendarStrip> CalendarOf(const std::vector<HourRisk>& hours,
                                      const std::vector<WeatherYear>& years) {
  std::vector<CalendarStrip> strips;
  if (years.empty()) {
    strips.push_back(StripOf(hours, 0, static_cast<int64_t>(hours.size()), ""));
    return strips;
  }
  for (const WeatherYear& year : years) {
    strips.push_back(StripOf(hours, year.first_hour, year.hours,
                             "weather year " + year.name));
    strips.back().weather_year = true;
  }
  if (strips.size() <= kMostStrips) return strips;
  // The years of the highest LOLH, in file order.
  std::vector<size_t> order(strips.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return strips[a].lolh > strips[b].lolh;
  });
  order.resize(kMostStrips);
  std::sort(order.begin(), order.end());
  std::vector<CalendarStrip> kept;
  for (size_t i : order) kept.push_back(std::move(strips[i]));
  return kept;
}

std::vector<IndexRatio> RatiosOf(const SimulationSummary& run,
                                 const Assessment& exact) {
  std::vector<IndexRatio> ratios;
  const struct {
    const char* name;
    SampleFigure figure;
    double exact;
  } rows[] = {{"LOLH", SampleFigure::kDeficitHours, exact.lolh},
              {"LOLE", SampleFigure::kPeakDeficits, exact.lole},
              {"EUE", SampleFigure::kUnservedMwh, exact.eue}};
  for (const auto& row : rows) {
    if (!(row.exact > 0.0)) continue;
    const SampleInterval i = ReportedInterval(run, row.figure);
    ratios.push_back({row.name, i.estimate / row.exact, i.low / row.exact,
                      i.high / row.exact});
  }
  return ratios;
}

AssessFigureInput OneAreaFigure(const System& system, const Assessment& exact,
                                const SimulationSummary* run) {
  AssessFigureInput input;
  input.strips = CalendarOf(exact.hours, system.weather_years);
  input.without_storage = !system.storage.empty();
  if (run != nullptr && run->sample != nullptr) {
    input.sample = run->sample;
    input.seed = run->seed;
    input.worst = run->worst;
    // With storage the exact values are of the system without it: no
    // index of the simulated system has one.
    if (system.storage.empty()) input.ratios = RatiosOf(*run, exact);
    for (const StorageDevice& device : system.storage) {
      for (int64_t i = 0; i < device.count; ++i) {
        input.devices.push_back(device.count > 1
                                    ? device.name + " " + std::to_string(i + 1)
                                    : device.name);
      }
    }
  }
  return input;
}

AssessFigureInput AreasFigure(const System& system,
                              const AreasAssessment& exact,
                              const AreasRun* run) {
  AssessFigureInput input;
  input.without_storage = !system.storage.empty();
  for (size_t a = 0; a < system.areas.size(); ++a) {
    std::vector<HourRisk> hours;
    for (const TwoAreaHour& h : exact.hours) hours.push_back({h.lolp[a], 0.0});
    for (const BoundsHour& h : exact.bounds) {
      hours.push_back({h.alone_lolp[a], 0.0});
    }
    if (hours.empty()) continue;
    std::vector<CalendarStrip> strips = CalendarOf(hours, system.weather_years);
    size_t riskiest = 0;
    for (size_t i = 1; i < strips.size(); ++i) {
      if (strips[i].lolh > strips[riskiest].lolh) riskiest = i;
    }
    CalendarStrip strip = std::move(strips[riskiest]);
    const std::string& year = strip.name;
    strip.name = "area " + system.areas[a].name +
                 (exact.exact ? "" : " alone") +
                 (year.empty() ? "" : ", " + year);
    input.strips.push_back(std::move(strip));
  }
  if (run == nullptr || run->sample == nullptr) return input;
  const PairedSample& paired = run->sample->system();
  input.sample = &paired.sample();
  input.seed = run->summary.seed;
  input.worst = run->worst;
  for (const Area& area : system.areas) input.areas.push_back(area.name);
  for (const Interface& tie : system.interfaces) {
    input.ties.push_back(system.areas[tie.first].name + " to " +
                         system.areas[tie.second].name);
  }
  if (!exact.exact) return input;
  const struct {
    const char* name;
    SampleFigure figure;
    double exact;
  } rows[] = {{"LOLH", SampleFigure::kDeficitHours, exact.system.lolh},
              {"LOLE", SampleFigure::kPeakDeficits, exact.system.lole},
              {"EUE", SampleFigure::kUnservedMwh, exact.system.eue}};
  for (const auto& row : rows) {
    if (!(row.exact > 0.0)) continue;
    const SampleInterval i = paired.Reported(row.figure, run->exact.islands,
                                             &run->exact.copper_plate);
    input.ratios.push_back({row.name, i.estimate / row.exact, i.low / row.exact,
                            i.high / row.exact});
  }
  return input;
}

std::vector<FigureFile> AssessFigure(const System& system,
                                     const AssessFigureInput& input,
                                     const std::string& version,
                                     const std::string& output) {
  std::vector<FigureFile> files;
  const std::vector<CalendarStrip>& strips = input.strips;
  const bool simulated = input.sample != nullptr;
  const bool worst = input.worst != nullptr && input.worst->found;
  const std::vector<IndexRatio>& ratios = input.ratios;
  int total = kCaptionHeight + static_cast<int>(strips.size()) *
                                   (kCalendarHeight + kWeeksHeight);
  if (simulated) total += kCountsHeight;
  if (worst || !ratios.empty()) total += kEventHeight;

  for (size_t i = 0; i < strips.size(); ++i) {
    const CalendarStrip& strip = strips[i];
    std::string cells;
    for (int64_t day = 0; day < strip.days; ++day) {
      for (int64_t hour = 0; hour < kHoursInDay; ++hour) {
        const double lolp =
            strip.lolp[static_cast<size_t>(day * kHoursInDay + hour)];
        cells += std::to_string(day + 1) + " " + std::to_string(hour) + " " +
                 (lolp > 0.0 ? GnuplotNumber(lolp) : "NaN") + "\n";
      }
    }
    files.push_back({"cal_" + std::to_string(i) + ".dat", cells});
    std::string weeks;
    for (size_t w = 0; w < strip.weekly_lolh.size(); ++w) {
      weeks += std::to_string(w + 1) + " " +
               GnuplotNumber(strip.weekly_lolh[w]) + "\n";
    }
    files.push_back({"week_" + std::to_string(i) + ".dat", weeks});
  }
  if (simulated) {
    files.push_back(
        {"events_hours.dat", CountsText(input.sample->events_by_hours())});
    files.push_back(
        {"events_energy.dat", EnergyText(input.sample->events_by_energy())});
    files.push_back(
        {"years.dat", CountsText(input.sample->years_by_deficit_hours())});
  }
  if (worst) {
    std::string text;
    for (const EventHour& h : input.worst->hourly) {
      text += std::to_string(h.hour) + " " + GnuplotNumber(h.net_load_mw) +
              " " + GnuplotNumber(h.available_mw) + " " +
              GnuplotNumber(h.unserved_mw);
      for (size_t d = 0; d < h.energy_mwh.size(); ++d) {
        text += " " + GnuplotNumber(h.energy_mwh[d]) + " " +
                GnuplotNumber(h.discharge_mw[d]);
      }
      for (double mw : h.area_margin_mw) text += " " + GnuplotNumber(mw);
      for (double mw : h.tie_flow_mw) text += " " + GnuplotNumber(mw);
      text += "\n";
    }
    files.push_back({"worst.dat", text});
  }
  if (!ratios.empty()) {
    std::string text;
    for (size_t i = 0; i < ratios.size(); ++i) {
      text += std::to_string(i + 1) + " " + GnuplotNumber(ratios[i].estimate) +
              " " + GnuplotNumber(ratios[i].low) + " " +
              GnuplotNumber(ratios[i].high) + " " + ratios[i].name + "\n";
    }
    files.push_back({"ratios.dat", text});
  }

  std::string s = GnuplotStart(output, kWidth, total);
  s += "set multiplot title " + GnuplotString(Caption(system, input, version)) +
       " noenhanced\n";
  int top = kCaptionHeight;
  for (size_t i = 0; i < strips.size(); ++i) {
    s += CalendarScript(strips[i], input.without_storage, i, top, total);
    top += kCalendarHeight + kWeeksHeight;
  }
  if (simulated) {
    s += CountsScript(*input.sample, top, total);
    top += kCountsHeight;
  }
  if (worst) {
    s += input.areas.empty()
             ? EventScript(*input.worst, input.devices, top, total,
                           ratios.empty() ? 1.0 : 0.62)
             : AreasEventScript(*input.worst, input.areas, input.ties, top,
                                total, ratios.empty() ? 1.0 : 0.62);
  }
  if (!ratios.empty()) {
    s += RatiosScript(ratios.size(), top, total, worst ? 0.62 : 0.0);
  }
  s += "unset multiplot\nset output\n";
  files.push_back({"figure.gp", s});
  return files;
}

}  // namespace adequacy
