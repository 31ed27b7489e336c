#include "app/file_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace adequacy {
namespace {

namespace fs = std::filesystem;

std::string Content(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A regular file is replaced whole; anything else is refused and left as
// it was, whoever runs the program (as root a rename over a device would
// succeed and turn it into a file).
TEST(FileReplaceTest, ReplacesRegularFilesAndLeavesAnythingElse) {
  const fs::path dir = fs::temp_directory_path() /
                       ("adequacy-replace-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::string error;
  const fs::path file = dir / "out.json";
  std::ofstream(file) << "old";
  EXPECT_TRUE(ReplaceFile(file.string(), "new", &error)) << error;
  EXPECT_EQ(Content(file), "new");
  EXPECT_TRUE(ReplaceFile((dir / "fresh.csv").string(), "x", &error));

  const fs::path pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const fs::path sub = dir / "sub";
  fs::create_directories(sub);
  for (const fs::path& other : {pipe, sub, fs::path("/dev/null")}) {
    SCOPED_TRACE(other.string());
    error.clear();
    EXPECT_FALSE(ReplaceFile(other.string(), "text", &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_TRUE(fs::is_directory(sub));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  // Nothing was left beside them.
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 4);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace adequacy
