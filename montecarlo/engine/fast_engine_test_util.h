// What the engine tests share: loads of a direct pass, a bitwise state
// comparison, and engines in every configuration the tests use.
#ifndef ADEQUACY_MONTECARLO_ENGINE_FAST_ENGINE_TEST_UTIL_H_
#define ADEQUACY_MONTECARLO_ENGINE_FAST_ENGINE_TEST_UTIL_H_

#include <bit>
#include <memory>
#include <vector>

#include "direct/direct_pass.h"
#include "montecarlo/engine/fast_engine.h"

namespace adequacy {

inline HourlyLoads LoadsOf(const LoadParameters& params) {
  AvailabilityTable table;
  table.Build();
  HourlyLoads loads;
  RunDirectPass(params, table, &loads);
  return loads;
}

// Bit for bit, so that a NaN total equals itself.
inline bool Same(const ChainState& a, const ChainState& b) {
  auto bits = [](double x) { return std::bit_cast<uint64_t>(x); };
  return a.unit_state == b.unit_state && a.seed == b.seed &&
         bits(a.totals.years) == bits(b.totals.years) &&
         bits(a.totals.deficit_hours) == bits(b.totals.deficit_hours) &&
         bits(a.totals.unserved_mwh) == bits(b.totals.unserved_mwh) &&
         bits(a.totals.event_free_years) == bits(b.totals.event_free_years) &&
         a.totals.events == b.totals.events;
}

struct Contender {
  std::unique_ptr<FastEngine> engine;
  ChainState state = InitialChainState();
};

// Every thread count of the tests, without the period lists, and (unless
// `vector_code_only`) without vector code.
inline std::vector<FastEngine::Options> ContenderOptions(
    bool vector_code_only = false) {
  std::vector<FastEngine::Options> options;
  for (int threads : {1, 2, 3, 8}) options.push_back({.threads = threads});
  options.push_back({.threads = 2, .period_lists = false});
  if (!vector_code_only) {
    options.push_back({.threads = 2, .vector_code = false});
  }
  return options;
}

inline std::vector<Contender> Contenders(const ChainParameters& params,
                                         const HourlyLoads& loads,
                                         bool vector_code_only = false) {
  std::vector<Contender> contenders;
  for (const FastEngine::Options& options :
       ContenderOptions(vector_code_only)) {
    contenders.push_back(
        {std::make_unique<FastEngine>(params, loads, options)});
  }
  return contenders;
}

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ENGINE_FAST_ENGINE_TEST_UTIL_H_
