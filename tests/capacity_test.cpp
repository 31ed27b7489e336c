// `adequacy capacity` through the built program: the carrying capability,
// the credit of added resources, their JSON, and the lines for what cannot
// be answered.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/run_program.h"
#include "tests/scratch_dir.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

const std::string kBuiltin = "'" + kExamples + "/builtin/system.toml'";

class CapacityTest : public ScratchDirTest {
 protected:
  static ProgramRun Capacity(const std::string& arguments) {
    return RunProgram("", nullptr, "",
                      "capacity " + arguments + " " + kStandardStreams);
  }
};

// The built-in system's loads are whole megawatts at the right end of
// their step: at its own LOLE, 0.0999562, nothing more can be added.
TEST_F(CapacityTest, TheBuiltInSystemAtItsOwnIndex) {
  const ProgramRun run = Capacity(kBuiltin + " --target LOLE=0.09996 --json -");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NEAR(JsonNumber(run.out, "added_mw"), 0.0, 0.01);
  EXPECT_NEAR(JsonNumber(run.out, "scale"), 1.0, 0.01 / 9424);
  EXPECT_NEAR(JsonNumber(run.out, "peak_load_mw"), 9424.0, 0.01);
  EXPECT_LE(JsonNumber(run.out, "index_at_added"), 0.09996);
  EXPECT_GT(JsonNumber(run.out, "evaluations"), 10);
  EXPECT_NE(run.out.find("\"index\": \"LOLE\""), std::string::npos);
}

// One area of two: a firm 100 MW in the north is worth 100 MW to it; a
// nuclear unit there is worth less to the south than to the north; a
// system with areas needs --area.
TEST_F(CapacityTest, AnAreaOfTwo) {
  const std::string two = "'" + kExamples + "/two_areas/system.toml'";
  Write("firm.toml",
        "[[units]]\narea = \"north\"\ncount = 1\ncapacity_mw = 100\n"
        "forced_outage_rate = 0\nmean_repair_hours = 1\n");
  const ProgramRun firm = Capacity(two + " --area north --add '" +
                                   Path("firm.toml") + "' --json -");
  ASSERT_EQ(firm.exit_status, 0) << firm.err;
  EXPECT_NEAR(JsonNumber(firm.out, "elcc_mw"), 100.0, 0.01);
  EXPECT_EQ(JsonNumber(firm.out, "efc_mw"), 100.0);
  const std::string nuclear =
      " --add '" + kExamples + "/two_areas/north_nuclear.toml' --json -";
  const ProgramRun north = Capacity(two + " --area north" + nuclear);
  const ProgramRun south = Capacity(two + " --area south" + nuclear);
  ASSERT_EQ(north.exit_status, 0) << north.err;
  ASSERT_EQ(south.exit_status, 0) << south.err;
  EXPECT_NEAR(JsonNumber(north.out, "elcc_mw"), 249.06, 0.02);
  EXPECT_GT(JsonNumber(south.out, "elcc_mw"), 0.0);
  EXPECT_LT(JsonNumber(south.out, "elcc_mw"),
            JsonNumber(north.out, "elcc_mw") / 2);
  const ProgramRun none = Capacity(two);
  EXPECT_EQ(none.exit_status, 2);
  EXPECT_NE(none.err.find("needs --area NAME, one of north, south"),
            std::string::npos)
      << none.err;
}

// One area of three, by simulation over the same years at every load: a
// firm 100 MW in the north is worth 100 MW to it, both ways, within the
// search's tolerance, at EUE (which moves with every MW; LOLE moves by
// days); the answers carry their standard errors.
TEST_F(CapacityTest, AnAreaOfThreeBySimulation) {
  Write("firm.toml",
        "[[units]]\narea = \"north\"\ncount = 1\ncapacity_mw = 100\n"
        "forced_outage_rate = 0\nmean_repair_hours = 1\n");
  const ProgramRun firm =
      Capacity("'" + kExamples + "/ring/system.toml' --area north --add '" +
               Path("firm.toml") + "' --target EUE=40 --years 500 --json -");
  ASSERT_EQ(firm.exit_status, 0) << firm.err;
  // The ELCC keeps the target: beyond what the north carries already.
  EXPECT_NEAR(
      JsonNumber(firm.out, "elcc_mw") - JsonNumber(firm.out, "added_mw"), 100.0,
      4.0)
      << firm.out;
  EXPECT_NEAR(JsonNumber(firm.out, "efc_mw"), 100.0, 4.0) << firm.out;
  EXPECT_GT(JsonNumber(firm.out, "added_mw_standard_error"), 0.0);
  EXPECT_GT(JsonNumber(firm.out, "elcc_standard_error"), 0.0);
  EXPECT_NE(firm.out.find("\"simulated\": true"), std::string::npos);
}

