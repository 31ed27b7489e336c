// The Monte Carlo part of `adequacy assess` for a system with areas: one
// row an area and one for the system, each index with its standard error,
// and how often each tie was at its limit; and the same as the document's
// `montecarlo` object, the system's figures where a one-area run has them.
#ifndef ADEQUACY_REPORT_AREAS_SIMULATION_TEXT_H_
#define ADEQUACY_REPORT_AREAS_SIMULATION_TEXT_H_

#include <string>

#include "montecarlo/areas/areas_simulation.h"
#include "report/json_writer.h"
#include "report/simulation_text.h"
#include "system/system.h"

namespace adequacy {

struct AreasRun {
  // The system's years, paired with the islands', with the run's seed,
  // threads and stop.
  SimulationSummary summary;
  const AreasSample* sample = nullptr;
  AreasControls exact;
  const EventHours* worst = nullptr;  // The system's worst event, if drawn.
};

std::string AreasSimulationText(const System& system, const AreasRun& run);

// Writes the `montecarlo` member of a document.
void WriteAreasSimulationJson(JsonWriter& json, const System& system,
                              const AreasRun& run);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_AREAS_SIMULATION_TEXT_H_
