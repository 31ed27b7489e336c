// The chronological load model: a daily profile scaled by season plus a
// constant, for every hour of a 365-day year.
#ifndef ADEQUACY_DIRECT_HOURLY_LOAD_H_
#define ADEQUACY_DIRECT_HOURLY_LOAD_H_

#include <array>
#include <vector>

namespace adequacy {

inline constexpr int kDays = 365;
inline constexpr int kHoursPerDay = 24;
inline constexpr int kHoursPerYear = kDays * kHoursPerDay;
// Hour of the day at which the daily peak indices are evaluated (1-based).
inline constexpr int kPeakHour = 12;

// Sample days shown in the report, 1-based: winter, summer, off-peak.
inline constexpr int kWinterSampleDay = 1;
inline constexpr int kSummerSampleDay = 201;
inline constexpr int kOffPeakSampleDay = 11;

// Load parameters in MW: off-peak, winter and summer scale, added load.
struct LoadParameters {
  float d1 = 2000.0f;
  float d2 = 8000.0f;
  float d3 = 7000.0f;
  float d4 = 1424.0f;
};

// Day-major: hour h (1..24) of day d (1..365) is element 24*(d-1) + (h-1).
using HourlyLoads = std::array<float, kHoursPerYear>;

inline constexpr int HourIndex(int day, int hour) {
  return kHoursPerDay * (day - 1) + (hour - 1);
}

// Per-unit load factor of hour h (1..24).
float ProfileFactor(int hour);

// The scale of day d (1..365): D2 in winter, D3 in summer, D1 otherwise.
float SeasonScale(const LoadParameters& params, int day);

// The hourly load before its rounding to single precision: D4 plus the
// scaled profile truncated to whole megawatts.
double HourLoad(const LoadParameters& params, int day, int hour);

// The year's loads as the direct solution takes them, hour by hour, day
// major: HourLoad of every hour.
std::vector<double> YearOfLoads(const LoadParameters& params);

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_HOURLY_LOAD_H_
