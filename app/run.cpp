#include "app/run.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/clock.h"
#include "app/progress.h"
#include "app/reply.h"
#include "app/standard_streams.h"
#include "app/value_list.h"
#include "direct/direct_pass.h"
#include "model/availability.h"
#include "model/truncate.h"
#include "montecarlo/phase.h"
#include "report/blocks.h"
#include "report/channel.h"

namespace adequacy {
namespace {

// The tables live for the whole run; nothing is allocated per pass.
AvailabilityTable g_table;
HourlyLoads g_loads;

void ReadReplyOrStop(ReplyLine* reply) {
  switch (ReadReplyLine(stdin, reply)) {
    case ReadStatus::kOk:
      return;
    case ReadStatus::kEndOfInput:
      Stop(Failure::kEndOfFile, kConsoleInput);
    case ReadStatus::kReadError:
      Stop(Failure::kReadError, kConsoleInput);
  }
}

LoadEcho EchoOf(const LoadParameters& params) {
  return {TruncateToInt32(params.d1), TruncateToInt32(params.d2),
          TruncateToInt32(params.d3), TruncateToInt32(params.d4)};
}

// Direct-solution passes until a blank reply; leaves g_loads holding the
// hourly loads of the last pass.
void RunWhatIfLoop(Channel& report, Channel& console, float start_seconds) {
  LoadParameters params;
  float phase_seconds = 0.0f;
  ReplyLine reply;
  for (;;) {
    const DirectResult result = RunDirectPass(params, g_table, &g_loads);
    const LoadEcho echo = EchoOf(params);
    WriteDirectSolutionBlock(report, result, SampleDayRows(g_table, g_loads),
                             echo);
    // The stored reading doubles as the flag: the time record is written
    // while it is not above 0, normally after the first pass only.
    if (!(phase_seconds > 0.0f)) {
      phase_seconds = ReadCpuClock();
      WriteTimeRecord(report, ElapsedSeconds(start_seconds, phase_seconds));
    }
    WriteConsoleSummary(console, result, echo);
    WriteWhatIfPrompt(console);
    ReadReplyOrStop(&reply);
    if (IsBlankReply(reply)) return;
    if (auto failure = ParseLoadParameters(reply, &params)) {
      Stop(*failure, kValueList);
    }
  }
}

void RunMonteCarlo(Channel& report, Channel& console) {
  const float start_seconds = ReadCpuClock();
  MonteCarloPhase phase(g_loads);
  WriteMonteCarloHeadings(report, console);
  ProgressDisplay progress(
      StatusLineWanted(isatty(STDERR_FILENO) == 1, std::getenv("TERM")),
      stderr);
  ReplyLine reply;
  do {
    progress.Start(static_cast<int64_t>(phase.state().totals.years),
                   phase.checkpoint());
    const Estimates estimates = phase.RunToCheckpoint(
        [&progress](int64_t years) { progress.Update(years); });
    progress.Finish();
    WriteCheckpointRecord(report, estimates);
    WriteCheckpointRecord(console, estimates);
    const float now = ReadCpuClock();
    WriteTimeRecord(report, ElapsedSeconds(start_seconds, now));
    WriteTimeRecord(console, ElapsedSeconds(start_seconds, now));
    phase.AdvanceCheckpoint();
    WriteContinuePrompt(console);
    ReadReplyOrStop(&reply);
  } while (IsContinueReply(reply));
  WriteClosingMessages(console);
  ReadReplyOrStop(&reply);
}

}  // namespace

int Run() {
  OpenClosedStandardStreams();
  Channel report = OpenReportFile();
  Channel console = ConsoleChannel();
  const float start_seconds = ReadCpuClock();
  g_table.Build();
  RunWhatIfLoop(report, console, start_seconds);
  RunMonteCarlo(report, console);
  return 0;
}

}  // namespace adequacy
