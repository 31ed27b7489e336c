// `adequacy assess` through the built program: the example systems give
// their published figures, the outputs read back, and every bad input gets
// one line, its status and no output at all.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/run_program.h"
#include "tests/scratch_dir.h"

namespace adequacy {
namespace {

namespace fs = std::filesystem;

class AssessTest : public ScratchDirTest {
 protected:
  // The program with `arguments` after "assess", in a scratch directory.
  static ProgramRun Assess(const std::string& arguments) {
    return RunProgram("", nullptr, "",
                      "assess " + arguments + " " + kStandardStreams);
  }
};

// The number after `label` (and spaces) in the report.
double Figure(const std::string& report, const std::string& label) {
  const size_t at = report.find("\n  " + label + " ");
  if (at == std::string::npos) return NAN;
  return std::strtod(report.c_str() + at + 3 + label.size(), nullptr);
}

// The published indices of the IEEE RTS-79, to their published digits.
TEST_F(AssessTest, TheReliabilityTestSystemGivesItsPublishedIndices) {
  const ProgramRun run = Assess("'" + kExamples + "/rts79/system.toml'");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.op, "");  // No dialogue, no report file.
  EXPECT_NE(run.out.find("IEEE RTS-79"), std::string::npos);
  EXPECT_NE(run.out.find("32 units, 3405 MW installed"), std::string::npos);
  EXPECT_NE(run.out.find("8736 hours (364 days), peak load 2850 MW"),
            std::string::npos);
  EXPECT_NEAR(Figure(run.out, "LOLH"), 9.39418, 0.000005) << run.out;
  EXPECT_NEAR(Figure(run.out, "LOLE"), 1.36886, 0.000005);
  EXPECT_EQ(std::round(Figure(run.out, "EUE")), 1176.0);
}

// The built-in system written as a file agrees with the dialogue's first
// direct solution (its companion file's figures) within a relative 1e-6:
// the dialogue keeps its outage rates in single precision.
TEST_F(AssessTest, TheBuiltInSystemAgreesWithTheDialogue) {
  const ProgramRun run =
      Assess("'" + kExamples + "/builtin/system.toml' --json -");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  const struct {
    const char* name;
    double dialogue;
  } indices[] = {{"LOLH", 0.2253052527243522},
                 {"LOLE", 0.09995624189378716},
                 {"ALLR", 0.09557735650944021},
                 {"EUE", 33.395053878141304},
                 {"energy", 28573440},
                 {"ppm", 1.1687446061146751},
                 {"reserve_margin", 13.571731567382812}};
  for (const auto& index : indices) {
    EXPECT_NEAR(JsonNumber(run.out, index.name) / index.dialogue, 1.0, 1e-6)
        << index.name << "\n"
        << run.out;
  }
  EXPECT_EQ(JsonNumber(run.out, "installed_mw"), 10703);
  EXPECT_EQ(JsonNumber(run.out, "units"), 110);
}

// The JSON document read back by a standard library: its names, its
// numbers to the last bit, and the hourly CSV summing to the indices.
TEST_F(AssessTest, JsonAndHourlyCsvReadBack) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const ProgramRun run =
      Assess("'" + kExamples + "/rts79/system.toml' --json '" + Path("r.json") +
             "' --hourly '" + Path("h.csv") + "'");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("LOLH"), std::string::npos);
  Write("check.py",
        "import csv, json, sys\n"
        "d = json.load(open(sys.argv[1]))\n"
        "assert d['schema'] == 3 and d['program']['name'] == 'adequacy'\n"
        "s = d['system']\n"
        "assert s['name'] == 'IEEE RTS-79' and s['units'] == 32\n"
        "assert s['installed_mw'] == 3405 and s['hours'] == 8736\n"
        "assert s['file'].endswith('rts79/system.toml')\n"
        "r = d['direct']\n"
        "assert abs(r['LOLH'] - 9.39418) < 5e-6, r\n"
        "assert abs(r['LOLE'] - 1.36886) < 5e-6, r\n"
        "assert round(r['EUE']) == 1176 and r['peak_load'] == 2850\n"
        "assert abs(r['ppm'] - r['EUE'] / r['energy'] * 1e6) < 1e-9\n"
        "assert abs(r['reserve_margin'] - (3405 - 2850) / 2850 * 100) < 1e-12\n"
        "assert 0 < r['ALLR'] < 1\n"
        "rows = list(csv.DictReader(open(sys.argv[2])))\n"
        "assert len(rows) == 8736 and rows[0]['hour'] == '1'\n"
        "assert list(rows[0]) == ['hour', 'load_mw', 'net_load_mw', 'lolp',\n"
        "                         'expected_unserved_mwh']\n"
        "lolh = sum(float(x['lolp']) for x in rows)\n"
        "eue = sum(float(x['expected_unserved_mwh']) for x in rows)\n"
        "assert abs(lolh - r['LOLH']) < 1e-9 and abs(eue - r['EUE']) < 1e-7\n"
        "assert abs(sum(float(x['load_mw']) for x in rows) - r['energy']) "
        "< 1e-3\n");
  EXPECT_EQ(std::system(("python3 '" + Path("check.py") + "' '" +
                         Path("r.json") + "' '" + Path("h.csv") + "'")
                            .c_str()),
            0);
}

