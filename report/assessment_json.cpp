#include "report/assessment_json.h"

#include "report/json_writer.h"

namespace adequacy {
namespace {

void WriteSystem(JsonWriter& json, const System& system) {
  BeginSystem(json, system);
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
    if (!system.areas.empty()) {
      json.TextMember("area", system.areas[device.area].name);
    }
    json.EndObject();
  }
  json.EndArray();
  json.Name("weather_years");
  json.BeginArray();
  for (const WeatherYear& year : system.weather_years) {
    json.BeginObject();
    json.TextMember("year", year.name);
    json.IntegerMember("hours", year.hours);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteIndices(JsonWriter& json, const Assessment& result) {
  json.Member("LOLH", result.lolh);
  json.Member("LOLE", result.lole);
  json.Member("ALLR", result.allr);
  json.Member("EUE", result.eue);
  json.Member("energy", result.energy);
  json.Member("ppm", result.ppm);
  json.Member("peak_load", result.peak_load);
  json.Member("reserve_margin", result.reserve_margin);
}

void WriteDirect(JsonWriter& json, const System& system,
                 const Assessment& result,
                 const std::vector<Assessment>* by_year) {
  json.Name("direct");
  json.BeginObject();
  WriteIndices(json, result);
  if (by_year && !system.weather_years.empty()) {
    json.Name("by_year");
    json.BeginArray();
    for (size_t w = 0; w < by_year->size(); ++w) {
      json.BeginObject();
      json.TextMember("year", system.weather_years[w].name);
      json.IntegerMember("hours", system.weather_years[w].hours);
      WriteIndices(json, (*by_year)[w]);
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();
}

}  // namespace

void BeginDocument(JsonWriter& json, int schema, const char* version) {
  json.BeginObject();
  json.IntegerMember("schema", schema);
  json.Name("program");
  json.BeginObject();
  json.TextMember("name", "adequacy");
  json.TextMember("version", version);
  json.EndObject();
}

void BeginSystem(JsonWriter& json, const System& system) {
  json.Name("system");
  json.BeginObject();
  json.TextMember("name", system.name);
  json.TextMember("file", system.file);
  json.IntegerMember("units", system.unit_count());
  json.IntegerMember("installed_mw", system.installed_mw());
  json.IntegerMember("hours", static_cast<int64_t>(system.load.size()));
}

void WriteLoadChange(JsonWriter& json, const LoadChange& change) {
  json.Name("load");
  json.BeginObject();
  json.Member("scale", change.scale);
  json.Member("added_mw", change.added_mw);
  json.EndObject();
}

void WriteMaintenance(JsonWriter& json, const System& system) {
  json.Name("maintenance");
  json.BeginArray();
  for (const UnitGroup& group : system.units) {
    for (const Maintenance& entry : group.maintenance) {
      json.BeginObject();
      json.TextMember("unit", group.name);
      json.IntegerMember("count", entry.count);
      json.IntegerMember("days", entry.days);
      json.IntegerMember("first_day", entry.first_day);
      json.BooleanMember("placed", entry.placed);
      json.EndObject();
    }
  }
  json.EndArray();
}

std::string AssessmentJson(const System& system, const LoadChange& change,
                           const Assessment& result, const char* version,
                           const SimulationSummary* run,
                           const std::vector<Assessment>* by_year) {
  JsonWriter json;
  BeginDocument(json, kAssessmentSchema, version);
  WriteSystem(json, system);
  WriteMaintenance(json, system);
  WriteLoadChange(json, change);
  WriteDirect(json, system, result, by_year);
  if (run) WriteSimulationJson(json, *run);
  json.EndObject();
  return json.Take();
}

}  // namespace adequacy
