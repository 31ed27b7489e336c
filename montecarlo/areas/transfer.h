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
#include <memory>
#include <vector>

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
// tie's first area to its second (either may be area 0: a file names a tie
// either way round).  An area short takes from the other's surplus
// all it needs, up to the tie's limit into it; both are short only where
// neither has a surplus.
void TransferTwo(const double margin[2], const TieLimit& tie,
                 double unserved[2], double* flow);

// Whether a tie carrying `flow` is at its limit each way, within a
// millionth of a MW: [0] from the first area to the second, [1] back.  A
// limit of 0 is never reached.
void AtLimit(const TieLimit& tie, double flow, bool at_limit[2]);

class FlowNetwork;

// The transfers of an hour between any number of areas.  The least total
// unserved is unique, its split among the areas short need not be: the
// areas short are served the same share of their deficits as far as the
// ties allow, and where an area can be given no more, the others' shares
// rise on without it (the fair split: the least of the shares served as
// large as it can be, then the next, and so on).  Two areas have one split
// only, found as TransferTwo finds it.
class Transfers {
 public:
  Transfers(size_t areas, const std::vector<TieLimit>& ties);
  ~Transfers();
  Transfers(const Transfers&) = delete;
  Transfers& operator=(const Transfers&) = delete;

  // From each area's margin and the ties' limits this hour (those the
  // transfers were built with, some perhaps out), each area's MW unserved
  // and what each tie carries, positive from its first area to its
  // second.
  void Solve(const double* margin, const std::vector<TieLimit>& ties,
             double* unserved, double* flow);

 private:
  // Shares served of the deficits, in served_, where the ties cannot
  // serve them all.
  void Share(const std::vector<TieLimit>& ties, double tolerance);

  size_t areas_;
  std::unique_ptr<FlowNetwork> network_;
  std::vector<double> supply_;
  std::vector<double> deficit_;
  std::vector<double> served_;
  std::vector<double> caps_;
  std::vector<char> active_;
  std::vector<char> bottleneck_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_TRANSFER_H_
