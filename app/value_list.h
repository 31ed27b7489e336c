// The value list of a what-if reply: up to four values for D1..D4 read from
// the 50 columns of the reply, with nulls, repeat counts and a closing
// slash.
#ifndef ADEQUACY_APP_VALUE_LIST_H_
#define ADEQUACY_APP_VALUE_LIST_H_

#include <optional>

#include "app/reply.h"
#include "direct/hourly_load.h"
#include "report/diagnostic.h"

namespace adequacy {

// Stores the values read into *params in order.  Returns the failure that
// stops the run for a malformed reply; parameters stored before the failing
// item keep their new values.
std::optional<Failure> ParseLoadParameters(const ReplyLine& line,
                                           LoadParameters* params);

}  // namespace adequacy

#endif  // ADEQUACY_APP_VALUE_LIST_H_
