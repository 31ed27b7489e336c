#include "model/capacity_table.h"

#include <cmath>
#include <vector>

#include "model/convolution.h"

namespace adequacy {

CapacityTable::CapacityTable(const std::vector<UnitKind>& units) {
  int64_t installed = 0;
  for (const UnitKind& kind : units) installed += kind.capacity_mw * kind.count;
  // An empty fleet has nothing available for certain: P(available <= x)
  // is 1 for every x, and stays 1 above the capacity convolved so far.
  at_most_.assign(static_cast<size_t>(installed) + 1, 1.0);
  int32_t top = 0;
  for (const UnitKind& kind : units) {
    std::vector<int32_t> mw;
    std::vector<double> p;
    for (const PartialState& state : kind.derates) {
      mw.push_back(state.available_mw);
      p.push_back(state.probability);
    }
    for (int64_t i = 0; i < kind.count; ++i) {
      top += kind.capacity_mw;
      if (mw.empty()) {
        ConvolveUnit(at_most_.data(), top, 0, kind.capacity_mw,
                     kind.forced_outage_rate, 0.0);
      } else {
        ConvolveStates(at_most_.data(), top, kind.capacity_mw,
                       kind.forced_outage_rate, mw.data(), p.data(),
                       static_cast<int>(mw.size()));
      }
    }
  }
  // Rounding may leave the top a hair from 1; it is 1 by definition.
  at_most_.back() = 1.0;
  sum_below_.resize(at_most_.size());
  double sum = 0.0;
  for (size_t m = 0; m < at_most_.size(); ++m) {
    sum_below_[m] = sum;
    sum += at_most_[m];
  }
}

double CapacityTable::AtMost(int64_t x) const {
  if (x < 0) return 0.0;
  if (x >= installed_mw()) return 1.0;
  return at_most_[static_cast<size_t>(x)];
}

// With whole-megawatt capacities, "available < load" is "available <= m"
// for m the largest whole number below the load, ceil(load) - 1.
double CapacityTable::LossOfLoadProbability(double load) const {
  if (!(load > 0.0)) return 0.0;
  if (load > static_cast<double>(installed_mw())) return 1.0;
  return AtMost(static_cast<int64_t>(std::ceil(load)) - 1);
}

// E[max(L - A, 0)] is the integral of P(A < t) for t from 0 to L, and
// P(A < t) is P(A <= k) on each (k, k + 1]: the whole steps below m add up
// to sum_below_[m], and the last, from m to L, is (L - m) P(A <= m).  Every
// term is positive, so no digits cancel.
double CapacityTable::ExpectedUnserved(double load) const {
  if (!(load > 0.0)) return 0.0;
  const int64_t installed = installed_mw();
  if (load > static_cast<double>(installed)) {
    return sum_below_[static_cast<size_t>(installed)] +
           (load - static_cast<double>(installed));
  }
  const int64_t m = static_cast<int64_t>(std::ceil(load)) - 1;
  return sum_below_[static_cast<size_t>(m)] +
         (load - static_cast<double>(m)) * at_most_[static_cast<size_t>(m)];
}

int64_t InstalledWithinLimits(const std::vector<UnitKind>& units) {
  int64_t installed = 0;
  int64_t count = 0;
  for (const UnitKind& kind : units) {
    if (kind.capacity_mw <= 0 || kind.count <= 0) return -1;
    if (kind.capacity_mw > kMaxInstalledMw || kind.count > kMaxInstalledMw) {
      return -1;
    }
    installed += kind.capacity_mw * kind.count;
    count += kind.count;
    if (installed > kMaxInstalledMw) return -1;
  }
  // count and installed are each at most 1e7 here, so the product fits.
  if (count * installed > kMaxConvolutionSteps) return -1;
  return installed;
}

}  // namespace adequacy
