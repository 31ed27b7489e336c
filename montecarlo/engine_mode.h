// Which way of simulating runs when, and why: the one place that says it.
//
// The phase (phase.h) picks a tier, and the fast engine of the top two
// tiers then moves between modes as it learns what the run allows.  All
// give the same records, bit for bit; they differ in speed and memory.
//
//   Tier (phase)   Engine and mode          Memory          Speed
//   -------------  -----------------------  --------------  ---------------
//   kFull          fast engine, every core   lists ~100 MB   fastest
//                  kKeepingLap -> kReplaying (first lap 6 MB)
//                  or kWalking
//   kLean          fast engine, one thread,  a few MB        ~1/10 of full
//                  kScanning only
//   kPlain         the plain loop            none            ~1/100 of full
//
// The engine's modes:
//   kScanning    Every unit scans its stream of seeds, hour by hour in
//                vector code, for its next change of state.
//   kWalking     An up unit reads its next failure from the period lists
//                (built over the generator's first period), and the repair
//                that follows from the repair gaps kept beside them.
//   kKeepingLap  Walking, over the fleet's first lap, while the lap keeper
//                keeps the hours that may be short in any later lap.
//   kReplaying   Later laps replayed from the kept lap; no unit is walked.
//
// What moves the engine, and the one function that makes each move:
//
//   From          To           When                             Move
//   ------------  -----------  -------------------------------  -----------
//   (start)       kScanning    no lists asked for (lean tier),  constructor
//                              or no memory for them
//   (start)       kKeepingLap  lists, and every type fails      constructor
//                              less often than it is repaired
//                              (the states after a replay are
//                              found from the draws)
//   (start)       kWalking     lists, and no replay             constructor
//   kKeepingLap   kReplaying   the lap check finds every unit   StartReplay
//                              in the state of the unit it
//                              follows, at a chunk's end
//   kKeepingLap   kWalking     64 lap checks missed, the kept   StopKeeping
//                              lap over its 48 MB budget, or
//                              the years resumed anywhere but
//                              where the engine left off
//   kReplaying    kScanning    the years resumed anywhere but   StopKeeping
//                              where the engine left off (the
//                              lists were given back for the
//                              replay)
//   kWalking,     (same)       no memory part way through a     GiveUpGaps
//   kKeepingLap                chunk: the kept repair gaps are
//                              given back (repairs are then
//                              scanned for), and the chunk is
//                              walked again
//   kWalking,     kScanning    no memory again, with no gaps    GiveUpLists
//   kKeepingLap                left: the lists and the lap go
//   any           (same)       no memory to build the lists     BuildUpTo
//                              further: the stretches not built
//                              are scanned
//
// The phase's moves, on a want of memory (phase.cpp, StepDown): the full
// tier with half the threads, down to one, then the lean tier, then the
// plain loop, which allocates nothing.  A full engine that takes over
// within the first 1,000,000 years walks them again from year 0, so that
// it keeps the lap and can replay it.  After each step down the years in
// hand are simulated again from the snapshot taken before them
// (snapshot.h).
#ifndef ADEQUACY_MONTECARLO_ENGINE_MODE_H_
#define ADEQUACY_MONTECARLO_ENGINE_MODE_H_

namespace adequacy {

enum class EngineMode { kScanning, kWalking, kKeepingLap, kReplaying };

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_MODE_H_
