#include "system/system_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "direct/hourly_load.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

constexpr char kUnit[] =
    "[[units]]\n"
    "count = 2\n"
    "capacity_mw = 50\n"
    "forced_outage_rate = 0.1\n"
    "mean_repair_hours = 20\n";

// A directory with a day of load, a day of wind, a short series and a
// series with a bad value, for the system files of the tests.
class SystemFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (fs::temp_directory_path() / "adequacy-system-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    std::string day = "load_mw\n";
    std::string wind;
    for (int hour = 0; hour < 24; ++hour) {
      day += std::to_string(60 + hour) + "\n";
      wind += "5.5\n";
    }
    Write("day.csv", day);
    Write("wind.csv", wind);
    Write("short.csv", "1\n2\n");
    Write("bad.csv", "1\n# x\nten\n");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ + "/" + name) << text;
  }
  std::string Path() const { return dir_ + "/system.toml"; }
  bool Parse(const std::string& text, System* system, InputError* error) {
    return ParseSystem(text, Path(), system, error);
  }

  std::string dir_;
};

TEST_F(SystemFileTest, ReadsUnitsLoadAndProfilesRelativeToTheFile) {
  const std::string text =
      "name = \"small\"\n"
      "[load]\nfile = \"day.csv\"\n" +
      std::string(kUnit) +
      "[[units]]\nname = \"peaker\"\ncount = 1\ncapacity_mw = 30.0\n"
      "mean_time_to_failure_hours = 950\nmean_repair_days = "
      "2.0833333333333335\n"
      "[[profiles]]\nname = \"wind\"\nfile = \"wind.csv\"\n";
  System system;
  InputError error;
  ASSERT_TRUE(Parse(text, &system, &error)) << error.line << error.what;
  EXPECT_EQ(system.name, "small");
  EXPECT_EQ(system.unit_count(), 3);
  EXPECT_EQ(system.installed_mw(), 130);
  ASSERT_EQ(system.units.size(), 2u);
  EXPECT_EQ(system.units[0].name, "units 1");
  EXPECT_EQ(system.units[0].mean_repair_hours, 20.0);
  EXPECT_EQ(system.units[1].name, "peaker");
  EXPECT_DOUBLE_EQ(system.units[1].mean_repair_hours, 50.0);
  EXPECT_DOUBLE_EQ(system.units[1].forced_outage_rate, 0.05);
  EXPECT_EQ(system.units[1].mean_time_to_failure_hours, 950.0);
  ASSERT_EQ(system.load.size(), 24u);
  EXPECT_EQ(system.load[23], 83.0);
  ASSERT_EQ(system.profiles.size(), 1u);
  EXPECT_EQ(system.profiles[0].mw[7], 5.5);
}

// Names keep every character, whatever string holds them.
TEST_F(SystemFileTest, NamesBeyondAscii) {
  System system;
  InputError error;
  ASSERT_TRUE(
      Parse("name = 'Kraftwerk S\xC3\xBC"
            "d \\ \"Nord\"'  # \xC3\xA9\n"
            "[load]\nfile = \"day.csv\"\n" +
                std::string(kUnit) +
                "name = \"\"\"\xE2\x80\x94 \xF0\x9F\x94\x8C\"\"\"\n",
            &system, &error))
      << error.line << error.what;
  EXPECT_EQ(system.name,
            "Kraftwerk S\xC3\xBC"
            "d \\ \"Nord\"");
  EXPECT_EQ(system.units[0].name, "\xE2\x80\x94 \xF0\x9F\x94\x8C");
}

// The daily profile gives the dialogue's loads, D1..D4 in single
// precision as the dialogue reads them; the name defaults to the file's.
TEST_F(SystemFileTest, DailyProfileIsTheDialoguesLoad) {
  System system;
  InputError error;
  ASSERT_TRUE(Parse(
      "[load]\nmodel = \"daily-profile\"\nD2 = 8100.3\n" + std::string(kUnit),
      &system, &error))
      << error.what;
  LoadParameters params;
  params.d2 = 8100.3f;
  EXPECT_EQ(system.load, YearOfLoads(params));
  EXPECT_EQ(system.name, "system");
}

