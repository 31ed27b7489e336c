// Block writers: the only way the program writes records.  Each takes its
// values in a fixed order and writes a fixed group of records.
#ifndef ADEQUACY_REPORT_BLOCKS_H_
#define ADEQUACY_REPORT_BLOCKS_H_

#include <array>
#include <cstdint>

#include "direct/direct_pass.h"
#include "montecarlo/estimates.h"
#include "report/channel.h"

namespace adequacy {

// D1..D4 already truncated to whole megawatts.
using LoadEcho = std::array<int32_t, 4>;

void WriteDirectSolutionBlock(Channel& report, const DirectResult& result,
                              const std::array<SampleDayRow, 24>& rows,
                              const LoadEcho& echo);
void WriteTimeRecord(Channel& channel, float cpu_seconds);
void WriteConsoleSummary(Channel& console, const DirectResult& result,
                         const LoadEcho& echo);
void WriteWhatIfPrompt(Channel& console);
void WriteMonteCarloHeadings(Channel& report, Channel& console);
void WriteCheckpointRecord(Channel& channel, const Estimates& estimates);
void WriteContinuePrompt(Channel& console);
void WriteClosingMessages(Channel& console);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_BLOCKS_H_
