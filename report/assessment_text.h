// The readable report of `adequacy assess`: the system, the load asked
// about and the direct solution's indices, each with its unit.
#ifndef ADEQUACY_REPORT_ASSESSMENT_TEXT_H_
#define ADEQUACY_REPORT_ASSESSMENT_TEXT_H_

#include <string>

#include "direct/assessment.h"
#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

std::string AssessmentText(const System& system, const LoadChange& change,
                           const Assessment& result);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_ASSESSMENT_TEXT_H_
