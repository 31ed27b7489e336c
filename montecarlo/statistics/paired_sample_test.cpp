#include "montecarlo/statistics/paired_sample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace adequacy {
namespace {

YearOutcome Year(int hours, double mwh, int days) {
  YearOutcome year;
  year.deficit_hours = hours;
  year.peak_deficits = days / 2;
  year.deficit_days = days;
  year.unserved_mwh = mwh;
  for (int e = 0; e < days; ++e) {
    year.event_hours.push_back(1);
    year.event_mwh.push_back(mwh / std::max(1, days));
  }
  return year;
}

// Years of a made-up fleet: X, and Y a noisy function of it.
std::vector<std::pair<YearOutcome, YearOutcome>> Years(int n) {
  std::vector<std::pair<YearOutcome, YearOutcome>> years;
  for (int i = 0; i < n; ++i) {
    const int hours = (i * 7919) % 13 == 0 ? 10 + i % 5 : (i % 3 == 0 ? 2 : 0);
    const int kept = hours / 2 + (i % 4 == 0 && hours > 0 ? 1 : 0);
    years.push_back(
        {Year(hours, 30.0 * hours, hours > 0 ? 1 + hours / 6 : 0),
         Year(kept, 12.0 * kept + (kept > 0 ? i % 3 : 0), kept > 0 ? 1 : 0)});
  }
  return years;
}

// Where the years with storage are those without, the control knows them
// exactly: the estimate is the exact value, and its error 0.
TEST(PairedSampleTest, AControlThatIsTheFigureItselfIsExact) {
  PairedSample sample(8760, /*storage=*/true);
  double lolh = 0.0;
  double eue = 0.0;
  const auto years = Years(500);
  for (const auto& [x, y] : years) {
    sample.Add(x, x);
    lolh += x.deficit_hours;
    eue += x.unserved_mwh;
  }
  const ExactIndices exact{lolh / 500 + 0.25, 0.0, eue / 500 - 3.0};
  const SampleInterval h = sample.Reported(SampleFigure::kDeficitHours, exact);
  EXPECT_NEAR(h.estimate, exact.lolh, 1e-12);
  EXPECT_NEAR(h.standard_error, 0.0, 1e-9);
  EXPECT_NEAR(sample.Reported(SampleFigure::kUnservedMwh, exact).estimate,
              exact.eue, 1e-9);
}

// Which figures are controlled, and batches merged in order give what the
// years added one by one give.
TEST(PairedSampleTest, ControlsAndMerging) {
  const auto years = Years(900);
  PairedSample whole(8760, true);
  PairedSample merged(8760, true);
  for (size_t first = 0; first < years.size(); first += 256) {
    PairedSample batch(8760, true);
    for (size_t i = first; i < std::min(years.size(), first + 256); ++i) {
      batch.Add(years[i].first, years[i].second);
      whole.Add(years[i].first, years[i].second);
    }
    merged.Merge(batch);
  }
  const ExactIndices exact{1.0, 0.3, 30.0};
  for (int f = 0; f < kSampleFigures; ++f) {
    const auto figure = static_cast<SampleFigure>(f);
    EXPECT_TRUE(whole.Controlled(figure)) << f;
    const SampleInterval a = whole.Reported(figure, exact);
    const SampleInterval b = merged.Reported(figure, exact);
    EXPECT_NEAR(a.estimate, b.estimate, 1e-9 * (1 + std::fabs(a.estimate)));
    EXPECT_NEAR(a.standard_error, b.standard_error,
                1e-9 * (1 + a.standard_error));
    EXPECT_LE(a.low, a.estimate);
    EXPECT_GE(a.high, a.estimate);
  }
  PairedSample plain(8760, false);
  for (const auto& [x, y] : years) plain.Add(x, x);
  for (SampleFigure f :
       {SampleFigure::kDeficitHours, SampleFigure::kPeakDeficits,
        SampleFigure::kUnservedMwh}) {
    EXPECT_FALSE(plain.Controlled(f));
    EXPECT_EQ(plain.Reported(f, exact).estimate,
              plain.sample().Interval(f).estimate);
  }
  EXPECT_TRUE(plain.Controlled(SampleFigure::kDeficitDays));
  EXPECT_EQ(plain.without_storage(), nullptr);
}

// Controls that never vary carry nothing: the plain estimate stands.
TEST(PairedSampleTest, ConstantControlsLeaveThePlainEstimate) {
  PairedSample sample(8760, true);
  for (int i = 0; i < 100; ++i) {
    sample.Add(Year(0, 0.0, 0), Year(i % 10 == 0 ? 1 : 0, 1.0, 1));
  }
  const ExactIndices exact{0.0, 0.0, 0.0};
  const SampleInterval plain = sample.sample().Interval(SampleFigure::kEvents);
  const SampleInterval reported = sample.Reported(SampleFigure::kEvents, exact);
  EXPECT_EQ(reported.estimate, plain.estimate);
  EXPECT_EQ(reported.standard_error, plain.standard_error);
}

}  // namespace
}  // namespace adequacy
