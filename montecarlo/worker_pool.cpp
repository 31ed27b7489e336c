#include "montecarlo/worker_pool.h"

#include <sched.h>

#include <algorithm>
#include <system_error>

namespace adequacy {

int AvailableProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) == 0) {
    return std::max(1, CPU_COUNT(&set));
  }
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

WorkerPool::WorkerPool(int threads) {
  for (int i = 1; i < threads; ++i) {
    try {
      workers_.emplace_back(&WorkerPool::WorkerLoop, this, i);
    } catch (const std::system_error&) {
      break;  // A process or memory limit: go on with the threads we have.
    }
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::RunTasks(int thread) {
  for (int i = next_.fetch_add(1); i < tasks_; i = next_.fetch_add(1)) {
    try {
      (*task_)(i, thread);
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
    }
  }
}

void WorkerPool::WorkerLoop(int thread) {
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
    }
    RunTasks(thread);
    std::lock_guard<std::mutex> lock(mutex_);
    if (--running_ == 0) done_.notify_one();
  }
}

void WorkerPool::ParallelFor(int tasks, const Task& task) {
  if (workers_.empty() || tasks <= 1) {
    for (int i = 0; i < tasks; ++i) task(i, 0);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_ = &task;
    tasks_ = tasks;
    next_.store(0);
    running_ = static_cast<int>(workers_.size());
    failure_ = nullptr;
    ++generation_;
  }
  wake_.notify_all();
  RunTasks(0);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return running_ == 0; });
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace adequacy
