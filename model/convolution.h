// One two-state unit added to a cumulative capacity table: the recursive
// convolution that builds every availability table of the program.
#ifndef ADEQUACY_MODEL_CONVOLUTION_H_
#define ADEQUACY_MODEL_CONVOLUTION_H_

#include <cstdint>

namespace adequacy {

// With a unit of `capacity` MW out with probability q, a cumulative table
// t becomes t'[x] = q t[x] + (1 - q) t[x - capacity], for x from `top` down
// to `first`; an index below `first` reads `edge`, the table's value there.
// Descending x reads t[x - capacity] before this unit changes it, so the
// update needs no second table.
inline void ConvolveUnit(double* table, int32_t top, int32_t first,
                         int32_t capacity, double q, double edge) {
  const double available = 1.0 - q;
  for (int32_t x = top; x >= first; --x) {
    const int32_t below = x - capacity;
    const double before = below >= first ? table[below] : edge;
    table[x] = q * table[x] + available * before;
  }
}

}  // namespace adequacy

#endif  // ADEQUACY_MODEL_CONVOLUTION_H_
