// The CPU clock: seconds of processor time the process has used so far.
#ifndef ADEQUACY_APP_CLOCK_H_
#define ADEQUACY_APP_CLOCK_H_

namespace adequacy {

// User plus system CPU time of the whole process (all threads), in
// single-precision seconds.  Never fails.
float ReadCpuClock();

// The time-record value of two readings, formed in double precision and
// rounded to single precision.
inline float ElapsedSeconds(float start, float now) {
  return static_cast<float>(static_cast<double>(now) -
                            static_cast<double>(start));
}

}  // namespace adequacy

#endif  // ADEQUACY_APP_CLOCK_H_
