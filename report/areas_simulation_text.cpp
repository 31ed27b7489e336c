#include "report/areas_simulation_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "montecarlo/events/unit_draws.h"

namespace adequacy {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// An area's (or the system's) run: its years paired with its own alone.
SimulationSummary SummaryOf(const AreasRun& run, const PairedSample& paired,
                            const ExactIndices& exact,
                            const ExactIndices* second = nullptr) {
  SimulationSummary summary = run.summary;
  summary.second = second;
  summary.sample = &paired.sample();
  summary.paired = &paired;
  summary.exact = exact;
  return summary;
}

std::string Row(const std::string& name, const PairedSample& paired,
                const ExactIndices& exact,
                const ExactIndices* second = nullptr) {
  std::string text = "  ";
  char cell[64];
  std::snprintf(cell, sizeof cell, "%-14s", name.c_str());
  text += cell;
  for (const SampleFigure figure :
       {SampleFigure::kDeficitHours, SampleFigure::kPeakDeficits,
        SampleFigure::kUnservedMwh}) {
    const SampleInterval i = paired.Reported(figure, exact, second);
    std::snprintf(cell, sizeof cell, " %11s %10s", Number(i.estimate).c_str(),
                  Number(i.standard_error).c_str());
    text += cell;
  }
  const SampleInterval events =
      paired.Reported(SampleFigure::kEvents, exact, second);
  std::snprintf(cell, sizeof cell, " %11s\n", Number(events.estimate).c_str());
  return text + cell;
}

// Tie t's share of the system's deficit hours at its limit `way`.
double LimitShare(const AreasRun& run, size_t t, int way) {
  const double hours =
      static_cast<double>(run.sample->system().sample().deficit_hours());
  return hours > 0.0 ? static_cast<double>(run.sample->at_limit(t, way)) / hours
                     : 0.0;
}

// Each [[storage]] entry's MWh given a year, its devices' together (they
// come one by one, each entry's in turn).
std::vector<double> EntryDischarges(const System& system,
                                    const AreasSample& sample) {
  std::vector<double> entries;
  const double years =
      static_cast<double>(std::max<int64_t>(1, sample.years()));
  size_t device = 0;
  for (const StorageDevice& entry : system.storage) {
    double mwh = 0.0;
    for (int64_t i = 0; i < entry.count; ++i) {
      mwh += sample.discharged_mwh(device++);
    }
    entries.push_back(mwh / years);
  }
  return entries;
}

}  // namespace

std::string AreasSimulationText(const System& system, const AreasRun& run) {
  const AreasSample& sample = *run.sample;
  char line[256];
  std::snprintf(line, sizeof line,
                "\nMonte Carlo (%s, seed %llu, %lld independent years, %d "
                "threads)\n  stopped at %s\n",
                kGeneratorName,
                static_cast<unsigned long long>(run.summary.seed),
                static_cast<long long>(sample.years()), run.summary.threads,
                SimulationStopText(run.summary).c_str());
  std::string text = line;
  if (!system.storage.empty()) {
    text +=
        "  with storage, each area's serving it alone after the transfers;\n"
        "  the controls are without it\n";
  }
  text +=
      "  each index controlled by the same years with every tie at 0 (the\n"
      "  islands), the system's also by them as one copper plate, whose\n"
      "  values are exact\n"
      "  area              LOLH h/yr  std error   LOLE d/yr  std error  "
      "EUE MWh/yr  std error  LOLEV ev/yr\n";
  for (size_t a = 0; a < sample.area_count(); ++a) {
    text += Row(system.areas[a].name, sample.area(a), run.exact.alone[a]);
  }
  text += Row("system", sample.system(), run.exact.islands,
              &run.exact.copper_plate);
  const std::vector<double> discharges = EntryDischarges(system, sample);
  for (size_t e = 0; e < discharges.size(); ++e) {
    const StorageDevice& entry = system.storage[e];
    text += "  " + entry.name + " in " + system.areas[entry.area].name + ": " +
            Number(discharges[e]) + " MWh discharged a year\n";
  }
  if (system.interfaces.empty()) return text;
  text += "  ties at their limit, in the hours some area was short:\n";
  for (size_t t = 0; t < system.interfaces.size(); ++t) {
    const Interface& tie = system.interfaces[t];
    const std::string& first = system.areas[tie.first].name;
    const std::string& second = system.areas[tie.second].name;
    text += "    " + first + " - " + second + ": " +
            Number(100.0 * LimitShare(run, t, 0)) + " % to " + second + ", " +
            Number(100.0 * LimitShare(run, t, 1)) + " % to " + first + "\n";
  }
  return text;
}

void WriteAreasSimulationJson(JsonWriter& json, const System& system,
                              const AreasRun& run) {
  const AreasSample& sample = *run.sample;
  const SimulationSummary whole = SummaryOf(
      run, sample.system(), run.exact.islands, &run.exact.copper_plate);
  json.Name("montecarlo");
  json.BeginObject();
  WriteRunMembers(json, whole);
  WriteFigureMembers(json, whole);
  WriteEventMembers(json, *whole.sample);
  json.Name("areas");
  json.BeginObject();
  for (size_t a = 0; a < sample.area_count(); ++a) {
    const SimulationSummary area =
        SummaryOf(run, sample.area(a), run.exact.alone[a]);
    json.Name(system.areas[a].name);
    json.BeginObject();
    WriteFigureMembers(json, area);
    WriteEventMembers(json, *area.sample);
    json.EndObject();
  }
  json.EndObject();
  json.Name("interfaces");
  json.BeginArray();
  for (size_t t = 0; t < system.interfaces.size(); ++t) {
    const Interface& tie = system.interfaces[t];
    json.BeginObject();
    json.Name("between");
    json.BeginArray();
    json.Text(system.areas[tie.first].name);
    json.Text(system.areas[tie.second].name);
    json.EndArray();
    json.Member("at_limit_forward_share", LimitShare(run, t, 0));
    json.Member("at_limit_backward_share", LimitShare(run, t, 1));
    json.EndObject();
  }
  json.EndArray();
  if (run.worst != nullptr && run.worst->found)
    WriteWorstEvent(json, *run.worst);
  if (!system.storage.empty()) {
    const std::vector<double> discharges = EntryDischarges(system, sample);
    json.Name("storage");
    json.BeginArray();
    for (size_t e = 0; e < discharges.size(); ++e) {
      json.BeginObject();
      json.TextMember("name", system.storage[e].name);
      json.TextMember("area", system.areas[system.storage[e].area].name);
      json.Member("discharged_mwh", discharges[e]);
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();
}

}  // namespace adequacy
