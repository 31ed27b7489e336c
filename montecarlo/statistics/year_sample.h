// The figures of independent simulated years, gathered for their means,
// standard errors and 95 % intervals, and the events and years by length.
//
// Years are added in a fixed order (batch by batch, each batch in year
// order), so that the sums, and so every figure, are the same whatever
// threads simulated them.
#ifndef ADEQUACY_MONTECARLO_STATISTICS_YEAR_SAMPLE_H_
#define ADEQUACY_MONTECARLO_STATISTICS_YEAR_SAMPLE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "montecarlo/statistics/tally.h"

namespace adequacy {

// What one simulated year comes to.
struct YearOutcome {
  int32_t deficit_hours = 0;
  int32_t peak_deficits = 0;  // Days with a deficit at their peak hour.
  int32_t deficit_days = 0;   // Days with a deficit at any hour.
  int32_t last_deficit_day = -1;
  double unserved_mwh = 0.0;
  // The series' hour of the year's first, where the series has weather
  // years: what is kept by hour is kept there.
  int64_t first_hour = 0;
  // Each event's hours and unserved energy, in order.
  std::vector<int32_t> event_hours;
  std::vector<double> event_mwh;
  // Each deficit hour and its MW short, in order.
  std::vector<int32_t> short_hours;
  std::vector<double> short_mw;
  // With storage, each device's MWh given and deficit hours it was empty.
  std::vector<double> discharged_mwh;
  std::vector<int32_t> empty_hours;

  void Clear();
  // Notes hour `hour` short by `mw`, hours in increasing order; `events`
  // joins it to the event in hand or starts one.
  void AddDeficit(int64_t hour, double mw, bool day_peak,
                  EventCounter* events) {
    ++deficit_hours;
    unserved_mwh += mw;
    short_hours.push_back(static_cast<int32_t>(hour));
    short_mw.push_back(mw);
    peak_deficits += day_peak ? 1 : 0;
    const auto day = static_cast<int32_t>(hour / 24);
    if (day != last_deficit_day) {
      ++deficit_days;
      last_deficit_day = day;
    }
    if (events->Add(static_cast<int>(hour))) {
      event_hours.push_back(0);
      event_mwh.push_back(0.0);
    }
    ++event_hours.back();
    event_mwh.back() += mw;
  }
};

enum class SampleFigure {
  kDeficitHours,  // LOLH
  kPeakDeficits,  // LOLE
  kUnservedMwh,   // EUE
  kEvents,        // LOLEV
  kHadDeficit,    // ALOLP
  kDeficitDays,   // LOLD
};
inline constexpr int kSampleFigures = 6;

// The event with the most unserved energy of a sample (the first such),
// kept as it happened: its year, its hours in that year, and the year's
// every deficit hour, so that the days around it can be shown.
struct WorstEvent {
  int64_t year = -1;            // Of the sample's years, from 0; -1 for none.
  int64_t year_first_hour = 0;  // The year's first hour in the series.
  int32_t first_hour = 0;       // Within the year.
  int32_t hours = 0;
  double mwh = 0.0;
  std::vector<int32_t> short_hours;  // The year's, in order.
  std::vector<double> short_mw;
};

// The bin of the events by unserved energy that holds `mwh`: 0 below 1
// MWh, else 1 + floor(log2(mwh)), so that bin k >= 1 holds [2^(k-1), 2^k).
size_t EnergyBin(double mwh);

// An estimate, its standard error and its 95 % interval.
struct SampleInterval {
  double estimate = 0.0;
  double standard_error = 0.0;
  double low = 0.0;
  double high = 0.0;
};

class YearSample {
 public:
  // `hours` is the length of a year; `by_hour` keeps each hour's unserved MW
  // and short years too, over `series_hours` hours where the series is longer
  // than a year.
  explicit YearSample(int64_t hours, bool by_hour = false,
                      int64_t series_hours = 0);

  void Add(const YearOutcome& year);
  // Adds another sample's years after this one's.
  void Merge(const YearSample& other);

  int64_t years() const { return years_; }
  // The mean of a figure over the years, its standard error (NaN with
  // fewer than two years) and the interval, kept within what the figure
  // can take.
  SampleInterval Interval(SampleFigure figure) const;
  // The standard error over the estimate; NaN where the estimate is 0.
  double RelativeError(SampleFigure figure) const;

  int64_t events() const { return events_; }
  // Events by their hours, and years by their deficit hours, indexed by
  // hours, up to the largest seen.
  const std::vector<int64_t>& events_by_hours() const {
    return events_by_hours_;
  }
  const std::vector<int64_t>& years_by_deficit_hours() const {
    return years_by_deficit_hours_;
  }
  double event_mwh() const { return event_mwh_; }
  // Events by their unserved energy, in the bins of EnergyBin.
  const std::vector<int64_t>& events_by_energy() const {
    return events_by_energy_;
  }
  const WorstEvent& worst_event() const { return worst_; }
  double largest_event_mwh() const { return largest_event_mwh_; }
  double event_hours() const { return event_hours_; }
  // Each device's MWh given, and deficit hours it was empty, over all years.
  const std::vector<double>& discharged_mwh() const { return discharged_mwh_; }
  const std::vector<int64_t>& empty_hours() const { return empty_hours_; }
  // The deficit hours of all years.
  int64_t deficit_hours() const { return deficit_hours_; }
  // Where kept, each hour's MW unserved summed over the years, and the
  // years short in it; empty otherwise.
  const std::vector<double>& unserved_by_hour() const {
    return unserved_by_hour_;
  }
  const std::vector<int64_t>& short_years_by_hour() const {
    return short_years_by_hour_;
  }

 private:
  // Mean and sum of squared deviations, added up as Welford's method and
  // merged as Chan's.
  // Adds devices' MWh given and hours empty to those kept.
  template <class Count>
  void AddDevices(const std::vector<double>& discharged,
                  const std::vector<Count>& empty);

  struct Moments {
    double mean = 0.0;
    double m2 = 0.0;
  };

  int64_t years_ = 0;
  std::array<Moments, kSampleFigures> moments_{};
  int64_t events_ = 0;
  double event_hours_ = 0.0;
  double event_mwh_ = 0.0;
  double largest_event_mwh_ = 0.0;
  std::vector<int64_t> events_by_hours_;
  std::vector<int64_t> events_by_energy_;
  std::vector<int64_t> years_by_deficit_hours_;
  WorstEvent worst_;
  int64_t deficit_hours_ = 0;
  std::vector<double> discharged_mwh_;
  std::vector<int64_t> empty_hours_;
  std::vector<double> unserved_by_hour_;
  std::vector<int64_t> short_years_by_hour_;
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_STATISTICS_YEAR_SAMPLE_H_
