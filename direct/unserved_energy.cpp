#include "direct/unserved_energy.h"

#include <algorithm>
#include <cmath>

namespace adequacy {
namespace {

// Above 2^53 adding 1 is at most a tie; a fixed point follows within two
// additions.
constexpr double kTwoTo53 = 9007199254740992.0;

}  // namespace

ShortfallTerms MakeShortfallTerms(const AvailabilityTable& table) {
  ShortfallTerms terms(AvailabilityTable::kSize);
  for (int32_t x = 0; x < AvailabilityTable::kSize; ++x) {
    terms[x] = 1.0 - table.values()[x];
  }
  return terms;
}

double AddOnes(double sum, int64_t count) {
  while (count > 0) {
    if (!std::isfinite(sum)) return sum + 1.0;
    if (sum < 1.0 || sum >= kTwoTo53) {
      // Below 1 the addition rounds; above 2^53 it may round once and then
      // stops changing anything.
      const double next = sum + 1.0;
      --count;
      if (next == sum) return sum;
      sum = next;
      continue;
    }
    // In [2^e, 2^(e+1)) with 1 <= 2^e < 2^53, sum and 1 are multiples of
    // the spacing, so every addition that stays below 2^(e+1) is exact.
    int exponent = 0;
    std::frexp(sum, &exponent);  // sum = m * 2^exponent, 0.5 <= m < 1.
    const double limit = std::ldexp(1.0, exponent);
    const double gap = limit - sum;  // Exact: sum lies in [limit/2, limit).
    const int64_t exact_steps =
        std::min<int64_t>(count, static_cast<int64_t>(std::ceil(gap)) - 1);
    if (exact_steps > 0) {
      sum += static_cast<double>(exact_steps);
      count -= exact_steps;
    }
    if (count > 0) {
      sum = sum + 1.0;  // Crosses into the next binade, rounding once.
      --count;
    }
  }
  return sum;
}

namespace {

double AddTail(double sum, int32_t n) {
  if (n > kInstalledCapacity) {
    sum = AddOnes(sum, static_cast<int64_t>(n) - kInstalledCapacity);
  }
  return sum;
}

}  // namespace

double AddShortfallPlain(double sum, const ShortfallTerms& terms, int32_t n) {
  const int32_t last = std::min<int32_t>(n, kInstalledCapacity);
  for (int32_t x = 1; x <= last; ++x) sum += terms[x];
  return AddTail(sum, n);
}

double AddShortfallFast(double sum, const ShortfallTerms& terms, int32_t n) {
  const int32_t last = std::min<int32_t>(n, kInstalledCapacity);
  if (last >= 1) {
    // Find the first x whose term changes the sum.  Rounding is monotone,
    // so the terms that leave the sum unchanged form a prefix.
    int32_t lo = 1;
    int32_t hi = last + 1;
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (sum + terms[mid] == sum) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    for (int32_t x = lo; x <= last; ++x) sum += terms[x];
  }
  return AddTail(sum, n);
}

}  // namespace adequacy
