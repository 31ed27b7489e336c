#include "montecarlo/statistics/year_sample.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "montecarlo/statistics/standard_error.h"

namespace adequacy {

void YearOutcome::Clear() {
  deficit_hours = peak_deficits = deficit_days = 0;
  last_deficit_day = -1;
  unserved_mwh = 0.0;
  first_hour = 0;
  event_hours.clear();
  event_mwh.clear();
  short_hours.clear();
  short_mw.clear();
  std::fill(discharged_mwh.begin(), discharged_mwh.end(), 0.0);
  std::fill(empty_hours.begin(), empty_hours.end(), 0);
}

namespace {

// One more in `counts` at `at`, grown to hold it: the counts of a long
// series would otherwise take two words an hour in every batch.
void Count(std::vector<int64_t>* counts, size_t at) {
  if (at >= counts->size()) counts->resize(at + 1, 0);
  ++(*counts)[at];
}

}  // namespace

YearSample::YearSample(int64_t hours, bool by_hour, int64_t series_hours)
    : unserved_by_hour_(
          by_hour ? static_cast<size_t>(std::max(hours, series_hours)) : 0,
          0.0),
      short_years_by_hour_(
          by_hour ? static_cast<size_t>(std::max(hours, series_hours)) : 0, 0) {
}

void YearSample::Add(const YearOutcome& year) {
  const std::array<double, kSampleFigures> figures = {
      static_cast<double>(year.deficit_hours),
      static_cast<double>(year.peak_deficits),
      year.unserved_mwh,
      static_cast<double>(year.event_hours.size()),
      year.deficit_hours > 0 ? 1.0 : 0.0,
      static_cast<double>(year.deficit_days)};
  ++years_;
  const double n = static_cast<double>(years_);
  for (int f = 0; f < kSampleFigures; ++f) {
    Moments& m = moments_[f];
    const double delta = figures[f] - m.mean;
    m.mean += delta / n;
    m.m2 += delta * (figures[f] - m.mean);
  }
  Count(&years_by_deficit_hours_, static_cast<size_t>(year.deficit_hours));
  deficit_hours_ += year.deficit_hours;
  if (!unserved_by_hour_.empty()) {
    for (size_t i = 0; i < year.short_hours.size(); ++i) {
      const auto h = static_cast<size_t>(year.first_hour + year.short_hours[i]);
      unserved_by_hour_[h] += year.short_mw[i];
      ++short_years_by_hour_[h];
    }
  }
  AddDevices(year.discharged_mwh, year.empty_hours);
  // Each event's hours are the next of the year's deficit hours.
  size_t first = 0;
  for (size_t e = 0; e < year.event_hours.size(); ++e) {
    ++events_;
    Count(&events_by_hours_, static_cast<size_t>(year.event_hours[e]));
    Count(&events_by_energy_, EnergyBin(year.event_mwh[e]));
    event_hours_ += year.event_hours[e];
    event_mwh_ += year.event_mwh[e];
    largest_event_mwh_ = std::max(largest_event_mwh_, year.event_mwh[e]);
    if (year.event_mwh[e] > worst_.mwh && first < year.short_hours.size()) {
      worst_.year = years_ - 1;
      worst_.year_first_hour = year.first_hour;
      worst_.first_hour = year.short_hours[first];
      worst_.hours = year.event_hours[e];
      worst_.mwh = year.event_mwh[e];
      worst_.short_hours = year.short_hours;
      worst_.short_mw = year.short_mw;
    }
    first += static_cast<size_t>(year.event_hours[e]);
  }
}

size_t EnergyBin(double mwh) {
  if (!(mwh >= 1.0)) return 0;
  return 1 + static_cast<size_t>(std::min(62.0, std::floor(std::log2(mwh))));
}

void YearSample::Merge(const YearSample& other) {
  if (other.years_ == 0) return;
  const double a = static_cast<double>(years_);
  const double b = static_cast<double>(other.years_);
  for (int f = 0; f < kSampleFigures; ++f) {
    Moments& m = moments_[f];
    const Moments& o = other.moments_[f];
    const double delta = o.mean - m.mean;
    m.mean += delta * b / (a + b);
    m.m2 += o.m2 + delta * delta * a * b / (a + b);
  }
  years_ += other.years_;
  deficit_hours_ += other.deficit_hours_;
  for (size_t h = 0;
       h < unserved_by_hour_.size() && h < other.unserved_by_hour_.size();
       ++h) {
    unserved_by_hour_[h] += other.unserved_by_hour_[h];
    short_years_by_hour_[h] += other.short_years_by_hour_[h];
  }
  AddDevices(other.discharged_mwh_, other.empty_hours_);
  events_ += other.events_;
  event_hours_ += other.event_hours_;
  event_mwh_ += other.event_mwh_;
  largest_event_mwh_ = std::max(largest_event_mwh_, other.largest_event_mwh_);
  // The other's years come after these: the first of equal events stays.
  if (other.worst_.mwh > worst_.mwh) {
    worst_ = other.worst_;
    worst_.year += years_ - other.years_;
  }
  for (auto [mine, theirs] :
       {std::pair{&events_by_hours_, &other.events_by_hours_},
        std::pair{&events_by_energy_, &other.events_by_energy_},
        std::pair{&years_by_deficit_hours_, &other.years_by_deficit_hours_}}) {
    if (mine->size() < theirs->size()) mine->resize(theirs->size(), 0);
    for (size_t i = 0; i < theirs->size(); ++i) (*mine)[i] += (*theirs)[i];
  }
}

template <class Count>
void YearSample::AddDevices(const std::vector<double>& discharged,
                            const std::vector<Count>& empty) {
  if (discharged_mwh_.size() < discharged.size()) {
    discharged_mwh_.resize(discharged.size(), 0.0);
    empty_hours_.resize(discharged.size(), 0);
  }
  for (size_t d = 0; d < discharged.size(); ++d) {
    discharged_mwh_[d] += discharged[d];
    empty_hours_[d] += empty[d];
  }
}

SampleInterval YearSample::Interval(SampleFigure figure) const {
  const Moments& m = moments_[static_cast<int>(figure)];
  SampleInterval interval;
  interval.estimate = m.mean;
  const double n = static_cast<double>(years_);
  interval.standard_error = years_ < 2
                                ? std::numeric_limits<double>::quiet_NaN()
                                : std::sqrt(m.m2 / (n - 1.0) / n);
  const double half = kNormal95 * interval.standard_error;
  interval.low = std::max(0.0, m.mean - half);
  interval.high = m.mean + half;
  if (figure == SampleFigure::kHadDeficit) {
    interval.high = std::min(1.0, interval.high);
  }
  return interval;
}

double YearSample::RelativeError(SampleFigure figure) const {
  const SampleInterval interval = Interval(figure);
  return interval.estimate > 0.0 ? interval.standard_error / interval.estimate
                                 : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace adequacy
