#include "montecarlo/engine/worker_pool.h"

#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>

namespace adequacy {

int AvailableProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) == 0) {
    return std::max(1, CPU_COUNT(&set));
  }
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

namespace {

constexpr size_t kWorkerStackBytes = size_t{1} << 20;

}  // namespace

WorkerPool::WorkerPool(int threads) {
  try {
    const size_t workers = static_cast<size_t>(std::max(0, threads - 1));
    starts_.reserve(workers);
    workers_.reserve(workers);
    stacks_.reserve(workers);
  } catch (const std::bad_alloc&) {
    return;  // No room to note a thread: the caller works alone.
  }
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return;
  // Workers start with every signal blocked, inherited from here, so that
  // the signals the process handles reach the thread that runs it.
  sigset_t all;
  sigset_t saved;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &saved);
  for (int i = 1; i < threads; ++i) {
    // A stack of the pool's own, given back when the pool ends: the
    // library keeps the stacks it makes for later threads, and under an
    // address-space limit those would crowd out a smaller pool's tables.
    void* stack = mmap(nullptr, kWorkerStackBytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (stack == MAP_FAILED) break;
    // The lowest page guards against an overflow.
    mprotect(stack, static_cast<size_t>(sysconf(_SC_PAGESIZE)), PROT_NONE);
    starts_.push_back({this, i});
    pthread_t worker;
    if (pthread_attr_setstack(&attributes, stack, kWorkerStackBytes) != 0 ||
        pthread_create(&worker, &attributes, &WorkerPool::WorkerMain,
                       &starts_.back()) != 0) {
      // A process or memory limit: go on with the threads we have.
      starts_.pop_back();
      munmap(stack, kWorkerStackBytes);
      break;
    }
    workers_.push_back(worker);
    stacks_.push_back(stack);
  }
  pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  pthread_attr_destroy(&attributes);
}

void* WorkerPool::WorkerMain(void* start) {
  const Start* s = static_cast<const Start*>(start);
  s->pool->WorkerLoop(s->thread);
  return nullptr;
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (pthread_t worker : workers_) pthread_join(worker, nullptr);
  for (void* stack : stacks_) munmap(stack, kWorkerStackBytes);
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
