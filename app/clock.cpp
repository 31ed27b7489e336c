#include "app/clock.h"

#include <cstdint>
#include <ctime>

namespace adequacy {

float ReadCpuClock() {
#if defined(CLOCK_PROCESS_CPUTIME_ID)
  timespec now;
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) == 0) {
    // Counted in units of 100 ns, as the operating systems that report
    // kernel and user time separately do.
    const uint64_t ticks = static_cast<uint64_t>(now.tv_sec) * 10000000u +
                           static_cast<uint64_t>(now.tv_nsec) / 100u;
    return static_cast<float>(static_cast<double>(ticks) * 1E-7);
  }
#endif
  return static_cast<float>(static_cast<double>(std::clock()) / CLOCKS_PER_SEC);
}

}  // namespace adequacy
