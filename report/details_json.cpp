#include "report/details_json.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "report/json_writer.h"

namespace adequacy {
namespace {

std::string IsoTime(std::time_t time) {
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

void WritePass(JsonWriter& json, const PassDetails& pass) {
  json.BeginObject();
  json.Member("D1", pass.params.d1);
  json.Member("D2", pass.params.d2);
  json.Member("D3", pass.params.d3);
  json.Member("D4", pass.params.d4);
  json.Member("LOLH", pass.result.lolh);
  json.Member("LOLE", pass.result.lole);
  json.Member("ALLR", pass.result.allr);
  json.Member("MWHEUE", pass.result.mwheue);
  json.Member("MWHTOTAL", pass.result.mwhtotal);
  json.Member("puEUEppm", pass.result.pueueppm);
  json.Member("reserve_margin", pass.result.reserve_margin);
  json.EndObject();
}

void WriteEstimate(JsonWriter& json, const std::string& name, double estimate,
                   const Interval* interval, double lag_one) {
  json.Name(name);
  json.BeginObject();
  json.Member("estimate", estimate);
  if (interval) {
    json.Member("standard_error", interval->standard_error);
    json.Name("ci95");
    if (std::isnan(interval->low)) {
      json.Null();
    } else {
      json.BeginArray();
      json.Number(interval->low);
      json.Number(interval->high);
      json.EndArray();
    }
    json.Member("naive_standard_error", interval->naive_standard_error);
    json.Member("lag_one_correlation", lag_one);
  } else {
    json.Name("standard_error");
    json.Null();
    json.Name("ci95");
    json.Null();
  }
  json.EndObject();
}

const char* EngineName(EngineTier tier) {
  switch (tier) {
    case EngineTier::kFull:
      return "full";
    case EngineTier::kLean:
      return "lean";
    case EngineTier::kPlain:
      return "plain";
  }
  return "";
}

void WriteCheckpoint(JsonWriter& json, const CheckpointDetails& c) {
  json.BeginObject();
  json.IntegerMember("years", static_cast<int64_t>(c.estimates.yrs));
  json.Member("cpu_seconds", c.cpu_seconds);
  json.Member("wall_seconds", c.wall_seconds);
  json.TextMember("engine", EngineName(c.engine));
  json.IntegerMember("threads", c.threads);
  const EstimateIntervals& i = c.intervals;
  const bool known = c.has_intervals;
  WriteEstimate(json, "LOLH", c.estimates.lolh, known ? &i.lolh : nullptr,
                c.lag_one[0]);
  WriteEstimate(json, "LOLEV", c.estimates.lolev, known ? &i.lolev : nullptr,
                c.lag_one[1]);
  WriteEstimate(json, "ALOLP", c.estimates.alolp, known ? &i.alolp : nullptr,
                c.lag_one[2]);
  WriteEstimate(json, "MWHEUE", c.estimates.mwheue, known ? &i.mwheue : nullptr,
                c.lag_one[3]);
  json.EndObject();
}

// A histogram's non-zero entries, keyed by their index.
void WriteCounts(JsonWriter& json, const std::vector<int64_t>& counts) {
  json.BeginObject();
  for (size_t n = 0; n < counts.size(); ++n) {
    if (counts[n] != 0) json.IntegerMember(std::to_string(n), counts[n]);
  }
  json.EndObject();
}

void WriteEvents(JsonWriter& json, const YearStatistics& stats) {
  const double events = stats.Sum(YearFigure::kEvents);
  json.Name("events");
  json.BeginObject();
  json.IntegerMember("count", static_cast<int64_t>(events));
  json.Name("by_duration_hours");
  WriteCounts(json, stats.events_by_hours());
  json.Name("unserved_mwh_per_event");
  json.BeginObject();
  json.Member("mean", stats.Sum(YearFigure::kUnservedMwh) / events);
  json.Member("max", stats.largest_event_mwh());
  json.EndObject();
  json.Member("mean_duration_hours",
              stats.Sum(YearFigure::kDeficitHours) / events);
  json.EndObject();
  json.Name("years_by_deficit_hours");
  WriteCounts(json, stats.YearsByDeficitHours());
}

}  // namespace

std::string DetailsJson(const RunDetails& details) {
  JsonWriter json;
  json.BeginObject();
  json.IntegerMember("schema", kDetailsSchema);
  json.Name("program");
  json.BeginObject();
  json.TextMember("name", "adequacy");
  json.TextMember("version", details.version);
  json.EndObject();
  json.IntegerMember("seed", details.seed);
  json.TextMember("started", IsoTime(details.started));
  json.Name("passes");
  json.BeginArray();
  for (const PassDetails& pass : details.passes) WritePass(json, pass);
  json.EndArray();
  json.Name("checkpoints");
  json.BeginArray();
  for (const CheckpointDetails& c : details.checkpoints) {
    WriteCheckpoint(json, c);
  }
  json.EndArray();
  json.IntegerMember("years", details.years);
  if (details.statistics) {
    WriteEvents(json, *details.statistics);
  } else {
    json.Name("events");
    json.Null();
    json.Name("years_by_deficit_hours");
    json.Null();
  }
  // Says why the counts are null after a checkpoint, so that a script can
  // tell a run short of memory from one not yet simulating.
  json.Name("statistics_missing");
  if (details.statistics_lost) {
    json.Text("memory ran out for them");
  } else {
    json.Null();
  }
  json.EndObject();
  return json.Take();
}

}  // namespace adequacy
