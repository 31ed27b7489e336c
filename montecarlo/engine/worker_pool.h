// A fixed set of worker threads that run the tasks of a parallel loop
// together with the calling thread.  Threads that cannot be started are
// simply not there: the loop then runs on fewer threads, or on the caller
// alone, with the same results.
#ifndef ADEQUACY_MONTECARLO_ENGINE_WORKER_POOL_H_
#define ADEQUACY_MONTECARLO_ENGINE_WORKER_POOL_H_

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace adequacy {

// The processors this process may run on (its CPU affinity), at least 1.
int AvailableProcessors();

class WorkerPool {
 public:
  // Tries to start threads - 1 workers, each on a small stack of its own:
  // the tasks need little, and a default stack of 8 MB or more per thread
  // would take address space that the simulation's tables need.
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // The threads that run a loop: the workers that started and the caller.
  int threads() const { return static_cast<int>(workers_.size()) + 1; }

  // Runs task(i, thread) for every i in [0, tasks), each exactly once, in
  // any order, and returns when all are done.  `thread`, in [0, threads()),
  // names the thread that runs it: tasks on the same thread never overlap.
  // An exception thrown by a task is rethrown here after the others have
  // finished.
  using Task = std::function<void(int task, int thread)>;
  void ParallelFor(int tasks, const Task& task);

 private:
  struct Start {
    WorkerPool* pool;
    int thread;
  };
  static void* WorkerMain(void* start);
  void WorkerLoop(int thread);
  void RunTasks(int thread);

  std::vector<Start> starts_;
  std::vector<pthread_t> workers_;
  std::vector<void*> stacks_;  // The workers' stacks, mapped by the pool.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const Task* task_ = nullptr;
  int tasks_ = 0;
  std::atomic<int> next_{0};
  int running_ = 0;  // Workers still inside the current loop.
  uint64_t generation_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_WORKER_POOL_H_
