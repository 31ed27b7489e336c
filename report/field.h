// Rendering of the two kinds of numeric field: fixed-point (F w.d) and
// integer (I w).  A value too wide for its field renders as w asterisks.
#ifndef ADEQUACY_REPORT_FIELD_H_
#define ADEQUACY_REPORT_FIELD_H_

#include <cstdint>
#include <string>

namespace adequacy {

// Rounds the exact stored value to d decimals, ties to even; omits the
// leading "0" of a magnitude below 1 only when the field has no room for
// it; never prints a minus sign on a value that rounds to zero.  Infinities
// and NaN print as "Infinity", "-Infinity" and "NaN" where they fit.
// Sets *overflow when the field is filled with asterisks.
std::string RenderFixed(double value, int width, int decimals, bool* overflow);

// Right-aligned decimal digits; 0 prints as blanks.
std::string RenderInteger(int32_t value, int width, bool* overflow);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_FIELD_H_
