#include "system/series_csv.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace adequacy {
namespace {

std::string_view Trim(std::string_view text) {
  const auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
  };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

// A header names the column: it cannot start the way a number does, so
// that a mistyped first value ("12O0") is refused, not skipped.
bool LooksLikeHeader(std::string_view field) {
  const char c = field.front();
  if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') return false;
  const std::string lower(field.substr(0, 3));
  return lower != "nan" && lower != "NaN" && lower != "inf" && lower != "Inf";
}

// A quoted excerpt of a line for a message, cut short where it is long.
std::string Excerpt(std::string_view field) {
  constexpr size_t kLongest = 40;
  std::string text(field.substr(0, kLongest));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  if (field.size() > kLongest) text += "...";
  return "'" + text + "'";
}

// One value of a series: a finite number, at least 0; `where` says which
// column it is in, for the message.
bool ParseValue(std::string_view field, int64_t line, const std::string& where,
                double* value, InputError* error) {
  const auto [rest, status] =
      std::from_chars(field.data(), field.data() + field.size(), *value);
  error->line = line;
  if (status == std::errc::result_out_of_range) {
    error->what = where + Excerpt(field) + " is out of a double's range";
    return false;
  }
  if (status != std::errc() || rest != field.data() + field.size()) {
    error->what = where + Excerpt(field) + " is not a number";
    return false;
  }
  if (!std::isfinite(*value)) {
    error->what = where + Excerpt(field) + " is not a finite number";
    return false;
  }
  if (*value < 0.0) {
    error->what = where + "a negative value, " + Excerpt(field) + " MW";
    return false;
  }
  *value += 0.0;  // -0 is 0.
  return true;
}

// The fields of a CSV line, split at commas and trimmed.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t comma = line.find(',');
    fields.push_back(Trim(line.substr(0, comma)));
    if (comma == std::string_view::npos) return fields;
    line.remove_prefix(comma + 1);
  }
}

}  // namespace

bool ParseSeries(std::string_view text, std::vector<double>* values,
                 InputError* error) {
  int64_t line = 0;
  bool first = true;
  // A first row of data with commas makes a table: its values are in the
  // one field of that row that holds a number.
  size_t column = std::string_view::npos;
  bool decided = false;
  while (!text.empty()) {
    ++line;
    const size_t end = text.find('\n');
    std::string_view field = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    field = Trim(field.substr(0, field.find('#')));
    if (field.empty()) continue;
    const bool header = first && LooksLikeHeader(field);
    first = false;
    if (header) continue;
    const bool table = !decided && field.find(',') != field.npos;
    decided = true;
    if (table) {
      const std::vector<std::string_view> fields = Fields(field);
      size_t numeric = 0;
      for (size_t i = 0; i < fields.size(); ++i) {
        double ignored = 0.0;
        InputError quiet;
        if (!fields[i].empty() && !LooksLikeHeader(fields[i]) &&
            ParseValue(fields[i], line, "", &ignored, &quiet)) {
          column = i;
          ++numeric;
        }
      }
      if (numeric != 1) {
        error->line = line;
        error->what = "a row of " + std::to_string(fields.size()) +
                      " fields with " + std::to_string(numeric) +
                      " numbers: name the column to read with column = ";
        return false;
      }
    }
    if (column != std::string_view::npos) {
      const std::vector<std::string_view> fields = Fields(field);
      if (column >= fields.size()) {
        error->line = line;
        error->what = "the row has " + std::to_string(fields.size()) +
                      (fields.size() == 1 ? " field" : " fields") +
                      "; the values are in field " + std::to_string(column + 1);
        return false;
      }
      field = fields[column];
    }
    double value = 0.0;
    if (!ParseValue(field, line, "", &value, error)) return false;
    values->push_back(value);
  }
  return true;
}

namespace {

// Gives `field` the field of column `column` of each row of data of a CSV
// table with a header row, with its line; false once it does or a row is
// wrong, with the reason in `*error`.
template <class Field>
bool EachField(std::string_view text, std::string_view column,
               const std::string& where, InputError* error,
               const Field& field) {
  int64_t line = 0;
  size_t index = std::string_view::npos;
  while (!text.empty()) {
    ++line;
    const size_t end = text.find('\n');
    std::string_view row = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    row = Trim(row.substr(0, row.find('#')));
    if (row.empty()) continue;
    const std::vector<std::string_view> fields = Fields(row);
    if (index == std::string_view::npos) {
      // The first row names the columns.
      std::string names;
      for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == column) index = i;
        names += (i == 0 ? "" : ", ") + std::string(fields[i]);
      }
      if (index == std::string_view::npos) {
        error->line = line;
        error->what = "no column '" + std::string(column) +
                      "' in the header row; the columns are " + names;
        return false;
      }
      continue;
    }
    if (index >= fields.size()) {
      error->line = line;
      error->what = where + "the row has " + std::to_string(fields.size()) +
                    (fields.size() == 1 ? " field" : " fields");
      return false;
    }
    if (!field(fields[index], line)) return false;
  }
  if (index == std::string_view::npos) {
    error->line = 0;
    error->what = "no header row naming column '" + std::string(column) + "'";
    return false;
  }
  return true;
}

std::string Where(std::string_view column) {
  return "column '" + std::string(column) + "': ";
}

}  // namespace

bool ParseColumn(std::string_view text, std::string_view column,
                 std::vector<double>* values, InputError* error) {
  const std::string where = Where(column);
  return EachField(text, column, where, error,
                   [&](std::string_view field, int64_t line) {
                     double value = 0.0;
                     if (!ParseValue(field, line, where, &value, error)) {
                       return false;
                     }
                     values->push_back(value);
                     return true;
                   });
}

bool ParseYearColumn(std::string_view text, std::string_view column,
                     std::vector<YearRun>* runs, InputError* error) {
  const std::string where = Where(column);
  int64_t row = 0;
  return EachField(
      text, column, where, error, [&](std::string_view field, int64_t line) {
        if (field.empty()) {
          error->line = line;
          error->what = where + "a row without its weather year";
          return false;
        }
        if (runs->empty() || runs->back().name != field) {
          for (const YearRun& run : *runs) {
            if (run.name == field) {
              error->line = line;
              error->what = where + "weather year " + Excerpt(field) +
                            " comes again after other years; each year "
                            "must be one run of rows";
              return false;
            }
          }
          runs->push_back({std::string(field), row, 0, line});
        }
        ++runs->back().rows;
        ++row;
        return true;
      });
}

}  // namespace adequacy
