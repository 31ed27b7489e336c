#include "app/value_list.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace adequacy {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSign(char c) { return c == '+' || c == '-'; }
bool IsExponentLetter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q';
}

// Where a repeat count of nulls ends: the asterisk followed by a blank, a
// separator or the end of the reply.
bool EndsRepeat(char c) { return IsBlank(c) || c == ',' || c == '/'; }

// What an item turned out to be.
struct Item {
  enum Kind { kNull, kValue, kSlash, kRepeatNull, kRepeatValue } kind;
  float value = 0.0f;
  long count = 0;
};

class ValueListParser {
 public:
  explicit ValueListParser(const ReplyLine& line) : line_(line) {}

  // Reads the next item; returns a failure or fills *item.
  std::optional<Failure> Next(Item* item);

 private:
  bool AtEnd() const { return pos_ >= kReplyColumns; }
  char Peek() const { return line_[pos_]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(Peek())) ++pos_;
  }
  // The nearest character before the current one that is neither a blank
  // nor a tab is a comma.
  bool FollowsComma() const;
  bool AtLogical() const;
  int ItemEnd(bool number) const;
  std::optional<Failure> ReadValue(float* value);
  std::optional<Failure> ConvertNumber(int end, float* value) const;

  const ReplyLine& line_;
  int pos_ = 0;
  bool at_start_ = true;
};

bool ValueListParser::FollowsComma() const {
  for (int i = pos_ - 1; i >= 0; --i) {
    if (!IsBlank(line_[i])) return line_[i] == ',';
  }
  return false;
}

bool ValueListParser::AtLogical() const {
  auto is_logical = [](char c) {
    return c == 'T' || c == 't' || c == 'F' || c == 'f';
  };
  if (is_logical(Peek())) return true;
  return Peek() == '.' && pos_ + 1 < kReplyColumns &&
         is_logical(line_[pos_ + 1]);
}

// A number ends at a blank, tab, comma, slash, asterisk or closing
// parenthesis; a logical value at the same except the asterisk.
int ValueListParser::ItemEnd(bool number) const {
  int end = pos_;
  while (end < kReplyColumns) {
    const char c = line_[end];
    if (IsBlank(c) || c == ',' || c == '/' || c == ')') break;
    if (number && c == '*') break;
    ++end;
  }
  return end;
}

std::optional<Failure> ValueListParser::ConvertNumber(int end,
                                                      float* value) const {
  // Optional sign, digits with at most one point, then optionally an
  // exponent letter, an optional sign and digits.
  int i = pos_;
  std::string text;
  if (i < end && IsSign(line_[i])) text += line_[i++];
  int digits = 0;
  bool point = false;
  for (; i < end; ++i) {
    const char c = line_[i];
    if (IsDigit(c)) {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    text += c;
  }
  if (digits == 0) return Failure::kSyntaxError;
  if (i < end && IsExponentLetter(line_[i])) {
    text += 'e';
    ++i;
    if (i < end && IsSign(line_[i])) text += line_[i++];
    int exponent_digits = 0;
    for (; i < end && IsDigit(line_[i]); ++i, ++exponent_digits) {
      text += line_[i];
    }
    if (exponent_digits == 0) return Failure::kSyntaxError;
  }
  if (i != end) return Failure::kSyntaxError;
  // Rounded once, straight from the decimal to single precision.
  errno = 0;
  const float converted = std::strtof(text.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(converted)) {
    return Failure::kConversionError;
  }
  *value = converted;
  return std::nullopt;
}

std::optional<Failure> ValueListParser::ReadValue(float* value) {
  const char c = Peek();
  if (c == '\'' || c == '"') return Failure::kConversionError;
  if (c == '(') return Failure::kSyntaxError;
  if (AtLogical()) {
    const char letter = c == '.' ? line_[pos_ + 1] : c;
    *value = (letter == 'T' || letter == 't') ? -1.0f : 0.0f;
    pos_ = ItemEnd(false);
    return std::nullopt;
  }
  const int end = ItemEnd(true);
  if (end < kReplyColumns && line_[end] == '*') return Failure::kSyntaxError;
  if (auto failure = ConvertNumber(end, value)) return failure;
  pos_ = end;
  return std::nullopt;
}

std::optional<Failure> ValueListParser::Next(Item* item) {
  for (;;) {
    SkipBlanks();
    if (AtEnd()) return Failure::kEndOfFile;
    if (Peek() != ',') break;
    const bool null = at_start_ || FollowsComma();
    ++pos_;
    at_start_ = false;
    if (null) {
      item->kind = Item::kNull;
      return std::nullopt;
    }
    // Otherwise the comma only separated the previous value from this one.
  }
  at_start_ = false;
  if (Peek() == '/') {
    item->kind = Item::kSlash;
    return std::nullopt;
  }
  // A run of digits ended by an asterisk is a repeat count.
  const int end = ItemEnd(true);
  if (end < kReplyColumns && line_[end] == '*') {
    long count = 0;
    for (int i = pos_; i < end; ++i) {
      if (!IsDigit(line_[i])) return Failure::kSyntaxError;
      count = std::min(count * 10 + (line_[i] - '0'), 1000000000L);
    }
    if (count == 0) return Failure::kSyntaxError;
    item->count = count;
    pos_ = end + 1;
    if (AtEnd() || EndsRepeat(Peek())) {
      item->kind = Item::kRepeatNull;
      return std::nullopt;
    }
    item->kind = Item::kRepeatValue;
    return ReadValue(&item->value);
  }
  item->kind = Item::kValue;
  return ReadValue(&item->value);
}

}  // namespace

std::optional<Failure> ParseLoadParameters(const ReplyLine& line,
                                           LoadParameters* params) {
  float* const targets[] = {&params->d1, &params->d2, &params->d3, &params->d4};
  ValueListParser parser(line);
  long repeat_left = 0;
  bool repeat_null = false;
  float repeat_value = 0.0f;
  for (float* target : targets) {
    if (repeat_left > 0) {
      if (!repeat_null) *target = repeat_value;
      --repeat_left;
      continue;
    }
    Item item;
    if (auto failure = parser.Next(&item)) return failure;
    switch (item.kind) {
      case Item::kSlash:
        return std::nullopt;
      case Item::kNull:
        break;
      case Item::kValue:
        *target = item.value;
        break;
      case Item::kRepeatNull:
      case Item::kRepeatValue:
        repeat_null = item.kind == Item::kRepeatNull;
        repeat_value = item.value;
        if (!repeat_null) *target = repeat_value;
        repeat_left = item.count - 1;
        break;
    }
  }
  return std::nullopt;
}

}  // namespace adequacy
