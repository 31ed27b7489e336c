// The readable report of `adequacy assess`: the system, the load asked
// about and the direct solution's indices, each with its unit.
#ifndef ADEQUACY_REPORT_ASSESSMENT_TEXT_H_
#define ADEQUACY_REPORT_ASSESSMENT_TEXT_H_

#include <string>
#include <vector>

#include "direct/assessment.h"
#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

// `by_year`, where given, adds each weather year's indices.
std::string AssessmentText(const System& system, const LoadChange& change,
                           const Assessment& result,
                           const std::vector<Assessment>* by_year = nullptr);

// The planned maintenance, one line an entry, and where the program placed
// it; nothing where there is none.
std::string MaintenanceText(const System& system);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_ASSESSMENT_TEXT_H_
