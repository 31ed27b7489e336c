// Reading one console reply line into the fixed 50-character reply text,
// and the two tests made on it.
#ifndef ADEQUACY_APP_REPLY_H_
#define ADEQUACY_APP_REPLY_H_

#include <array>
#include <cstdint>
#include <cstdio>

namespace adequacy {

inline constexpr int kReplyColumns = 50;

// The first 50 characters of the line typed, blank-padded on the right.
using ReplyLine = std::array<char, kReplyColumns>;

// The longest line read, in bytes before its line feed.  Without a bound
// an endless line (a pipe that never sends a line feed, /dev/zero) would be
// read for ever; 64 MiB takes a fraction of a second to read, and no reply
// typed or scripted comes near it.
inline constexpr int64_t kLongestReplyLine = int64_t{1} << 26;

enum class ReadStatus { kOk, kEndOfInput, kReadError, kTooLong };

// Consumes one whole line (up to a line feed, or to the end of input for a
// last line without one) of up to `longest` bytes; a longer one is
// kTooLong, and what follows its first `longest` bytes is left unread.  A
// carriage return just before the line feed is dropped.  Only input with no
// bytes at all is the end of input.
ReadStatus ReadReplyLine(std::FILE* input, ReplyLine* line,
                         int64_t longest = kLongestReplyLine);

// All 50 characters are blanks (code 32): an empty line is blank, a tab is
// not.
bool IsBlankReply(const ReplyLine& line);

// The first character is the digit 1.
bool IsContinueReply(const ReplyLine& line);

}  // namespace adequacy

#endif  // ADEQUACY_APP_REPLY_H_
