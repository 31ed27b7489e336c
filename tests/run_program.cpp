#include "tests/run_program.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace adequacy {
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ProgramRun GoldenRun(const std::string& name) {
  const std::string dir = std::string(ADEQUACY_GOLDEN_DIR) + "/" + name + "/";
  ProgramRun run;
  run.exit_status = std::atoi(ReadFile(dir + "status").c_str());
  run.out = ReadFile(dir + "stdout");
  run.op = ReadFile(dir + "OP");
  return run;
}

ProgramRun RunProgram(const std::string& input,
                      const std::function<void(const std::string&)>& prepare,
                      const std::string& launcher, const std::string& streams) {
  namespace fs = std::filesystem;
  std::string pattern =
      (fs::temp_directory_path() / "adequacy-e2e-XXXXXX").string();
  const std::string dir = mkdtemp(pattern.data());
  {
    std::ofstream in(dir + "/input", std::ios::binary);
    in << input;
  }
  if (prepare) prepare(dir);
  const std::string command =
      "cd '" + dir + "' && " + launcher + " '" ADEQUACY_BINARY "' " + streams;
  const int status = std::system(command.c_str());
  ProgramRun run;
  if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  run.out = ReadFile(dir + "/stdout");
  run.err = ReadFile(dir + "/stderr");
  std::error_code ignored;
  if (fs::is_regular_file(dir + "/OP", ignored)) run.op = ReadFile(dir + "/OP");
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(dir, ignored);
  return run;
}

std::vector<std::string> Records(const std::string& text) {
  std::vector<std::string> records;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    records.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) records.push_back("<partial>" + text.substr(start));
  return records;
}

std::string MaskTimes(const std::string& text) {
  const std::string label = "TIME =";
  const std::string unit = " SEC";
  constexpr size_t kField = 10;
  std::string masked;
  size_t start = 0;
  for (size_t at; (at = text.find(label, start)) != std::string::npos;) {
    const size_t field = at + label.size();
    if (field + kField > text.size() ||
        text.compare(field + kField, unit.size(), unit) != 0) {
      masked += text.substr(start, field - start);
      start = field;
      continue;
    }
    masked += text.substr(start, field - start) + "#SEC";
    start = field + kField + unit.size();
  }
  return masked + text.substr(start);
}

}  // namespace adequacy