// Storage added to an area of two, by simulation: the north's battery is
// worth something to the north and no more than its power, the south's
// nothing to the north, which it never serves.  Two small areas, each
// short some evenings, joined by 20 MW.
TEST_F(CapacityTest, StorageInAnAreaBySimulation) {
  std::string north;
  std::string south;
  for (int hour = 0; hour < 24 * 28; ++hour) {
    const int of_day = hour % 24;
    north += std::to_string(of_day >= 17 && of_day < 20 ? 150 : 90) + "\n";
    south += std::to_string(of_day >= 18 && of_day < 21 ? 140 : 80) + "\n";
  }
  Write("north.csv", north);
  Write("south.csv", south);
  std::string system =
      "[[interfaces]]\nbetween = [\"north\", \"south\"]\nlimit_mw = 20\n";
  for (const std::string area : {"north", "south"}) {
    system += "[[areas]]\nname = \"" + area + "\"\nload = { file = \"" + area +
              ".csv\" }\n[[units]]\narea = \"" + area +
              "\"\ncount = 4\ncapacity_mw = 50\nforced_outage_rate = "
              "0.08\nmean_repair_hours = 30\n";
  }
  Write("two.toml", system);
  for (const std::string area : {"north", "south"}) {
    Write("battery.toml", "[[storage]]\narea = \"" + area +
                              "\"\npower_mw = 30\nenergy_mwh = 90\n");
    const ProgramRun run = Capacity(
        "'" + Path("two.toml") + "' --area north --add '" +
        Path("battery.toml") + "' --target EUE=300 --years 500 --json -");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("\"simulated\": true"), std::string::npos);
    const double elcc =
        JsonNumber(run.out, "elcc_mw") - JsonNumber(run.out, "added_mw");
    if (area == "north") {
      EXPECT_GT(elcc, 5.0) << run.out;
      EXPECT_LT(elcc, 30.5) << run.out;
    } else {
      EXPECT_NEAR(elcc, 0.0, 0.5) << run.out;
    }
  }
}

// A 100 MW unit that is never out is worth 100 MW, both ways; a profile
// is worth less than its peak; the text says both.
TEST_F(CapacityTest, CreditOfAddedResources) {
  Write("firm.toml",
        "[[units]]\nname = \"contract\"\ncount = 1\ncapacity_mw = 100\n"
        "forced_outage_rate = 0\nmean_repair_hours = 1\n");
  const ProgramRun firm =
      Capacity(kBuiltin + " --add '" + Path("firm.toml") + "' --json -");
  ASSERT_EQ(firm.exit_status, 0) << firm.err;
  EXPECT_NEAR(JsonNumber(firm.out, "elcc_mw"), 100.0, 0.01);
  EXPECT_EQ(JsonNumber(firm.out, "efc_mw"), 100.0);
  EXPECT_EQ(JsonNumber(firm.out, "installed_mw"), 100.0);
  EXPECT_NEAR(JsonNumber(firm.out, "elcc_share"), 1.0, 1e-4);

  std::string solar;
  for (int hour = 0; hour < 8760; ++hour) {
    const int h = hour % 24;
    solar += std::to_string(h >= 8 && h < 16 ? 200 : 0) + "\n";
  }
  Write("solar.csv", solar);
  Write("solar.toml", "[[profiles]]\nname = \"solar\"\nfile = \"solar.csv\"\n");
  const ProgramRun run = Capacity(kBuiltin + " --add '" + Path("solar.toml") +
                                  "' --target LOLH=0.2");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("Capacity credit of solar (200.00 MW installed"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("ELCC"), std::string::npos);
  EXPECT_NE(run.out.find("EFC"), std::string::npos);
}

