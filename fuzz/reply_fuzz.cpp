// Fuzz target: arbitrary console input read line by line, each line tested
// as a what-if and a continue reply and parsed as a value list.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/reply.h"
#include "app/value_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* input = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (input == nullptr) return 0;  // fmemopen refuses empty buffers.
  // On the heap, so that a read past column 50 is an overflow report.
  auto line = std::make_unique<adequacy::ReplyLine>();
  while (adequacy::ReadReplyLine(input, line.get()) ==
         adequacy::ReadStatus::kOk) {
    adequacy::IsBlankReply(*line);
    adequacy::IsContinueReply(*line);
    adequacy::LoadParameters params;
    const auto failure = adequacy::ParseLoadParameters(*line, &params);
    for (float value : {params.d1, params.d2, params.d3, params.d4}) {
      // A value list only ever yields finite numbers.
      if (!std::isfinite(value)) std::abort();
    }
    if (failure.has_value()) {
      const int number = static_cast<int>(*failure);
      if (number != 24 && number != 59 && number != 64) std::abort();
    }
  }
  std::fclose(input);
  return 0;
}
