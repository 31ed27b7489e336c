#include "montecarlo/areas/areas_event_hours.h"

namespace adequacy {

EventHours WorstAreasEventHours(AreasSimulation* simulation) {
  const WorstEvent& worst =
      simulation->sample().system().sample().worst_event();
  if (worst.year < 0) return EventHours();
  std::vector<double> margins;
  std::vector<double> flows;
  const YearLoad& load = simulation->Redraw(worst.year, &margins, &flows);
  const auto hours = static_cast<size_t>(load.hours());
  const size_t areas = hours == 0 ? 0 : margins.size() / hours;
  const size_t ties = hours == 0 ? 0 : flows.size() / hours;
  return WindowOf(worst, load, [&](int64_t hour, EventHour* h) {
    const auto at = static_cast<size_t>(hour);
    h->area_margin_mw = RowOf(margins, at, areas);
    h->tie_flow_mw = RowOf(flows, at, ties);
    // The areas' net loads add up to the system's.
    h->available_mw = h->net_load_mw;
    for (double margin : h->area_margin_mw) h->available_mw += margin;
  });
}

}  // namespace adequacy
