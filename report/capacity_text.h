// The answers of `adequacy capacity`, as text and as JSON.
#ifndef ADEQUACY_REPORT_CAPACITY_TEXT_H_
#define ADEQUACY_REPORT_CAPACITY_TEXT_H_

#include <cstdint>
#include <optional>
#include <string>

#include "capacity/carrying.h"
#include "capacity/target.h"
#include "system/system.h"

namespace adequacy {

// What the command found.
struct CapacityAnswers {
  Target target;
  double base_index = 0.0;    // The system as it stands.
  Answer scale;               // The load's shape scaled.
  double peak_load_mw = 0.0;  // Its peak at that scale.
  Answer added;               // A constant added to every hour.
  // With --add: the resources' installed MW (profiles at their peak),
  // their ELCC and EFC, and the index they bring the system to.
  bool credit = false;
  std::string additions_name;
  double installed_mw = 0.0;
  double index_with_additions = 0.0;
  double credit_value = 0.0;  // The index the ELCC keeps.
  Answer elcc;
  Answer efc;
  int evaluations = 0;
  // With storage among the additions the credit is simulated: the years,
  // the seed, and each answer's standard error and 95 % interval.
  bool simulated = false;
  size_t added_devices = 0;  // The [[storage]] entries of the additions.
  int64_t years = 0;
  uint64_t seed = 0;
  double index_with_additions_se = 0.0;
  double elcc_se = 0.0, elcc_low = 0.0, elcc_high = 0.0;
  double efc_se = 0.0, efc_low = 0.0, efc_high = 0.0;
  // An area of three or more: the capability simulated too.
  bool simulated_capability = false;
  double base_index_se = 0.0;
  double added_se = 0.0;
  double scale_se = 0.0;
};

std::string CapacityText(const System& system, const CapacityAnswers& a);
std::string CapacityJson(const System& system, const CapacityAnswers& a,
                         const char* version);

}  // namespace adequacy

#endif  // ADEQUACY_REPORT_CAPACITY_TEXT_H_
