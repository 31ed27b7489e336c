// The unserved-energy sum of one hour: MWHEUE + (1-P(1)) + ... + (1-P(n)),
// added one term at a time in increasing x, exactly as a plain loop would.
#ifndef ADEQUACY_DIRECT_UNSERVED_ENERGY_H_
#define ADEQUACY_DIRECT_UNSERVED_ENERGY_H_

#include <cstdint>
#include <vector>

#include "model/availability.h"

namespace adequacy {

// term[x] = 1 - P(x) for x = 0..installed capacity; beyond it every term
// is exactly 1.  On the heap: at 85 KB the table would not fit a small
// stack.
using ShortfallTerms = std::vector<double>;

ShortfallTerms MakeShortfallTerms(const AvailabilityTable& table);

// The result of adding 1.0 to `sum` `count` times, one addition after the
// other, in time independent of count.
double AddOnes(double sum, int64_t count);

// Adds the terms for x = 1..n to `sum` by the plain loop.
double AddShortfallPlain(double sum, const ShortfallTerms& terms, int32_t n);

// The same result, bit for bit, skipping the leading run of terms that are
// too small to change `sum` (the terms never decrease with x).
double AddShortfallFast(double sum, const ShortfallTerms& terms, int32_t n);

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_UNSERVED_ENERGY_H_
