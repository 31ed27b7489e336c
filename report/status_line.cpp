#include "report/status_line.h"

#include <climits>
#include <cmath>

namespace adequacy {
namespace {

// 1234567 as "1,234,567".
std::string Grouped(int64_t value) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string grouped = value < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string TimeLeft(double seconds) {
  if (!(seconds >= 0)) return "estimating the time left";
  if (seconds < 1) return "less than a second left";
  if (seconds < 100) {
    return "about " + std::to_string(static_cast<int>(std::lround(seconds))) +
           " s left";
  }
  return "about " +
         std::to_string(static_cast<int64_t>(std::lround(seconds / 60))) +
         " min left";
}

std::string Percent(int64_t years, int64_t checkpoint) {
  const double share = checkpoint > 0 ? 100.0 * static_cast<double>(years) /
                                            static_cast<double>(checkpoint)
                                      : 0.0;
  char percent[16];
  std::snprintf(percent, sizeof(percent), "%.1f%%", share);
  return percent;
}

}  // namespace

std::string StatusLineText(int64_t years, int64_t checkpoint,
                           double seconds_left) {
  return FittedStatusLine(years, checkpoint, seconds_left, INT_MAX);
}

std::string FittedStatusLine(int64_t years, int64_t checkpoint,
                             double seconds_left, int columns) {
  const std::string percent = Percent(years, checkpoint);
  // "123,456 of 1,000,000 years (12.3%)", and that with the time left.
  const std::string counts = Grouped(years) + " of " + Grouped(checkpoint) +
                             " years (" + percent + ")";
  const std::string counts_and_time = counts + ", " + TimeLeft(seconds_left);
  const std::string forms[] = {
      "  simulating: " + counts_and_time, "  " + counts_and_time, "  " + counts,
      "  simulating: " + percent,         "  " + percent,
  };
  for (const std::string& form : forms) {
    if (static_cast<int64_t>(form.size()) < columns) return form;
  }
  return "";
}

void DrawStatusLine(std::FILE* terminal, const std::string& text) {
  const std::string drawn =
      text.empty() ? kEraseStatusLine : "\r" + text + "\033[K\r";
  std::fputs(drawn.c_str(), terminal);
  std::fflush(terminal);
}

}  // namespace adequacy
