#include "app/figure_render.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_output.h"
#include "report/usage.h"

extern char** environ;

namespace adequacy {
namespace {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary one; empty on failure.
std::string ScratchDirectory() {
  std::error_code error;
  std::string pattern =
      (fs::temp_directory_path(error) / "adequacy-figure-XXXXXX").string();
  if (error) pattern = "/tmp/adequacy-figure-XXXXXX";
  return mkdtemp(pattern.data()) == nullptr ? "" : pattern;
}

bool WriteWhole(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out.flush());
}

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// gnuplot's exit status on `script` run from `dir`, its errors to
// `errors`; -1 where it could not be started, 127 where it is missing.
int RunGnuplot(const std::string& dir, const std::string& script,
               const std::string& errors) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null",
                                   O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string program = "gnuplot";
  std::string option = "-e";
  std::string cd = "cd '" + dir + "'";
  std::string file = dir + "/" + script;
  char* argv[] = {program.data(), option.data(), cd.data(), file.data(),
                  nullptr};
  pid_t pid = 0;
  const int spawned =
      posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return spawned == ENOENT ? 127 : -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

namespace {

bool EndsWith(const std::string& path, const std::string& tail) {
  return path.size() > tail.size() &&
         path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool FigureName(const std::string& path) {
  return EndsWith(path, ".svg") || EndsWith(path, ".png");
}

std::string ScratchFigureName(const std::string& path) {
  return EndsWith(path, ".png") ? "figure.png" : "figure.svg";
}

bool RenderFigure(const std::vector<FigureFile>& files,
                  const std::string& path) {
  const std::string dir = ScratchDirectory();
  if (dir.empty()) {
    WriteText(stderr, OutputFailureText(path,
                                        "no scratch directory for "
                                        "gnuplot"));
    return false;
  }
  bool written = true;
  for (const FigureFile& file : files) {
    written = written && WriteWhole(dir + "/" + file.name, file.text);
  }
  const std::string errors = dir + "/gnuplot.err";
  const int status = written ? RunGnuplot(dir, files.back().name, errors) : -1;
  std::string figure;
  if (status == 0) {
    std::ifstream in(dir + "/" + ScratchFigureName(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    figure = text.str();
  }
  const std::string reason =
      status == 127 ? "gnuplot is not installed (Debian package gnuplot-nox); "
                      "the other outputs are written"
      : !written    ? "cannot write gnuplot's files in " + dir
      : status != 0 ? "gnuplot failed: " + FirstLine(errors)
      : figure.empty() ? "gnuplot drew nothing"
                       : "";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  if (!reason.empty()) {
    WriteText(stderr, OutputFailureText(path, reason));
    return false;
  }
  return WriteOutput(path, figure);
}

}  // namespace adequacy
