#include "report/assessment_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace adequacy {
namespace {

// Six significant digits, what the published tables of the field give,
// and whole numbers from a million on rather than an exponent.
std::string Significant(double value) {
  char text[64];
  if (std::fabs(value) >= 1e6 && std::fabs(value) < 1e18) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.6g", value);
  }
  return text;
}

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Line(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return std::string(text) + "\n";
}

std::string IndexLine(const char* name, double value, const char* unit,
                      const char* meaning) {
  return Line("  %-8s %12s  %-7s %s", name, Significant(value).c_str(), unit,
              meaning);
}

std::string ProfileNames(const System& system) {
  std::string names;
  for (const Profile& profile : system.profiles) {
    names += names.empty() ? "" : ", ";
    names += profile.name;
  }
  return names;
}

std::string ByYearText(const std::vector<WeatherYear>& years,
                       const std::vector<Assessment>& by_year) {
  std::string text =
      Line("\n  %-12s %12s %12s %12s %12s %12s", "weather year", "LOLH h/yr",
           "LOLE d/yr", "EUE MWh/yr", "energy MWh", "peak MW");
  for (size_t w = 0; w < by_year.size() && w < years.size(); ++w) {
    const Assessment& year = by_year[w];
    text +=
        Line("  %-12s %12s %12s %12s %12s %12s", years[w].name.c_str(),
             Significant(year.lolh).c_str(), Significant(year.lole).c_str(),
             Significant(year.eue).c_str(), Significant(year.energy).c_str(),
             Significant(year.peak_load).c_str());
  }
  return text;
}

}  // namespace

std::string MaintenanceText(const System& system) {
  std::string text;
  int placed = 0;
  int entries = 0;
  for (const UnitGroup& group : system.units) {
    for (const Maintenance& entry : group.maintenance) {
      ++entries;
      placed += entry.placed ? 1 : 0;
      text += Line("    %-28s %lld %s, days %lld to %lld%s", group.name.c_str(),
                   static_cast<long long>(entry.count),
                   entry.count == 1 ? "unit" : "units",
                   static_cast<long long>(entry.first_day),
                   static_cast<long long>(entry.first_day + entry.days - 1),
                   entry.placed ? " (placed)" : "");
    }
  }
  if (entries == 0) return "";
  const std::string how = placed == 0 ? "as given"
                                      : std::to_string(placed) +
                                            " placed at the least LOLE, "
                                            "largest first";
  return Line("  planned maintenance, %d %s, %s", entries,
              entries == 1 ? "entry" : "entries", how.c_str()) +
         text;
}

std::string AssessmentText(const System& system, const LoadChange& change,
                           const Assessment& result,
                           const std::vector<Assessment>* by_year) {
  const size_t hours = system.load.size();
  std::string text = system.name + " (" + system.file + ")\n";
  text += Line("  %lld units, %lld MW installed",
               static_cast<long long>(system.unit_count()),
               static_cast<long long>(system.installed_mw()));
  text += Line("  %zu hours (%zu days), peak load %s MW", hours, hours / 24,
               Significant(result.peak_load).c_str());
  if (!system.weather_years.empty()) {
    text += Line(
        "  in %zu weather years, equally likely: the indices are a "
        "year's, their mean",
        system.weather_years.size());
  }
  if (std::isfinite(result.reserve_margin)) {
    text += Line("  reserve margin %.2f %%", result.reserve_margin);
  }
  if (change.scale != 1.0 || change.added_mw != 0.0) {
    text += Line(
        "  the load of the file scaled by %s, then %s MW added to "
        "every hour",
        Significant(change.scale).c_str(),
        Significant(change.added_mw).c_str());
  }
  if (!system.profiles.empty()) {
    text +=
        "  less variable generation, hour by hour: " + ProfileNames(system) +
        "\n";
  }
  text += MaintenanceText(system);
  text += system.storage.empty()
              ? "\nDirect solution (exact)\n"
              : "\nDirect solution (exact, of the system without its storage, "
                "which has none)\n";
  if (!system.uncertainty.empty()) {
    text += "  over the " + std::to_string(system.uncertainty.size()) +
            " outcomes of the uncertain load, weighted by their "
            "probabilities\n";
  }
  text += IndexLine("LOLH", result.lolh, "h/yr", "loss-of-load hours");
  text += IndexLine("LOLE", result.lole, "d/yr",
                    "loss-of-load days, at each day's peak hour");
  text += IndexLine("ALLR", result.allr, "",
                    "probability of at least one such day");
  text += IndexLine("EUE", result.eue, "MWh/yr", "expected unserved energy");
  text += IndexLine("energy", result.energy, "MWh", "energy demanded");
  text += IndexLine("ppm", result.ppm, "",
                    "unserved energy per million MWh demanded");
  if (by_year) text += ByYearText(system.years(), *by_year);
  return text;
}

}  // namespace adequacy
