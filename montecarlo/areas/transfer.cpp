#include "montecarlo/areas/transfer.h"

#include <algorithm>

#include "montecarlo/areas/flow_network.h"

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
    const double limit = to == tie.second ? tie.forward_mw : tie.backward_mw;
    const double sent = std::min({unserved[to], margin[from], limit});
    if (!(sent > 0.0)) continue;
    unserved[to] -= sent;
    *flow = to == tie.second ? sent : -sent;
  }
}

void AtLimit(const TieLimit& tie, double flow, bool at_limit[2]) {
  constexpr double kWithin = 1e-6;
  at_limit[0] = tie.forward_mw > 0.0 && flow >= tie.forward_mw - kWithin;
  at_limit[1] = tie.backward_mw > 0.0 && -flow >= tie.backward_mw - kWithin;
}

Transfers::Transfers(size_t areas, const std::vector<TieLimit>& ties)
    : areas_(areas),
      network_(std::make_unique<FlowNetwork>(areas, ties)),
      supply_(areas, 0.0),
      deficit_(areas, 0.0),
      served_(areas, 0.0),
      caps_(areas, 0.0),
      active_(areas, 0),
      bottleneck_(areas, 0) {}

Transfers::~Transfers() = default;

void Transfers::Solve(const double* margin, const std::vector<TieLimit>& ties,
                      double* unserved, double* flow) {
  std::fill(flow, flow + ties.size(), 0.0);
  if (areas_ <= 2) {
    unserved[0] = std::max(0.0, -margin[0]);
    if (areas_ == 2) {
      double two = 0.0;
      TransferTwo(margin, ties.empty() ? TieLimit{0, 1} : ties[0], unserved,
                  &two);
      if (!ties.empty()) flow[0] = two;
    }
    return;
  }
  double total = 0.0;
  size_t short_areas = 0;
  size_t last_short = 0;
  for (size_t a = 0; a < areas_; ++a) {
    supply_[a] = std::max(0.0, margin[a]);
    deficit_[a] = unserved[a] = std::max(0.0, -margin[a]);
    if (deficit_[a] > 0.0) {
      total += deficit_[a];
      ++short_areas;
      last_short = a;
    }
  }
  if (short_areas == 0) return;
  if (short_areas == 1) {
    // Most hours with an area short: its neighbours' surpluses, straight
    // through the ties, cover it, and no flow need be solved.
    double direct = 0.0;
    for (const TieLimit& tie : ties) {
      if (tie.first == last_short) {
        direct += std::min(tie.backward_mw, supply_[tie.second]);
      } else if (tie.second == last_short) {
        direct += std::min(tie.forward_mw, supply_[tie.first]);
      }
    }
    if (direct >= deficit_[last_short]) {
      // The neighbours send in the ties' order until it is covered, so
      // that what each has left is known (its storage charges from it).
      double left = deficit_[last_short];
      for (size_t t = 0; t < ties.size() && left > 0.0; ++t) {
        const TieLimit& tie = ties[t];
        if (tie.first == last_short) {
          const double sent =
              std::min({tie.backward_mw, supply_[tie.second], left});
          flow[t] = -sent;
          left -= sent;
        } else if (tie.second == last_short) {
          const double sent =
              std::min({tie.forward_mw, supply_[tie.first], left});
          flow[t] = sent;
          left -= sent;
        }
      }
      unserved[last_short] = 0.0;
      return;
    }
  }
  const double tolerance = 1e-9 * (1.0 + total);
  const double most = network_->MaxFlow(supply_.data(), deficit_.data(), ties);
  if (most >= total - tolerance || short_areas == 1) {
    for (size_t a = 0; a < areas_; ++a) served_[a] = deficit_[a];
    if (short_areas == 1) served_[last_short] = std::min(most, total);
  } else {
    Share(ties, tolerance);
    // What the flow of those shares delivers, which is what they ask
    // where rounding has not made them a hair too large.
    network_->MaxFlow(supply_.data(), served_.data(), ties);
    for (size_t a = 0; a < areas_; ++a) {
      served_[a] = std::min(served_[a], network_->SinkFlow(a));
    }
  }
  for (size_t a = 0; a < areas_; ++a) {
    unserved[a] = std::max(0.0, deficit_[a] - served_[a]);
    if (!(unserved[a] > tolerance)) unserved[a] = 0.0;
  }
  for (size_t t = 0; t < ties.size(); ++t) flow[t] = network_->TieFlow(t);
}

void Transfers::Share(const std::vector<TieLimit>& ties, double tolerance) {
  // Rounds of a common share `lambda` of the deficits of the areas still
  // active: the largest the ties allow, found by Newton's steps on the
  // least cut, whose capacity is a line in lambda; the active areas beyond
  // the last cut that bound it are served that share, and the rest go on.
  for (size_t a = 0; a < areas_; ++a) {
    active_[a] = deficit_[a] > 0.0 ? 1 : 0;
    served_[a] = 0.0;
  }
  double lambda = 1.0;
  for (size_t round = 0; round < areas_; ++round) {
    lambda = 1.0;
    bool bound = false;
    for (size_t step = 0; step < 2 * areas_ + 4; ++step) {
      double active_deficit = 0.0;
      double fixed = 0.0;
      for (size_t a = 0; a < areas_; ++a) {
        caps_[a] = active_[a] ? lambda * deficit_[a] : served_[a];
        if (active_[a]) {
          active_deficit += deficit_[a];
        } else {
          fixed += served_[a];
        }
      }
      const double flow = network_->MaxFlow(supply_.data(), caps_.data(), ties);
      if (flow >= lambda * active_deficit + fixed - tolerance) break;
      // The cut's capacity is alpha + lambda beta, beta the deficits of the
      // active areas on the source's side, whose links to the sink it
      // cuts; the share where that line meets the demand.
      double beta = 0.0;
      for (size_t a = 0; a < areas_; ++a) {
        const bool source_side = network_->SourceSide(a);
        bottleneck_[a] = active_[a] && !source_side ? 1 : 0;
        if (active_[a] && source_side) beta += deficit_[a];
      }
      bound = true;
      if (!(active_deficit - beta > tolerance)) break;
      const double alpha = flow - lambda * beta;
      lambda =
          std::clamp((alpha - fixed) / (active_deficit - beta), 0.0, lambda);
    }
    bool settled = false;
    for (size_t a = 0; a < areas_; ++a) {
      if (!active_[a] || (bound && !bottleneck_[a])) continue;
      served_[a] = lambda * deficit_[a];
      active_[a] = 0;
      settled = true;
    }
    if (!settled) break;  // Only rounding leaves a round without a cut.
  }
  // A guard against rounding: what no round settled is served at the last
  // share found, and the flow that follows gives what it can.
  for (size_t a = 0; a < areas_; ++a) {
    if (active_[a]) served_[a] = lambda * deficit_[a];
  }
}

}  // namespace adequacy