// Every fault of a system file gets its line and what is wrong.
TEST_F(SystemFileTest, FaultsWithTheirLines) {
  const std::string load = "[load]\nfile = \"day.csv\"\n";  // Lines 1-2.
  const std::string unit_head = "[[units]]\ncount = 1\n";   // Lines 3-4.
  const struct {
    std::string text;
    int64_t line;
    std::string what;
  } cases[] = {
      {"name = \"x\"\n[units\n", 2, "not valid TOML: "},
      {"[[\\", 1, "not valid TOML: "},
      {"a = 1\n[x.\\y]\n", 2, "not valid TOML: "},
      {"nmae = \"x\"\n", 1, "unknown key 'nmae'; the keys are"},
      {load + kUnit + "[[profiles]]\nfile = \"wind.csv\"\nscale = 2\n", 10,
       "unknown key 'scale' in [[profiles]] 1"},
      {load + unit_head +
           "capacity_mw = 10\nforced_outage_rate = 0.1\n"
           "mean_repair_hours = 5\nmttr = 3\n",
       8, "unknown key 'mttr' in [[units]] 1"},
      {"name = 3\n", 1, "name must be a string, not an integer"},
      {load + unit_head + "capacity_mw = \"ten\"\n", 5,
       "capacity_mw must be a number, not a string"},
      {load + unit_head + "capacity_mw = 12.5\n", 5,
       "capacity_mw must be a whole number of megawatts, not 12.5"},
      {load + unit_head + "capacity_mw = 0\n", 5,
       "capacity_mw must be from 1 to 10000000, not 0"},
      {load + "[[units]]\ncount = -2\n", 4,
       "count must be from 1 to 10000000, not -2"},
      {load + unit_head, 3, "no capacity_mw in [[units]] 1"},
      {load + unit_head + "capacity_mw = 10\nmean_repair_hours = 5\n", 3,
       "give one of forced_outage_rate and mean_time_to_failure_hours in "
       "[[units]] 1, not neither"},
      {load + unit_head + "capacity_mw = 10\nforced_outage_rate = 0.1\n", 3,
       "give one of mean_repair_hours and mean_repair_days in [[units]] 1, "
       "not neither"},
      {load + unit_head +
           "capacity_mw = 10\nforced_outage_rate = 1.0\n"
           "mean_repair_hours = 5\n",
       6, "forced_outage_rate must be at least 0 and below 1, not 1"},
      {load + unit_head +
           "capacity_mw = 10\nforced_outage_rate = -0.1\n"
           "mean_repair_hours = 5\n",
       6, "forced_outage_rate must be at least 0 and below 1, not -0.1"},
      {load + unit_head +
           "capacity_mw = 10\nforced_outage_rate = nan\n"
           "mean_repair_hours = 5\n",
       6, "forced_outage_rate must be a finite number, not nan"},
      {load + unit_head +
           "capacity_mw = 10\nforced_outage_rate = 0.1\n"
           "mean_repair_days = 0\n",
       7, "mean_repair_days must be above 0, not 0"},
      {load + unit_head +
           "capacity_mw = 10\nforced_outage_rate = 0.1\n"
           "mean_repair_hours = inf\n",
       7, "mean_repair_hours must be a finite number, not inf"},
      {load + "[[units]]\ncount = 20000\ncapacity_mw = 2000\n"
              "forced_outage_rate = 0.1\nmean_repair_hours = 5\n",
       3, "the fleet is too large: 20000 units of 40000000 MW in all"},
      {kUnit, 0, "no [load]: give load.file or load.model"},
      {"[load]\n" + std::string(kUnit), 1,
       "[load] needs one of file and model, not neither"},
      {"[load]\nmodel = \"flat\"\n" + std::string(kUnit), 2,
       "unknown load model 'flat'"},
      {"[load]\nfile = \"day.csv\"\nD4 = 3\n" + std::string(kUnit), 3,
       "D4 belongs to model = \"daily-profile\", not to a load file"},
      {"[load]\nmodel = \"daily-profile\"\nD4 = -5000\n" + std::string(kUnit),
       2, "the daily profile gives a negative load"},
      {"[load]\nfile = \"none.csv\"\n" + std::string(kUnit), 2,
       "cannot read '" + dir_ + "/none.csv': No such file or directory"},
      {"[load]\nfile = \"short.csv\"\n" + std::string(kUnit), 2,
       "holds 2 hours; it must hold whole days of 24 hours"},
      {"[load]\nfile = \".\"\n" + std::string(kUnit), 2,
       "a directory, not a file"},
      {load + kUnit + "[[profiles]]\nfile = \"short.csv\"\n", 9,
       "holds 2 hours; it must hold whole days"},
      {"units = 4\n" + load, 1,
       "units must be [[units]] tables, not an integer"},
      {"units = []\n" + load, 1, "units must be [[units]] tables"},
      {"[load]\nfile = \"day.csv\"\n", 0, "no [[units]]: a system needs units"},
  };
  for (const auto& c : cases) {
    System system;
    InputError error;
    EXPECT_FALSE(Parse(c.text, &system, &error)) << c.text;
    EXPECT_EQ(error.file, Path()) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << "\n"
                                                          << error.what;
  }
}

