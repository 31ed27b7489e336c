// A search's index along loads added to every hour, for the figure of a
// capacity answer: any search with IndexAt(scale, added).
#ifndef ADEQUACY_CAPACITY_CURVE_H_
#define ADEQUACY_CAPACITY_CURVE_H_

#include <vector>

#include "capacity/target.h"

namespace adequacy {

// The index of `search` at each of `loads` added to every hour, the
// load's shape as it is.
template <class Search>
std::vector<WalkedPoint> CurveOf(Search* search,
                                 const std::vector<double>& loads) {
  std::vector<WalkedPoint> curve;
  for (double added : loads) {
    curve.push_back({added, search->IndexAt(1.0, added)});
  }
  return curve;
}

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_CURVE_H_
