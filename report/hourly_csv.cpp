#include "report/hourly_csv.h"

#include <charconv>

namespace adequacy {
namespace {

void Append(std::string* text, double value, char after) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text->append(buffer, result.ptr);
  *text += after;
}

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours,
                      const YearSample* simulated) {
  std::string text = "hour,load_mw,net_load_mw,lolp,expected_unserved_mwh";
  text += simulated ? ",simulated_lolp,simulated_unserved_mw\n" : "\n";
  text.reserve(text.size() + hours.size() * (simulated ? 96 : 64));
  const double years =
      simulated ? static_cast<double>(simulated->years()) : 1.0;
  for (size_t hour = 0; hour < hours.size(); ++hour) {
    text += std::to_string(hour + 1);
    text += ',';
    Append(&text, load[hour], ',');
    Append(&text, net_load[hour], ',');
    Append(&text, hours[hour].lolp, ',');
    if (!simulated) {
      Append(&text, hours[hour].unserved_mwh, '\n');
      continue;
    }
    Append(&text, hours[hour].unserved_mwh, ',');
    Append(&text,
           static_cast<double>(simulated->short_years_by_hour()[hour]) / years,
           ',');
    Append(&text, simulated->unserved_by_hour()[hour] / years, '\n');
  }
  return text;
}

}  // namespace

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours) {
  return HourlyCsv(load, net_load, hours, nullptr);
}

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours,
                      const YearSample& simulated) {
  return HourlyCsv(load, net_load, hours, &simulated);
}

}  // namespace adequacy
