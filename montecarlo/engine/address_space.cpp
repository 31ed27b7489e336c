#include "montecarlo/engine/address_space.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace adequacy {
namespace {

// What the full engine maps over a run, measured with the default loads
// (the run's growth is the kept lap and the repair gaps): the lists and
// what every engine holds, then each thread's stack, difference rows and
// scratch.  Rough by a megabyte or two either way; a shortfall is still
// met by the engine stepping down, only more slowly.  Two megabytes of it
// are spare: with no more than a thread's share left over, a run on two
// busy cores stepped down past its first lap in two tries of ten, as the
// threads' allocations fell in a different order; with one more megabyte,
// in none of twenty.
constexpr int64_t kEngineBytes = int64_t{38} << 20;
constexpr int64_t kThreadBytes = int64_t{3} << 19;  // 1.5 MB.

// Bytes mapped now, from the first field of /proc/self/statm (in pages);
// -1 where it cannot be read.
int64_t MappedBytes() {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (file == nullptr) return -1;
  char text[64] = {};
  const bool read = std::fgets(text, sizeof text, file) != nullptr;
  std::fclose(file);
  if (!read) return -1;
  char* end = nullptr;
  const long long pages = std::strtoll(text, &end, 10);
  const long page_bytes = sysconf(_SC_PAGESIZE);
  if (end == text || pages < 0 || page_bytes <= 0) return -1;
  return static_cast<int64_t>(pages) * page_bytes;
}

}  // namespace

int64_t AddressSpaceHeadroom() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur >= static_cast<rlim_t>(kNoAddressLimit)) {
    return kNoAddressLimit;
  }
  const int64_t mapped = MappedBytes();
  if (mapped < 0) return kNoAddressLimit;
  return std::max<int64_t>(0, static_cast<int64_t>(limit.rlim_cur) - mapped);
}

int ThreadsWithin(int64_t headroom, int threads) {
  threads = std::max(1, threads);
  if (headroom == kNoAddressLimit) return threads;
  const int64_t room = (headroom - kEngineBytes) / kThreadBytes;
  return static_cast<int>(std::clamp<int64_t>(room, 1, threads));
}

}  // namespace adequacy
