// A JSON document written member by member, with two-space indentation and
// one member or element per line.  Numbers are written in the shortest form
// that reads back as the same double, so a script gets every bit.
#ifndef ADEQUACY_REPORT_JSON_WRITER_H_
#define ADEQUACY_REPORT_JSON_WRITER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace adequacy {

class JsonWriter {
 public:
  // The document, ended by a line end.
  std::string Take() { return std::move(text_) + "\n"; }

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // The name of the next member of an object.
  void Name(const std::string& name);

  // Shortest text that reads back as the same double; null where JSON has
  // no number for it.
  void Number(double value);
  void Integer(int64_t value);
  void Text(const std::string& value);
  void Null();
  void Boolean(bool value);

  // A member with a simple value.
  void Member(const std::string& name, double value) {
    Name(name);
    Number(value);
  }
  void IntegerMember(const std::string& name, int64_t value) {
    Name(name);
    Integer(value);
  }
  // A member whose value is a pair of numbers, such as an interval.
  void PairMember(const std::string& name, double first, double second) {
    Name(name);
    BeginArray();
    Number(first);
    Number(second);
    EndArray();
  }
  // A member whose value is a list of numbers.
  void NumbersMember(const std::string& name,
                     const std::vector<double>& values) {
    Name(name);
    BeginArray();
    for (double value : values) Number(value);
    EndArray();
  }
  void BooleanMember(const std::string& name, bool value) {
    Name(name);
    Boolean(value);
  }
  void TextMember(const std::string& name, const std::string& value) {
    Name(name);
    Text(value);
  }

 private:
  void Open(char bracket);
  void Close(char bracket);
  // Before a value: a comma after the previous one and a new line, unless
  // the value follows its name.
  void Separate();
  void NewLine();
  void String(const std::string& value);

  std::string text_;
  int depth_ = 0;
  bool first_ = true;
  bool named_ = false;
};

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_JSON_WRITER_H_
