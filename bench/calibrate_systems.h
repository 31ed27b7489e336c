// The intervals of the simulation of system files checked against the
// exact solution: independent runs (one seed each) on the example systems
// and on systems made here, light and heavy, small and large.
#ifndef ADEQUACY_BENCH_CALIBRATE_SYSTEMS_H_
#define ADEQUACY_BENCH_CALIBRATE_SYSTEMS_H_

namespace adequacy {

// Prints each system's coverage and z-scores, and the whole's; false where
// the whole falls outside 90 to 99 % coverage.
bool CalibrateSystems();

}  // namespace adequacy

#endif  // ADEQUACY_BENCH_CALIBRATE_SYSTEMS_H_
