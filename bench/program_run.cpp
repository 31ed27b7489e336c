#include "bench/program_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace adequacy {
namespace {

// The replies: the default loads, then 1 at every checkpoint before the
// last, then 2 and the closing return.
std::string Replies(int64_t last_checkpoint) {
  std::string replies = "\n";
  for (int64_t years = 1000; years < last_checkpoint; years *= 10) {
    replies += "1\n";
  }
  return replies + "2\n\n";
}

// A checkpoint record: the years right-aligned in eight columns and a
// point, or eight asterisks once they no longer fit.
bool IsCheckpointRecord(const std::string& line) {
  return line.size() > 9 && (line[7] == '.' || line.rfind("********", 0) == 0);
}

}  // namespace

ProgramRun TimeProgram(const std::string& binary, int64_t last_checkpoint) {
  ProgramRun run;
  char scratch[] = "/tmp/adequacy_bench_XXXXXX";
  if (mkdtemp(scratch) == nullptr) return run;
  int to_child[2];
  int from_child[2];
  if (pipe(to_child) != 0 || pipe(from_child) != 0) return run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(to_child[0], STDIN_FILENO);
    dup2(from_child[1], STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    close(to_child[1]);
    close(from_child[0]);
    if (chdir(scratch) != 0) _exit(127);
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(to_child[0]);
  close(from_child[1]);
  const std::string replies = Replies(last_checkpoint);
  if (write(to_child[1], replies.data(), replies.size()) !=
      static_cast<ssize_t>(replies.size())) {
    std::perror("write");
  }
  close(to_child[1]);
  FILE* out = fdopen(from_child[0], "r");
  int64_t years = 1000;
  char line[256];
  while (std::fgets(line, sizeof(line), out) != nullptr) {
    if (!IsCheckpointRecord(line)) continue;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();
    run.checkpoints.push_back({years, seconds});
    years *= 10;
  }
  std::fclose(out);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.peak_megabytes = usage.ru_maxrss / 1024.0;
  run.ok = WIFEXITED(status) && !run.checkpoints.empty();
  std::system((std::string("rm -rf ") + scratch).c_str());
  return run;
}

}  // namespace adequacy
