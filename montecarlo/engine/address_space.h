// How much more address space the process may map: under a limit such as
// `ulimit -v`, the most threads the full engine can have with its lists is
// known before any is tried.
#ifndef ADEQUACY_MONTECARLO_ENGINE_ADDRESS_SPACE_H_
#define ADEQUACY_MONTECARLO_ENGINE_ADDRESS_SPACE_H_

#include <cstdint>

namespace adequacy {

inline constexpr int64_t kNoAddressLimit = INT64_MAX;

// The bytes the process may still map: its address-space limit less what it
// has mapped now, 0 where it is over the limit, kNoAddressLimit where there
// is no limit or it cannot be read.
int64_t AddressSpaceHeadroom();

// The most threads, 1 to `threads`, whose full engine fits in `headroom`
// bytes with its lists and the first lap kept for the whole run; 1 where
// not even one thread's does (the engine then finds out what it can have).
int ThreadsWithin(int64_t headroom, int threads);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_ADDRESS_SPACE_H_
