// What every figure's gnuplot script shares: numbers written to ten
// significant digits, strings quoted as gnuplot reads them, and the
// script's opening for an SVG or a PNG.
#ifndef ADEQUACY_REPORT_GNUPLOT_TEXT_H_
#define ADEQUACY_REPORT_GNUPLOT_TEXT_H_

#include <string>

namespace adequacy {

std::string GnuplotNumber(double value);

// `text` as a gnuplot string in double quotes, shown as it is: quotes and
// backslashes escaped, line breaks left out.
std::string GnuplotString(const std::string& text);

// The script's opening: UTF-8, a PNG where `output` ends in .png, else an
// SVG on white, `width` by `height` pixels, written to `output`.
std::string GnuplotStart(const std::string& output, int width, int height);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_GNUPLOT_TEXT_H_
