#include "app/reply.h"

#include <algorithm>
#include <cstddef>

namespace adequacy {

ReadStatus ReadReplyLine(std::FILE* input, ReplyLine* line) {
  // One more column than the reply holds, so that a carriage return at
  // column 51 can be dropped without losing column 50.
  std::array<char, kReplyColumns + 1> head;
  size_t length = 0;
  int last = 0;
  bool line_feed = false;
  int c;
  while ((c = std::getc(input)) != EOF) {
    if (c == '\n') {
      line_feed = true;
      break;
    }
    if (length < head.size()) head[length] = static_cast<char>(c);
    ++length;
    last = c;
  }
  if (!line_feed) {
    if (std::ferror(input)) return ReadStatus::kReadError;
    if (length == 0) return ReadStatus::kEndOfInput;
  }
  if (line_feed && length > 0 && last == '\r') --length;
  const size_t kept = std::min<size_t>(length, kReplyColumns);
  line->fill(' ');
  std::copy_n(head.begin(), kept, line->begin());
  return ReadStatus::kOk;
}

bool IsBlankReply(const ReplyLine& line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

bool IsContinueReply(const ReplyLine& line) { return line[0] == '1'; }

}  // namespace adequacy
