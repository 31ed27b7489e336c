#include "montecarlo/engine/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace adequacy {

void HugePagesRelease::operator()(void* memory) const { munmap(memory, bytes); }

HugePages AllocateHugePages(size_t bytes) {
  // A 2 MB page must start on a 2 MB boundary: map a page more than asked,
  // and give back what lies before the boundary and after the table.
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const size_t mapped = bytes + kHugePage;
  void* memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(memory);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) munmap(memory, aligned - start);
  const size_t after = start + mapped - (aligned + bytes);
  if (after > 0) munmap(reinterpret_cast<void*>(aligned + bytes), after);
  // Only advice: without it the pages are 4 KB, and nothing else changes.
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
  return HugePages(reinterpret_cast<void*>(aligned), HugePagesRelease{bytes});
}

}  // namespace adequacy
