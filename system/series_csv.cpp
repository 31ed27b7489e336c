#include "system/series_csv.h"

#include <charconv>
#include <cmath>
#include <string>

namespace adequacy {
namespace {

std::string_view Trim(std::string_view text) {
  const auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
  };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

// A header names the column: it cannot start the way a number does, so
// that a mistyped first value ("12O0") is refused, not skipped.
bool LooksLikeHeader(std::string_view field) {
  const char c = field.front();
  if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') return false;
  const std::string lower(field.substr(0, 3));
  return lower != "nan" && lower != "NaN" && lower != "inf" && lower != "Inf";
}

// A quoted excerpt of a line for a message, cut short where it is long.
std::string Excerpt(std::string_view field) {
  constexpr size_t kLongest = 40;
  std::string text(field.substr(0, kLongest));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  if (field.size() > kLongest) text += "...";
  return "'" + text + "'";
}

}  // namespace

bool ParseSeries(std::string_view text, std::vector<double>* values,
                 InputError* error) {
  int64_t line = 0;
  bool first = true;
  while (!text.empty()) {
    ++line;
    const size_t end = text.find('\n');
    std::string_view field = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    field = Trim(field.substr(0, field.find('#')));
    if (field.empty()) continue;
    const bool header = first && LooksLikeHeader(field);
    first = false;
    if (header) continue;
    double value = 0.0;
    const auto [rest, status] =
        std::from_chars(field.data(), field.data() + field.size(), value);
    if (status == std::errc::result_out_of_range) {
      error->line = line;
      error->what = Excerpt(field) + " is out of a double's range";
      return false;
    }
    if (status != std::errc() || rest != field.data() + field.size()) {
      error->line = line;
      error->what = Excerpt(field) + " is not a number";
      return false;
    }
    if (!std::isfinite(value)) {
      error->line = line;
      error->what = Excerpt(field) + " is not a finite number";
      return false;
    }
    if (value < 0.0) {
      error->line = line;
      error->what = "a negative value, " + Excerpt(field) + " MW";
      return false;
    }
    values->push_back(value + 0.0);  // -0 is 0.
  }
  return true;
}

}  // namespace adequacy
