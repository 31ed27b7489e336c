#include "montecarlo/areas/transfer.h"

#include <algorithm>

namespace adequacy {

void TransferTwo(const double margin[2], const TieLimit& tie,
                 double unserved[2], double* flow) {
  unserved[0] = std::max(0.0, -margin[0]);
  unserved[1] = std::max(0.0, -margin[1]);
  *flow = 0.0;
  // Only one area can be short with the other in surplus; it takes the
  // least of its deficit, the surplus and the limit into it.
  for (size_t to = 0; to < 2; ++to) {
    const size_t from = 1 - to;
    if (!(unserved[to] > 0.0) || !(margin[from] > 0.0)) continue;
    const double limit = to == 1 ? tie.forward_mw : tie.backward_mw;
    const double sent = std::min({unserved[to], margin[from], limit});
    if (!(sent > 0.0)) continue;
    unserved[to] -= sent;
    *flow = to == 1 ? sent : -sent;
  }
}

void AtLimit(const TieLimit& tie, double flow, bool at_limit[2]) {
  at_limit[0] = tie.forward_mw > 0.0 && flow >= tie.forward_mw;
  at_limit[1] = tie.backward_mw > 0.0 && -flow >= tie.backward_mw;
}

}  // namespace adequacy
