#include "report/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace adequacy {

void JsonWriter::Name(const std::string& name) {
  Separate();
  String(name);
  text_ += ": ";
  named_ = true;
}

void JsonWriter::Number(double value) {
  Separate();
  if (!std::isfinite(value)) {
    text_ += "null";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text_.append(buffer, result.ptr);
}

void JsonWriter::Integer(int64_t value) {
  Separate();
  text_ += std::to_string(value);
}

void JsonWriter::Text(const std::string& value) {
  Separate();
  String(value);
}

void JsonWriter::Null() {
  Separate();
  text_ += "null";
}

void JsonWriter::Boolean(bool value) {
  Separate();
  text_ += value ? "true" : "false";
}

void JsonWriter::Open(char bracket) {
  Separate();
  text_ += bracket;
  ++depth_;
  first_ = true;
}

void JsonWriter::Close(char bracket) {
  --depth_;
  if (!first_) NewLine();
  text_ += bracket;
  first_ = false;
}

void JsonWriter::Separate() {
  if (named_) {
    named_ = false;
    return;
  }
  if (!first_) text_ += ',';
  if (depth_ > 0) NewLine();
  first_ = false;
}

void JsonWriter::NewLine() {
  text_ += '\n';
  text_.append(2 * depth_, ' ');
}

void JsonWriter::String(const std::string& value) {
  text_ += '"';
  for (unsigned char c : value) {
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      text_ += escape;
    } else {
      text_ += static_cast<char>(c);
    }
  }
  text_ += '"';
}

}  // namespace adequacy
