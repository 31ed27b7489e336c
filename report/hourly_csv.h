// Every hour of an assessment as CSV, a header and one row an hour:
// hour,load_mw,net_load_mw,lolp,expected_unserved_mwh, the hour counted
// from 1 and every number at full double precision.
#ifndef ADEQUACY_REPORT_HOURLY_CSV_H_
#define ADEQUACY_REPORT_HOURLY_CSV_H_

#include <string>
#include <vector>

#include "direct/assessment.h"

namespace adequacy {

std::string HourlyCsv(const std::vector<double>& load,
                      const std::vector<double>& net_load,
                      const std::vector<HourRisk>& hours);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_HOURLY_CSV_H_
