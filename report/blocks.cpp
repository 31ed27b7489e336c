#include "report/blocks.h"

namespace adequacy {
namespace {

constexpr const char* kLoadEchoLabel = "D1 MIN, D2 WIN, D3 SUM, D4 ADD =";
constexpr const char* kMonteCarloHeading =
    "          MONTECARLO SEQUENTIAL SOLUTION";
constexpr const char* kMonteCarloColumns =
    "  YRS       LOLH       LOLEV      ALOLP     MWHEUE";

Record LoadEchoRecord(const LoadEcho& echo, int width) {
  Record record;
  record.Literal(kLoadEchoLabel);
  for (int32_t value : echo) record.Integer(value, width);
  return record;
}

void WriteSampleDays(Channel& report,
                     const std::array<SampleDayRow, 24>& rows) {
  report.Write(Record().TextLine(
      "        WINTER             SUMMER            OFF PEAK"));
  report.Write(Record().TextLine(
      "HR    MW     LOLP        MW     LOLP        MW    LOLP"));
  for (const SampleDayRow& row : rows) {
    Record record;
    record.Integer(row.hour, 3);
    for (int day = 0; day < 3; ++day) {
      record.Fixed(row.load[day], 7, 0).Fixed(row.lolp[day], 12, 8);
    }
    report.Write(record);
  }
}

}  // namespace

void WriteDirectSolutionBlock(Channel& report, const DirectResult& result,
                              const std::array<SampleDayRow, 24>& rows,
                              const LoadEcho& echo) {
  report.Write(Record().TextLine("         DIRECT SOLUTION"));
  report.WriteBlank();
  report.Write(Record().TextLine("    LOLH       LOLE       ALLR"));
  report.Write(Record()
                   .Fixed(result.lolh, 11, 6)
                   .Fixed(result.lole, 11, 6)
                   .Fixed(result.allr, 11, 6));
  report.WriteBlank();
  report.Write(Record().TextLine("   MWHEUE    MWHTOTAL   puEUEppm"));
  report.Write(Record()
                   .Fixed(result.mwheue, 11, 5)
                   .Fixed(result.mwhtotal, 12, 0)
                   .Fixed(result.pueueppm, 10, 5));
  report.WriteEmpty();
  report.Write(Record()
                   .Literal("   RESERVE MARGIN =")
                   .Fixed(result.reserve_margin, 8, 2)
                   .Literal("%"));
  report.WriteBlank();
  WriteSampleDays(report, rows);
  report.WriteEmpty();
  report.Write(LoadEchoRecord(echo, 7));
}

void WriteTimeRecord(Channel& channel, float cpu_seconds) {
  channel.Write(
      Record().Literal("TIME =").Fixed(cpu_seconds, 10, 3).Literal(" SEC"));
}

void WriteConsoleSummary(Channel& console, const DirectResult& result,
                         const LoadEcho& echo) {
  console.Write(Record().TextLine("    LOLH       LOLE     puEUEppm"));
  console.Write(Record()
                    .Fixed(result.lolh, 11, 6)
                    .Fixed(result.lole, 11, 6)
                    .Fixed(result.pueueppm, 11, 3));
  console.Write(LoadEchoRecord(echo, 10));
}

void WriteWhatIfPrompt(Channel& console) {
  console.Write(
      Record().TextLine("ENTER NEW D1,D2,D3,D4 OR RETURN TO CONTINUE"));
}

void WriteMonteCarloHeadings(Channel& report, Channel& console) {
  report.WriteBlank();
  report.WriteBlank();
  report.Write(Record().TextLine(kMonteCarloHeading));
  report.WriteBlank();
  report.Write(Record().TextLine(kMonteCarloColumns));
  console.Write(Record().TextLine(kMonteCarloHeading));
  console.Write(Record().TextLine(kMonteCarloColumns));
}

void WriteCheckpointRecord(Channel& channel, const Estimates& estimates) {
  channel.Write(Record()
                    .Fixed(estimates.yrs, 8, 0)
                    .Fixed(estimates.lolh, 11, 6)
                    .Fixed(estimates.lolev, 11, 6)
                    .Fixed(estimates.alolp, 11, 6)
                    .Fixed(estimates.mwheue, 10, 3));
}

void WriteContinuePrompt(Channel& console) {
  console.Write(Record().TextLine("CONTINUE MONTECARLO? 1=YES"));
}

void WriteClosingMessages(Channel& console) {
  console.Write(Record().TextLine("FILE OP CONTAINS THE OUTPUT REPORT"));
  console.Write(Record().TextLine("PRESS ENTER TO END THIS PROGRAM"));
}

}  // namespace adequacy