// Weather years: each year's indices, their mean, the hourly risk of each
// year where the year is, and the simulated years spread over them; and a
// schedule of maintenance placed by the program, listed where it went.
TEST_F(AssessTest, WeatherYearsAndPlacedMaintenanceReadBack) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const ProgramRun run = Assess(
      "'" + kExamples + "/weather/system.toml' --by-year --years 600 " +
      "--json '" + Path("r.json") + "' --hourly '" + Path("h.csv") + "'");
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("in 3 weather years"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n  1991 "), std::string::npos) << run.out;
  const ProgramRun placed =
      Assess("'" + kExamples + "/rts79/maintenance.toml' --json '" +
             Path("m.json") + "'");
  ASSERT_EQ(placed.exit_status, 0) << placed.err;
  Write("check.py",
        "import csv, json, sys\n"
        "d = json.load(open(sys.argv[1]))\n"
        "r = d['direct']\n"
        "years = r['by_year']\n"
        "assert [y['year'] for y in years] == ['1990', '1991', '1992']\n"
        "assert [y['hours'] for y in years] == [8736, 8736, 8760]\n"
        "assert d['system']['weather_years'][2]['hours'] == 8760\n"
        "for k in ('LOLH', 'LOLE', 'EUE', 'ALLR'):\n"
        "    mean = sum(y[k] for y in years) / 3\n"
        "    assert abs(mean - r[k]) <= 1e-12 * r[k], (k, mean, r[k])\n"
        "rows = list(csv.DictReader(open(sys.argv[2])))\n"
        "assert len(rows) == 26232 and list(rows[0])[:2] == ['hour', "
        "'weather_year']\n"
        "for y in years:\n"
        "    mine = [x for x in rows if x['weather_year'] == y['year']]\n"
        "    assert len(mine) == y['hours']\n"
        "    lolh = sum(float(x['lolp']) for x in mine)\n"
        "    assert abs(lolh - y['LOLH']) < 1e-9, (lolh, y['LOLH'])\n"
        "    # 200 simulated years had each weather year.\n"
        "    shares = {float(x['simulated_lolp']) * 200 for x in mine}\n"
        "    assert all(abs(s - round(s)) < 1e-9 for s in shares)\n"
        "m = json.load(open(sys.argv[3]))\n"
        "entries = m['maintenance']\n"
        "assert len(entries) == 32 and all(e['placed'] for e in entries)\n"
        "assert all(e['days'] == 28 and e['count'] == 1 for e in entries)\n"
        "assert all(1 <= e['first_day'] <= 364 - 27 for e in entries)\n"
        "assert m['direct']['LOLE'] > 1.36886\n");
  EXPECT_EQ(
      std::system(("python3 '" + Path("check.py") + "' '" + Path("r.json") +
                   "' '" + Path("h.csv") + "' '" + Path("m.json") + "'")
                      .c_str()),
      0);
}

