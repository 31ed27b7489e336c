// The availability table of any fleet of units of two or more states: the
// probability of each whole number of megawatts available, kept as the lower
// tail P(available <= x) so that small risks keep their full precision, and its
// running sums, from which an hour's expected unserved energy is two reads
// instead of a sum over the table.
#ifndef ADEQUACY_MODEL_CAPACITY_TABLE_H_
#define ADEQUACY_MODEL_CAPACITY_TABLE_H_

#include <cstdint>
#include <utility>
#include <vector>

namespace adequacy {

// A partial state of a unit: the MW it gives, with its probability.
struct PartialState {
  int32_t available_mw = 0;
  double probability = 0.0;
};

// `count` identical units of `capacity_mw`, each out with probability
// `forced_outage_rate` and in each of `derates` with its probability; up
// with what is left.
struct UnitKind {
  UnitKind() = default;
  UnitKind(int32_t mw, double q, int64_t n = 1,
           std::vector<PartialState> partial = {})
      : capacity_mw(mw),
        forced_outage_rate(q),
        count(n),
        derates(std::move(partial)) {}

  int32_t capacity_mw = 0;
  double forced_outage_rate = 0.0;
  int64_t count = 1;
  std::vector<PartialState> derates;
};

// How large a fleet the table takes: its installed capacity bounds the
// memory (two doubles a megawatt), and units times installed capacity the
// time the convolution takes (about a nanosecond a step).
inline constexpr int64_t kMaxInstalledMw = 10'000'000;
inline constexpr int64_t kMaxConvolutionSteps = 20'000'000'000;

class CapacityTable {
 public:
  // Convolves the units in the order given.  The fleet must be within the
  // limits above (callers check, with CapacityTableFits).
  explicit CapacityTable(const std::vector<UnitKind>& units);

  int64_t installed_mw() const {
    return static_cast<int64_t>(at_most_.size()) - 1;
  }

  // P(available <= x); 0 below 0, 1 from the installed capacity on.
  double AtMost(int64_t x) const;

  // P(available < load), the hour's loss-of-load probability: capacity
  // strictly below the load as given.
  double LossOfLoadProbability(double load) const;

  // E[max(load - available, 0)], the hour's expected unserved energy.
  double ExpectedUnserved(double load) const;

 private:
  std::vector<double> at_most_;  // P(available <= x), x = 0..installed.
  std::vector<double>
      sum_below_;  // Sum of at_most_[k] for k < m, m = 0..installed.
};

// The installed capacity of `units`, or -1 where it passes the limits
// above (or would overflow on the way).
int64_t InstalledWithinLimits(const std::vector<UnitKind>& units);

}  // namespace adequacy

#endif  // ADEQUACY_MODEL_CAPACITY_TABLE_H_
