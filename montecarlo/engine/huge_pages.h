// Large working tables in memory that asks for 2 MB pages: a table touched
// page by page would otherwise take a page fault every 4 KB, which costs
// more than filling it.
#ifndef ADEQUACY_MONTECARLO_ENGINE_HUGE_PAGES_H_
#define ADEQUACY_MONTECARLO_ENGINE_HUGE_PAGES_H_

#include <cstddef>
#include <memory>

namespace adequacy {

struct HugePagesRelease {
  size_t bytes;
  void operator()(void* memory) const;
};

// `bytes` of memory, zeroed as it is first touched, in 2 MB pages where
// the system gives them.  Throws std::bad_alloc when it cannot be had.
using HugePages = std::unique_ptr<void, HugePagesRelease>;
HugePages AllocateHugePages(size_t bytes);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_HUGE_PAGES_H_
