#include "report/hourly_csv.h"

#include <algorithm>
#include <charconv>

namespace adequacy {
namespace {

void Append(std::string* text, double value, char after) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text->append(buffer, result.ptr);
  *text += after;
}

// The simulated years that had weather year `w` of `weather_years`, the
// years taking them in turn.
double YearsOf(int64_t simulated_years, int64_t weather_years, int64_t w) {
  const int64_t had = simulated_years / weather_years +
                      (w < simulated_years % weather_years ? 1 : 0);
  return had > 0 ? static_cast<double>(had) : 1.0;
}

// Advances `year` to the weather year of `hour`.
void YearOfHour(const std::vector<WeatherYear>& years, size_t hour,
                size_t* year) {
  while (*year + 1 < years.size() &&
         static_cast<int64_t>(hour) >= years[*year + 1].first_hour) {
    ++*year;
  }
}

}  // namespace

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours,
                      const std::vector<WeatherYear>& years,
                      const YearSample* simulated) {
  std::string text = years.empty() ? "hour," : "hour,weather_year,";
  text += "load_mw,net_load_mw,lolp,expected_unserved_mwh";
  text += simulated ? ",simulated_lolp,simulated_unserved_mw\n" : "\n";
  text.reserve(text.size() + hours.size() * (simulated ? 96 : 64));
  const int64_t simulated_years = simulated ? simulated->years() : 1;
  const auto weather_years = static_cast<int64_t>(years.size());
  size_t year = 0;  // The weather year of the hour.
  double share = static_cast<double>(simulated_years);
  for (size_t hour = 0; hour < hours.size(); ++hour) {
    text += std::to_string(hour + 1);
    text += ',';
    if (!years.empty()) {
      YearOfHour(years, hour, &year);
      share =
          YearsOf(simulated_years, weather_years, static_cast<int64_t>(year));
      text += years[year].name;
      text += ',';
    }
    Append(&text, load[hour], ',');
    Append(&text, net_load[hour], ',');
    Append(&text, hours[hour].lolp, ',');
    if (!simulated) {
      Append(&text, hours[hour].unserved_mwh, '\n');
      continue;
    }
    Append(&text, hours[hour].unserved_mwh, ',');
    const double n = share > 0.0 ? share : 1.0;
    Append(&text,
           static_cast<double>(simulated->short_years_by_hour()[hour]) / n,
           ',');
    Append(&text, simulated->unserved_by_hour()[hour] / n, '\n');
  }
  return text;
}

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours) {
  return HourlyCsv(load, net_load, hours, {}, nullptr);
}

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours,
                      const YearSample& simulated) {
  return HourlyCsv(load, net_load, hours, {}, &simulated);
}

std::string BoundsHourlyCsv(const System& system,
                            const std::vector<std::vector<double>>& nets,
                            const std::vector<BoundsHour>& hours,
                            const AreasSample& simulated) {
  const std::vector<WeatherYear>& years = system.weather_years;
  std::string text = years.empty() ? "hour" : "hour,weather_year";
  for (const Area& area : system.areas) {
    text += "," + area.name + "_net_load_mw," + area.name + "_alone_lolp," +
            area.name + "_simulated_lolp," + area.name +
            "_simulated_unserved_mw";
  }
  text += ",islands_lolp,copper_plate_lolp,system_simulated_lolp\n";
  size_t year = 0;
  for (size_t hour = 0; hour < hours.size(); ++hour) {
    text += std::to_string(hour + 1);
    text += ',';
    double n = static_cast<double>(std::max<int64_t>(simulated.years(), 1));
    if (!years.empty()) {
      YearOfHour(years, hour, &year);
      n = YearsOf(simulated.years(), static_cast<int64_t>(years.size()),
                  static_cast<int64_t>(year));
      text += years[year].name;
      text += ',';
    }
    for (size_t a = 0; a < nets.size(); ++a) {
      const YearSample& sample = simulated.area(a).sample();
      Append(&text, nets[a][hour], ',');
      Append(&text, hours[hour].alone_lolp[a], ',');
      Append(&text, static_cast<double>(sample.short_years_by_hour()[hour]) / n,
             ',');
      Append(&text, sample.unserved_by_hour()[hour] / n, ',');
    }
    Append(&text, hours[hour].islands_lolp, ',');
    Append(&text, hours[hour].copper_plate_lolp, ',');
    const YearSample& whole = simulated.system().sample();
    Append(&text, static_cast<double>(whole.short_years_by_hour()[hour]) / n,
           '\n');
  }
  return text;
}

std::string AreasHourlyCsv(const System& system,
                           const std::vector<std::vector<double>>& nets,
                           const std::vector<TwoAreaHour>& hours,
                           const AreasSample* simulated) {
  const std::vector<WeatherYear>& years = system.weather_years;
  std::string text = years.empty() ? "hour" : "hour,weather_year";
  for (const Area& area : system.areas) {
    text += "," + area.name + "_net_load_mw," + area.name + "_lolp," +
            area.name + "_expected_unserved_mwh";
    if (simulated) {
      text += "," + area.name + "_simulated_lolp," + area.name +
              "_simulated_unserved_mw";
    }
  }
  text += simulated ? ",system_lolp,system_simulated_lolp\n" : ",system_lolp\n";
  const int64_t simulated_years = simulated ? simulated->years() : 1;
  size_t year = 0;
  // A simulated hour's share: its sums over the years that had its
  // weather year.
  const auto put = [&](const YearSample& sample, size_t hour, double n,
                       char after) {
    Append(&text, static_cast<double>(sample.short_years_by_hour()[hour]) / n,
           ',');
    Append(&text, sample.unserved_by_hour()[hour] / n, after);
  };
  for (size_t hour = 0; hour < hours.size(); ++hour) {
    text += std::to_string(hour + 1);
    text += ',';
    double n = static_cast<double>(std::max<int64_t>(simulated_years, 1));
    if (!years.empty()) {
      YearOfHour(years, hour, &year);
      n = YearsOf(simulated_years, static_cast<int64_t>(years.size()),
                  static_cast<int64_t>(year));
      text += years[year].name;
      text += ',';
    }
    for (size_t a = 0; a < nets.size() && a < 2; ++a) {
      Append(&text, nets[a][hour], ',');
      Append(&text, hours[hour].lolp[a], ',');
      Append(&text, hours[hour].unserved[a], ',');
      if (simulated) put(simulated->area(a).sample(), hour, n, ',');
    }
    if (!simulated) {
      Append(&text, hours[hour].system_lolp, '\n');
      continue;
    }
    Append(&text, hours[hour].system_lolp, ',');
    const YearSample& system_sample = simulated->system().sample();
    Append(&text,
           static_cast<double>(system_sample.short_years_by_hour()[hour]) / n,
           '\n');
  }
  return text;
}

}  // namespace adequacy
