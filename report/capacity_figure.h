// The picture of a capacity answer, as the data and the gnuplot script
// that draw it: the index against the load added to every hour, the loads
// the search walked marked on it, the target and the capability; with
// resources added, the index with them too, and their ELCC and EFC as
// arrows between the two curves.
#ifndef ADEQUACY_REPORT_CAPACITY_FIGURE_H_
#define ADEQUACY_REPORT_CAPACITY_FIGURE_H_

#include <string>
#include <vector>

#include "capacity/target.h"
#include "report/assess_figure.h"
#include "report/capacity_text.h"
#include "system/system.h"

namespace adequacy {

struct CapacityCurves {
  std::vector<WalkedPoint> base;    // The index as the system stands.
  std::vector<WalkedPoint> with;    // With the additions, where added.
  std::vector<WalkedPoint> walked;  // The loads the searches tried.
};

// The loads added at which to draw the curves: `count` from below the
// least answer to beyond the largest, the answers and 0 among them.
std::vector<double> CurveLoads(const CapacityAnswers& a, double installed_mw,
                               int count);

// The data files and, last, the script (`figure.gp`) writing the figure
// to `output`.
std::vector<FigureFile> CapacityFigure(const System& system,
                                       const CapacityAnswers& a,
                                       const CapacityCurves& curves,
                                       const std::string& version,
                                       const std::string& output);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_CAPACITY_FIGURE_H_
