#include "montecarlo/statistics/year_statistics.h"

#include <algorithm>

#include "montecarlo/statistics/lap_groups.h"

namespace adequacy {

YearStatistics::YearStatistics()
    : group_sums_(kLapGroups, FigureSums{}),
      events_by_hours_(kHoursPerYear + 1, 0),
      deficit_years_by_hours_(kHoursPerYear + 1, 0) {}

void YearStatistics::Add(const YearsTally& tally, const HourlyLoads& loads,
                         int64_t first_year) {
  if (years() == 0) first_year_ = end_year_ = first_year;
  const Deficit* deficits = tally.deficits.data();
  int64_t begin = 0;
  for (const DeficitYear& year : tally.deficit_years) {
    AddYear(first_year + year.year, deficits + begin,
            deficits + year.deficits_end, loads);
    begin = year.deficits_end;
  }
  end_year_ = first_year + tally.years;
}

void YearStatistics::AddYear(int64_t year, const Deficit* first,
                             const Deficit* end, const HourlyLoads& loads) {
  FigureSums figures{};
  figures[Index(YearFigure::kHadDeficit)] = 1.0;
  double event_mwh = 0.0;
  int event_hours = 0;
  EventCounter counter;
  auto close_event = [&] {
    if (event_hours == 0) return;
    ++events_by_hours_[event_hours];
    largest_event_mwh_ = std::max(largest_event_mwh_, event_mwh);
    figures[Index(YearFigure::kEvents)] += 1.0;
  };
  for (const Deficit* d = first; d != end; ++d) {
    if (counter.Add(d->hour)) {
      close_event();
      event_mwh = 0.0;
      event_hours = 0;
    }
    const double unserved = static_cast<double>(loads[d->hour]) -
                            static_cast<double>(d->available_mw);
    event_mwh += unserved;
    figures[Index(YearFigure::kUnservedMwh)] += unserved;
    ++event_hours;
  }
  close_event();
  const int64_t hours = end - first;
  figures[Index(YearFigure::kDeficitHours)] = static_cast<double>(hours);
  ++deficit_years_by_hours_[hours];

  FigureSums& group = group_sums_[LapGroupOf(year)];
  const bool follows = year == last_deficit_year_ + 1;
  for (int f = 0; f < kYearFigures; ++f) {
    sum_[f] += figures[f];
    sum_of_squares_[f] += figures[f] * figures[f];
    if (follows) lag_products_[f] += figures[f] * last_figures_[f];
    group[f] += figures[f];
  }
  last_deficit_year_ = year;
  last_figures_ = figures;
}

std::vector<int64_t> YearStatistics::YearsByDeficitHours() const {
  std::vector<int64_t> years = deficit_years_by_hours_;
  int64_t with_deficit = 0;
  for (int64_t n : years) with_deficit += n;
  years[0] = this->years() - with_deficit;
  return years;
}

}  // namespace adequacy