// Two RTS-79 areas: each area's indices, the system's between its bounds;
// with no tie each area is the RTS-79 alone, to its published digits.  The
// simulation of two areas holds the exact values in the report and the
// document; of three it lies between the bounds.
TEST_F(AssessTest, TwoAreasAreExactAndBounded) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  std::ifstream in(kExamples + "/two_areas/system.toml");
  std::stringstream text;
  text << in.rdbuf();
  std::string cut = text.str();
  cut.replace(cut.find("limit_mw = 300"), 14, "limit_mw = 0");
  for (size_t at = cut.find("\"../rts79"); at != std::string::npos;
       at = cut.find("\"../rts79")) {
    cut.replace(at + 1, 2, kExamples);
  }
  Write("cut.toml", cut);
  const ProgramRun tied =
      Assess("'" + kExamples + "/two_areas/system.toml' --json '" +
             Path("tied.json") + "' --hourly '" + Path("h.csv") + "'");
  ASSERT_EQ(tied.exit_status, 0) << tied.err;
  EXPECT_NE(tied.out.find("\n  north "), std::string::npos) << tied.out;
  const ProgramRun alone =
      Assess("'" + Path("cut.toml") + "' --json '" + Path("cut.json") + "'");
  ASSERT_EQ(alone.exit_status, 0) << alone.err;
  Write("check.py",
        "import json, sys\n"
        "t = json.load(open(sys.argv[1]))['direct']\n"
        "c = json.load(open(sys.argv[2]))['direct']\n"
        "n, s = t['areas']['north'], t['areas']['south']\n"
        "assert t['exact'] and n['LOLE'] == s['LOLE']\n"
        "assert t['copper_plate']['LOLE'] < t['LOLE'] < t['islands']['LOLE']\n"
        "assert abs(t['EUE'] - n['EUE'] - s['EUE']) < 1e-9\n"
        "assert n['LOLE'] < 1.36886\n"
        "for a in ('north', 'south'):\n"
        "    assert abs(c['areas'][a]['LOLE'] - 1.36886) < 5e-6\n"
        "    assert abs(c['areas'][a]['LOLH'] - 9.39418) < 5e-6\n"
        "assert abs(c['LOLE'] - c['islands']['LOLE']) < 1e-12\n"
        "import csv\n"
        "rows = list(csv.DictReader(open(sys.argv[3])))\n"
        "assert len(rows) == 8736\n"
        "assert abs(sum(float(r['north_lolp']) for r in rows) - n['LOLH']) "
        "< 1e-9\n"
        "assert abs(sum(float(r['south_expected_unserved_mwh']) for r in rows)"
        " - s['EUE']) < 1e-7\n"
        "assert abs(sum(float(r['system_lolp']) for r in rows) - t['LOLH']) "
        "< 1e-9\n");
  EXPECT_EQ(
      std::system(("python3 '" + Path("check.py") + "' '" + Path("tied.json") +
                   "' '" + Path("cut.json") + "' '" + Path("h.csv") + "'")
                      .c_str()),
      0);
  const ProgramRun simulated =
      Assess("'" + kExamples +
             "/two_areas/system.toml' --years 4000 "
             "--json '" +
             Path("mc.json") + "' --hourly '" + Path("mc.csv") + "'");
  ASSERT_EQ(simulated.exit_status, 0) << simulated.err;
  EXPECT_NE(simulated.out.find("\nMonte Carlo ("), std::string::npos);
  EXPECT_NE(simulated.out.find("    north - south: "), std::string::npos)
      << simulated.out;
  Write("mc.py",
        "import json, sys\n"
        "d = json.load(open(sys.argv[1]))\n"
        "x, m = d['direct'], d['montecarlo']\n"
        "assert m['years'] == 4000\n"
        "def near(e, exact):\n"
        "    assert abs(e['estimate'] - exact) < 4 * e['standard_error'], "
        "(e, exact)\n"
        "    assert e['ci95'][0] <= e['estimate'] <= e['ci95'][1]\n"
        "for k in ('LOLH', 'LOLE', 'EUE'):\n"
        "    near(m[k], x[k])\n"
        "    assert m[k]['controlled']\n"
        "    for a in ('north', 'south'):\n"
        "        near(m['areas'][a][k], x['areas'][a][k])\n"
        "assert m['areas']['north']['events']['count'] > 0\n"
        "[tie] = m['interfaces']\n"
        "assert tie['between'] == ['north', 'south']\n"
        "assert 0 < tie['at_limit_forward_share'] <= 1\n"
        "assert 0 < tie['at_limit_backward_share'] <= 1\n"
        "import csv\n"
        "rows = list(csv.DictReader(open(sys.argv[2])))\n"
        "for a, e in (('north', m['areas']['north']), ('south', "
        "m['areas']['south']), ('system', m)):\n"
        "    s = sum(float(r[a + '_simulated_lolp']) for r in rows)\n"
        "    assert abs(s - e['LOLH']['plain_estimate']) < 1e-9 * (1 + s)\n"
        "u = sum(float(r['south_simulated_unserved_mw']) for r in rows)\n"
        "assert abs(u - m['areas']['south']['EUE']['plain_estimate']) < "
        "1e-9 * u\n");
  EXPECT_EQ(std::system(("python3 '" + Path("mc.py") + "' '" + Path("mc.json") +
                         "' '" + Path("mc.csv") + "'")
                            .c_str()),
            0);
  std::string three = cut;
  three.replace(three.find("[[interfaces]]"), 14,
                "[[areas]]\nname = \"east\"\nload = { file = \"" + kExamples +
                    "/rts79/load.csv\" }\n\n[[interfaces]]");
  Write("three.toml", three);
  const ProgramRun three_run =
      Assess("'" + Path("three.toml") + "' --years 300 --json '" +
             Path("three.json") + "' --hourly '" + Path("three.csv") + "'");
  ASSERT_EQ(three_run.exit_status, 0) << three_run.err;
  Write("three.py",
        "import json, sys\n"
        "d = json.load(open(sys.argv[1]))\n"
        "x, m = d['direct'], d['montecarlo']\n"
        "assert not x['exact'] and sorted(m['areas']) == "
        "['east', 'north', 'south']\n"
        "assert x['copper_plate']['EUE'] < m['EUE']['estimate'] <= "
        "x['islands']['EUE']\n"
        "assert len(m['interfaces']) == 1\n"
        "import csv\n"
        "rows = list(csv.DictReader(open(sys.argv[2])))\n"
        "def total(c): return sum(float(r[c]) for r in rows)\n"
        "for c, v in (('islands_lolp', x['islands']['LOLH']), "
        "('copper_plate_lolp', x['copper_plate']['LOLH']), "
        "('east_alone_lolp', x['islands']['areas']['east']['LOLH']), "
        "('system_simulated_lolp', m['LOLH']['plain_estimate']), "
        "('north_simulated_lolp', m['areas']['north']['LOLH']"
        "['plain_estimate'])):\n"
        "    assert abs(total(c) - v) < 1e-9 * (1 + v), (c, total(c), v)\n");
  EXPECT_EQ(std::system(("python3 '" + Path("three.py") + "' '" +
                         Path("three.json") + "' '" + Path("three.csv") + "'")
                            .c_str()),
            0);
  const ProgramRun bounds_only =
      Assess("'" + Path("three.toml") + "' --hourly '" + Path("no.csv") + "'");
  EXPECT_EQ(bounds_only.exit_status, 1);
  EXPECT_NE(bounds_only.err.find("--hourly beyond two areas needs the "
                                 "simulation"),
            std::string::npos)
      << bounds_only.err;
  EXPECT_FALSE(fs::exists(Path("no.csv")));
}

