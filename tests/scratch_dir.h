// What the end-to-end tests of the commands for a system of one's own
// share: a scratch directory of the test's own, outside the program's, so
// that the files the program writes outlive its run, and the means of
// looking into what it wrote.
#ifndef ADEQUACY_TESTS_SCRATCH_DIR_H_
#define ADEQUACY_TESTS_SCRATCH_DIR_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace adequacy {

class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "adequacy-scratch-XXXXXX")
            .string();
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Path(name)) << text;
  }

  std::string dir_;
};

// The example systems shipped with the source.
inline const std::string kExamples =
    std::string(ADEQUACY_SOURCE_DIR) + "/examples";

// The number of the first JSON member `name` in `json`; NaN if none.
inline double JsonNumber(const std::string& json, const std::string& name) {
  const std::string key = "\"" + name + "\": ";
  const size_t at = json.find(key);
  if (at == std::string::npos) return NAN;
  return std::strtod(json.c_str() + at + key.size(), nullptr);
}

inline bool HavePython() {
  return std::system("python3 -c '' >/dev/null 2>&1") == 0;
}

}  // namespace adequacy

#endif  // ADEQUACY_TESTS_SCRATCH_DIR_H_
