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

std::string StopText(const SimulationSummary& run) {
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
          {"LOLEV", SampleFigure::kEvents, "ev/yr", none},
          {"ALOLP", SampleFigure::kHadDeficit, "", none}};
}

}  // namespace

std::string SimulationText(const SimulationSummary& run,
                           const Assessment& exact) {
  const YearSample& sample = *run.sample;
  char line[256];
  std::snprintf(line, sizeof line,
                "\nMonte Carlo (%s, seed %llu, %lld independent years, %d "
                "threads)\n  stopped at %s\n",
                kGeneratorName, static_cast<unsigned long long>(run.seed),
                static_cast<long long>(sample.years()), run.threads,
                StopText(run).c_str());
  std::string text = line;
  text += "  index      estimate  std error   95 % interval          exact\n";
  for (const IndexRow& row : Rows(exact)) {
    const SampleInterval i = sample.Interval(row.figure);
    std::snprintf(
        line, sizeof line, "  %-6s %12s %10s   %-10s .. %-10s %s %s\n",
        row.name, Number(i.estimate).c_str(), Number(i.standard_error).c_str(),
        Number(i.low).c_str(), Number(i.high).c_str(),
        std::isnan(row.exact) ? "" : Number(row.exact).c_str(), row.unit);
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
  const YearSample& sample = *run.sample;
  json.Name("montecarlo");
  json.BeginObject();
  json.IntegerMember("years", sample.years());
  json.IntegerMember("seed", static_cast<int64_t>(run.seed));
  json.TextMember("generator", kGeneratorName);
  json.IntegerMember("threads", run.threads);
  json.TextMember("stopped_by", run.stop == SimulationStop::kYears ? "years"
                                : run.stop == SimulationStop::kPrecision
                                    ? "precision"
                                    : "max_years");
  for (const IndexRow& row : Rows(Assessment())) {
    const SampleInterval i = sample.Interval(row.figure);
    json.Name(row.name);
    json.BeginObject();
    json.Member("estimate", i.estimate);
    json.Member("standard_error", i.standard_error);
    json.Name("ci95");
    json.BeginArray();
    json.Number(i.low);
    json.Number(i.high);
    json.EndArray();
    json.EndObject();
  }
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
  json.EndObject();
}

}  // namespace adequacy