// The what-ifs move the load as said: scaled by 1.1 the RTS peak is 3135
// MW; a profile equal to the load leaves no risk; `--json -` puts the
// document on standard output in place of the report.
TEST_F(AssessTest, WhatIfsAndProfiles) {
  const std::string rts = "'" + kExamples + "/rts79/system.toml'";
  const ProgramRun scaled = Assess(rts + " --load-scale 1.1 --load-add 15");
  ASSERT_EQ(scaled.exit_status, 0) << scaled.err;
  EXPECT_NE(scaled.out.find("peak load 3150 MW"), std::string::npos)
      << scaled.out;
  EXPECT_GT(Figure(scaled.out, "LOLH"), 9.39418);

  const ProgramRun json = Assess(rts + " --load-add -100 --json -");
  ASSERT_EQ(json.exit_status, 0) << json.err;
  EXPECT_EQ(json.out.find("{\n  \"schema\": 3,"), 0u) << json.out;
  EXPECT_NE(json.out.find("\"added_mw\": -100"), std::string::npos);

  // The RTS fleet with its own load as a profile.
  std::ifstream system(kExamples + "/rts79/system.toml");
  std::stringstream text;
  text << system.rdbuf();
  const std::string units = text.str().substr(text.str().find("[[units]]"));
  const std::string load = kExamples + "/rts79/load.csv";
  Write("covered.toml", "[load]\nfile = \"" + load + "\"\n" + units +
                            "\n[[profiles]]\nname = \"all\"\nfile = \"" + load +
                            "\"\n");
  const ProgramRun zero = Assess("'" + Path("covered.toml") + "' --json -");
  ASSERT_EQ(zero.exit_status, 0) << zero.err;
  EXPECT_NE(zero.out.find("\"LOLH\": 0,"), std::string::npos) << zero.out;
  EXPECT_NE(zero.out.find("\"EUE\": 0,"), std::string::npos);
  EXPECT_NE(zero.out.find("\"profiles\": [\n      \"all\"\n    ]"),
            std::string::npos);
}

