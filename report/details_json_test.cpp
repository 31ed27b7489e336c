#include "report/details_json.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace adequacy {
namespace {

TEST(DetailsJsonTest, BeforeAnyCheckpoint) {
  RunDetails details;
  details.version = "1.2.3";
  details.seed = 3;
  details.started = 86400 + 3661;  // 1970-01-02 01:01:01 UTC.
  const std::string json = DetailsJson(details);
  EXPECT_EQ(json,
            "{\n"
            "  \"schema\": 1,\n"
            "  \"program\": {\n"
            "    \"name\": \"adequacy\",\n"
            "    \"version\": \"1.2.3\"\n"
            "  },\n"
            "  \"seed\": 3,\n"
            "  \"started\": \"1970-01-02T01:01:01Z\",\n"
            "  \"passes\": [],\n"
            "  \"checkpoints\": [],\n"
            "  \"years\": 0,\n"
            "  \"events\": null,\n"
            "  \"years_by_deficit_hours\": null,\n"
            "  \"statistics_missing\": null\n"
            "}\n");
  // Where memory ran out for the statistics, the same names, and why.
  details.years = 1000;
  details.statistics_lost = true;
  EXPECT_NE(DetailsJson(details).find(
                "  \"years\": 1000,\n"
                "  \"events\": null,\n"
                "  \"years_by_deficit_hours\": null,\n"
                "  \"statistics_missing\": \"memory ran out for them\"\n"),
            std::string::npos);
}

TEST(DetailsJsonTest, NumbersReadBackExactlyAndOddValuesAreNull) {
  RunDetails details;
  details.version = "a \"quoted\"\\ name\n";
  PassDetails pass;
  pass.params.d4 = 1424.5f;
  pass.result.lolh = 0.1 + 0.2;  // Needs all 17 digits.
  pass.result.mwheue = std::numeric_limits<double>::quiet_NaN();
  pass.result.allr = std::numeric_limits<double>::infinity();
  pass.result.pueueppm = 1e300;
  details.passes.push_back(pass);
  CheckpointDetails checkpoint;
  checkpoint.estimates = {1000.0, 0.196, 0.097, 0.021, 20.065};
  details.checkpoints.push_back(checkpoint);  // Without intervals.
  const std::string json = DetailsJson(details);
  EXPECT_NE(json.find("\"version\": \"a \\\"quoted\\\"\\\\ name\\u000a\""),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"D4\": 1424.5,"), std::string::npos);
  EXPECT_NE(json.find("\"LOLH\": 0.30000000000000004,"), std::string::npos);
  EXPECT_NE(json.find("\"MWHEUE\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"ALLR\": null,"), std::string::npos);
  EXPECT_NE(json.find("\"puEUEppm\": 1e+300,"), std::string::npos);
  EXPECT_NE(json.find("\"years\": 1000,"), std::string::npos);
  EXPECT_NE(json.find("\"estimate\": 0.196,\n"
                      "        \"standard_error\": null,\n"
                      "        \"ci95\": null\n"),
            std::string::npos)
      << json;
}

TEST(DetailsJsonTest, EventsAndYearsLeaveOutEmptyCounts) {
  YearsTally tally;
  // Year 0: one event of 2 hours; year 1: none.
  tally.AddDeficit(100, 900);
  tally.AddDeficit(101, 950);
  tally.EndYear();
  tally.EndYear();
  HourlyLoads loads;
  loads.fill(1000.0f);
  YearStatistics stats;
  stats.Add(tally, loads, 0);
  RunDetails details;
  details.statistics = &stats;
  details.years = stats.years();
  const std::string json = DetailsJson(details);
  EXPECT_NE(json.find("\"years\": 2,\n"
                      "  \"events\": {\n"
                      "    \"count\": 1,\n"
                      "    \"by_duration_hours\": {\n"
                      "      \"2\": 1\n"
                      "    },\n"
                      "    \"unserved_mwh_per_event\": {\n"
                      "      \"mean\": 150,\n"
                      "      \"max\": 150\n"
                      "    },\n"
                      "    \"mean_duration_hours\": 2\n"
                      "  },\n"
                      "  \"years_by_deficit_hours\": {\n"
                      "    \"0\": 1,\n"
                      "    \"2\": 1\n"
                      "  },\n"
                      "  \"statistics_missing\": null\n"),
            std::string::npos)
      << json;
}

}  // namespace
}  // namespace adequacy
