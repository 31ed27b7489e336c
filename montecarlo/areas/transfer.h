// What the ties between areas carry in an hour, and so each area's MW
// unserved: each area serves its own net load first, and an area with a
// surplus sends it through a tie, within the tie's limit that way, to an
// area short, so that the total unserved is the least it can be.  An area
// never gives up its own load for another's.
//
// This is the room of the simulation where energy moves between areas: the
// year walk gives it each hour's margins and ties, and it gives back who is
// short; every engine calls it, so that they agree hour for hour.
#ifndef ADEQUACY_MONTECARLO_AREAS_TRANSFER_H_
#define ADEQUACY_MONTECARLO_AREAS_TRANSFER_H_

#include <cstddef>

namespace adequacy {

// One tie in an hour: its areas, and what it can carry each way (0 both
// ways while it is out).
struct TieLimit {
  size_t first = 0;
  size_t second = 0;
  double forward_mw = 0.0;   // From the first area to the second.
  double backward_mw = 0.0;  // From the second to the first.
};

// An hour of two areas joined by `tie` (or none, a tie of 0): from each
// area's margin (available less net load), each one's MW unserved
// (`unserved[a]`, 0 or more) and what the tie carries, positive from the
// first area to the second.  An area short takes from the other's surplus
// all it needs, up to the tie's limit into it; both are short only where
// neither has a surplus.
void TransferTwo(const double margin[2], const TieLimit& tie,
                 double unserved[2], double* flow);

// Whether a tie carrying `flow` is at its limit each way: [0] from the
// first area to the second, [1] back.  A limit of 0 is never reached.
void AtLimit(const TieLimit& tie, double flow, bool at_limit[2]);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_TRANSFER_H_
