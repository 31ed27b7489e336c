#include "report/usage.h"

namespace adequacy {

std::string UsageText(int64_t longest_reply) {
  return "Usage: adequacy [--details FILE | --help | --version]\n"
         "\n"
         "Evaluates the generation adequacy of a built-in power system: 110\n"
         "generating units (10703 MW) against a chronological hourly load "
         "over\n"
         "a 365-day year.  An exact direct solution gives LOLH, LOLE, ALLR "
         "and\n"
         "the unserved energy; a sequential Monte Carlo simulation gives "
         "LOLH,\n"
         "LOLEV, ALOLP and MWHEUE at 1000, 10,000, 100,000, ... simulated "
         "years.\n"
         "\n"
         "With no argument the program runs its dialogue on the console:\n"
         "  ENTER NEW D1,D2,D3,D4 OR RETURN TO CONTINUE\n"
         "      an empty line goes on to the Monte Carlo simulation; a value\n"
         "      list runs the direct solution again with new loads (D1 "
         "off-peak,\n"
         "      D2 winter, D3 summer, D4 added MW): 2500 8200 7100 1500, or\n"
         "      2500/ to change D1 only\n"
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
         "Every run rewrites the report file OP in the current directory.\n"
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
         "  --help          show this text and exit\n"
         "  --version       show the version and exit\n"
         "\n"
         "In the source tree: make run (build and start), make test, make "
         "bench,\n"
         "make plot (the report OP as a figure).\n";
}

std::string VersionText(const char* version) {
  return std::string("adequacy ") + version + "\n";
}

std::string MisuseText(const std::string& argument, int64_t longest_reply) {
  return "adequacy: unknown argument '" + argument + "'\n\n" +
         UsageText(longest_reply);
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
