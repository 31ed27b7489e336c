// Loaded ahead of the C library (LD_PRELOAD), this makes every attempt to
// start a thread fail as it does when a process limit is reached.
#include <pthread.h>

#include <cerrno>

extern "C" int pthread_create(pthread_t*, const pthread_attr_t*,
                              void* (*)(void*), void*) {
  return EAGAIN;
}
