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

}  // namespace
}  // namespace adequacy