// Derated states of a unit, and each fault with its line (the unit's
// table starts on line 3, its first derate on line 8).
TEST_F(SystemFileTest, DeratedStatesAndTheirFaults) {
  const std::string head = "[load]\nfile = \"day.csv\"\n" + std::string(kUnit) +
                           "[[units.derates]]\n";
  System system;
  InputError error;
  ASSERT_TRUE(Parse(head +
                        "available_mw = 25\nforced_outage_rate = 0.2\n"
                        "mean_repair_hours = 10\n[[units.derates]]\n"
                        "available_mw = 40\nmean_time_to_failure_hours = 300\n"
                        "mean_repair_days = 1\n",
                    &system, &error))
      << error.what;
  const UnitGroup& unit = system.units[0];
  ASSERT_EQ(unit.derates.size(), 2u);
  EXPECT_EQ(unit.derates[0].available_mw, 25);
  EXPECT_EQ(unit.derates[0].share, 0.2);
  EXPECT_EQ(unit.derates[1].mean_time_to_failure_hours, 300);
  EXPECT_EQ(unit.derates[1].mean_repair_hours, 24);
  const std::vector<UnitKind> kinds = system.unit_kinds();
  ASSERT_EQ(kinds[0].derates.size(), 2u);
  EXPECT_EQ(kinds[0].derates[1].available_mw, 40);
  const struct {
    std::string text;
    int64_t line;
    std::string what;
  } cases[] = {
      {"available_mw = 50\nforced_outage_rate = 0.1\nmean_repair_hours = 5\n",
       9, "available_mw must be from 1 to 49, not 50"},
      {"available_mw = 0\nforced_outage_rate = 0.1\nmean_repair_hours = 5\n", 9,
       "available_mw must be from 1 to 49, not 0"},
      {"forced_outage_rate = 0.1\nmean_repair_hours = 5\n", 8,
       "no available_mw in derate 1 in [[units]] 1"},
      {"available_mw = 10\nmean_repair_hours = 5\n", 8,
       "give one of forced_outage_rate and mean_time_to_failure_hours in "
       "derate 1 in [[units]] 1"},
      {"available_mw = 10\nforced_outage_rate = 0.9\nmean_repair_hours = 5\n",
       8, "leave no hours up"},
      {"available_mw = 10\nforced_outage_rate = 0.1\nmean_repair_hours = 5\n"
       "mw = 3\n",
       12, "unknown key 'mw' in derate 1 in [[units]] 1"},
  };
  for (const auto& c : cases) {
    System bad;
    EXPECT_FALSE(Parse(head + c.text, &bad, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << "\n"
                                                          << error.what;
  }
}

// Load forecast uncertainty: the seven-step normal approximation, or the
// outcomes given, and each fault with its line.
TEST_F(SystemFileTest, LoadUncertaintyAndItsFaults) {
  System system;
  InputError error;
  ASSERT_TRUE(
      Parse("[load]\nfile = \"day.csv\"\n"
            "uncertainty = { standard_deviation = 0.02 }\n" +
                std::string(kUnit),
            &system, &error))
      << error.what;
  ASSERT_EQ(system.uncertainty.size(), 7u);
  EXPECT_DOUBLE_EQ(system.uncertainty[0].multiplier, 0.94);
  EXPECT_EQ(system.uncertainty[3].probability, 0.382);
  double sum = 0.0;
  for (const LoadScenario& s : system.uncertainty) sum += s.probability;
  EXPECT_NEAR(sum, 1.0, 1e-12);
  System given;
  ASSERT_TRUE(
      Parse("[load]\nfile = \"day.csv\"\nuncertainty = { multipliers "
            "= [0.9, 1.1], probabilities = [0.25, 0.75] }\n" +
                std::string(kUnit),
            &given, &error))
      << error.what;
  ASSERT_EQ(given.scenarios().size(), 2u);
  EXPECT_EQ(given.scenarios()[1].multiplier, 1.1);
  EXPECT_EQ(System().scenarios().size(), 1u);
  const struct {
    std::string uncertainty;
    std::string what;
  } cases[] = {
      {"{ multipliers = [0.9, 1.1], probabilities = [0.5, 0.4] }",
       "the probabilities must sum to 1, not 0.9"},
      {"{ multipliers = [0, 1], probabilities = [0.5, 0.5] }",
       "a multiplier must be above 0, not 0"},
      {"{ multipliers = [1], probabilities = [0.5, 0.5] }",
       "lists of numbers of the same length"},
      {"{ standard_deviation = 0.4 }", "standard_deviation must be at least 0"},
      {"{ standard_deviation = 0.1, multipliers = [1] }",
       "give load.uncertainty a standard_deviation, or multipliers"},
      {"{ spread = 1 }", "unknown key 'spread' in load.uncertainty"},
      {"3", "uncertainty must be a table, not an integer"},
  };
  for (const auto& c : cases) {
    System bad;
    EXPECT_FALSE(Parse("[load]\nfile = \"day.csv\"\nuncertainty = " +
                           c.uncertainty + "\n" + std::string(kUnit),
                       &bad, &error))
        << c.uncertainty;
    EXPECT_EQ(error.line, 3) << c.uncertainty << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos)
        << c.uncertainty << "\n"
        << error.what;
  }
}

// Named columns of a CSV table, for the load and the profiles; a fault in
// one names its file, line and column.
TEST_F(SystemFileTest, CsvColumns) {
  std::string table = "time,demand,wind_mw\n";
  for (int hour = 0; hour < 24; ++hour) {
    table += "2026-01-01T" + std::to_string(hour) + "," +
             std::to_string(100 + hour) + "," + std::to_string(hour % 5) + "\n";
  }
  Write("table.csv", table);
  Write("bad.csv", "demand,wind_mw\n100,3\n101\n");
  Write("text.csv", "demand\n100\nlots\n");
  System system;
  InputError error;
  ASSERT_TRUE(Parse("[load]\nfile = \"table.csv\"\ncolumn = \"demand\"\n" +
                        std::string(kUnit) +
                        "[[profiles]]\nfile = \"table.csv\"\n"
                        "column = \"wind_mw\"\n",
                    &system, &error))
      << error.what;
  ASSERT_EQ(system.load.size(), 24u);
  EXPECT_EQ(system.load[5], 105);
  EXPECT_EQ(system.profiles[0].mw[7], 2);
  const struct {
    std::string text;
    std::string file;
    int64_t line;
    std::string what;
  } cases[] = {
      {"[load]\nfile = \"table.csv\"\ncolumn = \"load\"\n", "table.csv", 1,
       "no column 'load' in the header row; the columns are time, demand, "
       "wind_mw"},
      {"[load]\nfile = \"bad.csv\"\ncolumn = \"wind_mw\"\n", "bad.csv", 3,
       "column 'wind_mw': the row has 1 field"},
      {"[load]\nfile = \"text.csv\"\ncolumn = \"demand\"\n", "text.csv", 3,
       "column 'demand': 'lots' is not a number"},
      {"[load]\nmodel = \"daily-profile\"\ncolumn = \"demand\"\n",
       "system.toml", 3, "column belongs to a load file"},
  };
  for (const auto& c : cases) {
    System bad;
    EXPECT_FALSE(Parse(c.text + std::string(kUnit), &bad, &error)) << c.text;
    EXPECT_EQ(error.file, dir_ + "/" + c.file) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << "\n"
                                                          << error.what;
  }
}

// Maintenance entries, fixed or to be placed, and each fault with its line
// (the unit's table starts on line 3, its maintenance on line 8).
TEST_F(SystemFileTest, MaintenanceAndItsFaults) {
  const std::string head = "[load]\nfile = \"day.csv\"\n" + std::string(kUnit);
  System system;
  InputError error;
  ASSERT_TRUE(Parse(head +
                        "maintenance = [{ first_day = 1, days = 1 }, "
                        "{ days = 1, count = 2 }, { days = 1, count = 0 }]\n",
                    &system, &error))
      << error.what;
  const std::vector<Maintenance>& entries = system.units[0].maintenance;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].first_day, 1);
  EXPECT_EQ(entries[0].count, 1);
  EXPECT_EQ(entries[1].first_day, 0);  // To be placed.
  EXPECT_EQ(entries[1].count, 2);
  EXPECT_EQ(entries[2].count, 0);
  EXPECT_EQ(entries[1].line, 8);
  const struct {
    std::string entries;
    int64_t line;
    std::string what;
  } cases[] = {
      {"{ first_day = 2, days = 1 }", 8,
       "from day 2 for 1 days runs past day 1, the last of the series"},
      {"{ first_day = 1, days = 1, count = 2 }, { first_day = 1, days = 1 }", 8,
       "takes 3 units out on day 1; the group has 2"},
      {"{ days = 1, count = 3 }", 8, "count must be from 0 to 2, not 3"},
      {"{ first_day = 1 }", 8, "no days in maintenance 1 in [[units]] 1"},
      {"{ days = 0 }", 8, "days must be from 1 to"},
      {"{ days = 1, last_day = 3 }", 8, "unknown key 'last_day'"},
      {"3", 8, "maintenance must be a list of tables"},
  };
  for (const auto& c : cases) {
    System bad;
    const std::string text = head + "maintenance = [" + c.entries + "]\n";
    EXPECT_FALSE(Parse(c.entries == "3" ? head + "maintenance = 3\n" : text,
                       &bad, &error))
        << c.entries;
    EXPECT_EQ(error.line, c.line) << c.entries << ": " << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.entries << "\n"
                                                          << error.what;
  }
}

