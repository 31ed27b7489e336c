// Load-carrying capability and capacity credit of one area of a system of
// two areas, exact: the searches of CarryingSearch (the same functions)
// over the two-area
// direct solution, load added to (or the load scaled in) that area alone,
// its own index the one kept.  The availability tables are built once.
#ifndef ADEQUACY_CAPACITY_AREA_SEARCH_H_
#define ADEQUACY_CAPACITY_AREA_SEARCH_H_

#include <vector>

#include "capacity/carrying.h"
#include "capacity/target.h"
#include "direct/areas.h"
#include "system/system.h"

namespace adequacy {

class AreaSearch {
 public:
  // `system` has two areas; `area` is the one asked about.
  AreaSearch(const System& system, size_t area, RiskIndex index);

  // The area's index with its load scaled by `scale`, then `added` MW
  // added to every hour.
  double IndexAt(double scale, double added);

  Answer LargestAdded(double value, double tolerance);
  Answer LargestScale(double value, double tolerance);
  // The least whole megawatts never out, in the area, that bring its index
  // to at most `value`.
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
  LoadBounds Bounds() const;

  System system_;  // Its area's load changed for each evaluation.
  size_t area_;
  RiskIndex index_;
  AreasStudy study_;
  std::vector<double> load_;   // The area's load as given.
  std::vector<double> other_;  // The other areas' summed load.
  double peak_load_ = 0.0;
  double most_net_ = 0.0;
  double least_net_ = 0.0;
  int evaluations_ = 0;
  std::vector<WalkedPoint> walked_;
};

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_AREA_SEARCH_H_
