#include "montecarlo/areas/transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace adequacy {
namespace {

// Three areas in a ring of 200 MW ties: who is short after the transfers.
TEST(TransfersTest, ARingOfThree) {
  const std::vector<TieLimit> ring = {
      {0, 1, 200, 200}, {1, 2, 200, 200}, {2, 0, 200, 200}};
  struct Case {
    double margin[3];
    double unserved[3];
  };
  const Case cases[] = {
      {{-300, 100, 500}, {0, 0, 0}},          // The neighbours cover it.
      {{-500, 300, 300}, {100, 0, 0}},        // Both ties at their limits.
      {{-300, 0, 500}, {0, 0, 0}},            // Around the ring too.
      {{-500, 0, 500}, {100, 0, 0}},          // Both ways round, at 400.
      {{-100, -100, 150}, {25, 25, 0}},       // The same share short.
      {{-300, -100, 150}, {187.5, 62.5, 0}},  // In proportion.
      {{-300, -300, -1}, {300, 300, 1}},      // No surplus anywhere.
      {{50, 60, 70}, {0, 0, 0}},
  };
  Transfers transfers(3, ring);
  for (const Case& c : cases) {
    double unserved[3];
    double flow[3];
    transfers.Solve(c.margin, ring, unserved, flow);
    for (int a = 0; a < 3; ++a) {
      EXPECT_NEAR(unserved[a], c.unserved[a], 1e-9)
          << c.margin[0] << "," << c.margin[1] << "," << c.margin[2] << " area "
          << a;
    }
  }
}

// The least total unserved by enumerating every cut: the most that can
// be served is the least capacity of a cut between the surpluses and the
// deficits.
double LeastUnserved(const std::vector<double>& margin,
                     const std::vector<TieLimit>& ties) {
  const size_t n = margin.size();
  double most = INFINITY;
  double deficit = 0.0;
  for (double m : margin) deficit += std::max(0.0, -m);
  for (uint32_t side = 0; side < (1u << n); ++side) {
    double cut = 0.0;
    for (size_t a = 0; a < n; ++a) {
      const bool source = (side >> a & 1u) != 0;
      cut += source ? std::max(0.0, -margin[a]) : std::max(0.0, margin[a]);
    }
    for (const TieLimit& t : ties) {
      const bool first = (side >> t.first & 1u) != 0;
      const bool second = (side >> t.second & 1u) != 0;
      if (first && !second) cut += t.forward_mw;
      if (second && !first) cut += t.backward_mw;
    }
    most = std::min(most, cut);
  }
  return deficit - most;
}

// Properties over random hours of four areas (a line with a chord, one
// way ties among them): the total is the least there can be; no area is
// served more than its deficit; the split does not depend on the order of
// the areas; and an area with no ties and no deficit changes nothing, so
// that the flow solution of three areas is the closed form of two.
TEST(TransfersTest, TheLeastTotalTheSameSplitInAnyOrder) {
  const std::vector<TieLimit> ties = {
      {0, 1, 80, 80}, {1, 2, 50, 120}, {2, 3, 100, 0}, {3, 0, 30, 60}};
  Transfers transfers(4, ties);
  std::mt19937_64 random(17);
  std::uniform_real_distribution<double> margin_of(-200.0, 150.0);
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<double> margin(4);
    for (double& m : margin) m = std::round(margin_of(random));
    std::vector<double> unserved(4);
    std::vector<double> flow(4);
    transfers.Solve(margin.data(), ties, unserved.data(), flow.data());
    const double total = std::accumulate(unserved.begin(), unserved.end(), 0.0);
    ASSERT_NEAR(total, LeastUnserved(margin, ties), 1e-6) << trial;
    for (size_t a = 0; a < 4; ++a) {
      ASSERT_GE(unserved[a], 0.0);
      ASSERT_LE(unserved[a], std::max(0.0, -margin[a]) + 1e-9);
    }
    // The areas reversed, and the ties with them.
    std::vector<TieLimit> turned;
    for (const TieLimit& t : ties) {
      turned.push_back(
          {3 - t.first, 3 - t.second, t.forward_mw, t.backward_mw});
    }
    Transfers reversed(4, turned);
    std::vector<double> back(margin.rbegin(), margin.rend());
    std::vector<double> back_unserved(4);
    reversed.Solve(back.data(), turned, back_unserved.data(), flow.data());
    for (size_t a = 0; a < 4; ++a) {
      ASSERT_NEAR(back_unserved[3 - a], unserved[a], 1e-6) << trial;
    }
  }
  const std::vector<TieLimit> pair = {{0, 1, 70, 40}};
  Transfers three(3, pair);
  for (int trial = 0; trial < 500; ++trial) {
    const double margin[3] = {std::round(margin_of(random)),
                              std::round(margin_of(random)), 0.0};
    double unserved[3];
    double flow[1];
    three.Solve(margin, pair, unserved, flow);
    double two[2];
    double two_flow = 0.0;
    TransferTwo(margin, pair[0], two, &two_flow);
    ASSERT_NEAR(unserved[0], two[0], 1e-9) << trial;
    ASSERT_NEAR(unserved[1], two[1], 1e-9) << trial;
    ASSERT_EQ(unserved[2], 0.0);
  }
}

}  // namespace
}  // namespace adequacy
