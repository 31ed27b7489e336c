#include "report/interval_line.h"

#include "report/record.h"

namespace adequacy {

std::string IntervalLine(const EstimateIntervals& intervals) {
  // The label fills the years' field of the record above.
  Record line;
  line.Literal(" 95% +/-")
      .Fixed(intervals.lolh.half_width(), 11, 6)
      .Fixed(intervals.lolev.half_width(), 11, 6)
      .Fixed(intervals.alolp.half_width(), 11, 6)
      .Fixed(intervals.mwheue.half_width(), 10, 3);
  return line.text() + "\n";
}

}  // namespace adequacy
