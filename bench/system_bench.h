// The simulation of system files, timed: the event engine against the
// hourly loop on the RTS-79 and the built-in system file, and the program
// itself to 1 % relative standard error on the RTS-79 and to 1,000,000
// years on the built-in file, with their peak memory; and the single-area
// model with derates, maintenance, an uncertain load and weather years;
// and two areas, exact.
#ifndef ADEQUACY_BENCH_SYSTEM_BENCH_H_
#define ADEQUACY_BENCH_SYSTEM_BENCH_H_

namespace adequacy {

void PrintSystemSimulationBench();

}  // namespace adequacy

#endif  // ADEQUACY_BENCH_SYSTEM_BENCH_H_
