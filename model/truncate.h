// Real-to-integer conversion used throughout: truncation toward zero into a
// 32-bit signed integer, saturating at the integer's range (and 0 for NaN)
// instead of overflowing.
#ifndef ADEQUACY_MODEL_TRUNCATE_H_
#define ADEQUACY_MODEL_TRUNCATE_H_

#include <cstdint>
#include <limits>

namespace adequacy {

inline int32_t TruncateToInt32(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace adequacy

#endif  // ADEQUACY_MODEL_TRUNCATE_H_
