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

// The same for a unit of several states: out with probability q, giving
// `mw[k]` (0 < mw[k] < capacity) with probability p[k] for k < states, and
// up with the rest: t'[x] = q t[x] + sum p[k] t[x - mw[k]] + p_up t[x -
// capacity].  Descending x again reads only entries not yet changed.
inline void ConvolveStates(double* table, int32_t top, int32_t capacity,
                           double q, const int32_t* mw, const double* p,
                           int states) {
  double up = 1.0 - q;
  for (int k = 0; k < states; ++k) up -= p[k];
  for (int32_t x = top; x >= 0; --x) {
    double sum = q * table[x];
    for (int k = 0; k < states; ++k) {
      const int32_t below = x - mw[k];
      if (below >= 0) sum += p[k] * table[below];
    }
    const int32_t below = x - capacity;
    if (below >= 0) sum += up * table[below];
    table[x] = sum;
  }
}

}  // namespace adequacy

#endif  // ADEQUACY_MODEL_CONVOLUTION_H_