// Storage is credited by simulation: an answer with its interval, the
// same on any number of threads, and nothing for a device that can do
// nothing; storage in the system itself has no exact index to keep.
TEST_F(CapacityTest, StorageIsCreditedBySimulation) {
  const std::string rts = "'" + kExamples + "/rts79/system.toml'";
  const std::string battery = "'" + kExamples + "/rts79/battery.toml'";
  const ProgramRun one = Capacity(rts + " --add " + battery +
                                  " --target LOLH=9.39418 --years 400 "
                                  "--threads 1 --json -");
  ASSERT_EQ(one.exit_status, 0) << one.err;
  const double elcc = JsonNumber(one.out, "elcc_mw");
  const double se = JsonNumber(one.out, "elcc_standard_error");
  EXPECT_GT(elcc, 100.0);
  EXPECT_LT(elcc, 200.0);
  EXPECT_GT(se, 0.0);
  EXPECT_LT(se, 10.0);
  EXPECT_EQ(JsonNumber(one.out, "years"), 400);
  EXPECT_EQ(JsonNumber(one.out, "installed_mw"), 200);
  EXPECT_NE(one.out.find("\"simulated\": true"), std::string::npos);
  EXPECT_NE(one.out.find("\"elcc_ci95\": ["), std::string::npos);
  EXPECT_GT(JsonNumber(one.out, "efc_mw"), 100.0);
  const ProgramRun two = Capacity(rts + " --add " + battery +
                                  " --target LOLH=9.39418 --years 400 "
                                  "--threads 2 --json -");
  EXPECT_EQ(two.out, one.out);

  Write("idle.toml", "[[storage]]\npower_mw = 0\nenergy_mwh = 800\n");
  const ProgramRun idle = Capacity(kBuiltin + " --add '" + Path("idle.toml") +
                                   "' --years 300 --json -");
  ASSERT_EQ(idle.exit_status, 0) << idle.err;
  EXPECT_EQ(JsonNumber(idle.out, "elcc_mw"), 0.0);
  EXPECT_EQ(JsonNumber(idle.out, "efc_mw"), 0.0);

  Write("stored.toml",
        "name = \"x\"\n[load]\nmodel = \"daily-profile\"\n"
        "[[units]]\ncount = 20\ncapacity_mw = 600\n"
        "forced_outage_rate = 0.05\nmean_repair_hours = 40\n"
        "[[storage]]\npower_mw = 10\nenergy_mwh = 40\n");
  const ProgramRun stored = Capacity("'" + Path("stored.toml") + "'");
  EXPECT_EQ(stored.exit_status, 1);
  EXPECT_NE(stored.err.find("give the devices with --add"), std::string::npos)
      << stored.err;
  // A chain the simulation cannot step is told, not answered around.
  Write("fast.toml",
        "[[units]]\ncount = 1\ncapacity_mw = 100\nforced_outage_rate = 0.1\n"
        "mean_repair_hours = 0.5\n[[storage]]\npower_mw = 10\n"
        "energy_mwh = 40\n");
  const ProgramRun fast =
      Capacity(rts + " --add '" + Path("fast.toml") + "' --years 100");
  EXPECT_EQ(fast.exit_status, 1);
  EXPECT_EQ(fast.out, "");
  EXPECT_NE(fast.err.find("a failure or repair probability above 1 an hour"),
            std::string::npos)
      << fast.err;
  for (const char* misuse : {"--years 0", "--precision 1", "--threads 0",
                             "--years 10 --precision 0.1", "--max-years 5"}) {
    EXPECT_EQ(Capacity(kBuiltin + " " + misuse).exit_status, 2) << misuse;
  }
}

TEST_F(CapacityTest, WhatCannotBeAnswered) {
  const ProgramRun none = Capacity(kBuiltin + " --target LOLH=0");
  EXPECT_EQ(none.exit_status, 1);
  EXPECT_NE(none.err.find("the fleet cannot carry any load at LOLH"),
            std::string::npos)
      << none.err;
  const ProgramRun any = Capacity(kBuiltin + " --target LOLH=10000");
  EXPECT_EQ(any.exit_status, 1);
  EXPECT_NE(any.err.find("any load meets"), std::string::npos) << any.err;
  for (const char* misuse : {"--target LOLP=1", "--target LOLE=-1",
                             "--tolerance 0", "--bogus", "--json ''"}) {
    const ProgramRun run = Capacity(kBuiltin + " " + misuse);
    EXPECT_EQ(run.exit_status, 2) << misuse;
    EXPECT_EQ(run.err.rfind("adequacy capacity: ", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  Write("empty.toml", "name = \"nothing\"\n");
  const ProgramRun empty =
      Capacity(kBuiltin + " --add '" + Path("empty.toml") + "'");
  EXPECT_EQ(empty.exit_status, 1);
  EXPECT_NE(empty.err.find("nothing to add"), std::string::npos);
  const ProgramRun help = Capacity("--help");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.out.rfind("Usage: adequacy capacity SYSTEM.toml", 0), 0u);
}

// --plot draws the index against the load added, with and without the
// resources, beside the usual answers: exact, or by simulation the loads
// the searches tried.
TEST_F(CapacityTest, PlotDrawsTheCurves) {
  const std::string rts = "'" + kExamples + "/rts79/system.toml'";
  const ProgramRun pdf = Capacity(rts + " --plot '" + Path("x.pdf") + "'");
  EXPECT_EQ(pdf.exit_status, 2);
  EXPECT_NE(pdf.err.find("--plot needs a file name ending in .svg or .png"),
            std::string::npos)
      << pdf.err;
  if (std::system("command -v gnuplot >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "gnuplot is not installed";
  }
  // By simulation, the loads the searches tried are the curve.
  const ProgramRun ring =
      Capacity("'" + kExamples +
               "/ring/system.toml' --area north --years 200 "
               "--plot '" +
               Path("ring.svg") + "'");
  ASSERT_EQ(ring.exit_status, 0) << ring.err;
  const std::string ring_svg = ReadFile(Path("ring.svg"));
  for (const char* part :
       {"the loads the search tried", "simulated, 200 years"}) {
    EXPECT_NE(ring_svg.find(part), std::string::npos) << part;
  }
  const ProgramRun run = Capacity(rts + " --add '" + kExamples +
                                  "/rts79/one_more_nuclear.toml' --plot '" +
                                  Path("credit.svg") + "'");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("ELCC"), std::string::npos);
  const std::string svg = ReadFile(Path("credit.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  for (const char* part : {"LOLE against the load added", "as it stands",
                           "with one more 400 MW nuclear unit", "ELCC 270.3",
                           "EFC 246", "target LOLE 0.1"}) {
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace adequacy
