#include "montecarlo/areas/flow_network.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/edmonds_karp_max_flow.hpp>
#include <cmath>

namespace adequacy {
namespace {

using Traits =
    boost::adjacency_list_traits<boost::vecS, boost::vecS, boost::directedS>;
using Edge = Traits::edge_descriptor;
using BoostGraph = boost::adjacency_list<
    boost::vecS, boost::vecS, boost::directedS,
    boost::property<boost::vertex_color_t, boost::default_color_type>,
    boost::property<
        boost::edge_capacity_t, double,
        boost::property<boost::edge_residual_capacity_t, double,
                        boost::property<boost::edge_reverse_t, Edge>>>>;

// Capacity left below a billionth of a MW is rounding, not a path.
constexpr double kLeft = 1e-9;

}  // namespace

struct FlowNetwork::Graph {
  explicit Graph(size_t vertices) : g(vertices) {}

  BoostGraph g;
  size_t source = 0;
  size_t sink = 0;
  std::vector<Edge> from;   // Source to each area.
  std::vector<Edge> to;     // Each area to the sink.
  std::vector<Edge> ahead;  // Each tie, its first area to its second.
  std::vector<Edge> back;   // And back.
  std::vector<char> reached;
  // The flow's own maps and the walk's stack, kept from call to call: the
  // flow is solved in many hours, and allocating them each time costs
  // more than solving.
  std::vector<boost::default_color_type> color;
  std::vector<Edge> predecessor;
  std::vector<size_t> stack;

  // An edge and its reverse of no capacity, as the flow needs them.
  Edge Add(size_t a, size_t b) {
    const Edge e = boost::add_edge(a, b, g).first;
    const Edge r = boost::add_edge(b, a, g).first;
    boost::put(boost::edge_reverse, g, e, r);
    boost::put(boost::edge_reverse, g, r, e);
    boost::put(boost::edge_capacity, g, r, 0.0);
    return e;
  }
};

FlowNetwork::FlowNetwork(size_t areas, const std::vector<TieLimit>& ties)
    : graph_(std::make_unique<Graph>(areas + 2)) {
  Graph& n = *graph_;
  n.source = areas;
  n.sink = areas + 1;
  for (size_t a = 0; a < areas; ++a) {
    n.from.push_back(n.Add(n.source, a));
    n.to.push_back(n.Add(a, n.sink));
  }
  for (const TieLimit& tie : ties) {
    n.ahead.push_back(n.Add(tie.first, tie.second));
    n.back.push_back(n.Add(tie.second, tie.first));
  }
  n.reached.assign(areas + 2, 0);
  n.color.assign(areas + 2, boost::white_color);
  n.predecessor.assign(areas + 2, Edge());
}

FlowNetwork::~FlowNetwork() = default;

double FlowNetwork::MaxFlow(const double* from, const double* to,
                            const std::vector<TieLimit>& ties) {
  Graph& n = *graph_;
  const auto capacity = boost::get(boost::edge_capacity, n.g);
  for (size_t a = 0; a < n.from.size(); ++a) {
    capacity[n.from[a]] = std::max(0.0, from[a]);
    capacity[n.to[a]] = std::max(0.0, to[a]);
  }
  for (size_t t = 0; t < ties.size(); ++t) {
    capacity[n.ahead[t]] = ties[t].forward_mw;
    capacity[n.back[t]] = ties[t].backward_mw;
  }
  const auto residual = boost::get(boost::edge_residual_capacity, n.g);
  const auto index = boost::get(boost::vertex_index, n.g);
  const double flow = boost::edmonds_karp_max_flow(
      n.g, n.source, n.sink, capacity, residual,
      boost::get(boost::edge_reverse, n.g),
      boost::make_iterator_property_map(n.color.begin(), index),
      boost::make_iterator_property_map(n.predecessor.begin(), index));
  // The source's side: what capacity left reaches from it.
  std::fill(n.reached.begin(), n.reached.end(), 0);
  std::vector<size_t>& stack = n.stack;
  stack.assign(1, n.source);
  n.reached[n.source] = 1;
  while (!stack.empty()) {
    const size_t v = stack.back();
    stack.pop_back();
    for (auto [e, end] = boost::out_edges(v, n.g); e != end; ++e) {
      const size_t w = boost::target(*e, n.g);
      if (n.reached[w] == 0 && residual[*e] > kLeft) {
        n.reached[w] = 1;
        stack.push_back(w);
      }
    }
  }
  return flow;
}

double FlowNetwork::TieFlow(size_t t) const {
  const Graph& n = *graph_;
  const auto capacity = boost::get(boost::edge_capacity, n.g);
  const auto residual = boost::get(boost::edge_residual_capacity, n.g);
  return (capacity[n.ahead[t]] - residual[n.ahead[t]]) -
         (capacity[n.back[t]] - residual[n.back[t]]);
}

double FlowNetwork::SinkFlow(size_t a) const {
  const Graph& n = *graph_;
  const auto capacity = boost::get(boost::edge_capacity, n.g);
  const auto residual = boost::get(boost::edge_residual_capacity, n.g);
  return capacity[n.to[a]] - residual[n.to[a]];
}

bool FlowNetwork::SourceSide(size_t a) const { return graph_->reached[a] != 0; }

}  // namespace adequacy
