// Simulated years in pairs: each year of the fleet without storage (X) and
// the same year, on the same draws, with it (Y), for estimates controlled
// by what is known exactly.
//
// E[X] of LOLH, LOLE and EUE is the direct solution's.  The regression
// estimate Y-bar - b (X-bar - E[X]), b fitted from the years, has the same
// mean as Y-bar and a far smaller variance where X and Y move together, as
// they do: storage only trims the deficits the fleet's outages make.
//   With storage:  LOLH, LOLE and EUE each with its own X as the control.
//   Always:        LOLD, LOLEV and ALOLP, which have no exact value, with
//                  X's LOLH and EUE as the controls.
//   Without storage, LOLH, LOLE and EUE stay plain: they are the check of
//   the simulation against the exact values.
// A pair may have a second control Z, known exactly too (a system of
// areas: X its islands, Z its copper plate): LOLH, LOLE and EUE are then
// each controlled by X's and Z's together.
#ifndef ADEQUACY_MONTECARLO_STATISTICS_PAIRED_SAMPLE_H_
#define ADEQUACY_MONTECARLO_STATISTICS_PAIRED_SAMPLE_H_

#include <array>
#include <cstdint>
#include <optional>

#include "montecarlo/statistics/year_sample.h"

namespace adequacy {

// The direct solution's indices of the fleet without storage.
struct ExactIndices {
  double lolh = 0.0;
  double lole = 0.0;
  double eue = 0.0;
};

class PairedSample {
 public:
  // `by_hour` keeps each hour's unserved MW and short years of the years
  // as simulated.
  PairedSample(int64_t hours, bool storage, bool by_hour = false,
               int64_t series_hours = 0);

  // A year without storage and the same year with it (the same outcome
  // where the system has none).
  void Add(const YearOutcome& without, const YearOutcome& with);
  // The same with the year's second control; a sample takes either every
  // year with one or none with one.
  void Add(const YearOutcome& without, const YearOutcome& with,
           const YearOutcome& second);
  void Merge(const PairedSample& other);

  bool storage() const { return storage_; }
  int64_t years() const { return sample_.years(); }
  // The years as simulated, with storage where there is some.
  const YearSample& sample() const { return sample_; }
  // The same years without storage; only where there is storage.
  const YearSample* without_storage() const {
    return storage_ ? &without_ : nullptr;
  }

  // Whether `figure` is estimated with a control.
  bool Controlled(SampleFigure figure) const;
  // The estimate reported: controlled by `exact` where Controlled(figure),
  // and by `second` too where given and the years have the second
  // control; else the plain mean of the years.
  SampleInterval Reported(SampleFigure figure, const ExactIndices& exact,
                          const ExactIndices* second = nullptr) const;
  // The standard error reported over the estimate; NaN where it is 0.
  double RelativeError(SampleFigure figure, const ExactIndices& exact,
                       const ExactIndices* second = nullptr) const;

 private:
  // The year values paired: X's three controls, Y's figures, and the
  // second control's three, where the years have one (`used_` values).
  static constexpr int kValues = 3 + kSampleFigures + 3;
  static constexpr int kSecond = 3 + kSampleFigures;
  using Values = std::array<double, kValues>;
  static int ValueOf(SampleFigure figure) {
    return 3 + static_cast<int>(figure);
  }

  void Add(const YearOutcome& without, const YearOutcome& with,
           const YearOutcome* second);
  void AddValues(const Values& values);

  bool storage_;
  YearSample sample_;
  YearSample without_;
  // Means and sums of cross products of deviations, added up as Welford's
  // method and merged as Chan's, so that every order of batches that
  // keeps their order gives the same figures.
  int64_t years_ = 0;
  int used_ = kSecond;
  Values mean_{};
  std::array<Values, kValues> comoment_{};
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_STATISTICS_PAIRED_SAMPLE_H_
