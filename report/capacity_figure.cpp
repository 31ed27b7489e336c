#include "report/capacity_figure.h"

#include <algorithm>
#include <cmath>

#include "report/gnuplot_text.h"

namespace adequacy {
namespace {

std::string Points(const std::vector<WalkedPoint>& points) {
  std::string text;
  for (const WalkedPoint& p : points) {
    // The index's axis is logarithmic: a 0 has no place on it.
    if (!(p.index > 0.0)) continue;
    text += GnuplotNumber(p.added_mw) + " " + GnuplotNumber(p.index) + "\n";
  }
  return text;
}

}  // namespace

std::vector<double> CurveLoads(const CapacityAnswers& a, double installed_mw,
                               int count) {
  double low = std::min(0.0, a.added.at);
  double high = std::max(0.0, a.added.at);
  if (a.credit) {
    low = std::min({low, a.elcc.at, -a.efc.at});
    high = std::max({high, a.elcc.at, -a.efc.at});
  }
  const double margin =
      std::max(0.25 * (high - low), 0.05 * std::max(1.0, installed_mw));
  low -= margin;
  high += margin;
  std::vector<double> loads;
  for (int i = 0; i < count; ++i) {
    loads.push_back(low + (high - low) * i / (count - 1));
  }
  loads.push_back(0.0);
  loads.push_back(a.added.at);
  if (a.credit) {
    loads.push_back(a.elcc.at);
    loads.push_back(-a.efc.at);
  }
  std::sort(loads.begin(), loads.end());
  loads.erase(std::unique(loads.begin(), loads.end()), loads.end());
  return loads;
}

std::vector<FigureFile> CapacityFigure(const System& system,
                                       const CapacityAnswers& a,
                                       const CapacityCurves& curves,
                                       const std::string& version,
                                       const std::string& output) {
  std::vector<FigureFile> files;
  files.push_back({"base.dat", Points(curves.base)});
  files.push_back({"walked.dat", Points(curves.walked)});
  const bool with = !curves.with.empty();
  if (with) files.push_back({"with.dat", Points(curves.with)});
  const std::string name = IndexName(a.target.index);
  const std::string unit = IndexUnit(a.target.index);
  std::string s = GnuplotStart(output, 900, 560);
  std::string what = name + " against the load added";
  if (a.credit) what += "; with " + a.additions_name;
  if (a.simulated) {
    what += "; simulated, " + std::to_string(a.years) + " years, seed " +
            std::to_string(a.seed);
  }
  s += "set title " +
       GnuplotString(system.name + " (" + system.file + "), adequacy " +
                     version) +
       " . \"\\n\" . " + GnuplotString(what) + " noenhanced\n";
  s += "set xlabel 'MW added to every hour'\n";
  s += "set ylabel " + GnuplotString(name + ", " + unit) + "\n";
  s += "set logscale y\nset grid\nset key top left\n";
  // The target, the capability, and the credit's arrows.
  s += "set arrow from graph 0, first " + GnuplotNumber(a.target.value) +
       " to graph 1, first " + GnuplotNumber(a.target.value) +
       " nohead dt 2 lc rgb '#7f7f7f'\n";
  s += "set label " +
       GnuplotString("target " + name + " " + GnuplotNumber(a.target.value) +
                     " " + unit) +
       " at graph 0.99, first " + GnuplotNumber(a.target.value) +
       " right offset 0,0.7 tc rgb '#7f7f7f' noenhanced\n";
  s += "set arrow from first " + GnuplotNumber(a.added.at) +
       ", graph 0 to first " + GnuplotNumber(a.added.at) +
       ", graph 1 nohead dt 3 lc rgb '#1f77b4'\n";
  s +=
      "set label " +
      GnuplotString("carries " +
                    GnuplotNumber(std::round(a.added.at * 100) / 100) + " MW") +
      " at first " + GnuplotNumber(a.added.at) +
      ", graph 0.05 left offset 0.5,0 tc rgb '#1f77b4' noenhanced\n";
  if (!curves.base.empty()) {
    s += "set xrange [" + GnuplotNumber(curves.base.front().added_mw) + ":" +
         GnuplotNumber(curves.base.back().added_mw) + "]\n";
  }
  if (a.credit) {
    // The ELCC runs from the load the system carries at the index kept
    // (its own, or the target's) to the load it carries with them there.
    const double from = a.credit_value == a.base_index ? 0.0 : a.added.at;
    s += "set arrow from first " + GnuplotNumber(from) + ", first " +
         GnuplotNumber(a.credit_value) + " to first " +
         GnuplotNumber(a.elcc.at) + ", first " + GnuplotNumber(a.credit_value) +
         " head filled lw 2 lc rgb '#2ca02c'\n";
    s += "set label " +
         GnuplotString("ELCC " +
                       GnuplotNumber(std::round(a.elcc.at * 100) / 100) +
                       " MW") +
         " at first " + GnuplotNumber(a.elcc.at) + ", first " +
         GnuplotNumber(a.credit_value) +
         " left offset 0.5,-0.8 tc rgb '#2ca02c' noenhanced\n";
    if (a.index_with_additions > 0.0) {
      s += "set arrow from first 0, first " +
           GnuplotNumber(a.index_with_additions) + " to first " +
           GnuplotNumber(-a.efc.at) + ", first " +
           GnuplotNumber(a.index_with_additions) +
           " head filled lw 2 lc rgb '#d62728'\n";
      s += "set label " +
           GnuplotString("EFC " +
                         GnuplotNumber(std::round(a.efc.at * 100) / 100) +
                         " MW") +
           " at first " + GnuplotNumber(-a.efc.at) + ", first " +
           GnuplotNumber(a.index_with_additions) +
           " right offset -0.5,0.8 tc rgb '#d62728' noenhanced\n";
    }
  }
  s += "plot 'base.dat' using 1:2 with lines lw 2 lc rgb '#1f77b4' title "
       "'as it stands', 'walked.dat' using 1:2 with points pt 6 ps 0.9 lc "
       "rgb '#1f77b4' title 'the loads the search tried'";
  if (with) {
    s += ", 'with.dat' using 1:2 with lines lw 2 lc rgb '#2ca02c' title " +
         GnuplotString("with " + a.additions_name) + " noenhanced";
  }
  s += "\nset output\n";
  files.push_back({"figure.gp", s});
  return files;
}

}  // namespace adequacy