// Weather years from a column of a CSV table, shared by the load and a
// profile, and each fault with its file and line.
TEST_F(SystemFileTest, WeatherYearsAndTheirFaults) {
  const auto table = [](const std::vector<std::pair<std::string, int>>& years) {
    std::string text = "time,year,demand,wind\n";
    for (const auto& [year, hours] : years) {
      for (int hour = 0; hour < hours; ++hour) {
        text += year + "-" + std::to_string(hour) + "," + year + "," +
                std::to_string(100 + hour % 24) + ",3\n";
      }
    }
    return text;
  };
  Write("years.csv", table({{"1990", 48}, {"1991", 24}}));
  Write("other.csv", table({{"1990", 24}, {"1991", 48}}));
  Write("ragged.csv", table({{"1990", 30}, {"1991", 18}}));
  Write("again.csv", table({{"1990", 24}, {"1991", 24}, {"1990", 24}}));
  const std::string load =
      "[load]\nfile = \"years.csv\"\ncolumn = \"demand\"\n"
      "year_column = \"year\"\n";
  const std::string wind =
      "[[profiles]]\nfile = \"years.csv\"\ncolumn = \"wind\"\n"
      "year_column = \"year\"\n";
  System system;
  InputError error;
  ASSERT_TRUE(Parse(load + kUnit + wind, &system, &error)) << error.what;
  ASSERT_EQ(system.weather_years.size(), 2u);
  EXPECT_EQ(system.weather_years[1].name, "1991");
  EXPECT_EQ(system.weather_years[1].first_hour, 48);
  EXPECT_EQ(system.weather_years[1].hours, 24);
  EXPECT_EQ(system.load.size(), 72u);
  // A profile without the column needs the hours alone.
  ASSERT_TRUE(Parse(load + kUnit +
                        "[[profiles]]\nfile = \"years.csv\"\n"
                        "column = \"wind\"\n",
                    &system, &error))
      << error.what;
  const auto replace = [](std::string text, const std::string& from,
                          const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  const struct {
    std::string text;
    std::string file;
    int64_t line;
    std::string what;
  } cases[] = {
      {replace(load, "years.csv", "ragged.csv") + kUnit, "ragged.csv", 2,
       "column 'year': weather year '1990' holds 30 hours; a weather year "
       "must be whole days"},
      {replace(load, "years.csv", "again.csv") + kUnit, "again.csv", 50,
       "column 'year': weather year '1990' comes again after other years"},
      {replace(load, "\"year\"", "\"yr\"") + kUnit, "years.csv", 1,
       "no column 'yr' in the header row"},
      {"[load]\nfile = \"years.csv\"\nyear_column = \"year\"\n" +
           std::string(kUnit),
       "system.toml", 3, "year_column needs column"},
      {load + kUnit + replace(wind, "years.csv", "other.csv"), "system.toml",
       13,
       "weather year 1 is '1990' of 24 hours; the load's is '1990' of 48 "
       "hours"},
      {"[load]\nfile = \"day.csv\"\n" + std::string(kUnit) + wind,
       "system.toml", 11, "the load has no weather years"},
      {load + kUnit + "maintenance = [{ first_day = 2, days = 1 }]\n",
       "system.toml", 10,
       "runs past day 1, the last of the shortest weather year"},
  };
  for (const auto& c : cases) {
    System bad;
    EXPECT_FALSE(Parse(c.text, &bad, &error)) << c.text;
    EXPECT_EQ(error.file, dir_ + "/" + c.file) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << "\n"
                                                          << error.what;
  }
}

// Areas over weather years: the first area's years are the system's, and
// every other area's must be the same years of the same lengths.
TEST_F(SystemFileTest, AreasOverWeatherYears) {
  std::string two;
  std::string other;
  for (int hour = 0; hour < 48; ++hour) {
    two += std::string(hour < 24 ? "A" : "B") + "," +
           std::to_string(10 + hour) + "\n";
    other += std::string(hour < 24 ? "A" : "C") + ",5\n";
  }
  Write("two.csv", "weather_year,demand\n" + two);
  Write("other.csv", "weather_year,demand\n" + other);
  const auto area = [](const std::string& name, const std::string& file) {
    return "[[areas]]\nname = \"" + name + "\"\nload = { file = \"" + file +
           "\", column = \"demand\", year_column = \"weather_year\" }\n";
  };
  const std::string unit =
      "[[units]]\narea = \"south\"\ncount = 2\ncapacity_mw = 50\n"
      "forced_outage_rate = 0.1\nmean_repair_hours = 20\n";
  System system;
  InputError error;
  ASSERT_TRUE(Parse(area("north", "two.csv") + area("south", "two.csv") + unit,
                    &system, &error))
      << error.what;
  ASSERT_EQ(system.weather_years.size(), 2u);
  EXPECT_EQ(system.weather_years[1].name, "B");
  EXPECT_EQ(system.weather_years[1].first_hour, 24);
  EXPECT_EQ(system.load[30], 2 * 40.0);
  System bad;
  EXPECT_FALSE(
      Parse(area("north", "two.csv") + area("south", "other.csv") + unit, &bad,
            &error));
  EXPECT_EQ(error.line, 6);
  EXPECT_NE(error.what.find("weather year 2 is 'C'"), std::string::npos)
      << error.what;
}

// Areas: each with its load, units and profiles naming theirs, the ties
// between them; and each fault with its line.
TEST_F(SystemFileTest, AreasAndTheirFaults) {
  const std::string areas =
      "[[areas]]\nname = \"north\"\nload = { file = \"day.csv\" }\n"
      "[[areas]]\nname = \"south\"\nload = { file = \"day.csv\" }\n";
  const std::string unit =
      "[[units]]\narea = \"south\"\ncount = 2\ncapacity_mw = 50\n"
      "forced_outage_rate = 0.1\nmean_repair_hours = 20\n";
  const std::string tie =
      "[[interfaces]]\nbetween = [\"south\", \"north\"]\nforward_mw = 30\n"
      "backward_mw = 10\n";
  std::string two_days;
  for (int hour = 0; hour < 48; ++hour) two_days += "10\n";
  Write("two_days.csv", two_days);
  System system;
  InputError error;
  ASSERT_TRUE(Parse(areas + unit +
                        "[[profiles]]\narea = \"north\"\nfile = "
                        "\"wind.csv\"\n" +
                        tie,
                    &system, &error))
      << error.what;
  ASSERT_EQ(system.areas.size(), 2u);
  EXPECT_EQ(system.units[0].area, 1u);
  EXPECT_EQ(system.profiles[0].area, 0u);
  ASSERT_EQ(system.interfaces.size(), 1u);
  EXPECT_EQ(system.interfaces[0].first, 1u);
  EXPECT_EQ(system.interfaces[0].forward_mw, 30);
  EXPECT_EQ(system.interfaces[0].backward_mw, 10);
  EXPECT_EQ(system.load[3], 2 * system.areas[0].load[3]);  // Their sum.
  const auto without = [](std::string text, const std::string& part) {
    return text.replace(text.find(part), part.size(), "");
  };
  const struct {
    std::string text;
    int64_t line;
    std::string what;
  } cases[] = {
      {"[load]\nfile = \"day.csv\"\n" + areas + unit, 1,
       "[load] and [[areas]] cannot both be given"},
      {areas + without(unit, "area = \"south\"\n"), 7,
       "no area in [[units]] 1"},
      {areas + "[[units]]\narea = \"east\"\n" + unit.substr(25), 8,
       "unknown area 'east'; the areas are north, south"},
      {"[load]\nfile = \"day.csv\"\n" + unit, 4,
       "names an area, and the system has no [[areas]]"},
      {areas + unit +
           "[[interfaces]]\nbetween = [\"north\", \"north\"]\n"
           "limit_mw = 5\n",
       14, "an interface from area 'north' to itself"},
      {areas + unit + tie +
           "[[interfaces]]\nbetween = [\"north\", "
           "\"south\"]\nlimit_mw = 5\n",
       18, "a second interface between 'north' and 'south'"},
      {areas + unit + "[[interfaces]]\nbetween = [\"north\"]\n", 14,
       "must name two areas"},
      {areas + unit +
           "[[interfaces]]\nbetween = [\"north\", \"south\"]\n"
           "limit_mw = 5\nforward_mw = 3\n",
       13, "give limit_mw, or forward_mw and backward_mw"},
      {areas + unit +
           "[[interfaces]]\nbetween = [\"north\", \"south\"]\n"
           "limit_mw = -5\n",
       15, "limit_mw must be a finite number of MW, 0 or more"},
      {"[[areas]]\nname = \"north\"\nload = \"day.csv\"\n" + unit, 3,
       "load must be a table such as"},
      {"[[areas]]\nname = \"north\"\nload = { file = \"day.csv\" }\n"
       "[[areas]]\nname = \"south\"\nload = { file = \"wind.csv\" }\n" +
           unit,
       6, ""},
      {areas + unit + "[[storage]]\npower_mw = 5\nenergy_mwh = 8\n", 13,
       "no area in [[storage]] 1: with [[areas]], each names its area"},
      {areas + unit +
           "[[storage]]\npower_mw = 5\nenergy_mwh = 8\narea = \"west\"\n",
       16, "unknown area 'west'"},
      {areas + unit +
           "[[storage]]\npower_mw = 5\nenergy_mwh = 8\narea = \"south\"\n",
       0, ""},
      {"[[areas]]\nname = \"north\"\nload = { file = \"day.csv\", "
       "uncertainty = { standard_deviation = 0.02 } }\n"
       "[[areas]]\nname = \"south\"\nload = { file = \"day.csv\", "
       "uncertainty = { multipliers = [0.9, 1.1], probabilities = [0.5, "
       "0.5] } }\n" +
           unit,
       6,
       "the load outcomes of area 'south' must have the probabilities of "
       "area 'north'"},
      {"[[areas]]\nname = \"north\"\nload = { file = \"day.csv\", "
       "uncertainty = { standard_deviation = 0.02 } }\n"
       "[[areas]]\nname = \"south\"\nload = { file = \"day.csv\", "
       "uncertainty = { standard_deviation = 0.05 } }\n" +
           unit,
       0, ""},
      {areas + unit + "maintenance = [{ days = 1 }]\n", 13,
       "with [[areas]] every maintenance entry needs its first_day"},
      {areas + unit + "maintenance = [{ first_day = 1, days = 2 }]\n", 13,
       "past"},
      {"[[areas]]\nname = \"north\"\nload = { file = \"day.csv\" }\n"
       "[[areas]]\nname = \"south\"\nload = { file = \"two_days.csv\" "
       "}\n" +
           unit,
       6, "holds 48 hours; the load of area 'north' holds 24 hours"},
      {"[[interfaces]]\nbetween = [\"a\", \"b\"]\nlimit_mw = 1\n"
       "[load]\nfile = \"day.csv\"\n" +
           std::string(kUnit),
       1, "[[interfaces]] need [[areas]]"},
  };
  for (const auto& c : cases) {
    System bad;
    const bool read = Parse(c.text, &bad, &error);
    if (c.what.empty()) {
      // Two areas whose loads have the same hours, of different files.
      EXPECT_TRUE(read) << error.what;
      continue;
    }
    EXPECT_FALSE(read) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << "\n"
                                                          << error.what;
  }
}

// Storage devices: the ratings as given or derived, the defaults, and each
// fault with its line (the device's table starts on line 8).
TEST_F(SystemFileTest, StorageDevicesAndTheirFaults) {
  const std::string head =
      "[load]\nfile = \"day.csv\"\n" + std::string(kUnit) + "[[storage]]\n";
  System system;
  InputError error;
  ASSERT_TRUE(Parse(head + "name = \"b\"\ncount = 3\npower_mw = 200\n"
                           "energy_mwh = 800\nround_trip_efficiency = 0.81\n"
                           "[[storage]]\ncharge_mw = 10\ndischarge_mw = 20.5\n"
                           "energy_mwh = 0\ncharge_efficiency = 0.9\n"
                           "initial_share = 0\nforced_outage_rate = 0.02\n"
                           "mean_repair_hours = 24\n",
                    &system, &error))
      << error.what;
  ASSERT_EQ(system.storage.size(), 2u);
  const StorageDevice& b = system.storage[0];
  EXPECT_EQ(b.name, "b");
  EXPECT_EQ(b.count, 3);
  EXPECT_EQ(b.charge_mw, 200);
  EXPECT_EQ(b.discharge_mw, 200);
  EXPECT_EQ(b.charge_efficiency, std::sqrt(0.81));
  EXPECT_EQ(b.discharge_efficiency, std::sqrt(0.81));
  EXPECT_EQ(b.initial_share, 1.0);
  EXPECT_EQ(b.mean_repair_hours, 0.0);  // Never out.
  const StorageDevice& s = system.storage[1];
  EXPECT_EQ(s.name, "storage 2");
  EXPECT_EQ(s.count, 1);
  EXPECT_EQ(s.discharge_mw, 20.5);
  EXPECT_EQ(s.charge_efficiency, 0.9);
  EXPECT_EQ(s.discharge_efficiency, 1.0);
  EXPECT_EQ(s.initial_share, 0.0);
  EXPECT_EQ(s.forced_outage_rate, 0.02);
  EXPECT_EQ(s.mean_repair_hours, 24.0);
  const struct {
    std::string text;
    int64_t line;
    std::string what;
  } cases[] = {
      {"energy_mwh = 8\n", 8, "give power_mw, or charge_mw and discharge_mw"},
      {"power_mw = 5\ncharge_mw = 5\nenergy_mwh = 8\n", 8,
       "give power_mw, or charge_mw and discharge_mw"},
      {"charge_mw = 5\nenergy_mwh = 8\n", 8,
       "give power_mw, or charge_mw and discharge_mw"},
      {"power_mw = 5\n", 8, "no energy_mwh in [[storage]] 1"},
      {"power_mw = -5\nenergy_mwh = 8\n", 9,
       "power_mw must be at least 0, not -5"},
      {"power_mw = 5\nenergy_mwh = inf\n", 10,
       "energy_mwh must be a finite number, not inf"},
      {"power_mw = 5\nenergy_mwh = 8\nround_trip_efficiency = 0\n", 11,
       "round_trip_efficiency must be above 0 to 1, not 0"},
      {"power_mw = 5\nenergy_mwh = 8\ndischarge_efficiency = 1.2\n", 11,
       "discharge_efficiency must be above 0 to 1, not 1.2"},
      {"power_mw = 5\nenergy_mwh = 8\nround_trip_efficiency = 0.8\n"
       "charge_efficiency = 0.9\n",
       8, "give round_trip_efficiency, or charge_efficiency and"},
      {"power_mw = 5\nenergy_mwh = 8\ninitial_share = -0.5\n", 11,
       "initial_share must be from 0 to 1, not -0.5"},
      {"power_mw = 5\nenergy_mwh = 8\nmean_repair_hours = 5\n", 8,
       "give one of forced_outage_rate and mean_time_to_failure_hours in "
       "[[storage]] 1, not neither"},
      {"power_mw = 5\nenergy_mwh = 8\nforced_outage_rate = 0.1\n", 8,
       "give one of mean_repair_hours and mean_repair_days in [[storage]] 1"},
      {"power_mw = 5\nenergy_mwh = 8\ncount = 0\n", 11,
       "count must be from 1 to 1000, not 0"},
      {"power_mw = 5\nenergy_mwh = 8\nvolts = 3\n", 11,
       "unknown key 'volts' in [[storage]] 1"},
  };
  for (const auto& c : cases) {
    System bad;
    EXPECT_FALSE(Parse(head + c.text, &bad, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << error.what;
    EXPECT_NE(error.what.find(c.what), std::string::npos) << c.text << "\n"
                                                          << error.what;
  }
  EXPECT_FALSE(Parse("storage = 3\n" + head.substr(0, head.size() - 12) + "",
                     &system, &error));
  EXPECT_NE(error.what.find("storage must be [[storage]] tables"),
            std::string::npos)
      << error.what;
}

// A fault inside a series is told at its own file and line.
TEST_F(SystemFileTest, SeriesFaultsNameTheSeries) {
  System system;
  InputError error;
  ASSERT_FALSE(Parse("[load]\nfile = \"bad.csv\"\n" + std::string(kUnit),
                     &system, &error));
  EXPECT_EQ(error.file, dir_ + "/bad.csv");
  EXPECT_EQ(error.line, 3);
  EXPECT_EQ(error.what, "'ten' is not a number");

  std::string two_days;
  for (int hour = 0; hour < 48; ++hour) two_days += "1\n";
  Write("long.csv", two_days);
  ASSERT_FALSE(
      Parse("[load]\nfile = \"day.csv\"\n" + std::string(kUnit) +
                "[[profiles]]\nname = \"solar\"\nfile = \"long.csv\"\n",
            &system, &error));
  EXPECT_EQ(error.line, 10);
  EXPECT_NE(error.what.find("holds 48 hours; the load holds 24 hours"),
            std::string::npos)
      << error.what;
  EXPECT_FALSE(ReadSystemFile(dir_ + "/missing.toml", &system, &error));
  EXPECT_EQ(error.what, "cannot read: No such file or directory");
}

}  // namespace
}  // namespace adequacy
