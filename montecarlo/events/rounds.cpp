#include "montecarlo/events/rounds.h"

#include <cmath>

namespace adequacy {

void RunInRounds(int64_t years, const std::function<int64_t()>& years_now,
                 const std::function<void(int64_t)>& extend,
                 const SimulationProgress& progress) {
  const int64_t start = years_now();
  while (years_now() < years) {
    extend(std::min(years, years_now() + kRoundYears));
    if (progress) {
      progress(years_now(), static_cast<double>(years_now() - start) /
                                static_cast<double>(years - start));
    }
  }
}

SimulationStop RunInRoundsToPrecision(
    double precision, int64_t max_years,
    const std::function<int64_t()>& years_now,
    const std::function<void(double*, double*)>& errors,
    const std::function<void(int64_t)>& extend,
    const SimulationProgress& progress) {
  for (;;) {
    double lolh = 0.0;
    double eue = 0.0;
    errors(&lolh, &eue);
    const int64_t done = years_now();
    // At least a round before the errors are trusted.
    if (done >= kRoundYears && lolh <= precision && eue <= precision) {
      return SimulationStop::kPrecision;
    }
    if (done >= max_years) return SimulationStop::kMaxYears;
    // A tenth more years at a time, in whole rounds: few looks, and the
    // run overshoots what it needs by a tenth at most.
    const int64_t more =
        std::max(kRoundYears, done / 10 / kRoundYears * kRoundYears);
    extend(std::min(max_years, done + more));
    if (progress) {
      // The share done, from the years the larger error asks for at the
      // rate it shrinks, one over the root of the years.
      const double worst =
          std::max(std::isnan(lolh) ? 1.0 : lolh, std::isnan(eue) ? 1.0 : eue);
      const double years = static_cast<double>(years_now());
      const double needed = years * (worst / precision) * (worst / precision);
      progress(years_now(),
               std::min(1.0, years / std::min(needed,
                                              static_cast<double>(max_years))));
    }
  }
}

}  // namespace adequacy
