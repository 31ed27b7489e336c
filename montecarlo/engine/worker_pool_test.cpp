#include "montecarlo/engine/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace adequacy {
namespace {

TEST(WorkerPoolTest, EveryTaskRunsOnceOnANamedThread) {
  for (int threads : {1, 3, 8}) {
    WorkerPool pool(threads);
    EXPECT_GE(pool.threads(), 1);
    EXPECT_LE(pool.threads(), threads);
    for (int round = 0; round < 20; ++round) {
      std::vector<std::atomic<int>> runs(100);
      std::atomic<bool> bad_thread{false};
      pool.ParallelFor(100, [&](int task, int thread) {
        if (thread < 0 || thread >= pool.threads()) bad_thread = true;
        ++runs[task];
      });
      for (const auto& count : runs) ASSERT_EQ(count.load(), 1);
      EXPECT_FALSE(bad_thread.load());
    }
  }
}

TEST(WorkerPoolTest, ATaskFailureReachesTheCallerAndThePoolGoesOn) {
  WorkerPool pool(2);
  std::atomic<int> done{0};
  EXPECT_THROW(pool.ParallelFor(10,
                                [&](int task, int) {
                                  if (task == 3) throw std::runtime_error("x");
                                  ++done;
                                }),
               std::runtime_error);
  EXPECT_EQ(done.load(), 9);
  done = 0;
  pool.ParallelFor(10, [&](int, int) { ++done; });
  EXPECT_EQ(done.load(), 10);
}

}  // namespace
}  // namespace adequacy
