#include "report/status_line.h"

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

}  // namespace

std::string StatusLineText(int64_t years, int64_t checkpoint,
                           double seconds_left) {
  const double share = checkpoint > 0 ? 100.0 * static_cast<double>(years) /
                                            static_cast<double>(checkpoint)
                                      : 0.0;
  char percent[16];
  std::snprintf(percent, sizeof(percent), "%.1f%%", share);
  return "  simulating: " + Grouped(years) + " of " + Grouped(checkpoint) +
         " years (" + percent + "), " + TimeLeft(seconds_left);
}

void DrawStatusLine(std::FILE* terminal, const std::string& text) {
  std::fputs(("\r" + text + "\033[K").c_str(), terminal);
  std::fflush(terminal);
}

}  // namespace adequacy
