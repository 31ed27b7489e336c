#include "report/gnuplot_text.h"

#include <cstdio>

namespace adequacy {

std::string GnuplotNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::string GnuplotString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n' || c == '\r') continue;
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string GnuplotStart(const std::string& output, int width, int height) {
  const bool png =
      output.size() > 4 && output.compare(output.size() - 4, 4, ".png") == 0;
  const std::string size = std::to_string(width) + "," + std::to_string(height);
  return "set encoding utf8\n" +
         (png ? "set terminal pngcairo size " + size + " font 'Helvetica,10'\n"
              : "set terminal svg size " + size +
                    " font 'Helvetica,12' background '#ffffff'\n") +
         "set output " + GnuplotString(output) + "\n";
}

}  // namespace adequacy
