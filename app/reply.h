// Reading one console reply line into the fixed 50-character reply text,
// and the two tests made on it.
#ifndef ADEQUACY_APP_REPLY_H_
#define ADEQUACY_APP_REPLY_H_

#include <array>
#include <cstdio>

namespace adequacy {

inline constexpr int kReplyColumns = 50;

// The first 50 characters of the line typed, blank-padded on the right.
using ReplyLine = std::array<char, kReplyColumns>;

enum class ReadStatus { kOk, kEndOfInput, kReadError };

// Consumes one whole line (up to a line feed, or to the end of input for a
// last line without one), of any length.  A carriage return just before
// the line feed is dropped.  Only input with no bytes at all is the end of
// input.
ReadStatus ReadReplyLine(std::FILE* input, ReplyLine* line);

// All 50 characters are blanks (code 32): an empty line is blank, a tab is
// not.
bool IsBlankReply(const ReplyLine& line);

// The first character is the digit 1.
bool IsContinueReply(const ReplyLine& line);

}  // namespace adequacy

#endif  // ADEQUACY_APP_REPLY_H_
