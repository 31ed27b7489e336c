// The report and JSON of `adequacy assess` for a system with areas: one
// row an area and one for the system, the bounds of any number of areas,
// and the interfaces.
#ifndef ADEQUACY_REPORT_AREAS_TEXT_H_
#define ADEQUACY_REPORT_AREAS_TEXT_H_

#include <string>

#include "direct/areas.h"
#include "report/areas_simulation_text.h"
#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

std::string AreasText(const System& system, const LoadChange& change,
                      const AreasAssessment& result);

// With `simulated`, the document's `montecarlo` object too.
std::string AreasJson(const System& system, const LoadChange& change,
                      const AreasAssessment& result, const char* version,
                      const AreasRun* simulated = nullptr);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_AREAS_TEXT_H_
