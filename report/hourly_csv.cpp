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

}  // namespace

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours) {
  std::string text = "hour,load_mw,net_load_mw,lolp,expected_unserved_mwh\n";
  text.reserve(text.size() + hours.size() * 64);
  for (size_t hour = 0; hour < hours.size(); ++hour) {
    text += std::to_string(hour + 1);
    text += ',';
    Append(&text, load[hour], ',');
    Append(&text, net_load[hour], ',');
    Append(&text, hours[hour].lolp, ',');
    Append(&text, hours[hour].unserved_mwh, '\n');
  }
  return text;
}

}  // namespace adequacy