// A bad input gets one line naming the file and the line, status 1, and
// nothing written: the outputs of an earlier run are left as they were.
TEST_F(AssessTest, BadInputsWriteNothing) {
  Write("r.json", "earlier\n");
  Write("load.csv", "mw\n100\n");
  const struct {
    std::string toml;
    std::string line;
  } cases[] = {
      {"name = \"x\"\n[load]\nfile = \"load.csv\"\n[[units]]\ncount = 1\n"
       "capacity_mw = 10\nforced_outage_rate = 0.1\nmean_repair_hours = 5\n",
       "system.toml:3: '" + Path("load.csv") +
           "' holds 1 hour; it must hold whole days of 24 hours, one at "
           "least\n"},
      {"name = \"x\"\ncolour = 5\n",
       "system.toml:2: unknown key 'colour'; the keys are name, load, units, "
       "profiles, storage, areas, interfaces\n"},
      {"name = \"x\n", "system.toml:1: not valid TOML: "},
  };
  for (const auto& c : cases) {
    Write("system.toml", c.toml);
    const ProgramRun run =
        Assess("'" + Path("system.toml") + "' --json '" + Path("r.json") +
               "' --hourly '" + Path("h.csv") + "'");
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("adequacy: " + Path(c.line), 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(ReadFile(Path("r.json")), "earlier\n");
    EXPECT_FALSE(fs::exists(Path("h.csv")));
  }
  const ProgramRun missing = Assess("'" + Path("none.toml") + "'");
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_EQ(missing.err, "adequacy: " + Path("none.toml") +
                             ": cannot read: No such file or directory\n");
}

// The simulation through the program: its JSON read back, the estimates
// near the exact values, the same figures on one thread and on three, and
// a precision reached or the bound said.
TEST_F(AssessTest, MonteCarloYearsAndPrecision) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const std::string rts = "'" + kExamples + "/rts79/system.toml'";
  const ProgramRun one =
      Assess(rts + " --years 3000 --threads 1 --json '" + Path("1.json") + "'");
  ASSERT_EQ(one.exit_status, 0) << one.err;
  EXPECT_NE(one.out.find("Monte Carlo (Philox4x32-10, seed 1, 3000 "
                         "independent years, 1 threads)"),
            std::string::npos)
      << one.out;
  const ProgramRun three =
      Assess(rts + " --years 3000 --threads 3 --json '" + Path("3.json") + "'");
  ASSERT_EQ(three.exit_status, 0) << three.err;
  Write("check.py",
        "import json, sys\n"
        "a, b = (json.load(open(p)) for p in sys.argv[1:3])\n"
        "m, n = a['montecarlo'], b['montecarlo']\n"
        "assert m['years'] == 3000 and m['seed'] == 1\n"
        "assert m['generator'] == 'Philox4x32-10'\n"
        "assert m['stopped_by'] == 'years' and n['threads'] == 3\n"
        "del m['threads'], n['threads']\n"
        "assert m == n, 'the thread count changed the figures'\n"
        "d = a['direct']\n"
        "for k in ('LOLH', 'LOLE', 'EUE'):\n"
        "  e = m[k]\n"
        "  assert abs(e['estimate'] - d[k]) < 4 * e['standard_error'], k\n"
        "  assert e['ci95'][0] <= e['estimate'] <= e['ci95'][1]\n"
        "ev = m['events']\n"
        "assert sum(ev['by_duration_hours'].values()) == ev['count']\n"
        "assert sum(m['years_by_deficit_hours'].values()) == 3000\n"
        "assert abs(ev['count'] / 3000 - m['LOLEV']['plain_estimate']) < 1e-9\n"
        "for k in ('LOLH', 'LOLE', 'EUE'):\n"
        "  assert m[k]['estimate'] == m[k]['plain_estimate'], k\n"
        "  assert not m[k]['controlled'], k\n"
        "for k in ('LOLD', 'LOLEV', 'ALOLP'):\n"
        "  e = m[k]\n"
        "  assert e['controlled'], k\n"
        "  assert e['standard_error'] <= e['plain_standard_error'] * 1.01, k\n"
        "  assert abs(e['estimate'] - e['plain_estimate']) < 4 * "
        "e['plain_standard_error'], k\n"
        "assert m['LOLD']['plain_estimate'] <= m['LOLH']['plain_estimate']\n"
        "assert m['LOLD']['plain_estimate'] >= m['LOLE']['plain_estimate']\n");
  EXPECT_EQ(std::system(("python3 '" + Path("check.py") + "' '" +
                         Path("1.json") + "' '" + Path("3.json") + "'")
                            .c_str()),
            0);
  const ProgramRun precise = Assess(rts + " --precision 0.05 --seed 7");
  ASSERT_EQ(precise.exit_status, 0) << precise.err;
  EXPECT_NE(precise.out.find("seed 7,"), std::string::npos);
  EXPECT_NE(precise.out.find("stopped at relative standard errors of LOLH "
                             "and EUE at most 0.05"),
            std::string::npos);
  const ProgramRun bounded =
      Assess(rts + " --precision 0.0001 --max-years 2000");
  ASSERT_EQ(bounded.exit_status, 0) << bounded.err;
  EXPECT_NE(bounded.out.find("2000 independent years"), std::string::npos);
  EXPECT_NE(bounded.out.find("the --max-years bound, BEFORE"),
            std::string::npos);
}

