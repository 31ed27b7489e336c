#include "direct/direct_pass.h"

#include "direct/unserved_energy.h"
#include "model/truncate.h"

namespace adequacy {

DirectResult RunDirectPass(const LoadParameters& params,
                           const AvailabilityTable& table, HourlyLoads* loads,
                           ShortfallSum method) {
  const ShortfallTerms terms = MakeShortfallTerms(table);
  DirectResult result;
  double peak_availability = 1.0;
  float peak = 0.0f;
  for (int day = 1; day <= kDays; ++day) {
    for (int hour = 1; hour <= kHoursPerDay; ++hour) {
      const double load = HourLoad(params, day, hour);
      (*loads)[HourIndex(day, hour)] = static_cast<float>(load);
      if (load > peak) peak = static_cast<float>(load);
      const int32_t n = TruncateToInt32(load);
      const double p = table.At(n);
      const double lolp = 1.0 - p;
      if (hour == kPeakHour) {
        result.lole += lolp;
        peak_availability *= p;
      }
      result.mwheue = method == ShortfallSum::kFast
                          ? AddShortfallFast(result.mwheue, terms, n)
                          : AddShortfallPlain(result.mwheue, terms, n);
      result.lolh += lolp;
      result.mwhtotal += load;
    }
  }
  result.allr = 1.0 - peak_availability;
  result.pueueppm = result.mwheue / result.mwhtotal * 1000000.0;
  const double installed = static_cast<float>(kInstalledCapacity);
  const double peak_mw = peak;
  result.reserve_margin = static_cast<float>((installed - peak_mw) / peak_mw *
                                             static_cast<double>(100.0f));
  return result;
}

double LossOfLoadProbability(const AvailabilityTable& table, float load) {
  return 1.0 - table.At(TruncateToInt32(load));
}

std::array<SampleDayRow, kHoursPerDay> SampleDayRows(
    const AvailabilityTable& table, const HourlyLoads& loads) {
  constexpr std::array<int, 3> kSampleDays = {
      kWinterSampleDay, kSummerSampleDay, kOffPeakSampleDay};
  std::array<SampleDayRow, kHoursPerDay> rows;
  for (int hour = 1; hour <= kHoursPerDay; ++hour) {
    SampleDayRow& row = rows[hour - 1];
    row.hour = hour;
    for (int i = 0; i < 3; ++i) {
      row.load[i] = loads[HourIndex(kSampleDays[i], hour)];
      row.lolp[i] = LossOfLoadProbability(table, row.load[i]);
    }
  }
  return rows;
}

}  // namespace adequacy
