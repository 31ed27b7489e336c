#include "montecarlo/statistics/paired_sample.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "montecarlo/statistics/standard_error.h"

namespace adequacy {
namespace {

// X's values: LOLH, LOLE and EUE of the year without storage.
constexpr int kControlLolh = 0;
constexpr int kControlLole = 1;
constexpr int kControlEue = 2;

// Two controls whose cross product is this close to singular are one: the
// second is dropped.
constexpr double kCollinear = 1e-10;

}  // namespace

PairedSample::PairedSample(int64_t hours, bool storage, bool by_hour,
                           int64_t series_hours)
    : storage_(storage),
      sample_(hours, by_hour, series_hours),
      without_(storage ? hours : 0) {}

void PairedSample::Add(const YearOutcome& without, const YearOutcome& with) {
  Add(without, with, nullptr);
}

void PairedSample::Add(const YearOutcome& without, const YearOutcome& with,
                       const YearOutcome& second) {
  used_ = kValues;
  Add(without, with, &second);
}

void PairedSample::Add(const YearOutcome& without, const YearOutcome& with,
                       const YearOutcome* second) {
  sample_.Add(with);
  if (storage_) without_.Add(without);
  AddValues({static_cast<double>(without.deficit_hours),
             static_cast<double>(without.peak_deficits), without.unserved_mwh,
             static_cast<double>(with.deficit_hours),
             static_cast<double>(with.peak_deficits), with.unserved_mwh,
             static_cast<double>(with.event_hours.size()),
             with.deficit_hours > 0 ? 1.0 : 0.0,
             static_cast<double>(with.deficit_days),
             second ? static_cast<double>(second->deficit_hours) : 0.0,
             second ? static_cast<double>(second->peak_deficits) : 0.0,
             second ? second->unserved_mwh : 0.0});
}

void PairedSample::AddValues(const Values& values) {
  ++years_;
  const double n = static_cast<double>(years_);
  Values before{};
  for (int i = 0; i < used_; ++i) {
    before[i] = values[i] - mean_[i];
    mean_[i] += before[i] / n;
  }
  for (int i = 0; i < used_; ++i) {
    for (int j = 0; j < used_; ++j) {
      comoment_[i][j] += before[i] * (values[j] - mean_[j]);
    }
  }
}

void PairedSample::Merge(const PairedSample& other) {
  sample_.Merge(other.sample_);
  if (storage_) without_.Merge(other.without_);
  if (other.years_ == 0) return;
  used_ = std::max(used_, other.used_);
  const double a = static_cast<double>(years_);
  const double b = static_cast<double>(other.years_);
  Values delta{};
  for (int i = 0; i < used_; ++i) delta[i] = other.mean_[i] - mean_[i];
  for (int i = 0; i < used_; ++i) {
    for (int j = 0; j < used_; ++j) {
      comoment_[i][j] +=
          other.comoment_[i][j] + delta[i] * delta[j] * a * b / (a + b);
    }
    mean_[i] += delta[i] * b / (a + b);
  }
  years_ += other.years_;
}

bool PairedSample::Controlled(SampleFigure figure) const {
  switch (figure) {
    case SampleFigure::kDeficitHours:
    case SampleFigure::kPeakDeficits:
    case SampleFigure::kUnservedMwh:
      return storage_;
    default:
      return true;
  }
}

SampleInterval PairedSample::Reported(SampleFigure figure,
                                      const ExactIndices& exact,
                                      const ExactIndices* second) const {
  const SampleInterval plain = sample_.Interval(figure);
  if (!Controlled(figure)) return plain;
  Values known{};
  known[kControlLolh] = exact.lolh;
  known[kControlLole] = exact.lole;
  known[kControlEue] = exact.eue;
  const bool both = second != nullptr && used_ == kValues;
  if (both) {
    known[kSecond + kControlLolh] = second->lolh;
    known[kSecond + kControlLole] = second->lole;
    known[kSecond + kControlEue] = second->eue;
  }
  std::vector<int> controls;
  switch (figure) {
    case SampleFigure::kDeficitHours:
      controls = {kControlLolh};
      break;
    case SampleFigure::kPeakDeficits:
      controls = {kControlLole};
      break;
    case SampleFigure::kUnservedMwh:
      controls = {kControlEue};
      break;
    default:
      controls = {kControlLolh, kControlEue};
  }
  if (both && controls.size() == 1) controls.push_back(kSecond + controls[0]);
  const int y = ValueOf(figure);
  const auto& c = comoment_;
  // Controls that never vary carry nothing: with none left, the plain
  // estimate stands.
  std::erase_if(controls, [&](int x) { return !(c[x][x] > 0.0); });
  if (controls.size() == 2) {
    const int p = controls[0];
    const int q = controls[1];
    if (c[p][p] * c[q][q] - c[p][q] * c[p][q] <=
        kCollinear * c[p][p] * c[q][q]) {
      controls.pop_back();
    }
  }
  const auto k = static_cast<double>(controls.size());
  const double n = static_cast<double>(years_);
  if (controls.empty() || n - k - 1.0 < 1.0) return plain;
  // b = Sxx^-1 Sxy, for one control or two.
  std::array<double, 2> b{};
  std::array<double, 2> d{};  // X-bar less E[X].
  for (size_t i = 0; i < controls.size(); ++i) {
    d[i] = mean_[controls[i]] - known[controls[i]];
  }
  double quadratic = 0.0;  // d' Sxx^-1 d.
  if (controls.size() == 1) {
    const int x = controls[0];
    b[0] = c[x][y] / c[x][x];
    quadratic = d[0] * d[0] / c[x][x];
  } else {
    const int p = controls[0];
    const int q = controls[1];
    const double det = c[p][p] * c[q][q] - c[p][q] * c[p][q];
    b[0] = (c[q][q] * c[p][y] - c[p][q] * c[q][y]) / det;
    b[1] = (c[p][p] * c[q][y] - c[p][q] * c[p][y]) / det;
    quadratic = (c[q][q] * d[0] * d[0] - 2.0 * c[p][q] * d[0] * d[1] +
                 c[p][p] * d[1] * d[1]) /
                det;
  }
  double estimate = mean_[y];
  double explained = 0.0;
  for (size_t i = 0; i < controls.size(); ++i) {
    estimate -= b[i] * d[i];
    explained += b[i] * c[controls[i]][y];
  }
  const double residual = std::max(0.0, c[y][y] - explained);
  const double variance = residual / (n - k - 1.0) * (1.0 / n + quadratic);
  SampleInterval controlled;
  controlled.estimate = estimate;
  controlled.standard_error = std::sqrt(variance);
  const double half = kNormal95 * controlled.standard_error;
  controlled.low = std::max(0.0, estimate - half);
  controlled.high = estimate + half;
  if (figure == SampleFigure::kHadDeficit) {
    controlled.high = std::min(1.0, controlled.high);
  }
  return controlled;
}

double PairedSample::RelativeError(SampleFigure figure,
                                   const ExactIndices& exact,
                                   const ExactIndices* second) const {
  const SampleInterval interval = Reported(figure, exact, second);
  return interval.estimate > 0.0 ? interval.standard_error / interval.estimate
                                 : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace adequacy
