// Load-carrying capability and capacity credit of one area of a system of
// three or more areas, which has no exact solution: by the simulation of
// areas, every load tried over the same years, the area's index controlled
// by its own years alone, whose value at each load its availability table
// gives exactly.
#ifndef ADEQUACY_CAPACITY_SIMULATED_AREA_H_
#define ADEQUACY_CAPACITY_SIMULATED_AREA_H_

#include <cstdint>
#include <string>
#include <vector>

#include "capacity/simulated_search.h"
#include "capacity/target.h"
#include "direct/areas.h"
#include "system/system.h"

namespace adequacy {

class SimulatedAreaSearch {
 public:
  // `system` has areas; `area` is the one asked about.
  SimulatedAreaSearch(const System& system, size_t area, RiskIndex index,
                      uint64_t seed, int threads);

  // Why the system cannot be simulated, or empty.
  const std::string& fault() const { return fault_; }

  // The area's index over years [0, years) with its load scaled by
  // `scale`, then `added` MW added to every hour (less, for firm MW in it).
  SampleInterval IndexAt(double scale, double added, int64_t years);

  // The most MW added to every hour of the area (negative: taken away)
  // that keeps its index below `value`, and the largest scale.
  Estimated LargestAdded(double value, int64_t years, double tolerance);
  Estimated LargestScale(double value, int64_t years, double tolerance);

  double peak_load() const { return peak_load_; }
  double installed_mw() const { return installed_mw_; }
  int evaluations() const { return evaluations_; }
  // The loads tried at the shape as it is and their estimates, in order.
  const std::vector<WalkedPoint>& walked() const { return walked_; }

 private:
  System system_;  // Its area's load changed for each evaluation.
  size_t area_;
  RiskIndex index_;
  uint64_t seed_;
  int threads_;
  AreasStudy study_;
  std::vector<double> load_;   // The area's load as given.
  std::vector<double> other_;  // The other areas' summed load.
  double peak_load_ = 0.0;
  double installed_mw_ = 0.0;  // The area's.
  std::string fault_;
  int evaluations_ = 0;
  std::vector<WalkedPoint> walked_;
};

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_SIMULATED_AREA_H_
