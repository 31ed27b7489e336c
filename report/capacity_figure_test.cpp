#include "report/capacity_figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "capacity/carrying.h"
#include "capacity/curve.h"
#include "model/capacity_table.h"

namespace adequacy {
namespace {

// The curves pass through the answers: at the load the system carries
// the index is the one reported, at or below the target, and the curve
// rises through the target there; with a firm unit added the curve with
// it lies its MW to the right, so that at EUE the ELCC and EFC are its
// MW; the script draws both curves and the arrows.
TEST(CapacityFigureTest, TheCurvesPassThroughTheAnswers) {
  System system;
  system.name = "small";
  system.file = "small.toml";
  system.units = {{"big", 3, 100, 0.08, 0.0, 40.0},
                  {"small", 4, 25, 0.05, 0.0, 12.0}};
  for (int hour = 0; hour < 24 * 14; ++hour) {
    system.load.push_back(hour % 24 >= 17 ? 260.0 : 120.0);
  }
  System firm = system;
  firm.units.push_back({"firm", 1, 50, 0.0, 0.0, 1.0});
  const CapacityTable base_table(system.unit_kinds());
  const CapacityTable firm_table(firm.unit_kinds());
  for (const RiskIndex index : {RiskIndex::kLole, RiskIndex::kEue}) {
    CarryingSearch base(base_table, system.load, system.load, index);
    CarryingSearch with(firm_table, firm.load, firm.load, index);
    CapacityAnswers a;
    a.target.index = index;
    a.base_index = base.IndexAt(1.0, 0.0);
    a.target.value = a.base_index / 10;
    a.added = base.LargestAdded(a.target.value, 0.01);
    a.credit = true;
    a.additions_name = "a firm 50 MW";
    a.credit_value = a.base_index;
    a.index_with_additions = with.IndexAt(1.0, 0.0);
    a.elcc = with.LargestAdded(a.credit_value, 0.01);
    a.efc = base.FirmCapacityFor(a.index_with_additions);
    // EUE moves with every MW; LOLE by whole states of the fleet.
    if (index == RiskIndex::kEue) {
      EXPECT_NEAR(a.elcc.at, 50.0, 0.02);
      EXPECT_NEAR(a.efc.at, 50.0, 1.0);
    }
    const std::vector<double> loads = CurveLoads(a, 400.0, 41);
    ASSERT_TRUE(std::is_sorted(loads.begin(), loads.end()));
    CapacityCurves curves;
    curves.walked = base.walked();
    curves.base = CurveOf(&base, loads);
    curves.with = CurveOf(&with, loads);
    EXPECT_FALSE(curves.walked.empty());
    for (size_t i = 0; i < loads.size(); ++i) {
      if (loads[i] != a.added.at) continue;
      EXPECT_EQ(curves.base[i].index, a.added.index);
      EXPECT_LE(curves.base[i].index, a.target.value);
      ASSERT_LT(i + 1, loads.size());
      EXPECT_GT(curves.base[i + 1].index, a.target.value);
    }
    for (size_t i = 0; i < loads.size(); ++i) {
      // The firm unit shifts the curve by its MW.
      EXPECT_NEAR(curves.with[i].index, base.IndexAt(1.0, loads[i] - 50.0),
                  1e-12 * (1.0 + curves.with[i].index));
      if (i > 0) {
        EXPECT_GE(curves.base[i].index, curves.base[i - 1].index);
      }
    }
    const std::vector<FigureFile> files =
        CapacityFigure(system, a, curves, "9.9", "figure.svg");
    ASSERT_EQ(files.size(), 4u);  // base, walked, with and the script.
    const std::string& script = files.back().text;
    for (const char* part : {"'base.dat'", "'walked.dat'", "'with.dat'",
                             "ELCC ", "EFC ", "target "}) {
      EXPECT_NE(script.find(part), std::string::npos) << part;
    }
  }
}

}  // namespace
}  // namespace adequacy
