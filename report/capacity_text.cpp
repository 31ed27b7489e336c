#include "report/capacity_text.h"

#include <cstdio>

#include "report/assessment_json.h"
#include "report/assessment_text.h"
#include "report/json_writer.h"

namespace adequacy {
namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

double Share(double mw, double installed) {
  return installed > 0.0 ? mw / installed : 0.0;
}

}  // namespace

std::string CapacityText(const System& system, const CapacityAnswers& a) {
  const char* name = IndexName(a.target.index);
  const char* unit = IndexUnit(a.target.index);
  std::string text = system.name + " (" + system.file + ")\n";
  text += "  " + std::string(name) +
          " of the system as it stands: " + Format("%.6g", a.base_index) + " " +
          unit +
          (a.simulated_capability
               ? " +/- " + Format("%.3g", a.base_index_se) + " (simulated)"
               : "") +
          "\n";
  // The schedule every answer keeps.
  text += MaintenanceText(system);
  text += "\nLoad-carrying capability at " + std::string(name) + " = " +
          Format("%.6g", a.target.value) + " " + unit + "\n";
  text += "  peak load   " + Format("%12.2f", a.peak_load_mw) +
          " MW  the load scaled by " + Format("%.6f", a.scale.at) + ", " +
          name + " " + Format("%.6g", a.scale.index) + "\n";
  text += "  added load  " + Format("%12.2f", a.added.at) +
          " MW  to every hour, " + name + " " + Format("%.6g", a.added.index) +
          "\n";
  if (a.simulated_capability) {
    text +=
        "  simulated (more than two areas, or storage, have no exact "
        "solution): " +
        std::to_string(a.years) + " years, seed " + std::to_string(a.seed) +
        ", the same years at every load;\n  standard errors: added load " +
        Format("%.3g", a.added_se) + " MW, scale " +
        Format("%.3g", a.scale_se) + "\n";
  }
  if (a.credit) {
    text += "\nCapacity credit of " + a.additions_name + " (" +
            Format("%.2f", a.installed_mw) +
            " MW installed, profiles at "
            "their peak), " +
            name + " back to " + Format("%.6g", a.credit_value) + " " + unit +
            "\n";
    text += "  ELCC  " + Format("%12.2f", a.elcc.at) + " MW  " +
            Format("%5.1f", 100.0 * Share(a.elcc.at, a.installed_mw)) +
            " %  the load added to every hour, " + name + " " +
            Format("%.6g", a.elcc.index) + "\n";
    text += "  EFC   " + Format("%12.0f", a.efc.at) + " MW  " +
            Format("%5.1f", 100.0 * Share(a.efc.at, a.installed_mw)) +
            " %  a unit never out with the same " + name + " as they give, " +
            Format("%.6g", a.index_with_additions) + "\n";
    if (a.simulated) {
      text +=
          std::string(a.simulated_capability
                          ? "  simulated over the same years: "
                          : "  simulated (storage has no exact solution): ") +
          std::to_string(a.years) + " years, seed " + std::to_string(a.seed) +
          ", the same years at every load\n";
      text += "  ELCC 95 % interval " + Format("%.2f", a.elcc_low) + " .. " +
              Format("%.2f", a.elcc_high) + " MW (standard error " +
              Format("%.3g", a.elcc_se) + ")\n";
      text += "  EFC  95 % interval " + Format("%.0f", a.efc_low) + " .. " +
              Format("%.0f", a.efc_high) + " MW (standard error " +
              Format("%.3g", a.efc_se) + "); " + name + " with them " +
              Format("%.6g", a.index_with_additions) + " +/- " +
              Format("%.3g", a.index_with_additions_se) + "\n";
    }
  }
  text += "\n" + std::to_string(a.evaluations) +
          (a.simulated ? " evaluations (direct solutions, and simulations of "
                         "the years)\n"
                       : " direct solutions\n");
  return text;
}

std::string CapacityJson(const System& system, const CapacityAnswers& a,
                         const char* version) {
  JsonWriter json;
  BeginDocument(json, 1, version);
  json.Name("system");
  json.BeginObject();
  json.TextMember("name", system.name);
  json.TextMember("file", system.file);
  json.Member(IndexName(a.target.index), a.base_index);
  json.EndObject();
  WriteMaintenance(json, system);
  json.Name("target");
  json.BeginObject();
  json.TextMember("index", IndexName(a.target.index));
  json.Member("value", a.target.value);
  json.EndObject();
  json.Name("carrying");
  json.BeginObject();
  json.Member("scale", a.scale.at);
  json.Member("peak_load_mw", a.peak_load_mw);
  json.Member("added_mw", a.added.at);
  json.Member("index_at_scale", a.scale.index);
  json.Member("index_at_added", a.added.index);
  if (a.simulated_capability) {
    json.BooleanMember("simulated", true);
    json.IntegerMember("years", a.years);
    json.IntegerMember("seed", static_cast<int64_t>(a.seed));
    json.Member("base_index_standard_error", a.base_index_se);
    json.Member("added_mw_standard_error", a.added_se);
    json.Member("scale_standard_error", a.scale_se);
  }
  json.EndObject();
  if (a.credit) {
    json.Name("credit");
    json.BeginObject();
    json.Member("installed_mw", a.installed_mw);
    json.Member("elcc_mw", a.elcc.at);
    json.Member("efc_mw", a.efc.at);
    json.Member("elcc_share", Share(a.elcc.at, a.installed_mw));
    json.Member("efc_share", Share(a.efc.at, a.installed_mw));
    json.Member("index_kept", a.credit_value);
    json.Member("index_at_elcc", a.elcc.index);
    json.Member("index_with_additions", a.index_with_additions);
    json.BooleanMember("simulated", a.simulated);
    if (a.simulated) {
      json.IntegerMember("years", a.years);
      json.IntegerMember("seed", static_cast<int64_t>(a.seed));
      json.Member("index_with_additions_standard_error",
                  a.index_with_additions_se);
      json.Member("elcc_standard_error", a.elcc_se);
      json.PairMember("elcc_ci95", a.elcc_low, a.elcc_high);
      json.Member("efc_standard_error", a.efc_se);
      json.PairMember("efc_ci95", a.efc_low, a.efc_high);
    }
    json.EndObject();
  }
  json.IntegerMember("evaluations", a.evaluations);
  json.EndObject();
  return json.Take();
}

}  // namespace adequacy
