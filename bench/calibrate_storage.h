// The intervals of the simulation of systems with storage, which has no
// exact solution: independent runs held against a reference run of many
// more years, for the controlled indices and for the ELCC of a battery.
#ifndef ADEQUACY_BENCH_CALIBRATE_STORAGE_H_
#define ADEQUACY_BENCH_CALIBRATE_STORAGE_H_

namespace adequacy {

// Prints each system's coverage and the whole's; false where the indices'
// or the ELCC's coverage falls outside 90 to 99 %.
bool CalibrateStorage();

}  // namespace adequacy

#endif  // ADEQUACY_BENCH_CALIBRATE_STORAGE_H_
