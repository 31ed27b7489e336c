#include "report/areas_text.h"

#include <cstdio>

#include "report/areas_simulation_text.h"
#include "report/assessment_json.h"
#include "report/json_writer.h"
#include "system/area_outcomes.h"

namespace adequacy {
namespace {

std::string Significant(double value) {
  char text[64];
  if (value >= 1e6 && value < 1e18) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.6g", value);
  }
  return text;
}

std::string Row(const std::string& name, const AreaIndices& i) {
  char text[256];
  std::snprintf(text, sizeof text, "  %-14s %12s %12s %12s %12s %10s\n",
                name.c_str(), Significant(i.lolh).c_str(),
                Significant(i.lole).c_str(), Significant(i.eue).c_str(),
                Significant(i.energy).c_str(), Significant(i.ppm).c_str());
  return text;
}

std::string Mw(double mw) { return Significant(mw) + " MW"; }

std::string TieText(const System& system, const Interface& tie) {
  const std::string& first = system.areas[tie.first].name;
  const std::string& second = system.areas[tie.second].name;
  std::string text = "  " + first + " - " + second + ": ";
  text += tie.forward_mw == tie.backward_mw
              ? Mw(tie.forward_mw) + " each way"
              : Mw(tie.forward_mw) + " to " + second + ", " +
                    Mw(tie.backward_mw) + " to " + first;
  if (tie.forced_outage_rate > 0.0) {
    text += ", out " + Significant(tie.forced_outage_rate * 100.0) +
            " % of the hours";
  }
  return text + "\n";
}

void Indices(JsonWriter& json, const AreaIndices& i, bool energy) {
  json.Member("LOLH", i.lolh);
  json.Member("LOLE", i.lole);
  json.Member("EUE", i.eue);
  if (energy) {
    json.Member("energy", i.energy);
    json.Member("ppm", i.ppm);
  }
}

}  // namespace

std::string AreasText(const System& system, const LoadChange& change,
                      const AreasAssessment& result) {
  std::string text = system.name + " (" + system.file + ")\n";
  text += "  " + std::to_string(system.areas.size()) + " areas, " +
          std::to_string(system.unit_count()) + " units, " +
          std::to_string(system.installed_mw()) + " MW installed, " +
          std::to_string(system.load.size()) + " hours" +
          (system.weather_years.empty()
               ? std::string()
               : " in " + std::to_string(system.weather_years.size()) +
                     " weather years, each index their mean") +
          "\n";
  if (change.scale != 1.0) {
    text += "  each area's load scaled by " + Significant(change.scale) + "\n";
  }
  const size_t outcomes = AreaOutcomes(system).size();
  if (outcomes > 1) {
    text += "  over the " + std::to_string(outcomes) +
            " outcomes of the uncertain load, one for every area at once,\n"
            "  weighted by their probabilities\n";
  }
  for (const Interface& tie : system.interfaces) text += TieText(system, tie);
  for (const StorageDevice& device : system.storage) {
    text += "  storage in " + system.areas[device.area].name + ": " +
            (device.count > 1 ? std::to_string(device.count) + " x " : "") +
            device.name + ", " + Mw(device.discharge_mw) + ", " +
            Significant(device.energy_mwh) + " MWh\n";
  }
  const std::string without =
      system.storage.empty() ? "" : ", of the system without its storage";
  text += result.exact ? "\nDirect solution (exact" + without + ")\n"
                       : "\nDirect solution" + without +
                             ": with more than two areas only the bounds are "
                             "exact; each area alone\n";
  text +=
      "  area              LOLH h/yr    LOLE d/yr   EUE MWh/yr   energy "
      "MWh        ppm\n";
  const auto& rows = result.exact ? result.areas : result.island_areas;
  for (size_t a = 0; a < rows.size(); ++a) {
    text += Row(system.areas[a].name, rows[a]);
  }
  if (result.exact) text += Row("system", result.system);
  text += "  bounds of the system, exact for any number of areas:\n";
  text += Row("islands", result.islands);
  text += Row("copper plate", result.copper_plate);
  return text;
}

std::string AreasJson(const System& system, const LoadChange& change,
                      const AreasAssessment& result, const char* version,
                      const AreasRun* simulated) {
  JsonWriter json;
  BeginDocument(json, kAssessmentSchema, version);
  BeginSystem(json, system);
  json.Name("areas");
  json.BeginArray();
  for (const Area& area : system.areas) json.Text(area.name);
  json.EndArray();
  json.Name("interfaces");
  json.BeginArray();
  for (const Interface& tie : system.interfaces) {
    json.BeginObject();
    json.Name("between");
    json.BeginArray();
    json.Text(system.areas[tie.first].name);
    json.Text(system.areas[tie.second].name);
    json.EndArray();
    json.Member("forward_mw", tie.forward_mw);
    json.Member("backward_mw", tie.backward_mw);
    json.Member("forced_outage_rate", tie.forced_outage_rate);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  WriteLoadChange(json, change);
  json.Name("direct");
  json.BeginObject();
  json.BooleanMember("exact", result.exact);
  if (result.exact) Indices(json, result.system, true);
  json.Name("areas");
  json.BeginObject();
  for (size_t a = 0; a < result.areas.size(); ++a) {
    json.Name(system.areas[a].name);
    json.BeginObject();
    Indices(json, result.areas[a], true);
    json.EndObject();
  }
  json.EndObject();
  json.Name("islands");
  json.BeginObject();
  Indices(json, result.islands, false);
  json.Name("areas");
  json.BeginObject();
  for (size_t a = 0; a < result.island_areas.size(); ++a) {
    json.Name(system.areas[a].name);
    json.BeginObject();
    Indices(json, result.island_areas[a], true);
    json.EndObject();
  }
  json.EndObject();
  json.EndObject();
  json.Name("copper_plate");
  json.BeginObject();
  Indices(json, result.copper_plate, false);
  json.EndObject();
  json.EndObject();
  if (simulated) WriteAreasSimulationJson(json, system, *simulated);
  json.EndObject();
  return json.Take();
}

}  // namespace adequacy
