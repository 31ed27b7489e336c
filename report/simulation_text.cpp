#include "report/simulation_text.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "montecarlo/events/unit_draws.h"

namespace adequacy {
namespace {

struct IndexRow {
  const char* name;
  SampleFigure figure;
  const char* unit;
  double exact;  // NaN where the direct solution has no such index.
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// "1: 310, 2: 122, ..." for the nonzero counts, the first `most` of them.
std::string Counts(const std::vector<int64_t>& counts, size_t most) {
  std::string text;
  size_t shown = 0;
  for (size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    if (shown == most) return text + ", ...";
    text += (shown++ == 0 ? "" : ", ") + std::to_string(i) + ": " +
            std::to_string(counts[i]);
  }
  return text.empty() ? "none" : text;
}

std::vector<IndexRow> Rows(const Assessment& exact) {
  const double none = std::nan("");
  return {{"LOLH", SampleFigure::kDeficitHours, "h/yr", exact.lolh},
          {"LOLE", SampleFigure::kPeakDeficits, "d/yr", exact.lole},
          {"EUE", SampleFigure::kUnservedMwh, "MWh/yr", exact.eue},
          {"LOLD", SampleFigure::kDeficitDays, "d/yr", none},
          {"LOLEV", SampleFigure::kEvents, "ev/yr", none},
          {"ALOLP", SampleFigure::kHadDeficit, "", none}};
}

// The interval reported: controlled where a control applies.
SampleInterval Reported(const SimulationSummary& run, SampleFigure figure) {
  return run.paired ? run.paired->Reported(figure, run.exact, run.second)
                    : run.sample->Interval(figure);
}

bool WithStorage(const SimulationSummary& run) {
  return run.paired != nullptr && run.paired->storage();
}

// Each [[storage]] entry's MWh given a year and its share of the deficit
// hours empty (the mean of its devices').
struct EntryFigures {
  std::string name;
  double discharged_mwh = 0.0;
  double empty_share = 0.0;
};

std::vector<EntryFigures> Entries(const SimulationSummary& run) {
  std::vector<EntryFigures> entries;
  if (!WithStorage(run) || run.system == nullptr) return entries;
  const YearSample& sample = *run.sample;
  const double years = static_cast<double>(sample.years());
  const double deficit_hours = static_cast<double>(sample.deficit_hours());
  size_t device = 0;
  for (const StorageDevice& entry : run.system->storage) {
    EntryFigures figures;
    figures.name = entry.name;
    double empty = 0.0;
    for (int64_t i = 0; i < entry.count; ++i, ++device) {
      if (device < sample.discharged_mwh().size()) {
        figures.discharged_mwh += sample.discharged_mwh()[device] / years;
        empty += static_cast<double>(sample.empty_hours()[device]);
      }
    }
    figures.empty_share =
        deficit_hours > 0.0
            ? empty / static_cast<double>(entry.count) / deficit_hours
            : 0.0;
    entries.push_back(figures);
  }
  return entries;
}

}  // namespace

SampleInterval ReportedInterval(const SimulationSummary& run,
                                SampleFigure figure) {
  return Reported(run, figure);
}

std::string SimulationStopText(const SimulationSummary& run) {
  switch (run.stop) {
    case SimulationStop::kYears:
      return "the years asked for";
    case SimulationStop::kPrecision:
      return "relative standard errors of LOLH and EUE at most " +
             Number(run.precision);
    case SimulationStop::kMaxYears:
      return "the --max-years bound, BEFORE the relative standard errors "
             "reached " +
             Number(run.precision);
  }
  return "";
}

std::string SimulationText(const SimulationSummary& run,
                           const Assessment& exact) {
  const YearSample& sample = *run.sample;
  char line[256];
  std::snprintf(line, sizeof line,
                "\nMonte Carlo (%s, seed %llu, %lld independent years, %d "
                "threads)\n  stopped at %s\n",
                kGeneratorName, static_cast<unsigned long long>(run.seed),
                static_cast<long long>(sample.years()), run.threads,
                SimulationStopText(run).c_str());
  std::string text = line;
  const bool storage = WithStorage(run);
  text += storage ? "  with storage; the exact values are of the system "
                    "without it\n  (storage has none)\n"
                  : "";
  text += "  index      estimate  std error   95 % interval          exact";
  text += run.paired ? "       plain (std error)\n" : "\n";
  for (const IndexRow& row : Rows(exact)) {
    const SampleInterval i = Reported(run, row.figure);
    std::snprintf(
        line, sizeof line, "  %-6s %12s %10s   %-10s .. %-10s %-10s %-6s",
        row.name, Number(i.estimate).c_str(), Number(i.standard_error).c_str(),
        Number(i.low).c_str(), Number(i.high).c_str(),
        std::isnan(row.exact) ? "" : Number(row.exact).c_str(), row.unit);
    text += line;
    if (run.paired && run.paired->Controlled(row.figure)) {
      const SampleInterval plain = sample.Interval(row.figure);
      std::snprintf(line, sizeof line, " %s (%s)",
                    Number(plain.estimate).c_str(),
                    Number(plain.standard_error).c_str());
      text += line;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    text += "\n";
  }
  if (run.paired) {
    text += storage ? "  controlled: LOLH, LOLE and EUE by the same years "
                      "without storage,\n  LOLD, LOLEV and ALOLP by those "
                      "years' LOLH and EUE; storage often covers\n  the "
                      "peak hour and moves the shortfall: read LOLD\n"
                    : "  controlled: LOLD, LOLEV and ALOLP by the years' LOLH "
                      "and EUE\n";
  }
  for (const EntryFigures& entry : Entries(run)) {
    std::snprintf(line, sizeof line,
                  "  %s: %s MWh discharged a year, empty in %s %% of the "
                  "deficit hours\n",
                  entry.name.c_str(), Number(entry.discharged_mwh).c_str(),
                  Number(100.0 * entry.empty_share).c_str());
    text += line;
  }
  const double events = static_cast<double>(sample.events());
  if (sample.events() > 0) {
    std::snprintf(line, sizeof line,
                  "\nEvents: %lld in all; each %s hours and %s MWh unserved on "
                  "average, the largest %s MWh\n",
                  static_cast<long long>(sample.events()),
                  Number(sample.event_hours() / events).c_str(),
                  Number(sample.event_mwh() / events).c_str(),
                  Number(sample.largest_event_mwh()).c_str());
    text += line;
  } else {
    text += "\nEvents: none\n";
  }
  text +=
      "  by duration (hours: events): " + Counts(sample.events_by_hours(), 12) +
      "\n";
  text += "Years by deficit hours (hours: years): " +
          Counts(sample.years_by_deficit_hours(), 12) + "\n";
  return text;
}

void WriteSimulationJson(JsonWriter& json, const SimulationSummary& run) {
  json.Name("montecarlo");
  json.BeginObject();
  WriteRunMembers(json, run);
  WriteFigureMembers(json, run);
  WriteEventMembers(json, *run.sample);
  if (run.worst != nullptr && run.worst->found)
    WriteWorstEvent(json, *run.worst);
  json.EndObject();
}

void WriteWorstEvent(JsonWriter& json, const EventHours& worst) {
  json.Name("worst_event");
  json.BeginObject();
  json.IntegerMember("year", worst.year);
  json.IntegerMember("first_hour", worst.first_hour);
  json.IntegerMember("duration_hours", worst.duration_hours);
  json.Member("unserved_mwh", worst.unserved_mwh);
  json.Name("hourly");
  json.BeginArray();
  for (const EventHour& h : worst.hourly) {
    json.BeginObject();
    json.IntegerMember("hour", h.hour);
    json.Member("net_load_mw", h.net_load_mw);
    json.Member("available_mw", h.available_mw);
    json.Member("unserved_mw", h.unserved_mw);
    if (!h.area_margin_mw.empty()) {
      json.NumbersMember("area_margins_mw", h.area_margin_mw);
      json.NumbersMember("tie_flows_mw", h.tie_flow_mw);
    }
    if (!h.energy_mwh.empty()) {
      json.NumbersMember("devices_energy_mwh", h.energy_mwh);
      json.NumbersMember("devices_discharge_mw", h.discharge_mw);
    }
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteRunMembers(JsonWriter& json, const SimulationSummary& run) {
  const YearSample& sample = *run.sample;
  json.IntegerMember("years", sample.years());
  json.IntegerMember("seed", static_cast<int64_t>(run.seed));
  json.TextMember("generator", kGeneratorName);
  json.IntegerMember("threads", run.threads);
  json.TextMember("stopped_by", run.stop == SimulationStop::kYears ? "years"
                                : run.stop == SimulationStop::kPrecision
                                    ? "precision"
                                    : "max_years");
}

void WriteFigureMembers(JsonWriter& json, const SimulationSummary& run) {
  const YearSample& sample = *run.sample;
  for (const IndexRow& row : Rows(Assessment())) {
    const SampleInterval i = Reported(run, row.figure);
    const SampleInterval plain = sample.Interval(row.figure);
    json.Name(row.name);
    json.BeginObject();
    json.Member("estimate", i.estimate);
    json.Member("standard_error", i.standard_error);
    json.PairMember("ci95", i.low, i.high);
    json.Member("plain_estimate", plain.estimate);
    json.Member("plain_standard_error", plain.standard_error);
    json.BooleanMember("controlled", run.paired != nullptr &&
                                         run.paired->Controlled(row.figure));
    json.EndObject();
  }
  // The devices of a system with storage; a pair with another control
  // (areas alone) has none.
  if (WithStorage(run) && run.system != nullptr &&
      !run.system->storage.empty()) {
    json.Name("storage");
    json.BeginArray();
    for (const EntryFigures& entry : Entries(run)) {
      json.BeginObject();
      json.TextMember("name", entry.name);
      json.Member("discharged_mwh", entry.discharged_mwh);
      json.Member("empty_share", entry.empty_share);
      json.EndObject();
    }
    json.EndArray();
  }
}

void WriteEventMembers(JsonWriter& json, const YearSample& sample) {
  const auto counts = [&](const char* name, const std::vector<int64_t>& by) {
    json.Name(name);
    json.BeginObject();
    for (size_t n = 0; n < by.size(); ++n) {
      if (by[n] != 0) json.IntegerMember(std::to_string(n), by[n]);
    }
    json.EndObject();
  };
  const double events = static_cast<double>(sample.events());
  json.Name("events");
  json.BeginObject();
  json.IntegerMember("count", sample.events());
  counts("by_duration_hours", sample.events_by_hours());
  json.Name("unserved_mwh_per_event");
  json.BeginObject();
  json.Member("mean", sample.event_mwh() / events);
  json.Member("max", sample.largest_event_mwh());
  json.EndObject();
  json.Member("mean_duration_hours", sample.event_hours() / events);
  json.EndObject();
  counts("years_by_deficit_hours", sample.years_by_deficit_hours());
}

}  // namespace adequacy