// Ctrl-C (SIGINT) ends a long simulation at once, with status 130 and no
// report: nothing is written that a whole run would not write.
TEST_F(AssessTest, InterruptEndsTheRunAtOnce) {
  if (std::system("timeout --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "timeout is not installed";
  }
  const ProgramRun run =
      RunProgram("", nullptr, "timeout --preserve-status -s INT 0.4",
                 "assess '" + kExamples +
                     "/builtin/system.toml' --years 100000000 --threads 1 " +
                     "--json '" + Path("r.json") + "' " + kStandardStreams);
  EXPECT_EQ(run.exit_status, 130);
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(fs::exists(Path("r.json")));
}

// The RTS-79 with a battery: the direct solution is the system's without
// it, every index is simulated with it and controlled by the same years
// without it, the hourly columns add up to the plain estimates, and a
// device that can do nothing leaves the storage-free figures exactly.
TEST_F(AssessTest, StorageIsSimulatedAndControlled) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  const std::string rts = "'" + kExamples + "/rts79/system.toml' --years 2000";
  Write("none.toml",
        "[[storage]]\nname = \"nothing\"\npower_mw = 200\nenergy_mwh = 0\n");
  const ProgramRun with =
      Assess(rts + " --add '" + kExamples + "/rts79/battery.toml' --json '" +
             Path("b.json") + "' --hourly '" + Path("b.csv") + "'");
  ASSERT_EQ(with.exit_status, 0) << with.err;
  for (const char* run : {"", "none"}) {
    const ProgramRun plain =
        Assess(rts + (*run ? " --add '" + Path("none.toml") + "'" : "") +
               " --json '" + Path(std::string(run) + "p.json") + "'");
    ASSERT_EQ(plain.exit_status, 0) << plain.err;
  }
  Write("check.py",
        "import csv, json, math, sys\n"
        "b, p, n = (json.load(open(f)) for f in sys.argv[1:4])\n"
        "assert b['schema'] == 3\n"
        "assert b['direct'] == p['direct']\n"
        "s = b['system']['storage'][0]\n"
        "assert s['name'] == '4-hour battery' and s['energy_mwh'] == 800\n"
        "assert abs(s['charge_efficiency'] ** 2 - 0.85) < 1e-12\n"
        "m, q = b['montecarlo'], p['montecarlo']\n"
        "for k in ('LOLH', 'LOLE', 'EUE', 'LOLD', 'LOLEV', 'ALOLP'):\n"
        "  e = m[k]\n"
        "  assert e['controlled'], k\n"
        "  assert e['standard_error'] < e['plain_standard_error'], k\n"
        "  assert e['ci95'][0] <= e['estimate'] <= e['ci95'][1], k\n"
        "  assert e['estimate'] < q[k]['estimate'], k\n"
        "assert m['EUE']['standard_error'] < m['EUE']['plain_standard_error'] "
        "/ 2\n"
        "assert m['LOLE']['estimate'] <= m['LOLD']['estimate'] <= "
        "m['LOLH']['estimate']\n"
        "d = m['storage'][0]\n"
        "assert d['name'] == '4-hour battery' and d['discharged_mwh'] > 0\n"
        "assert 0 <= d['empty_share'] <= 1\n"
        "rows = list(csv.DictReader(open(sys.argv[5])))\n"
        "lolp = sum(float(r['simulated_lolp']) for r in rows)\n"
        "mw = sum(float(r['simulated_unserved_mw']) for r in rows)\n"
        "assert math.isclose(lolp, m['LOLH']['plain_estimate'], rel_tol=1e-9)\n"
        "assert math.isclose(mw, m['EUE']['plain_estimate'], rel_tol=1e-9)\n"
        "for k in ('LOLH', 'LOLE', 'EUE', 'LOLEV', 'ALOLP', 'LOLD'):\n"
        "  assert n['montecarlo'][k]['plain_estimate'] == "
        "q[k]['plain_estimate'], k\n"
        "  assert n['montecarlo'][k]['plain_standard_error'] == "
        "q[k]['plain_standard_error'], k\n");
  EXPECT_EQ(std::system(("python3 '" + Path("check.py") + "' '" +
                         Path("b.json") + "' '" + Path("p.json") + "' '" +
                         Path("nonep.json") + "' x '" + Path("b.csv") + "'")
                            .c_str()),
            0);
  EXPECT_NE(with.out.find("exact values are of the system without it"),
            std::string::npos)
      << with.out;
  EXPECT_NE(with.out.find("4-hour battery: "), std::string::npos);
  EXPECT_NE(with.out.find("Direct solution (exact, of the system without its "
                          "storage"),
            std::string::npos);
}

