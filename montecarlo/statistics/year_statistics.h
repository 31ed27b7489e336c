// What the simulated years tell beyond the five totals: the spread of the
// per-year figures, which the standard errors need, and the shape of the
// loss-of-load events, which only a sequential simulation shows.
#ifndef ADEQUACY_MONTECARLO_STATISTICS_YEAR_STATISTICS_H_
#define ADEQUACY_MONTECARLO_STATISTICS_YEAR_STATISTICS_H_

#include <array>
#include <cstdint>
#include <vector>

#include "direct/hourly_load.h"
#include "montecarlo/statistics/tally.h"

namespace adequacy {

// The per-year figures whose averages are the estimates.
enum class YearFigure {
  kDeficitHours,  // LOLH
  kEvents,        // LOLEV
  kHadDeficit,    // ALOLP: 1 for a year with a deficit hour, else 0.
  kUnservedMwh,   // MWHEUE
};
inline constexpr int kYearFigures = 4;
using FigureSums = std::array<double, kYearFigures>;

class YearStatistics {
 public:
  YearStatistics();

  // Adds the years of `tally`, the first of which is year `first_year`
  // (from 0) of the phase.  Years are added in order, with no gap.
  void Add(const YearsTally& tally, const HourlyLoads& loads,
           int64_t first_year);

  // The years added: [first_year(), end_year()).
  int64_t first_year() const { return first_year_; }
  int64_t end_year() const { return end_year_; }
  int64_t years() const { return end_year_ - first_year_; }

  double Sum(YearFigure figure) const { return sum_[Index(figure)]; }
  double SumOfSquares(YearFigure figure) const {
    return sum_of_squares_[Index(figure)];
  }
  // The sum, over consecutive years, of one year's figure times the next's.
  double SumOfLagProducts(YearFigure figure) const {
    return lag_products_[Index(figure)];
  }
  // Each lap group's sums (see lap_groups.h).
  const std::vector<FigureSums>& group_sums() const { return group_sums_; }

  // Events by their length: entry n counts the events of n hours.
  const std::vector<int64_t>& events_by_hours() const {
    return events_by_hours_;
  }
  // Years by their deficit hours: entry n counts the years of n hours.
  std::vector<int64_t> YearsByDeficitHours() const;
  // The unserved energy of the largest event, MWh.
  double largest_event_mwh() const { return largest_event_mwh_; }

  bool operator==(const YearStatistics&) const = default;

 private:
  static int Index(YearFigure figure) { return static_cast<int>(figure); }
  // Adds one year with deficit hours.
  void AddYear(int64_t year, const Deficit* first, const Deficit* end,
               const HourlyLoads& loads);

  int64_t first_year_ = 0;
  int64_t end_year_ = 0;
  FigureSums sum_{};
  FigureSums sum_of_squares_{};
  FigureSums lag_products_{};
  // The last year with a deficit hour and its figures, for the lag
  // products: a year without one contributes nothing to them.
  int64_t last_deficit_year_ = -1;
  FigureSums last_figures_{};
  std::vector<FigureSums> group_sums_;
  std::vector<int64_t> events_by_hours_;
  // Years with deficit hours, by their number (entry 0 stays 0).
  std::vector<int64_t> deficit_years_by_hours_;
  double largest_event_mwh_ = 0.0;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_STATISTICS_YEAR_STATISTICS_H_
