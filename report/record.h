// A record: one line built left to right from literals, text lines and
// numeric fields, each occupying exactly its width.
#ifndef ADEQUACY_REPORT_RECORD_H_
#define ADEQUACY_REPORT_RECORD_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "report/field.h"

namespace adequacy {

class Record {
 public:
  Record& Literal(std::string_view text) {
    text_ += text;
    return *this;
  }
  // A text line is one blank followed by the text.
  Record& TextLine(std::string_view text) {
    text_ += ' ';
    text_ += text;
    return *this;
  }
  Record& Fixed(double value, int width, int decimals) {
    text_ += RenderFixed(value, width, decimals, &overflow_);
    return *this;
  }
  Record& Integer(int32_t value, int width) {
    text_ += RenderInteger(value, width, &overflow_);
    return *this;
  }

  const std::string& text() const { return text_; }
  // True when some field of the record was filled with asterisks.
  bool overflow() const { return overflow_; }

 private:
  std::string text_;
  bool overflow_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_RECORD_H_