// Options not understood get one line and status 2; --help says it all.
TEST_F(AssessTest, OptionsAndHelp) {
  const std::string rts = "'" + kExamples + "/rts79/system.toml'";
  const char* const misuses[] = {
      "",
      "--bogus",
      "--load-scale",
      "--load-scale ten",
      "--load-scale -1",
      "--load-scale nan",
      "--load-add inf",
      "--json - --hourly -",
      "--json ''",
      "--load-add -5000",
      "--years 0",
      "--years -3",
      "--precision 0",
      "--precision 1",
      "--precision 2",
      "--years 10 --precision 0.1",
      "--max-years 100",
      "--seed seven",
      "--threads 0",
  };
  for (const char* misuse : misuses) {
    const ProgramRun run =
        Assess((std::string(misuse).empty() ? "" : rts + " ") + misuse);
    EXPECT_EQ(run.exit_status, 2) << misuse;
    EXPECT_EQ(run.out, "") << misuse;
    EXPECT_EQ(run.err.rfind("adequacy assess: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("; see adequacy assess --help\n"), std::string::npos)
        << run.err;
  }
  const ProgramRun help = Assess("--help");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.out.rfind("Usage: adequacy assess SYSTEM.toml", 0), 0u);
  for (const char* named :
       {"--json", "--hourly", "--load-scale", "--load-add", "--years",
        "--precision", "--max-years", "--seed", "--threads",
        "Examples:", "[[units]]", "mean_repair_days"}) {
    EXPECT_NE(help.out.find(named), std::string::npos) << named;
  }
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LT(line.size(), 80u) << line;
  }
  EXPECT_EQ(Assess("-h").out, help.out);
}

