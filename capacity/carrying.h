// Load-carrying capability and capacity credit, exact: searches of the
// direct solution, whose every index rises as load is added or scaled up.
//
// With whole-megawatt capacities an index is a step function of the load,
// constant while no hour's load crosses a whole megawatt.  Each answer is
// the largest load at which the index is at most the value asked for: the
// right end of its step, found by bisection to the tolerance, so that the
// index there is at most the value and one tolerance further it is above.
// The availability table is built once; a change of load needs none.
#ifndef ADEQUACY_CAPACITY_CARRYING_H_
#define ADEQUACY_CAPACITY_CARRYING_H_

#include <functional>
#include <string>
#include <vector>

#include "capacity/target.h"
#include "direct/study.h"
#include "model/capacity_table.h"
#include "system/system.h"

namespace adequacy {

// Why a search has no answer.
enum class NoAnswer {
  kNone,
  kEmptyLoadAbove,  // Even no load at all is above the value.
  kNoLoad,          // No load above zero stays within the value.
  kAnyLoad,         // A load beyond the fleet's capacity stays within it.
};

struct Answer {
  NoAnswer fault = NoAnswer::kNone;
  double at = 0.0;     // The added MW, the scale or the firm MW.
  double index = 0.0;  // The index there.
};

// An index of the load, rising as load is added or scaled up: the index
// with every hour's load scaled by `scale`, then `added` MW added.
using IndexOfLoad = std::function<double(double scale, double added)>;

// What bounds the searches: the net load's least and largest hour, the
// MW that could serve it, and the load's peak.
struct LoadBounds {
  double least_net = 0.0;
  double most_net = 0.0;
  double installed_mw = 0.0;
  double peak_load = 0.0;
};

// The three searches of any such index, each described at the member of
// CarryingSearch that calls it.
Answer LargestAddedOf(const IndexOfLoad& index_at, const LoadBounds& bounds,
                      double value, double tolerance);
Answer LargestScaleOf(const IndexOfLoad& index_at, const LoadBounds& bounds,
                      double value, double tolerance);
Answer FirmCapacityOf(const IndexOfLoad& index_at, const LoadBounds& bounds,
                      double value);

class CarryingSearch {
 public:
  // `load` and `net` (the load less any variable generation) must outlive
  // the search, as must `study` (or `table`, a fleet without maintenance
  // against one year).  `scenarios`, the outcomes of an uncertain load,
  // each scale a multiplier of the load before the added MW: the index is
  // then their probability-weighted sum.
  CarryingSearch(const DirectStudy& study, const std::vector<double>& load,
                 const std::vector<double>& net, RiskIndex index,
                 const std::vector<LoadScenario>& scenarios = {{1.0, 1.0}});
  CarryingSearch(const CapacityTable& table, const std::vector<double>& load,
                 const std::vector<double>& net, RiskIndex index,
                 const std::vector<LoadScenario>& scenarios = {{1.0, 1.0}});

  // The index with every hour's load scaled by `scale`, then `added` MW
  // added (variable generation as it is).
  double IndexAt(double scale, double added);

  // The largest constant load that can be added to every hour with the
  // index at most `value`, to `tolerance` MW.
  Answer LargestAdded(double value, double tolerance);
  // The largest scale of the load's shape with the index at most `value`,
  // to `tolerance` MW of its peak.
  Answer LargestScale(double value, double tolerance);
  // The least whole megawatts of a unit that is never out that, added,
  // bring the index to at most `value`.
  Answer FirmCapacityFor(double value);

  int evaluations() const { return evaluations_; }
  // The loads the searches tried at the shape as it is, in order.
  const std::vector<WalkedPoint>& walked() const { return walked_; }
  double peak_load() const { return peak_load_; }

 private:
  // The index as the searches walk it, each load added at the shape as it
  // is kept for the figure of the search.
  IndexOfLoad Index() {
    return [this](double scale, double added) {
      const double value = IndexAt(scale, added);
      if (scale == 1.0) walked_.push_back({added, value});
      return value;
    };
  }
  LoadBounds Bounds() const {
    return {least_net_, most_net_, static_cast<double>(table_.installed_mw()),
            peak_load_};
  }

  const CapacityTable& table_;  // The whole fleet's.
  const DirectStudy* study_;    // Null for the table alone.
  const std::vector<double>& load_;
  std::vector<double> generation_;  // Load less net load, each hour.
  RiskIndex index_;
  std::vector<LoadScenario> scenarios_;
  double peak_load_ = 0.0;
  double least_net_ = 0.0;
  double most_net_ = 0.0;
  std::vector<double> scaled_;  // Scratch: the load of an evaluation.
  std::vector<double> net_;     // Scratch: its net load.
  int evaluations_ = 0;
  std::vector<WalkedPoint> walked_;
};

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_CARRYING_H_
