#include "direct/hourly_load.h"

#include "model/truncate.h"

namespace adequacy {
namespace {

constexpr std::array<float, kHoursPerDay> kProfile = {
    0.56f, 0.60f, 0.64f, 0.68f, 0.72f, 0.76f, 0.80f, 0.84f,
    0.88f, 0.92f, 0.96f, 1.00f, 1.00f, 0.96f, 0.92f, 0.88f,
    0.84f, 0.80f, 0.76f, 0.72f, 0.68f, 0.64f, 0.60f, 0.56f};

// Added before truncation so that, say, 2000 * 0.64f (1279.99997) counts
// as 1280 MW.
constexpr float kRoundingNudge = 0.01f;

}  // namespace

float ProfileFactor(int hour) { return kProfile[hour - 1]; }

float SeasonScale(const LoadParameters& params, int day) {
  if (day <= 10) return params.d2;
  if (day >= 201 && day <= 214) return params.d3;
  return params.d1;
}

double HourLoad(const LoadParameters& params, int day, int hour) {
  const double scaled = static_cast<double>(SeasonScale(params, day)) *
                            static_cast<double>(ProfileFactor(hour)) +
                        static_cast<double>(kRoundingNudge);
  const int32_t whole_mw = TruncateToInt32(scaled);
  return static_cast<double>(params.d4) + static_cast<double>(whole_mw);
}

std::vector<double> YearOfLoads(const LoadParameters& params) {
  std::vector<double> loads;
  loads.reserve(kHoursPerYear);
  for (int day = 1; day <= kDays; ++day) {
    for (int hour = 1; hour <= kHoursPerDay; ++hour) {
      loads.push_back(HourLoad(params, day, hour));
    }
  }
  return loads;
}

}  // namespace adequacy
