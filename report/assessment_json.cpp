#include "report/assessment_json.h"

#include "report/json_writer.h"

namespace adequacy {
namespace {

void WriteSystem(JsonWriter& json, const System& system) {
  json.Name("system");
  json.BeginObject();
  json.TextMember("name", system.name);
  json.TextMember("file", system.file);
  json.IntegerMember("units", system.unit_count());
  json.IntegerMember("installed_mw", system.installed_mw());
  json.IntegerMember("hours", static_cast<int64_t>(system.load.size()));
  json.Name("profiles");
  json.BeginArray();
  for (const Profile& profile : system.profiles) json.Text(profile.name);
  json.EndArray();
  json.Name("uncertainty");
  json.BeginArray();
  for (const LoadScenario& outcome : system.uncertainty) {
    json.BeginObject();
    json.Member("multiplier", outcome.multiplier);
    json.Member("probability", outcome.probability);
    json.EndObject();
  }
  json.EndArray();
  json.Name("storage");
  json.BeginArray();
  for (const StorageDevice& device : system.storage) {
    json.BeginObject();
    json.TextMember("name", device.name);
    json.IntegerMember("count", device.count);
    json.Member("charge_mw", device.charge_mw);
    json.Member("discharge_mw", device.discharge_mw);
    json.Member("energy_mwh", device.energy_mwh);
    json.Member("charge_efficiency", device.charge_efficiency);
    json.Member("discharge_efficiency", device.discharge_efficiency);
    json.Member("initial_share", device.initial_share);
    json.Member("forced_outage_rate", device.forced_outage_rate);
    json.Member("mean_repair_hours", device.mean_repair_hours);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteDirect(JsonWriter& json, const Assessment& result) {
  json.Name("direct");
  json.BeginObject();
  json.Member("LOLH", result.lolh);
  json.Member("LOLE", result.lole);
  json.Member("ALLR", result.allr);
  json.Member("EUE", result.eue);
  json.Member("energy", result.energy);
  json.Member("ppm", result.ppm);
  json.Member("peak_load", result.peak_load);
  json.Member("reserve_margin", result.reserve_margin);
  json.EndObject();
}

}  // namespace

std::string AssessmentJson(const System& system, const LoadChange& change,
                           const Assessment& result, const char* version,
                           const SimulationSummary* run) {
  JsonWriter json;
  json.BeginObject();
  json.IntegerMember("schema", kAssessmentSchema);
  json.Name("program");
  json.BeginObject();
  json.TextMember("name", "adequacy");
  json.TextMember("version", version);
  json.EndObject();
  WriteSystem(json, system);
  json.Name("load");
  json.BeginObject();
  json.Member("scale", change.scale);
  json.Member("added_mw", change.added_mw);
  json.EndObject();
  WriteDirect(json, result);
  if (run) WriteSimulationJson(json, *run);
  json.EndObject();
  return json.Take();
}

}  // namespace adequacy
