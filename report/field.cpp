#include "report/field.h"

#include <cmath>
#include <cstdio>

namespace adequacy {
namespace {

std::string Fit(const std::string& text, int width, bool* overflow) {
  if (static_cast<int>(text.size()) > width) {
    *overflow = true;
    return std::string(width, '*');
  }
  return std::string(width - text.size(), ' ') + text;
}

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

std::string RenderFixed(double value, int width, int decimals, bool* overflow) {
  if (!std::isfinite(value)) return Fit(NonFiniteText(value), width, overflow);
  // The C library converts the exact binary value and rounds ties to even.
  // The largest double has 309 integer digits.
  char digits[400];
  std::snprintf(digits, sizeof(digits), "%.*f", decimals, std::fabs(value));
  std::string body = digits;
  if (decimals == 0) body += '.';
  bool all_zero = true;
  for (char c : body) {
    if (c >= '1' && c <= '9') all_zero = false;
  }
  const bool negative = std::signbit(value) && !all_zero;
  const int sign_width = negative ? 1 : 0;
  if (body[0] == '0' && body[1] == '.' &&
      static_cast<int>(body.size()) + sign_width > width) {
    body.erase(0, 1);
  }
  return Fit(negative ? "-" + body : body, width, overflow);
}

std::string RenderInteger(int32_t value, int width, bool* overflow) {
  if (value == 0) return std::string(width, ' ');
  return Fit(std::to_string(value), width, overflow);
}

}  // namespace adequacy
