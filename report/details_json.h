// The companion file of a run: a JSON document with what the report's
// fixed records round or leave out.  Scripts read it; its names are kept
// from one version to the next, and `schema` changes when they do not.
#ifndef ADEQUACY_REPORT_DETAILS_JSON_H_
#define ADEQUACY_REPORT_DETAILS_JSON_H_

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "direct/direct_pass.h"
#include "direct/hourly_load.h"
#include "montecarlo/estimates.h"
#include "montecarlo/phase.h"
#include "montecarlo/statistics/standard_error.h"
#include "montecarlo/statistics/year_statistics.h"

namespace adequacy {

inline constexpr int kDetailsSchema = 1;

struct PassDetails {
  LoadParameters params;  // D1..D4 as read.
  DirectResult result;
};

struct CheckpointDetails {
  Estimates estimates;
  bool has_intervals = false;
  EstimateIntervals intervals;
  // Lag-one correlations of the per-year figures, in the order LOLH,
  // LOLEV, ALOLP, MWHEUE.
  std::array<double, kYearFigures> lag_one{};
  // How the years to it were simulated: the engine and its threads, so
  // that a run slowed by a memory limit can be told from a slow machine.
  EngineTier engine = EngineTier::kFull;
  int threads = 1;
  double cpu_seconds = 0.0;   // As the time record: since the phase began.
  double wall_seconds = 0.0;  // Since the phase began.
};

struct RunDetails {
  std::string version;
  uint32_t seed = 0;
  std::time_t started = 0;
  std::vector<PassDetails> passes;
  std::vector<CheckpointDetails> checkpoints;
  // The years simulated so far.
  int64_t years = 0;
  // Their statistics; null before the simulation or where memory did not
  // allow them, which `statistics_lost` then says.
  const YearStatistics* statistics = nullptr;
  bool statistics_lost = false;
};

// The document, ending with a line feed.
std::string DetailsJson(const RunDetails& details);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_DETAILS_JSON_H_
