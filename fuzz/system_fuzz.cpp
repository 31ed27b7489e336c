// Fuzz target: arbitrary text read as a system file (first byte even) or as
// an hourly series (odd).  A system file may name "day.csv", a day of load
// written beside it, so that whole systems are reached and assessed.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "direct/areas.h"
#include "direct/assessment.h"
#include "direct/placement.h"
#include "direct/study.h"
#include "system/load_change.h"
#include "system/schedule.h"
#include "system/series_csv.h"
#include "system/system_file.h"
#include "system/toml_text.h"

namespace {

const std::string& Directory() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/adequacy-fuzz-XXXXXX";
    const std::string made = mkdtemp(pattern);
    std::ofstream day(made + "/day.csv");
    for (int hour = 0; hour < 24; ++hour) day << 100 + hour << "\n";
    return made;
  }();
  return dir;
}

void CheckSystem(std::string_view text) {
  // The parser is only ever given ASCII, and lines stay where they were.
  std::string ascii;
  adequacy::InputError error;
  if (adequacy::AsciiToml(text, &ascii, &error)) {
    for (char c : ascii) {
      if (static_cast<unsigned char>(c) >= 0x80) std::abort();
    }
    const auto lines = [](std::string_view t) {
      return std::count(t.begin(), t.end(), '\n');
    };
    if (lines(ascii) != lines(text)) std::abort();
  }
  adequacy::System system;
  if (!adequacy::ParseSystem(text, Directory() + "/system.toml", &system,
                             &error)) {
    if (error.what.empty() || error.file.empty()) std::abort();
    return;
  }
  if (system.units.empty() || system.load.empty() ||
      system.load.size() % 24 != 0) {
    std::abort();
  }
  for (const adequacy::UnitGroup& group : system.units) {
    if (group.count < 1 || group.capacity_mw < 1 ||
        !(group.forced_outage_rate >= 0.0 && group.forced_outage_rate < 1.0) ||
        !(group.mean_repair_hours > 0.0)) {
      std::abort();
    }
  }
  for (double mw : system.load) {
    if (!(mw >= 0.0) || !std::isfinite(mw)) std::abort();
  }
  double probabilities = 0.0;
  for (const adequacy::LoadScenario& outcome : system.uncertainty) {
    if (!(outcome.multiplier > 0.0) || !(outcome.probability >= 0.0)) {
      std::abort();
    }
    probabilities += outcome.probability;
  }
  if (!system.uncertainty.empty() &&
      !(std::fabs(probabilities - 1.0) <= 1e-9)) {
    std::abort();
  }
  for (const adequacy::UnitGroup& group : system.units) {
    double up = 0.0;
    adequacy::OutageStates(group, &up);
    if (!(up > 0.0)) std::abort();
    for (const adequacy::Derate& derate : group.derates) {
      if (derate.available_mw < 1 || derate.available_mw >= group.capacity_mw) {
        std::abort();
      }
    }
  }
  for (const adequacy::StorageDevice& device : system.storage) {
    const auto share = [](double x, bool zero) {
      return (zero ? x >= 0.0 : x > 0.0) && x <= 1.0;
    };
    if (device.count < 1 || !(device.charge_mw >= 0.0) ||
        !(device.discharge_mw >= 0.0) || !(device.energy_mwh >= 0.0) ||
        !std::isfinite(device.charge_mw + device.discharge_mw +
                       device.energy_mwh) ||
        !share(device.charge_efficiency, false) ||
        !share(device.discharge_efficiency, false) ||
        !share(device.initial_share, true) ||
        !(device.forced_outage_rate >= 0.0 &&
          device.forced_outage_rate < 1.0) ||
        !(device.mean_repair_hours >= 0.0)) {
      std::abort();
    }
  }
  // Large fleets are within the limits but slow; the small ones are
  // assessed whole.
  if (system.installed_mw() > 100000) return;
  // Maintenance the program places lands within the shortest year, with
  // no group short of units, and the whole study is then sound.
  const adequacy::ScenarioLoads outcomes =
      adequacy::LoadsOfScenarios(system, adequacy::LoadChange());
  int64_t line = 0;
  std::string fault;
  if (!adequacy::PlaceMaintenance(outcomes, &system, &line, &fault)) {
    if (fault.empty()) std::abort();
    return;
  }
  for (const adequacy::UnitGroup& group : system.units) {
    for (const adequacy::Maintenance& entry : group.maintenance) {
      if (entry.first_day < 1 || entry.count < 0 || entry.count > group.count) {
        std::abort();
      }
    }
  }
  if (!adequacy::CheckMaintenance(system, &line, &fault)) std::abort();
  const adequacy::Assessment result =
      adequacy::DirectStudy(system).AssessOutcomes(outcomes, false);
  if (!system.areas.empty()) {
    // Areas: every index between its bounds' limits, none negative.
    const adequacy::AreasAssessment areas = adequacy::AssessAreas(system);
    if (!(areas.islands.lolh >= 0.0) || !(areas.copper_plate.eue >= 0.0)) {
      std::abort();
    }
    for (const adequacy::AreaIndices& area : areas.areas) {
      if (!(area.lolh >= 0.0 && area.eue >= 0.0 && area.lole >= 0.0)) {
        std::abort();
      }
    }
  }
  if (!(result.lolh >= 0.0 && result.eue >= 0.0 && result.allr >= 0.0 &&
        result.allr <= 1.0)) {
    std::abort();
  }
}

void CheckSeries(std::string_view text) {
  std::vector<double> values;
  adequacy::InputError error;
  if (!adequacy::ParseSeries(text, &values, &error)) {
    if (error.line < 1 || error.what.empty()) std::abort();
    return;
  }
  for (double mw : values) {
    if (!(mw >= 0.0) || !std::isfinite(mw)) std::abort();
  }
  // The same text as a table with a year column: runs one after another.
  std::vector<adequacy::YearRun> runs;
  if (adequacy::ParseYearColumn(text, "year", &runs, &error)) {
    int64_t row = 0;
    for (const adequacy::YearRun& run : runs) {
      if (run.first_row != row || run.rows < 1 || run.name.empty()) {
        std::abort();
      }
      row += run.rows;
    }
  } else if (error.what.empty()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1,
                              size - 1);
  if (data[0] % 2 == 0) {
    CheckSystem(text);
  } else {
    CheckSeries(text);
  }
  return 0;
}
