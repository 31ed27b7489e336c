// The reliability target of a capacity question: one index of the direct
// solution and the value it may reach.
#ifndef ADEQUACY_CAPACITY_TARGET_H_
#define ADEQUACY_CAPACITY_TARGET_H_

#include <string>

#include "direct/assessment.h"

namespace adequacy {

enum class RiskIndex { kLole, kLolh, kEue };

struct Target {
  RiskIndex index = RiskIndex::kLole;
  double value = 0.1;  // One day in ten years.
};

// "LOLE=0.1", "LOLH=2.4" or "EUE=100"; false, with the reason, otherwise
// (an unknown index, a value that is not a finite number of 0 or more).
bool ParseTarget(const std::string& text, Target* target, std::string* error);

// One evaluation of a search with MW added to every hour, the load's
// shape as it is: the MW and the index there.
struct WalkedPoint {
  double added_mw = 0.0;
  double index = 0.0;
};

const char* IndexName(RiskIndex index);
const char* IndexUnit(RiskIndex index);
double IndexOf(const Assessment& result, RiskIndex index);

}  // namespace adequacy

#endif  // ADEQUACY_CAPACITY_TARGET_H_
