// The results of `adequacy assess` as JSON, for scripts: every number at
// full double precision.  The names are kept from one version to the
// next; `schema` changes when they are not.
#ifndef ADEQUACY_REPORT_ASSESSMENT_JSON_H_
#define ADEQUACY_REPORT_ASSESSMENT_JSON_H_

#include <string>
#include <vector>

#include "direct/assessment.h"
#include "report/json_writer.h"
#include "report/simulation_text.h"
#include "system/load_change.h"
#include "system/system.h"

namespace adequacy {

inline constexpr int kAssessmentSchema = 3;

// `run`, where given, adds the simulation's `montecarlo` object;
// `by_year`, each weather year's indices as `direct.by_year`.
std::string AssessmentJson(const System& system, const LoadChange& change,
                           const Assessment& result, const char* version,
                           const SimulationSummary* run = nullptr,
                           const std::vector<Assessment>* by_year = nullptr);

// The document's opening: `schema` and `program`, the object left open.
void BeginDocument(JsonWriter& json, int schema, const char* version);
// `system` opened with its name, file, units, installed MW and hours, for
// the caller to add to and close.
void BeginSystem(JsonWriter& json, const System& system);
// `load`: the what-if's scale and added MW.
void WriteLoadChange(JsonWriter& json, const LoadChange& change);

// `maintenance`: every entry, with where it went and whether the program
// placed it.
void WriteMaintenance(JsonWriter& json, const System& system);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_ASSESSMENT_JSON_H_
