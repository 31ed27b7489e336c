// The Monte Carlo part of `adequacy assess`: in text, each index's
// estimate with its standard error and 95 % interval beside its exact
// value, the events and the years by deficit hours; and the same as the
// JSON document's `montecarlo` object.
#ifndef ADEQUACY_REPORT_SIMULATION_TEXT_H_
#define ADEQUACY_REPORT_SIMULATION_TEXT_H_

#include <cstdint>
#include <string>

#include "direct/assessment.h"
#include "montecarlo/events/event_hours.h"
#include "montecarlo/events/system_simulation.h"
#include "report/json_writer.h"
#include "system/system.h"

namespace adequacy {

struct SimulationSummary {
  const YearSample* sample = nullptr;  // With storage where there is some.
  const PairedSample* paired = nullptr;
  ExactIndices exact;                    // The controls.
  const ExactIndices* second = nullptr;  // A second control's, if any.
  const System* system = nullptr;        // For the devices' names.
  uint64_t seed = 0;
  int threads = 1;
  SimulationStop stop = SimulationStop::kYears;
  double precision = 0.0;  // Asked for with kPrecision and kMaxYears.
  const EventHours* worst = nullptr;  // The worst event, where drawn.
};

std::string SimulationText(const SimulationSummary& run,
                           const Assessment& exact);

// Writes the `montecarlo` member of a document: the run's members, the
// figures' and the events'.
void WriteSimulationJson(JsonWriter& json, const SimulationSummary& run);
// The years, seed, generator, threads and what stopped the run.
void WriteRunMembers(JsonWriter& json, const SimulationSummary& run);
// Each index with its interval, reported and plain, and the devices'.
void WriteFigureMembers(JsonWriter& json, const SimulationSummary& run);
// The events by duration and energy, and the years by deficit hours.
void WriteEventMembers(JsonWriter& json, const YearSample& sample);
// The interval reported for `figure`: controlled where a control applies.
SampleInterval ReportedInterval(const SimulationSummary& run,
                                SampleFigure figure);
// The worst event and its hours, as `worst_event`.
void WriteWorstEvent(JsonWriter& json, const EventHours& worst);

// "the years asked for", or the precision that stopped the run.
std::string SimulationStopText(const SimulationSummary& run);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_SIMULATION_TEXT_H_