// --plot draws every panel into an SVG (where gnuplot is installed), the
// JSON gaining the worst event; without gnuplot, one line and status 1,
// and the other outputs written all the same.
TEST_F(AssessTest, PlotDrawsThePanelsOrSaysWhyNot) {
  const std::string rts = "'" + kExamples + "/rts79/system.toml'";
  const std::string args = rts + " --years 2000 --json '" + Path("rts.json") +
                           "' --plot '" + Path("rts.svg") + "'";
  const ProgramRun bad = Assess(rts + " --plot '" + Path("rts.pdf") + "'");
  EXPECT_EQ(bad.exit_status, 2);
  EXPECT_NE(bad.err.find("--plot needs a file name ending in .svg or .png"),
            std::string::npos)
      << bad.err;
  const ProgramRun none = RunProgram("", nullptr, "env PATH=/nonexistent",
                                     "assess " + args + " " + kStandardStreams);
  EXPECT_EQ(none.exit_status, 1);
  EXPECT_NE(none.err.find("gnuplot is not installed"), std::string::npos)
      << none.err;
  EXPECT_EQ(std::count(none.err.begin(), none.err.end(), '\n'), 1);
  EXPECT_NE(none.out.find("Monte Carlo"), std::string::npos);
  EXPECT_NE(ReadFile(Path("rts.json")).find("\"worst_event\""),
            std::string::npos);
  EXPECT_FALSE(fs::exists(Path("rts.svg")));
  if (std::system("command -v gnuplot >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "gnuplot is not installed";
  }
  const ProgramRun drawn = Assess(args);
  ASSERT_EQ(drawn.exit_status, 0) << drawn.err;
  const std::string svg = ReadFile(Path("rts.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  for (const char* title :
       {"When the risk lies", "LOLH of each week", "Events by duration",
        "Events by unserved energy", "Years by deficit hours",
        "The worst simulated event", "Each index over its exact value",
        "IEEE RTS-79"}) {
    EXPECT_NE(svg.find(title), std::string::npos) << title;
  }
  // Of areas, a calendar an area.
  const ProgramRun areas = Assess("'" + kExamples +
                                  "/two_areas/system.toml' --years 500 "
                                  "--plot '" +
                                  Path("two.svg") + "'");
  ASSERT_EQ(areas.exit_status, 0) << areas.err;
  const std::string two = ReadFile(Path("two.svg"));
  for (const char* title :
       {"area north", "area south", "Events by duration",
        "The worst simulated event of the system", "north margin on its own",
        "Each index over its exact value"}) {
    EXPECT_NE(two.find(title), std::string::npos) << title;
  }
}

}  // namespace
}  // namespace adequacy
