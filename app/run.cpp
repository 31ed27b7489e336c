#include "app/run.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/arguments.h"
#include "app/assess.h"
#include "app/capacity.h"
#include "app/clock.h"
#include "app/details_file.h"
#include "app/progress.h"
#include "app/reply.h"
#include "app/standard_streams.h"
#include "app/terminal.h"
#include "app/value_list.h"
#include "app/version.h"
#include "direct/direct_pass.h"
#include "model/availability.h"
#include "model/truncate.h"
#include "montecarlo/phase.h"
#include "report/blocks.h"
#include "report/channel.h"
#include "report/interval_line.h"
#include "report/usage.h"

namespace adequacy {
namespace {

// The exit status of a command line that is not understood, and of a
// companion file that cannot be written.
constexpr int kMisuseStatus = 2;
constexpr int kDetailsStatus = 1;

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
    case ReadStatus::kTooLong:
      Stop(Failure::kInputRecordTooLong, kConsoleInput);
  }
}

LoadEcho EchoOf(const LoadParameters& params) {
  return {TruncateToInt32(params.d1), TruncateToInt32(params.d2),
          TruncateToInt32(params.d3), TruncateToInt32(params.d4)};
}

// Direct-solution passes until a blank reply; leaves g_loads holding the
// hourly loads of the last pass.
void RunWhatIfLoop(Channel& report, Channel& console, float start_seconds,
                   DetailsFile& details) {
  LoadParameters params;
  float phase_seconds = 0.0f;
  ReplyLine reply;
  for (;;) {
    const DirectResult result = RunDirectPass(params, g_table, &g_loads);
    if (details.wanted()) {
      details.content().passes.push_back({params, result});
      details.Save();
    }
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

// What the companion file and the terminal are told of a checkpoint.
CheckpointDetails CheckpointDetailsOf(const Estimates& estimates,
                                      const YearStatistics* stats) {
  CheckpointDetails c;
  c.estimates = estimates;
  if (!stats) return c;
  try {
    c.intervals = IntervalsOf(estimates, *stats);
    c.has_intervals = true;
  } catch (const std::bad_alloc&) {
    // Working them out takes a table; without it they are not known, and
    // the run goes on as without them.
  }
  for (int f = 0; f < kYearFigures; ++f) {
    c.lag_one[f] = LagOneCorrelation(*stats, static_cast<YearFigure>(f));
  }
  return c;
}

void RunMonteCarlo(Channel& report, Channel& console, DetailsFile& details) {
  const float start_seconds = ReadCpuClock();
  const auto start_time = std::chrono::steady_clock::now();
  MonteCarloPhase phase(g_loads);
  WriteMonteCarloHeadings(report, console);
  const bool status_line =
      StatusLineWanted(isatty(STDERR_FILENO) == 1, std::getenv("TERM"));
  if (status_line) GuardStatusLine(STDERR_FILENO);
  ProgressDisplay progress(status_line, stderr,
                           [] { return ProbeTerminal(STDERR_FILENO); });
  ReplyLine reply;
  do {
    progress.Start(static_cast<int64_t>(phase.state().totals.years),
                   phase.checkpoint());
    const Estimates estimates =
        phase.RunToCheckpoint([&progress](int64_t years, double share) {
          progress.Update(years, share);
        });
    progress.Finish();
    WriteCheckpointRecord(report, estimates);
    WriteCheckpointRecord(console, estimates);
    // Only worked out where they are shown or kept.
    CheckpointDetails checkpoint;
    if (status_line || details.wanted()) {
      checkpoint = CheckpointDetailsOf(estimates, phase.statistics());
    }
    // Like the status line, only for a person at the terminal: a run in
    // the background writes nothing over the shell's prompt.
    if (status_line && checkpoint.has_intervals &&
        ProbeTerminal(STDERR_FILENO).foreground) {
      WriteText(stderr, IntervalLine(checkpoint.intervals));
    }
    const float now = ReadCpuClock();
    WriteTimeRecord(report, ElapsedSeconds(start_seconds, now));
    WriteTimeRecord(console, ElapsedSeconds(start_seconds, now));
    if (details.wanted()) {
      checkpoint.engine = phase.tier();
      checkpoint.threads = phase.threads();
      checkpoint.cpu_seconds = ElapsedSeconds(start_seconds, now);
      checkpoint.wall_seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                        start_time)
              .count();
      details.content().checkpoints.push_back(checkpoint);
      details.content().years =
          static_cast<int64_t>(phase.state().totals.years);
      details.content().statistics = phase.statistics();
      details.content().statistics_lost = phase.statistics_lost();
      details.Save();
    }
    phase.AdvanceCheckpoint();
    WriteContinuePrompt(console);
    ReadReplyOrStop(&reply);
  } while (IsContinueReply(reply));
  WriteClosingMessages(console);
  ReadReplyOrStop(&reply);
}

// The options describe the program and end; none opens or touches OP.
int RunOption(const Arguments& arguments) {
  switch (arguments.invocation) {
    case Invocation::kHelp:
      return WriteText(stdout, UsageText(kLongestReplyLine)) ? 0 : 1;
    case Invocation::kVersion:
      return WriteText(stdout, VersionText(kVersion)) ? 0 : 1;
    case Invocation::kMisuse:
    case Invocation::kDialogue:
      break;
  }
  const std::string& offending = arguments.offending;
  switch (arguments.misuse) {
    case Misuse::kMissingFileName:
      WriteText(stderr, MissingFileNameText(offending));
      break;
    case Misuse::kExtra:
      WriteText(stderr, ExtraArgumentText(offending));
      break;
    case Misuse::kNone:
    case Misuse::kUnknown:
      WriteText(stderr, UnknownArgumentText(offending));
      break;
  }
  return kMisuseStatus;
}

// The dialogue of the program, from opening OP to the last reply; with
// `details_path`, the companion file too.  OP is held first, so that a run
// that must stop because another holds it touches nothing of that run's,
// and emptied only once the companion file is made, so that a companion
// that cannot be written leaves the last report as it was.
int RunDialogue(const std::string& details_path) {
  OpenClosedStandardStreams();
  const HeldReport held = HoldReportFile();
  DetailsFile details;
  if (!details_path.empty() && !details.Create(details_path)) {
    ReleaseReportFile(held);
    return kDetailsStatus;
  }
  Channel report = StartReportFile(held);
  Channel console = ConsoleChannel();
  const float start_seconds = ReadCpuClock();
  g_table.Build();
  RunWhatIfLoop(report, console, start_seconds, details);
  RunMonteCarlo(report, console, details);
  return 0;
}

}  // namespace

int Run(int argc, const char* const* argv) {
  // A write past the file-size limit then fails like a full disk, and one
  // to a pipe whose reader has gone fails too: each is told and stops the
  // run as a failed write, instead of killing it without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  try {
    // The commands for a system of one's own come first: the dialogue's
    // command line stays exactly as it was.
    if (argc > 1 && std::string(argv[1]) == "assess") {
      return RunAssess(argc - 1, argv + 1);
    }
    if (argc > 1 && std::string(argv[1]) == "capacity") {
      return RunCapacity(argc - 1, argv + 1);
    }
    const Arguments arguments = ParseArguments(argc, argv);
    if (arguments.invocation != Invocation::kDialogue) {
      return RunOption(arguments);
    }
    return RunDialogue(arguments.details_path);
  } catch (const std::bad_alloc&) {
    // The simulation carries on in whatever memory it gets; this is a
    // record, a console buffer or an argument that could not be had.
    // Every record written so far is whole.
    Stop(Failure::kInsufficientMemory, kNoFile);
  }
  return 0;
}

}  // namespace adequacy
