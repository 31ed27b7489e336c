#include "app/reply.h"

#include <algorithm>
#include <cstddef>

namespace adequacy {

ReadStatus ReadReplyLine(std::FILE* input, ReplyLine* line, int64_t longest) {
  // One more column than the reply holds, so that a carriage return at
  // column 51 can be dropped without losing column 50.
  std::array<char, kReplyColumns + 1> head;
  int64_t length = 0;
  int last = 0;
  bool line_feed = false;
  int c;
  // Unlocked: one thread reads the console, and a long line reads at the
  // speed of memory.
  while ((c = getc_unlocked(input)) != EOF) {
    if (c == '\n') {
      line_feed = true;
      break;
    }
    // One byte beyond the limit is read: it may be the carriage return
    // that the line feed makes part of the line end.
    if (length > longest) return ReadStatus::kTooLong;
    if (length < static_cast<int64_t>(head.size())) {
      head[length] = static_cast<char>(c);
    }
    ++length;
    last = c;
  }
  if (!line_feed) {
    if (std::ferror(input)) return ReadStatus::kReadError;
    if (length == 0) return ReadStatus::kEndOfInput;
  }
  if (line_feed && length > 0 && last == '\r') --length;
  if (length > longest) return ReadStatus::kTooLong;
  const size_t kept =
      static_cast<size_t>(std::min<int64_t>(length, kReplyColumns));
  line->fill(' ');
  std::copy_n(head.begin(), kept, line->begin());
  return ReadStatus::kOk;
}

bool IsBlankReply(const ReplyLine& line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

bool IsContinueReply(const ReplyLine& line) { return line[0] == '1'; }

}  // namespace adequacy
