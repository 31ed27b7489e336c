#include "report/usage.h"

namespace adequacy {

std::string UsageText(int64_t longest_reply) {
  return "Usage: adequacy [--details FILE | --help | --version]\n"
         "       adequacy assess SYSTEM.toml [options]  (adequacy assess "
         "--help)\n"
         "       adequacy capacity SYSTEM.toml [options]  (adequacy "
         "capacity --help)\n"
         "\n"
         "Evaluates the generation adequacy of a built-in power system: 110\n"
         "generating units (10703 MW) against a chronological hourly load "
         "over\n"
         "a 365-day year.  An exact direct solution and a sequential Monte "
         "Carlo\n"
         "simulation give the loss-of-load indices:\n"
         "  LOLH      expected hours with a capacity deficit, hours/year\n"
         "  LOLE      expected days with a deficit at the daily peak hour,\n"
         "            days/year\n"
         "  ALLR      probability of at least one such day in the year\n"
         "  MWHEUE    expected energy not served, MWh/year\n"
         "  MWHTOTAL  energy demanded in the year, MWh\n"
         "  puEUEppm  MWHEUE per million MWh of MWHTOTAL, ppm\n"
         "  LOLEV     loss-of-load events (runs of deficit hours), "
         "events/year\n"
         "  ALOLP     share of simulated years with a deficit hour\n"
         "The simulation reports them at 1000, 10,000, 100,000, ... years; "
         "YRS\n"
         "prints as asterisks from 10,000,000 years on (too wide for its "
         "field).\n"
         "\n"
         "With no argument the program runs its dialogue on the console:\n"
         "  ENTER NEW D1,D2,D3,D4 OR RETURN TO CONTINUE\n"
         "      an empty line goes on to the Monte Carlo simulation; a value\n"
         "      list runs the direct solution again with new loads, in MW: D1\n"
         "      off-peak, D2 winter, D3 summer scale, D4 added to every hour\n"
         "      (defaults 2000 8000 7000 1424): 2500 8200 7100 1500, or 2500/\n"
         "      to change D1 only\n"
         "  CONTINUE MONTECARLO? 1=YES\n"
         "      a reply starting with 1 simulates on to ten times as many "
         "years;\n"
         "      anything else ends\n"
         "  PRESS ENTER TO END THIS PROGRAM\n"
         "      any line ends the run\n"
         "A reply line may hold at most " +
         std::to_string(longest_reply) +
         " bytes.\n"
         "\n"
         "Every run rewrites the report file OP in the current directory.  To\n"
         "end a run between two checkpoints press Ctrl-C: OP keeps every "
         "record\n"
         "written so far, whole; the years since the last checkpoint are "
         "lost.\n"
         "\n"
         "Options:\n"
         "  --details FILE  run the dialogue as without options, and also "
         "write\n"
         "                  FILE, a JSON document: every direct-solution "
         "pass\n"
         "                  at full precision, and every checkpoint with "
         "the\n"
         "                  standard errors and 95% intervals of its "
         "estimates,\n"
         "                  the events by length and the years by deficit "
         "hours\n"
         "                  (rewritten after each pass and checkpoint; see "
         "the\n"
         "                  README for its fields)\n"
         "  -h, --help      show this text and exit\n"
         "  --version       show the version and exit\n"
         "\n"
         "Exit status: 0 at a normal end; 2 for an argument not understood; "
         "1\n"
         "when the details file cannot be written; else the failure number "
         "of\n"
         "the diagnostic on standard error (24 the input ended, 30 OP cannot "
         "be\n"
         "opened or another run holds it, 38 OP or the console cannot be\n"
         "written); 130 after Ctrl-C.\n"
         "\n"
         "In the source tree: make run (build and start), make test, make "
         "bench,\n"
         "make plot (the report OP as a figure).\n";
}

std::string AssessUsageText() {
  return "Usage: adequacy assess SYSTEM.toml [options]\n"
         "\n"
         "Evaluates the system that SYSTEM.toml describes, any fleet of "
         "two-state\n"
         "units against any chronological hourly load, by the exact direct\n"
         "solution, and prints its indices on standard output:\n"
         "  LOLH    expected hours with a deficit (available capacity "
         "strictly\n"
         "          below the load), hours/year\n"
         "  LOLE    expected days with a deficit at the day's peak hour, "
         "days/year\n"
         "  ALLR    probability of at least one such day in the year\n"
         "  EUE     expected energy not served, MWh/year\n"
         "  energy  energy demanded, MWh; ppm, EUE per million MWh of it\n"
         "The year is the load series, whatever its length, or each of its "
         "weather\n"
         "years (year_column), all equally likely: the indices are their "
         "mean.\n"
         "\n"
         "Options:\n"
         "  --json PATH        also write the results as JSON to PATH (- for\n"
         "                     standard output, in place of the report)\n"
         "  --hourly PATH      write every hour as CSV: hour,load_mw,"
         "net_load_mw,\n"
         "                     lolp,expected_unserved_mwh (- for standard "
         "output)\n"
         "  --load-scale X     multiply the load of every hour by X "
         "(default 1)\n"
         "  --load-add MW      then add MW to every hour (default 0)\n"
         "  --add FILE         add the units, profiles and storage of FILE "
         "(a TOML\n"
         "                     file of [[units]], [[profiles]], [[storage]])\n"
         "  --by-year          also report each weather year's indices\n"
         "  --years N          also simulate N independent years (sequential "
         "Monte\n"
         "                     Carlo): each index with its standard error and "
         "95 %\n"
         "                     interval beside the exact value, LOLEV "
         "(events a\n"
         "                     year), ALOLP (share of years with a deficit), "
         "the\n"
         "                     events by duration and the years by deficit "
         "hours\n"
         "  --precision R      instead simulate until the relative standard "
         "errors\n"
         "                     of LOLH and EUE are both at most R (0 < R < 1)\n"
         "  --max-years N      the most years --precision may take (default\n"
         "                     10,000,000); the report says if it stopped "
         "the run\n"
         "  --seed N           the generator's seed (default 1): the same seed "
         "gives\n"
         "                     the same figures on any number of threads\n"
         "  --threads N        threads to simulate on (default: every core)\n"
         "  -h, --help         show this text and exit\n"
         "\n"
         "The system file (TOML; paths in it are relative to it):\n"
         "  name = \"IEEE RTS-79\"\n"
         "  [load]\n"
         "  file = \"load.csv\"       # MW an hour, one a line, whole days\n"
         "  column = \"demand\"        # optional: a named column of a CSV "
         "table\n"
         "  year_column = \"year\"     # optional: the rows of each value "
         "are a year\n"
         "  # or: model = \"daily-profile\" with D1, D2, D3, D4 as in the "
         "dialogue\n"
         "  uncertainty = { standard_deviation = 0.025 }  # optional; or\n"
         "                # { multipliers = [...], probabilities = [...] }\n"
         "  [[units]]\n"
         "  name = \"400 MW nuclear\"\n"
         "  count = 2\n"
         "  capacity_mw = 400\n"
         "  forced_outage_rate = 0.12  # or mean_time_to_failure_hours = "
         "1100\n"
         "  mean_repair_hours = 150    # or mean_repair_days\n"
         "  maintenance = [{ first_day = 91, days = 28 }, { days = 14, count "
         "= 2 }]\n"
         "                # optional; without first_day the program places it "
         "where\n"
         "                # it adds the least LOLE, the largest MW out first\n"
         "  [[units.derates]]          # optional: a partial outage of the "
         "unit\n"
         "  available_mw = 200\n"
         "  forced_outage_rate = 0.05  # its share of hours, or "
         "mean_time_to_failure_...\n"
         "  mean_repair_hours = 20     # or mean_repair_days\n"
         "  [[profiles]]               # optional: MW an hour taken off the "
         "load\n"
         "  name = \"wind\"\n"
         "  file = \"wind.csv\"          # column and year_column as for the "
         "load\n"
         "  [[storage]]                # optional; simulated only (--years)\n"
         "  name = \"4-hour battery\"\n"
         "  power_mw = 200             # or charge_mw and discharge_mw\n"
         "  energy_mwh = 800\n"
         "  round_trip_efficiency = 0.85  # or charge_ and "
         "discharge_efficiency\n"
         "  initial_share = 1.0        # of energy_mwh at each year's start\n"
         "  # count, and forced_outage_rate with mean_repair_hours, as units\n"
         "  # Or areas in place of [load], each unit and profile naming its "
         "area:\n"
         "  [[areas]]                  # name, load = { file = \"north.csv\" "
         "}\n"
         "  [[interfaces]]             # between = [\"north\", \"south\"], "
         "limit_mw\n"
         "With areas the direct solution is exact for two and bounds any "
         "number.\n"
         "With storage the direct solution is of the system without it "
         "(storage has\n"
         "no exact solution), and the simulation's LOLH, LOLE and EUE are "
         "controlled\n"
         "by the same years without storage; LOLD (days with a deficit at "
         "any hour)\n"
         "is the index to read, as storage moves shortfalls off the peak "
         "hour.\n"
         "\n"
         "Examples:\n"
         "  adequacy assess examples/rts79/system.toml --load-scale 1.05 "
         "--json -\n"
         "  adequacy assess examples/rts79/system.toml --precision 0.01\n"
         "  adequacy assess examples/rts79/system.toml \\\n"
         "    --add examples/rts79/battery.toml --precision 0.01\n"
         "\n"
         "Exit status: 0 when done; 1 for a system file or series that "
         "cannot be\n"
         "read or is not valid (one line on standard error: FILE:LINE: what "
         "is\n"
         "wrong), or an output that cannot be written; 2 for options not\n"
         "understood; 130 after Ctrl-C.\n";
}

std::string CapacityUsageText() {
  return "Usage: adequacy capacity SYSTEM.toml [options]\n"
         "\n"
         "How much load the system of SYSTEM.toml (the file of adequacy "
         "assess)\n"
         "carries at a reliability target, and what added resources are "
         "worth,\n"
         "from the exact direct solution:\n"
         "  - the largest annual peak load, the load's shape scaled as a "
         "whole;\n"
         "  - the largest constant load added to every hour;\n"
         "  - with --add, the resources' ELCC (the load they let the system "
         "add\n"
         "    at the same index) and EFC (the MW of a unit never out that "
         "gives\n"
         "    the index they give), in MW and as a share of their "
         "installed\n"
         "    capacity (profiles at their peak).\n"
         "Each answer is the largest load at which the index is at most "
         "the\n"
         "target; one tolerance more and it is above.\n"
         "\n"
         "Options:\n"
         "  --target INDEX=VALUE  LOLE (d/yr), LOLH (h/yr) or EUE (MWh/yr);\n"
         "                        default LOLE=0.1, a day in ten years; with "
         "--add,\n"
         "                        the index the credit keeps (default: the "
         "index\n"
         "                        of the system as it stands)\n"
         "  --add FILE            [[units]], [[profiles]] and/or [[storage]] "
         "as "
         "in\n"
         "                        the system file, paths relative to FILE "
         "(and\n"
         "                        [[interfaces]], with areas)\n"
         "  --area NAME           with [[areas]], the area asked about: load,\n"
         "                        firm MW and the index are its own (exact\n"
         "                        for two areas, simulated beyond)\n"
         "  --tolerance MW        of the load answers (default 0.01); EFC is "
         "in\n"
         "                        whole MW\n"
         "  --json PATH           the answers as JSON (- for standard "
         "output)\n"
         "  -h, --help            show this text and exit\n"
         "Storage has no exact solution: with [[storage]] in FILE the ELCC "
         "is\n"
         "simulated, the same years at every load tried, each index "
         "controlled by\n"
         "the same years without the devices; ELCC and EFC come with their "
         "standard\n"
         "errors and 95 % intervals.  Nor has an area of three or more: "
         "every\n"
         "answer is simulated so, each index controlled by the area's years "
         "alone.\n"
         "  --years N             simulate N years\n"
         "  --precision R         or as many as bring the ELCC's standard "
         "error to\n"
         "                        R of the resources' MW (default 0.01; for "
         "an\n"
         "                        area, of its fleet's MW)\n"
         "  --max-years N         the most --precision may take (default "
         "2,000,000)\n"
         "  --seed N, --threads N as for adequacy assess\n"
         "\n"
         "Examples:\n"
         "  adequacy capacity examples/rts79/system.toml --target LOLH=2.4\n"
         "  adequacy capacity examples/rts79/system.toml \\\n"
         "    --add examples/rts79/battery.toml\n"
         "\n"
         "Exit status: 0 when done; 1 for an input that is not valid, a "
         "target\n"
         "that cannot be reached, or an output that cannot be written; 2 "
         "for\n"
         "options not understood.\n";
}

std::string CapacityMisuseText(const std::string& what) {
  return "adequacy capacity: " + what + "; see adequacy capacity --help\n";
}

std::string InputErrorText(const std::string& file, int64_t line,
                           const std::string& what) {
  std::string where = file;
  if (line > 0) where += ":" + std::to_string(line);
  return "adequacy: " + where + ": " + what + "\n";
}

std::string AssessMisuseText(const std::string& what) {
  return "adequacy assess: " + what + "; see adequacy assess --help\n";
}

std::string OutputFailureText(const std::string& path,
                              const std::string& reason) {
  return "adequacy: cannot write '" + path + "': " + reason + "\n";
}

std::string VersionText(const char* version) {
  return std::string("adequacy ") + version + "\n";
}

std::string UnknownArgumentText(const std::string& argument) {
  const bool option = !argument.empty() && argument[0] == '-';
  return std::string("adequacy: unknown ") + (option ? "option" : "argument") +
         " '" + argument + "'; see adequacy --help\n";
}

std::string ExtraArgumentText(const std::string& argument) {
  return "adequacy: unexpected argument '" + argument +
         "' (one option at a time); see adequacy --help\n";
}

std::string MissingFileNameText(const std::string& option) {
  return "adequacy: " + option + " needs a file name; see adequacy --help\n";
}

std::string DetailsFailureText(const std::string& path,
                               const std::string& reason) {
  return "adequacy: cannot write the details file '" + path + "': " + reason +
         "\n";
}

bool WriteText(std::FILE* out, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() &&
         std::fflush(out) == 0;
}

}  // namespace adequacy
