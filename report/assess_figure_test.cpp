#include "report/assess_figure.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "direct/study.h"

namespace adequacy {
namespace {

// Hours of made-up risk, each hour's its own.
std::vector<HourRisk> Risks(size_t hours) {
  std::vector<HourRisk> risks(hours);
  for (size_t h = 0; h < hours; ++h) {
    risks[h].lolp = h % 24 >= 17 ? 1e-3 * static_cast<double>(1 + h % 7) : 0.0;
  }
  return risks;
}

double Sum(const std::vector<double>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0);
}

// The calendar's cells and its weekly bars each add up to the LOLH, a
// short last week included; of many weather years the strips are those of
// the highest LOLH, in file order.
TEST(AssessFigureTest, TheCalendarAddsUpToTheLolh) {
  const std::vector<HourRisk> risks = Risks(24 * 23);
  double lolh = 0.0;
  for (const HourRisk& r : risks) lolh += r.lolp;
  const std::vector<CalendarStrip> one = CalendarOf(risks, {});
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].days, 23);
  EXPECT_EQ(one[0].weekly_lolh.size(), 4u);
  EXPECT_NEAR(Sum(one[0].lolp), lolh, 1e-12);
  EXPECT_NEAR(Sum(one[0].weekly_lolh), lolh, 1e-12);
  EXPECT_NEAR(one[0].lolh, lolh, 1e-12);

  // Six weather years of two days, the risk scaled by 1, 5, 2, 6, 3, 4.
  std::vector<HourRisk> years;
  std::vector<WeatherYear> named;
  const double scale[] = {1, 5, 2, 6, 3, 4};
  for (int y = 0; y < 6; ++y) {
    named.push_back({std::to_string(2000 + y), y * 48, 48});
    for (HourRisk r : Risks(48)) {
      r.lolp *= scale[y];
      years.push_back(r);
    }
  }
  const std::vector<CalendarStrip> kept = CalendarOf(years, named);
  ASSERT_EQ(kept.size(), kMostStrips);
  const char* expected[] = {"weather year 2001", "weather year 2003",
                            "weather year 2004", "weather year 2005"};
  for (size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(kept[i].name, expected[i]);
    EXPECT_NEAR(Sum(kept[i].weekly_lolh), kept[i].lolh, 1e-12);
  }
}

// From the direct solution: the calendar adds up to its LOLH; the script
// names every data file it is given and each panel's title, and without
// the simulation draws the calendar alone.
TEST(AssessFigureTest, TheScriptAndItsFiles) {
  System system;
  system.name = "small";
  system.file = "small.toml";
  system.units = {{"big", 2, 100, 0.08, 0.0, 40.0}};
  for (int hour = 0; hour < 24 * 14; ++hour) {
    system.load.push_back(hour % 24 >= 17 ? 150.0 : 60.0);
  }
  const DirectStudy study(system);
  const Assessment exact = study.AssessSeries(system.load, system.load, true);
  const std::vector<CalendarStrip> strips =
      CalendarOf(exact.hours, system.weather_years);
  EXPECT_NEAR(Sum(strips[0].weekly_lolh), exact.lolh, 1e-12 * exact.lolh);
  const std::vector<FigureFile> files = AssessFigure(
      system, OneAreaFigure(system, exact, nullptr), "9.9", "figure.svg");
  ASSERT_FALSE(files.empty());
  const std::string& script = files.back().text;
  EXPECT_EQ(files.back().name, "figure.gp");
  for (size_t i = 0; i + 1 < files.size(); ++i) {
    EXPECT_NE(script.find("'" + files[i].name + "'"), std::string::npos)
        << files[i].name;
  }
  EXPECT_EQ(files.size(), 3u);  // The calendar, its weeks, the script.
  EXPECT_NE(script.find("When the risk lies"), std::string::npos);
  EXPECT_NE(script.find("small (small.toml), adequacy 9.9"), std::string::npos);
  EXPECT_EQ(script.find("Events by duration"), std::string::npos);
  EXPECT_NE(script.find("set terminal svg"), std::string::npos);
}

// Of two areas, a strip an area, each adding up to the area's exact LOLH.
TEST(AssessFigureTest, AStripAnArea) {
  System system;
  system.name = "two";
  system.areas = {{"north", {}}, {"south", {}}};
  system.units = {{"n", 3, 80, 0.08, 0.0, 20.0}, {"s", 4, 50, 0.06, 0.0, 20.0}};
  system.units[1].area = 1;
  for (int hour = 0; hour < 24 * 7; ++hour) {
    const bool evening = hour % 24 >= 17 && hour % 24 < 21;
    system.areas[0].load.push_back(evening ? 215.0 : 150.0);
    system.areas[1].load.push_back(evening ? 120.0 : 160.0);
    system.load.push_back(system.areas[0].load.back() +
                          system.areas[1].load.back());
  }
  system.interfaces.push_back({0, 1, 30.0, 30.0});
  const AreasAssessment exact = AssessAreas(system, true);
  const AssessFigureInput input = AreasFigure(system, exact, nullptr);
  ASSERT_EQ(input.strips.size(), 2u);
  for (size_t a = 0; a < 2; ++a) {
    EXPECT_EQ(input.strips[a].name, "area " + system.areas[a].name);
    EXPECT_NEAR(input.strips[a].lolh, exact.areas[a].lolh, 1e-12);
    EXPECT_NEAR(Sum(input.strips[a].weekly_lolh), exact.areas[a].lolh, 1e-12);
  }
  EXPECT_EQ(input.sample, nullptr);
}

}  // namespace
}  // namespace adequacy
