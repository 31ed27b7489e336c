// Preloaded into the program by a test, this makes a machine of two cores
// look like one of sixteen: every processor count the program reads says
// 16, and so it starts as many threads as such a machine would.
#include <sched.h>
#include <sys/sysinfo.h>

#include <cstring>

namespace {
constexpr int kCpus = 16;
}  // namespace

extern "C" int sched_getaffinity(pid_t, size_t size, cpu_set_t* set) {
  std::memset(set, 0, size);
  for (int i = 0; i < kCpus; ++i) CPU_SET_S(i, size, set);
  return 0;
}

extern "C" int get_nprocs() { return kCpus; }
extern "C" int get_nprocs_conf() { return kCpus; }
