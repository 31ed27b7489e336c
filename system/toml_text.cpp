#include "system/toml_text.h"

#include <cstdint>
#include <cstdio>

namespace adequacy {
namespace {

// The code point of the UTF-8 sequence at text[at], and its length in
// bytes; length 0 where the bytes are not UTF-8 (overlong forms and
// surrogates included).
char32_t Decode(std::string_view text, size_t at, size_t* length) {
  const auto byte = [&](size_t i) {
    return static_cast<unsigned char>(text[at + i]);
  };
  const unsigned char lead = byte(0);
  size_t size = 0;
  char32_t point = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2, point = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3, point = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4, point = lead & 0x07, least = 0x10000;
  }
  *length = 0;
  if (size == 0 || at + size > text.size()) return 0;
  for (size_t i = 1; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(i) & 0x3F);
  }
  if (point < least || point > 0x10FFFF ||
      (point >= 0xD800 && point <= 0xDFFF)) {
    return 0;
  }
  *length = size;
  return point;
}

std::string Escape(char32_t point) {
  char text[16];
  if (point <= 0xFFFF) {
    std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(point));
  } else {
    std::snprintf(text, sizeof text, "\\U%08X", static_cast<unsigned>(point));
  }
  return text;
}

// Rewrites one document; each step returns false once `error_` is set.
class Rewriter {
 public:
  Rewriter(std::string_view text, std::string* out, InputError* error)
      : text_(text), out_(out), error_(error) {}

  bool Run();

 private:
  bool Fail(const std::string& what) {
    error_->line = line_;
    error_->what = what;
    return false;
  }
  // Checks the byte at `at_` for a control character; counts lines.
  bool Allowed();
  // A character beyond ASCII at `at_`: its code point, `at_` past it.
  bool Wide(char32_t* point);
  bool Comment();
  // A string opening at `at_` with `quote`, one or three of them long.
  bool String(char quote, size_t quotes);
  // Where the string opening at `at_` ends: past its closing quotes, or
  // at the end of its line or of the text where it is left open (then
  // `*closed` is false); and whether it holds a character beyond ASCII.
  size_t StringEnd(char quote, size_t quotes, bool* wide, bool* closed) const;

  std::string_view text_;
  std::string* out_;
  InputError* error_;
  size_t at_ = 0;
  int64_t line_ = 1;
};

bool Rewriter::Allowed() {
  const unsigned char c = static_cast<unsigned char>(text_[at_]);
  if (c == '\n') ++line_;
  if ((c >= 0x20 && c != 0x7F) || c == '\t' || c == '\n' || c == '\r') {
    return true;
  }
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", c);
  return Fail(std::string("a control character (") + code +
              "); a system file is text");
}

bool Rewriter::Wide(char32_t* point) {
  size_t length = 0;
  *point = Decode(text_, at_, &length);
  if (length == 0) return Fail("bytes that are not UTF-8 text");
  at_ += length;
  return true;
}

bool Rewriter::Comment() {
  while (at_ < text_.size() && text_[at_] != '\n') {
    if (!Allowed()) return false;
    if (static_cast<unsigned char>(text_[at_]) < 0x80) {
      *out_ += text_[at_++];
      continue;
    }
    char32_t point = 0;
    if (!Wide(&point)) return false;
    *out_ += '?';
  }
  return true;
}

size_t Rewriter::StringEnd(char quote, size_t quotes, bool* wide,
                           bool* closed) const {
  const bool basic = quote == '"';
  size_t at = at_ + quotes;
  *wide = false;
  *closed = true;
  while (at < text_.size()) {
    const char c = text_[at];
    if (quotes == 1 && c == '\n') {
      *closed = false;
      return at;
    }
    if (static_cast<unsigned char>(c) >= 0x80) *wide = true;
    if (basic && c == '\\' && at + 1 < text_.size()) {
      at += 2;
      continue;
    }
    if (c != quote) {
      ++at;
      continue;
    }
    if (quotes == 1) return at + 1;
    size_t run = 0;
    while (at + run < text_.size() && text_[at + run] == quote) ++run;
    // A long string closes at a run of three or more; up to two quotes
    // before the last three belong to its content.
    if (run >= 3) return at + run;
    at += run;
  }
  *closed = false;
  return at;
}

bool Rewriter::String(char quote, size_t quotes) {
  bool wide = false;
  bool closed = false;
  const size_t end = StringEnd(quote, quotes, &wide, &closed);
  // A literal string with nothing beyond ASCII stays as it is; one with
  // such a character becomes a basic string, which can hold its escape.
  const bool literal = quote == '\'';
  const bool rewrite = literal && wide;
  const std::string delimiter(quotes, rewrite ? '"' : quote);
  *out_ += delimiter;
  at_ += quotes;
  // The content ends before the closing quotes, where there are some.
  const size_t close = closed ? end - quotes : end;
  while (at_ < close) {
    if (!Allowed()) return false;
    const char c = text_[at_];
    if (static_cast<unsigned char>(c) >= 0x80) {
      char32_t point = 0;
      if (!Wide(&point)) return false;
      *out_ += Escape(point);
      continue;
    }
    if (rewrite && (c == '\\' || c == '"')) *out_ += '\\';
    if (!rewrite && !literal && c == '\\' && at_ + 1 < close) {
      // An escape is copied whole; one of a wide character is no escape
      // TOML knows, and stays one the parser refuses.
      *out_ += c;
      ++at_;
      if (static_cast<unsigned char>(text_[at_]) >= 0x80) {
        char32_t point = 0;
        if (!Wide(&point)) return false;
        *out_ += '?';
        continue;
      }
      if (!Allowed()) return false;
    }
    *out_ += text_[at_++];
  }
  if (closed) {
    *out_ += delimiter;
    at_ = end;
  }
  return true;
}

bool Rewriter::Run() {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    at_ = kByteOrderMark.size();
  }
  out_->reserve(text_.size());
  while (at_ < text_.size()) {
    if (!Allowed()) return false;
    const char c = text_[at_];
    if (static_cast<unsigned char>(c) >= 0x80) {
      return Fail("a character beyond ASCII outside a string or comment");
    }
    if (c == '#') {
      if (!Comment()) return false;
    } else if (c == '"' || c == '\'') {
      const bool triple = text_.substr(at_, 3) == std::string(3, c);
      if (!String(c, triple ? 3 : 1)) return false;
    } else {
      *out_ += c;
      ++at_;
    }
  }
  return true;
}

}  // namespace

bool AsciiToml(std::string_view text, std::string* ascii, InputError* error) {
  ascii->clear();
  return Rewriter(text, ascii, error).Run();
}

}  // namespace adequacy
