#include "montecarlo/events/event_hours.h"

#include <algorithm>

namespace adequacy {

constexpr int64_t kHoursAround = 24;

EventHours WindowOf(const WorstEvent& worst, const YearLoad& load,
                    const std::function<void(int64_t, EventHour*)>& fill) {
  EventHours out;
  out.found = true;
  out.year = worst.year;
  out.first_hour = worst.year_first_hour + worst.first_hour + 1;
  out.duration_hours = worst.hours;
  out.unserved_mwh = worst.mwh;
  const int64_t first = std::max<int64_t>(0, worst.first_hour - kHoursAround);
  const int64_t end = std::min<int64_t>(
      load.hours(), worst.first_hour + worst.hours + kHoursAround);
  size_t next_short = 0;
  for (int64_t hour = first; hour < end; ++hour) {
    EventHour h;
    h.hour = worst.year_first_hour + hour + 1;
    h.net_load_mw = load.net_mw[static_cast<size_t>(hour)];
    while (next_short < worst.short_hours.size() &&
           worst.short_hours[next_short] < hour) {
      ++next_short;
    }
    if (next_short < worst.short_hours.size() &&
        worst.short_hours[next_short] == hour) {
      h.unserved_mw = worst.short_mw[next_short];
    }
    fill(hour, &h);
    out.hourly.push_back(std::move(h));
  }
  return out;
}

std::vector<double> RowOf(const std::vector<double>& rows, size_t row,
                          size_t width) {
  const double* first = rows.data() + row * width;
  return std::vector<double>(first, first + width);
}

EventHours WorstEventHours(SystemSimulation* simulation) {
  const WorstEvent& worst = simulation->sample().worst_event();
  if (worst.year < 0) return EventHours();
  std::vector<int64_t> available;
  std::vector<double> energy;
  std::vector<double> discharge;
  const YearLoad& load =
      simulation->Redraw(worst.year, &available, &energy, &discharge);
  const size_t devices =
      available.empty() ? 0 : energy.size() / available.size();
  return WindowOf(worst, load, [&](int64_t hour, EventHour* h) {
    const auto at = static_cast<size_t>(hour);
    h->available_mw = static_cast<double>(available[at]);
    h->energy_mwh = RowOf(energy, at, devices);
    h->discharge_mw = RowOf(discharge, at, devices);
  });
}

}  // namespace adequacy
