// The network of a system of areas for one hour's maximum flow: a source
// that gives each area its surplus, a sink that takes each area's share
// of its deficit, and the ties between, each way within its limit.  Built
// once, its capacities set hour by hour; the flow is Boost.Graph's
// (Edmonds and Karp's shortest augmenting paths, which end after a bounded
// number of augmentations whatever the capacities, fractions included).
#ifndef ADEQUACY_MONTECARLO_AREAS_FLOW_NETWORK_H_
#define ADEQUACY_MONTECARLO_AREAS_FLOW_NETWORK_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "montecarlo/areas/transfer.h"

namespace adequacy {

class FlowNetwork {
 public:
  FlowNetwork(size_t areas, const std::vector<TieLimit>& ties);
  ~FlowNetwork();
  FlowNetwork(const FlowNetwork&) = delete;
  FlowNetwork& operator=(const FlowNetwork&) = delete;

  // The most MW that can go from the sources to the sinks: `from[a]` out
  // of the source into area a, `to[a]` from area a into the sink, and each
  // tie within `ties[t]` (the ties the network was built with, at their
  // limits of the hour).
  double MaxFlow(const double* from, const double* to,
                 const std::vector<TieLimit>& ties);
  // After MaxFlow: what tie t carries, positive from its first area to its
  // second; and whether area a is on the source's side of the least cut
  // (reached from the source through capacity left).
  double TieFlow(size_t t) const;
  // After MaxFlow: what area a gives the sink.
  double SinkFlow(size_t a) const;
  bool SourceSide(size_t a) const;

 private:
  struct Graph;
  std::unique_ptr<Graph> graph_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_FLOW_NETWORK_H_
