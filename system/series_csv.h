// Hourly series read from text: one value per line, in MW.  A first line
// that is no number is a header; '#' starts a comment; blank lines and the
// spaces around a value are ignored, as is a carriage return before a
// line's end.
#ifndef ADEQUACY_SYSTEM_SERIES_CSV_H_
#define ADEQUACY_SYSTEM_SERIES_CSV_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "system/input_error.h"

namespace adequacy {

// Appends the values of `text` to `*values`.  Every value must be a finite
// number, at least 0.  False, with the line and what is wrong in `*error`
// (its file left as it is), otherwise.
bool ParseSeries(std::string_view text, std::vector<double>* values,
                 InputError* error);

// The values of the column named `column` of a CSV table with a header
// row: fields split at commas (no quoting), the other columns ignored.
// Every value must be a finite number, at least 0.  False, with the line
// and what is wrong (naming the column) in `*error`, otherwise.
bool ParseColumn(std::string_view text, std::string_view column,
                 std::vector<double>* values, InputError* error);

// A run of rows of one weather year: the year column's value, the first
// row of data it holds (from 0), how many, and the line of the first.
struct YearRun {
  std::string name;
  int64_t first_row = 0;
  int64_t rows = 0;
  int64_t line = 0;
};

// The weather years of column `column` of a CSV table with a header row:
// each run of consecutive rows with one value.  False, with the line and
// the reason, where a value is empty or comes again after another.
bool ParseYearColumn(std::string_view text, std::string_view column,
                     std::vector<YearRun>* runs, InputError* error);

}  // namespace adequacy

#endif  // ADEQUACY_SYSTEM_SERIES_CSV_H_
