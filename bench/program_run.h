// Timed runs of the program itself, as a person starts it: the wall clock
// from its start to each checkpoint record, and its peak memory.
#ifndef ADEQUACY_BENCH_PROGRAM_RUN_H_
#define ADEQUACY_BENCH_PROGRAM_RUN_H_

#include <cstdint>
#include <string>
#include <vector>

namespace adequacy {

struct CheckpointTime {
  int64_t years;
  double wall_seconds;  // From the program's start to the record.
};

struct ProgramRun {
  std::vector<CheckpointTime> checkpoints;
  double peak_megabytes = 0.0;
  bool ok = false;
};

// Runs `binary` in a scratch directory with the default loads, answering
// 1 at each checkpoint up to `last_checkpoint` years.
ProgramRun TimeProgram(const std::string& binary, int64_t last_checkpoint);

}  // namespace adequacy

#endif  // ADEQUACY_BENCH_PROGRAM_RUN_H_
