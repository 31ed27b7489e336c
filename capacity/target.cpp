#include "capacity/target.h"

#include <charconv>
#include <cmath>

namespace adequacy {

bool ParseTarget(const std::string& text, Target* target, std::string* error) {
  const size_t equals = text.find('=');
  const std::string name = text.substr(0, equals);
  if (name == "LOLE") {
    target->index = RiskIndex::kLole;
  } else if (name == "LOLH") {
    target->index = RiskIndex::kLolh;
  } else if (name == "EUE") {
    target->index = RiskIndex::kEue;
  } else {
    *error =
        "--target takes LOLE=, LOLH= or EUE= and a value, not '" + text + "'";
    return false;
  }
  const std::string value =
      equals == std::string::npos ? "" : text.substr(equals + 1);
  const auto [end, status] =
      std::from_chars(value.data(), value.data() + value.size(), target->value);
  if (value.empty() || status != std::errc() ||
      end != value.data() + value.size() || !std::isfinite(target->value) ||
      target->value < 0.0) {
    *error =
        "--target " + name + " needs a value of 0 or more, not '" + value + "'";
    return false;
  }
  return true;
}

const char* IndexName(RiskIndex index) {
  switch (index) {
    case RiskIndex::kLole:
      return "LOLE";
    case RiskIndex::kLolh:
      return "LOLH";
    case RiskIndex::kEue:
      return "EUE";
  }
  return "";
}

const char* IndexUnit(RiskIndex index) {
  switch (index) {
    case RiskIndex::kLole:
      return "d/yr";
    case RiskIndex::kLolh:
      return "h/yr";
    case RiskIndex::kEue:
      return "MWh/yr";
  }
  return "";
}

double IndexOf(const Assessment& result, RiskIndex index) {
  switch (index) {
    case RiskIndex::kLole:
      return result.lole;
    case RiskIndex::kLolh:
      return result.lolh;
    case RiskIndex::kEue:
      return result.eue;
  }
  return 0.0;
}

}  // namespace adequacy
