#include "system/system_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <string>

#include "direct/hourly_load.h"
#include "model/capacity_table.h"
#include "system/schedule.h"
#include "system/series_csv.h"
#include "system/text_file.h"
#include "system/toml.h"
#include "system/toml_text.h"

namespace adequacy {
namespace {

constexpr int64_t kHoursPerDayOfSeries = 24;
constexpr char kDailyProfile[] = "daily-profile";
// The most identical devices of one [[storage]] entry: each is dispatched
// on its own, hour by hour.
constexpr int64_t kMostDevices = 1000;

std::string TypeName(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string:
      return "a string";
    case toml::node_type::integer:
      return "an integer";
    case toml::node_type::floating_point:
      return "a number with a fraction";
    case toml::node_type::boolean:
      return "a boolean";
    case toml::node_type::table:
      return "a table";
    case toml::node_type::array:
      return "an array";
    default:
      return "a date or time";
  }
}

// A number as a message shows it: the shortest form that reads back the
// same, so that 0.1 shows as 0.1.
std::string Shown(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string Hours(int64_t hours) {
  return std::to_string(hours) + (hours == 1 ? " hour" : " hours");
}

// A count too large for an int64_t as a whole number.
std::string WholeText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", value);
  return text;
}

// Reads one system file; each step returns false once `error_` is set.
class Reader {
 public:
  Reader(const std::string& path, InputError* error)
      : path_(path), error_(error) {}

  bool Read(std::string_view text, System* system);
  // Units and profiles to add to a system of `hours` hours, no load.
  bool ReadAdditions(std::string_view text, const System& base,
                     System* additions);

 private:
  bool Fail(int64_t line, const std::string& what) {
    return FailIn(path_, line, what);
  }
  bool FailIn(const std::string& file, int64_t line, const std::string& what) {
    error_->file = file;
    error_->line = line;
    error_->what = what;
    return false;
  }
  static int64_t LineOf(const toml::node& node) {
    return node.source().begin.line;
  }

  // The file's TOML, checked by AsciiToml and parsed.
  bool Parse(std::string_view text, toml::table* root);
  bool OnlyKeys(const toml::table& table,
                std::initializer_list<std::string_view> known,
                const std::string& where);
  bool Text(const toml::node& node, std::string_view key, std::string* out);
  bool Number(const toml::node& node, std::string_view key, double* out);
  bool Whole(const toml::node& node, std::string_view key, int64_t lowest,
             int64_t highest, const char* unit, int64_t* out);
  bool Positive(const toml::node& node, std::string_view key, double* out);

  bool ReadLoad(const toml::table& root, System* system);
  bool ReadDailyProfile(const toml::table& load, System* system);
  // A series file, or with `column` the named column of a CSV table.
  // With `year_column`, the file's weather years go to `years`.
  bool ReadSeriesFile(const toml::node& file_key, const toml::node* column,
                      const toml::node* year_column,
                      std::vector<double>* values,
                      std::vector<WeatherYear>* years, std::string* shown_path);
  // The weather years of `year_column` in `text`, a CSV table read from
  // `shown_path`.
  bool ReadYears(std::string_view text, const toml::node& year_column,
                 const std::string& shown_path,
                 std::vector<WeatherYear>* years);
  // A profile's weather years against the load's.
  bool SameYears(const std::vector<WeatherYear>& years, const System& system,
                 const toml::node& year_column, const std::string& shown_path);
  bool ReadMaintenance(const toml::table& unit, const std::string& where,
                       UnitGroup* group);
  // [[areas]], each with its load; the system's load is then their sum.
  bool ReadAreas(const toml::table& root, System* system);
  // The area `table` names with its `area` key: required with areas,
  // refused without.
  bool AreaOf(const toml::table& table, const std::string& where, size_t* area);
  bool ReadInterfaces(const toml::table& root, System* system);
  bool ReadInterface(const toml::table& table, const std::string& where,
                     System* system);
  // What is not yet assessed with areas, refused with its line.
  bool CheckAreaFeatures(const System& system);
  bool ReadUnits(const toml::table& root, System* system);
  bool ReadUnit(const toml::table& unit, int index, UnitGroup* group);
  // The outage keys of a unit or a device; `optional` for a device, which
  // without them is never out.
  bool ReadOutage(const toml::table& table, const std::string& where,
                  bool optional, double* outage_rate,
                  double* mean_time_to_failure_hours,
                  double* mean_repair_hours);
  bool ReadDerates(const toml::table& unit, const std::string& where,
                   UnitGroup* group);
  // True where `area`'s load outcomes have the probabilities of every
  // area's before it that has some.
  bool SameOutcomes(const toml::node& node, const Area& area,
                    const System& system);
  bool ReadUncertainty(const toml::node& node,
                       std::vector<LoadScenario>* outcomes);
  bool ReadProfiles(const toml::table& root, System* system);
  bool ReadStorage(const toml::table& root, System* system);
  bool ReadDevice(const toml::table& table, int index, StorageDevice* device);
  // An optional number of `table` at least 0, or a share in (0, 1] or
  // [0, 1]; `out` keeps its default where the key is missing.
  bool AtLeastZero(const toml::table& table, std::string_view key, double* out);
  bool Share(const toml::table& table, std::string_view key, bool zero_allowed,
             double* out);
  bool CheckFleetSize(const toml::table& root, const System& system);
  // The maintenance with a first day, against the weather years.
  bool CheckSchedule(const System& system);

  std::string path_;
  InputError* error_;
  std::vector<std::string> area_names_;  // Of [[areas]], in order.
};

bool Reader::OnlyKeys(const toml::table& table,
                      std::initializer_list<std::string_view> known,
                      const std::string& where) {
  for (auto&& [key, node] : table) {
    bool found = false;
    for (std::string_view name : known) found = found || key.str() == name;
    if (found) continue;
    std::string names;
    for (std::string_view name : known) {
      names += names.empty() ? "" : ", ";
      names += name;
    }
    return Fail(key.source().begin.line, "unknown key '" +
                                             std::string(key.str()) + "'" +
                                             where + "; the keys are " + names);
  }
  return true;
}

bool Reader::Text(const toml::node& node, std::string_view key,
                  std::string* out) {
  const auto* value = node.as_string();
  if (value == nullptr) {
    return Fail(LineOf(node),
                std::string(key) + " must be a string, not " + TypeName(node));
  }
  *out = value->get();
  return true;
}

bool Reader::Number(const toml::node& node, std::string_view key, double* out) {
  if (const auto* whole = node.as_integer()) {
    *out = static_cast<double>(whole->get());
  } else if (const auto* real = node.as_floating_point()) {
    *out = real->get();
  } else {
    return Fail(LineOf(node),
                std::string(key) + " must be a number, not " + TypeName(node));
  }
  if (!std::isfinite(*out)) {
    return Fail(
        LineOf(node),
        std::string(key) + " must be a finite number, not " + Shown(*out));
  }
  return true;
}

bool Reader::Whole(const toml::node& node, std::string_view key, int64_t lowest,
                   int64_t highest, const char* unit, int64_t* out) {
  const std::string name(key);
  if (const auto* whole = node.as_integer()) {
    *out = whole->get();
  } else {
    double value = 0.0;
    if (!Number(node, key, &value)) return false;
    if (value != std::floor(value)) {
      return Fail(LineOf(node), name + " must be a whole number" + unit +
                                    ", not " + Shown(value));
    }
    // Beyond the range the value is refused below; clamping first keeps
    // the conversion defined.
    *out = value < -1e18  ? -1
           : value > 1e18 ? highest + 1
                          : static_cast<int64_t>(value);
  }
  if (*out < lowest || *out > highest) {
    return Fail(LineOf(node), name + " must be from " + std::to_string(lowest) +
                                  " to " + std::to_string(highest) + ", not " +
                                  std::to_string(*out));
  }
  return true;
}

bool Reader::Positive(const toml::node& node, std::string_view key,
                      double* out) {
  if (!Number(node, key, out)) return false;
  if (!(*out > 0.0)) {
    return Fail(LineOf(node),
                std::string(key) + " must be above 0, not " + Shown(*out));
  }
  return true;
}

bool Reader::Parse(std::string_view text, toml::table* root) {
  std::string ascii;
  if (!AsciiToml(text, &ascii, error_)) {
    error_->file = path_;
    return false;
  }
  try {
    *root = toml::parse(ascii, path_);
  } catch (const toml::parse_error& fault) {
    return Fail(fault.source().begin.line,
                "not valid TOML: " + std::string(fault.description()));
  }
  return true;
}

bool Reader::ReadAdditions(std::string_view text, const System& base,
                           System* additions) {
  toml::table root;
  if (!Parse(text, &root)) return false;
  if (!OnlyKeys(root, {"name", "units", "profiles", "storage", "interfaces"},
                "")) {
    return false;
  }
  additions->file = path_;
  additions->name = std::filesystem::path(path_).stem().string();
  if (const toml::node* name = root.get("name")) {
    if (!Text(*name, "name", &additions->name)) return false;
  }
  if (root.get("units") == nullptr && root.get("profiles") == nullptr &&
      root.get("storage") == nullptr && root.get("interfaces") == nullptr) {
    return Fail(0,
                "nothing to add: give [[units]], [[profiles]], [[storage]] "
                "or [[interfaces]]");
  }
  if (const toml::node* ties = root.get("interfaces")) {
    if (base.areas.empty()) {
      return Fail(LineOf(*ties), "[[interfaces]] need [[areas]] to join");
    }
  }
  // The profiles are as long as the load they are added to, with its
  // weather years, and its maintenance fits them.
  additions->load.assign(base.load.size(), 0.0);
  additions->weather_years = base.weather_years;
  for (const Area& area : base.areas) area_names_.push_back(area.name);
  const bool read =
      (root.get("units") == nullptr || ReadUnits(root, additions)) &&
      ReadProfiles(root, additions) && ReadStorage(root, additions) &&
      ReadInterfaces(root, additions) && CheckSchedule(*additions);
  additions->load.clear();
  additions->weather_years.clear();
  return read;
}

bool Reader::Read(std::string_view text, System* system) {
  toml::table root;
  if (!Parse(text, &root)) return false;
  if (!OnlyKeys(root,
                {"name", "load", "units", "profiles", "storage", "areas",
                 "interfaces"},
                "")) {
    return false;
  }
  system->file = path_;
  system->name = std::filesystem::path(path_).stem().string();
  if (const toml::node* name = root.get("name")) {
    if (!Text(*name, "name", &system->name)) return false;
  }
  if (root.get("areas") != nullptr) {
    return ReadAreas(root, system) && ReadUnits(root, system) &&
           CheckFleetSize(root, *system) && ReadProfiles(root, system) &&
           ReadStorage(root, system) && ReadInterfaces(root, system) &&
           CheckAreaFeatures(*system) && CheckSchedule(*system);
  }
  if (const toml::node* stray = root.get("interfaces")) {
    return Fail(LineOf(*stray), "[[interfaces]] need [[areas]] to join");
  }
  return ReadUnits(root, system) && CheckFleetSize(root, *system) &&
         ReadLoad(root, system) && ReadProfiles(root, system) &&
         ReadStorage(root, system) && CheckSchedule(*system);
}

bool Reader::ReadAreas(const toml::table& root, System* system) {
  if (const toml::node* load = root.get("load")) {
    return Fail(LineOf(*load),
                "[load] and [[areas]] cannot both be given: with areas, each "
                "area has its own load");
  }
  const toml::node* node = root.get("areas");
  const toml::array* areas = node->as_array();
  if (areas == nullptr || !areas->is_array_of_tables() || areas->empty()) {
    return Fail(LineOf(*node),
                "areas must be [[areas]] tables, not " + TypeName(*node));
  }
  int index = 0;
  for (const toml::node& entry : *areas) {
    const toml::table& table = *entry.as_table();
    const std::string where = " in [[areas]] " + std::to_string(++index);
    if (!OnlyKeys(table, {"name", "load"}, where)) return false;
    Area area;
    const toml::node* name = table.get("name");
    if (name == nullptr) return Fail(LineOf(table), "no name" + where);
    if (!Text(*name, "name", &area.name)) return false;
    if (area.name.empty()) return Fail(LineOf(*name), "an area needs a name");
    for (const std::string& known : area_names_) {
      if (known == area.name) {
        return Fail(LineOf(*name), "a second area named '" + area.name + "'");
      }
    }
    const toml::node* load_node = table.get("load");
    if (load_node == nullptr) return Fail(LineOf(table), "no load" + where);
    const toml::table* load = load_node->as_table();
    if (load == nullptr) {
      return Fail(LineOf(*load_node),
                  "load must be a table such as { file = \"north.csv\" }, "
                  "not " +
                      TypeName(*load_node));
    }
    if (!OnlyKeys(*load, {"file", "column", "year_column", "uncertainty"},
                  " in the load" + where)) {
      return false;
    }
    if (const toml::node* uncertainty = load->get("uncertainty")) {
      if (!ReadUncertainty(*uncertainty, &area.uncertainty) ||
          !SameOutcomes(*uncertainty, area, *system)) {
        return false;
      }
    }
    const toml::node* file = load->get("file");
    if (file == nullptr)
      return Fail(LineOf(*load), "no file in the load" + where);
    std::string shown;
    // The first area's weather years are the system's; every other area's
    // must be the same years of the same lengths.
    const toml::node* year_column = load->get("year_column");
    std::vector<WeatherYear> years;
    if (!ReadSeriesFile(*file, load->get("column"), year_column, &area.load,
                        year_column ? &years : nullptr, &shown)) {
      return false;
    }
    if (system->areas.empty()) {
      system->weather_years = years;
    } else if ((year_column != nullptr || !system->weather_years.empty()) &&
               !SameYears(years, *system, year_column ? *year_column : *file,
                          shown)) {
      return false;
    }
    if (!system->areas.empty() &&
        area.load.size() != system->areas[0].load.size()) {
      return Fail(
          LineOf(*file),
          "'" + shown + "' holds " +
              Hours(static_cast<int64_t>(area.load.size())) +
              "; the load of area '" + system->areas[0].name + "' holds " +
              Hours(static_cast<int64_t>(system->areas[0].load.size())));
    }
    area_names_.push_back(area.name);
    system->areas.push_back(std::move(area));
  }
  system->load.assign(system->areas[0].load.size(), 0.0);
  for (const Area& area : system->areas) {
    for (size_t hour = 0; hour < area.load.size(); ++hour) {
      system->load[hour] += area.load[hour];
    }
  }
  return true;
}

bool Reader::AreaOf(const toml::table& table, const std::string& where,
                    size_t* area) {
  const toml::node* node = table.get("area");
  if (area_names_.empty()) {
    if (node == nullptr) return true;
    return Fail(LineOf(*node), "area" + where +
                                   " names an area, and the system has no "
                                   "[[areas]]");
  }
  if (node == nullptr) {
    return Fail(LineOf(table), "no area" + where +
                                   ": with [[areas]], each "
                                   "names its area");
  }
  std::string name;
  if (!Text(*node, "area", &name)) return false;
  for (size_t a = 0; a < area_names_.size(); ++a) {
    if (area_names_[a] == name) {
      *area = a;
      return true;
    }
  }
  std::string names;
  for (const std::string& known : area_names_) {
    names += (names.empty() ? "" : ", ") + known;
  }
  return Fail(LineOf(*node),
              "unknown area '" + name + "'; the areas are " + names);
}

bool Reader::ReadInterfaces(const toml::table& root, System* system) {
  const toml::node* node = root.get("interfaces");
  if (node == nullptr) return true;
  const toml::array* ties = node->as_array();
  if (ties == nullptr || !ties->is_array_of_tables()) {
    return Fail(
        LineOf(*node),
        "interfaces must be [[interfaces]] tables, not " + TypeName(*node));
  }
  int index = 0;
  for (const toml::node& entry : *ties) {
    if (!ReadInterface(*entry.as_table(),
                       " in [[interfaces]] " + std::to_string(++index),
                       system)) {
      return false;
    }
  }
  return true;
}

bool Reader::ReadInterface(const toml::table& table, const std::string& where,
                           System* system) {
  if (!OnlyKeys(table,
                {"between", "limit_mw", "forward_mw", "backward_mw",
                 "forced_outage_rate", "mean_time_to_failure_hours",
                 "mean_repair_hours", "mean_repair_days"},
                where)) {
    return false;
  }
  const toml::node* between = table.get("between");
  const toml::array* pair = between ? between->as_array() : nullptr;
  if (pair == nullptr || pair->size() != 2 || !pair->get(0)->is_string() ||
      !pair->get(1)->is_string()) {
    return Fail(between ? LineOf(*between) : LineOf(table),
                "between" + where +
                    " must name two areas, as between = [\"north\", "
                    "\"south\"]");
  }
  Interface tie;
  size_t* const ends[] = {&tie.first, &tie.second};
  for (size_t i = 0; i < 2; ++i) {
    const std::string name = **pair->get(i)->as_string();
    bool found = false;
    for (size_t a = 0; a < area_names_.size(); ++a) {
      if (area_names_[a] == name) {
        *ends[i] = a;
        found = true;
      }
    }
    if (!found) {
      return Fail(LineOf(*between), "unknown area '" + name + "'" + where);
    }
  }
  if (tie.first == tie.second) {
    return Fail(LineOf(*between), "an interface from area '" +
                                      area_names_[tie.first] + "' to itself");
  }
  for (const Interface& other : system->interfaces) {
    if ((other.first == tie.first && other.second == tie.second) ||
        (other.first == tie.second && other.second == tie.first)) {
      return Fail(LineOf(*between), "a second interface between '" +
                                        area_names_[tie.first] + "' and '" +
                                        area_names_[tie.second] +
                                        "'; give one with both limits");
    }
  }
  const toml::node* limit = table.get("limit_mw");
  const toml::node* forward = table.get("forward_mw");
  const toml::node* backward = table.get("backward_mw");
  if ((limit != nullptr) == (forward != nullptr || backward != nullptr) ||
      (limit == nullptr && (forward == nullptr || backward == nullptr))) {
    return Fail(LineOf(table),
                "give limit_mw, or forward_mw and backward_mw" + where);
  }
  const auto at_least_zero = [&](const toml::node& node, std::string_view key,
                                 double* out) {
    if (!Number(node, key, out)) return false;
    if (!(*out >= 0.0) || !std::isfinite(*out)) {
      return Fail(LineOf(node), std::string(key) +
                                    " must be a finite number of MW, 0 or "
                                    "more, not " +
                                    Shown(*out));
    }
    return true;
  };
  if (limit != nullptr) {
    if (!at_least_zero(*limit, "limit_mw", &tie.forward_mw)) return false;
    tie.backward_mw = tie.forward_mw;
  } else if (!at_least_zero(*forward, "forward_mw", &tie.forward_mw) ||
             !at_least_zero(*backward, "backward_mw", &tie.backward_mw)) {
    return false;
  }
  if (!ReadOutage(table, where, /*optional=*/true, &tie.forced_outage_rate,
                  &tie.mean_time_to_failure_hours, &tie.mean_repair_hours)) {
    return false;
  }
  system->interfaces.push_back(tie);
  return true;
}

bool Reader::CheckAreaFeatures(const System& system) {
  // The program places maintenance against one load; with areas each
  // entry gives its own first day.
  for (const UnitGroup& group : system.units) {
    for (const Maintenance& entry : group.maintenance) {
      if (entry.first_day == 0) {
        return Fail(entry.line,
                    "with [[areas]] every maintenance entry needs its "
                    "first_day: the program places maintenance for one area "
                    "only");
      }
    }
  }
  return true;
}

bool Reader::CheckSchedule(const System& system) {
  int64_t line = 0;
  std::string what;
  return CheckMaintenance(system, &line, &what) || Fail(line, what);
}

bool Reader::ReadSeriesFile(const toml::node& file_key,
                            const toml::node* column,
                            const toml::node* year_column,
                            std::vector<double>* values,
                            std::vector<WeatherYear>* years,
                            std::string* shown_path) {
  std::string column_name;
  if (year_column != nullptr && column == nullptr) {
    return Fail(LineOf(*year_column),
                "year_column needs column, the name of the values' column");
  }
  if (column != nullptr) {
    if (!Text(*column, "column", &column_name)) return false;
    if (column_name.empty()) {
      return Fail(LineOf(*column), "column must name a column");
    }
  }
  std::string name;
  if (!Text(file_key, "file", &name)) return false;
  if (name.empty()) return Fail(LineOf(file_key), "file must name a file");
  const std::filesystem::path file(name);
  *shown_path =
      file.is_absolute()
          ? name
          : (std::filesystem::path(path_).parent_path() / file).string();
  std::string text;
  std::string reason;
  if (!ReadTextFile(*shown_path, &text, &reason)) {
    return Fail(LineOf(file_key),
                "cannot read '" + *shown_path + "': " + reason);
  }
  if (column != nullptr ? !ParseColumn(text, column_name, values, error_)
                        : !ParseSeries(text, values, error_)) {
    error_->file = *shown_path;
    return false;
  }
  if (year_column != nullptr &&
      !ReadYears(text, *year_column, *shown_path, years)) {
    return false;
  }
  const int64_t hours = static_cast<int64_t>(values->size());
  if (hours < kHoursPerDayOfSeries || hours % kHoursPerDayOfSeries != 0) {
    return Fail(LineOf(file_key),
                "'" + *shown_path + "' holds " + Hours(hours) +
                    "; it must hold whole days of 24 hours, one at least");
  }
  return true;
}

bool Reader::ReadYears(std::string_view text, const toml::node& year_column,
                       const std::string& shown_path,
                       std::vector<WeatherYear>* years) {
  std::string name;
  if (!Text(year_column, "year_column", &name)) return false;
  if (name.empty()) {
    return Fail(LineOf(year_column), "year_column must name a column");
  }
  std::vector<YearRun> runs;
  if (!ParseYearColumn(text, name, &runs, error_)) {
    error_->file = shown_path;
    return false;
  }
  years->clear();
  for (const YearRun& run : runs) {
    if (run.rows % kHoursPerDayOfSeries != 0) {
      return FailIn(shown_path, run.line,
                    "column '" + name + "': weather year '" + run.name +
                        "' holds " + Hours(run.rows) +
                        "; a weather year must be whole days of 24 hours");
    }
    years->push_back({run.name, run.first_row, run.rows});
  }
  return true;
}

bool Reader::SameYears(const std::vector<WeatherYear>& years,
                       const System& system, const toml::node& year_column,
                       const std::string& shown_path) {
  if (system.weather_years.empty()) {
    return Fail(LineOf(year_column),
                "the load has no weather years; give [load] a year_column "
                "too");
  }
  if (years.size() != system.weather_years.size()) {
    return Fail(LineOf(year_column),
                "'" + shown_path + "' holds " + std::to_string(years.size()) +
                    " weather years; the load holds " +
                    std::to_string(system.weather_years.size()));
  }
  for (size_t w = 0; w < years.size(); ++w) {
    const WeatherYear& load = system.weather_years[w];
    if (years[w].name != load.name || years[w].hours != load.hours) {
      return Fail(LineOf(year_column),
                  "'" + shown_path + "': weather year " +
                      std::to_string(w + 1) + " is '" + years[w].name +
                      "' of " + Hours(years[w].hours) + "; the load's is '" +
                      load.name + "' of " + Hours(load.hours));
    }
  }
  return true;
}

bool Reader::ReadLoad(const toml::table& root, System* system) {
  const toml::node* node = root.get("load");
  if (node == nullptr) {
    return Fail(0, "no [load]: give load.file or load.model");
  }
  const toml::table* load = node->as_table();
  if (load == nullptr) {
    return Fail(LineOf(*node), "load must be a table, not " + TypeName(*node));
  }
  if (!OnlyKeys(*load,
                {"file", "model", "D1", "D2", "D3", "D4", "uncertainty",
                 "column", "year_column"},
                " in [load]")) {
    return false;
  }
  if (const toml::node* uncertainty = load->get("uncertainty")) {
    if (!ReadUncertainty(*uncertainty, &system->uncertainty)) return false;
  }
  const toml::node* file = load->get("file");
  const toml::node* model = load->get("model");
  if ((file == nullptr) == (model == nullptr)) {
    return Fail(LineOf(*load),
                "[load] needs one of file and model, not " +
                    std::string(file == nullptr ? "neither" : "both"));
  }
  if (model != nullptr) {
    for (const char* key : {"column", "year_column"}) {
      if (const toml::node* stray = load->get(key)) {
        return Fail(LineOf(*stray), std::string(key) +
                                        " belongs to a load file, not to a "
                                        "load model");
      }
    }
    return ReadDailyProfile(*load, system);
  }
  for (const char* key : {"D1", "D2", "D3", "D4"}) {
    if (const toml::node* stray = load->get(key)) {
      return Fail(LineOf(*stray), std::string(key) + " belongs to model = \"" +
                                      kDailyProfile + "\", not to a load file");
    }
  }
  std::string shown;
  return ReadSeriesFile(*file, load->get("column"), load->get("year_column"),
                        &system->load, &system->weather_years, &shown);
}

bool Reader::ReadDailyProfile(const toml::table& load, System* system) {
  const toml::node& model = *load.get("model");
  std::string name;
  if (!Text(model, "model", &name)) return false;
  if (name != kDailyProfile) {
    return Fail(LineOf(model), "unknown load model '" + name +
                                   "'; the one model is \"" + kDailyProfile +
                                   "\"");
  }
  LoadParameters params;
  float* const targets[] = {&params.d1, &params.d2, &params.d3, &params.d4};
  const char* const keys[] = {"D1", "D2", "D3", "D4"};
  for (int i = 0; i < 4; ++i) {
    const toml::node* node = load.get(keys[i]);
    if (node == nullptr) continue;
    double value = 0.0;
    if (!Number(*node, keys[i], &value)) return false;
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
      return Fail(LineOf(*node), std::string(keys[i]) +
                                     " is beyond a single-precision number");
    }
    // The dialogue reads D1..D4 in single precision; so does the file.
    *targets[i] = static_cast<float>(value);
  }
  system->load = YearOfLoads(params);
  for (size_t hour = 0; hour < system->load.size(); ++hour) {
    if (system->load[hour] < 0.0) {
      return Fail(LineOf(model),
                  "the daily profile gives a negative load, " +
                      Shown(system->load[hour]) + " MW in hour " +
                      std::to_string(hour % kHoursPerDay + 1) + " of day " +
                      std::to_string(hour / kHoursPerDay + 1));
    }
  }
  return true;
}

bool Reader::ReadUnits(const toml::table& root, System* system) {
  const toml::node* node = root.get("units");
  if (node == nullptr) return Fail(0, "no [[units]]: a system needs units");
  const toml::array* units = node->as_array();
  if (units == nullptr || !units->is_array_of_tables()) {
    return Fail(LineOf(*node),
                "units must be [[units]] tables, not " + TypeName(*node));
  }
  if (units->empty()) return Fail(LineOf(*node), "no units in [[units]]");
  int index = 0;
  for (const toml::node& entry : *units) {
    UnitGroup group;
    if (!ReadUnit(*entry.as_table(), ++index, &group)) return false;
    system->units.push_back(std::move(group));
  }
  return true;
}

bool Reader::ReadUnit(const toml::table& unit, int index, UnitGroup* group) {
  const std::string where = " in [[units]] " + std::to_string(index);
  if (!OnlyKeys(unit,
                {"name", "count", "capacity_mw", "forced_outage_rate",
                 "mean_time_to_failure_hours", "mean_repair_hours",
                 "mean_repair_days", "derates", "maintenance", "area"},
                where)) {
    return false;
  }
  if (!AreaOf(unit, where, &group->area)) return false;
  group->name = "units " + std::to_string(index);
  if (const toml::node* name = unit.get("name")) {
    if (!Text(*name, "name", &group->name)) return false;
  }
  const auto needed = [&](const char* key) -> const toml::node* {
    const toml::node* node = unit.get(key);
    if (node == nullptr) Fail(LineOf(unit), std::string("no ") + key + where);
    return node;
  };
  const toml::node* count = needed("count");
  if (count == nullptr ||
      !Whole(*count, "count", 1, kMaxInstalledMw, "", &group->count)) {
    return false;
  }
  const toml::node* capacity = needed("capacity_mw");
  int64_t mw = 0;
  if (capacity == nullptr || !Whole(*capacity, "capacity_mw", 1,
                                    kMaxInstalledMw, " of megawatts", &mw)) {
    return false;
  }
  group->capacity_mw = static_cast<int32_t>(mw);

  return ReadOutage(unit, where, /*optional=*/false, &group->forced_outage_rate,
                    &group->mean_time_to_failure_hours,
                    &group->mean_repair_hours) &&
         ReadDerates(unit, where, group) && ReadMaintenance(unit, where, group);
}

bool Reader::ReadMaintenance(const toml::table& unit, const std::string& where,
                             UnitGroup* group) {
  const toml::node* node = unit.get("maintenance");
  if (node == nullptr) return true;
  const toml::array* entries = node->as_array();
  if (entries == nullptr || !entries->is_array_of_tables()) {
    return Fail(LineOf(*node),
                "maintenance must be a list of tables such as { first_day = "
                "91, days = 28 }, not " +
                    TypeName(*node));
  }
  int index = 0;
  for (const toml::node& item : *entries) {
    const toml::table& table = *item.as_table();
    const std::string at = " in maintenance " + std::to_string(++index) + where;
    if (!OnlyKeys(table, {"first_day", "days", "count"}, at)) return false;
    Maintenance entry;
    entry.line = LineOf(table);
    const toml::node* days = table.get("days");
    if (days == nullptr) return Fail(LineOf(table), "no days" + at);
    if (!Whole(*days, "days", 1, kMaxInstalledMw, "", &entry.days)) {
      return false;
    }
    if (const toml::node* first = table.get("first_day")) {
      if (!Whole(*first, "first_day", 1, kMaxInstalledMw, "",
                 &entry.first_day)) {
        return false;
      }
    }
    if (const toml::node* count = table.get("count")) {
      if (!Whole(*count, "count", 0, group->count, "", &entry.count)) {
        return false;
      }
    }
    group->maintenance.push_back(entry);
  }
  return true;
}

bool Reader::SameOutcomes(const toml::node& node, const Area& area,
                          const System& system) {
  // One outcome is drawn a year for every area at once: the forecast's
  // errors of neighbouring areas go together.
  for (const Area& other : system.areas) {
    if (other.uncertainty.empty()) continue;
    bool same = other.uncertainty.size() == area.uncertainty.size();
    for (size_t k = 0; same && k < area.uncertainty.size(); ++k) {
      same =
          other.uncertainty[k].probability == area.uncertainty[k].probability;
    }
    if (same) return true;
    return Fail(LineOf(node),
                "the load outcomes of area '" + area.name +
                    "' must have the probabilities of area '" + other.name +
                    "' outcome by outcome: one outcome is drawn a year for "
                    "every area at once");
  }
  return true;
}

bool Reader::ReadUncertainty(const toml::node& node,
                             std::vector<LoadScenario>* outcomes) {
  const toml::table* table = node.as_table();
  if (table == nullptr) {
    return Fail(LineOf(node),
                "uncertainty must be a table, not " + TypeName(node));
  }
  if (!OnlyKeys(*table, {"standard_deviation", "multipliers", "probabilities"},
                " in load.uncertainty")) {
    return false;
  }
  const toml::node* sd = table->get("standard_deviation");
  const toml::node* multipliers = table->get("multipliers");
  const toml::node* probabilities = table->get("probabilities");
  if ((sd != nullptr) == (multipliers != nullptr || probabilities != nullptr) ||
      (sd == nullptr && (multipliers == nullptr || probabilities == nullptr))) {
    return Fail(LineOf(node),
                "give load.uncertainty a standard_deviation, or multipliers "
                "and probabilities");
  }
  if (sd != nullptr) {
    double s = 0.0;
    if (!Number(*sd, "standard_deviation", &s)) return false;
    if (!(s >= 0.0 && s < 1.0 / 3.0)) {
      return Fail(LineOf(*sd),
                  "standard_deviation must be at least 0 and below 1/3 (the "
                  "lowest multiplier is 1 - 3 s), not " +
                      Shown(s));
    }
    *outcomes = NormalScenarios(s);
    return true;
  }
  const toml::array* m = multipliers->as_array();
  const toml::array* p = probabilities->as_array();
  if (m == nullptr || p == nullptr || m->empty() || m->size() != p->size()) {
    return Fail(LineOf(node),
                "multipliers and probabilities must be lists of numbers of "
                "the same length, one at least");
  }
  double sum = 0.0;
  for (size_t i = 0; i < m->size(); ++i) {
    LoadScenario scenario;
    if (!Number(*m->get(i), "a multiplier", &scenario.multiplier) ||
        !Number(*p->get(i), "a probability", &scenario.probability)) {
      return false;
    }
    if (!(scenario.multiplier > 0.0)) {
      return Fail(LineOf(*m->get(i)), "a multiplier must be above 0, not " +
                                          Shown(scenario.multiplier));
    }
    if (!(scenario.probability >= 0.0)) {
      return Fail(LineOf(*p->get(i)), "a probability must be at least 0, not " +
                                          Shown(scenario.probability));
    }
    sum += scenario.probability;
    outcomes->push_back(scenario);
  }
  if (!(std::fabs(sum - 1.0) <= 1e-9)) {
    return Fail(LineOf(*probabilities),
                "the probabilities must sum to 1, not " + Shown(sum));
  }
  return true;
}

bool Reader::ReadDerates(const toml::table& unit, const std::string& where,
                         UnitGroup* group) {
  const toml::node* node = unit.get("derates");
  if (node == nullptr) return true;
  const toml::array* derates = node->as_array();
  if (derates == nullptr || !derates->is_array_of_tables()) {
    return Fail(
        LineOf(*node),
        "derates must be [[units.derates]] tables, not " + TypeName(*node));
  }
  int index = 0;
  for (const toml::node& entry : *derates) {
    const toml::table& table = *entry.as_table();
    const std::string at = " in derate " + std::to_string(++index) + where;
    if (!OnlyKeys(
            table,
            {"available_mw", "forced_outage_rate", "mean_time_to_failure_hours",
             "mean_repair_hours", "mean_repair_days"},
            at)) {
      return false;
    }
    Derate derate;
    const toml::node* available = table.get("available_mw");
    if (available == nullptr) {
      return Fail(LineOf(table), "no available_mw" + at);
    }
    int64_t mw = 0;
    if (!Whole(*available, "available_mw", 1, group->capacity_mw - 1,
               " of megawatts", &mw)) {
      return false;
    }
    derate.available_mw = static_cast<int32_t>(mw);
    if (!ReadOutage(table, at, /*optional=*/false, &derate.share,
                    &derate.mean_time_to_failure_hours,
                    &derate.mean_repair_hours)) {
      return false;
    }
    group->derates.push_back(derate);
  }
  double up = 0.0;
  OutageStates(*group, &up);
  if (!(up > 0.0)) {
    return Fail(LineOf(*node), "the outage shares" + where +
                                   " leave no hours up: they must sum below 1");
  }
  return true;
}

bool Reader::ReadOutage(const toml::table& table, const std::string& where,
                        bool optional, double* outage_rate,
                        double* mean_time_to_failure_hours,
                        double* mean_repair_hours) {
  const toml::node* rate = table.get("forced_outage_rate");
  const toml::node* failure = table.get("mean_time_to_failure_hours");
  const toml::node* hours = table.get("mean_repair_hours");
  const toml::node* days = table.get("mean_repair_days");
  if (optional && rate == nullptr && failure == nullptr && hours == nullptr &&
      days == nullptr) {
    return true;  // Never out.
  }
  if ((rate == nullptr) == (failure == nullptr)) {
    return Fail(LineOf(table),
                "give one of forced_outage_rate and "
                "mean_time_to_failure_hours" +
                    where + ", not " + (rate == nullptr ? "neither" : "both"));
  }
  if ((hours == nullptr) == (days == nullptr)) {
    return Fail(LineOf(table),
                "give one of mean_repair_hours and "
                "mean_repair_days" +
                    where + ", not " + (hours == nullptr ? "neither" : "both"));
  }
  if (hours != nullptr) {
    if (!Positive(*hours, "mean_repair_hours", mean_repair_hours)) {
      return false;
    }
  } else {
    double repair_days = 0.0;
    if (!Positive(*days, "mean_repair_days", &repair_days)) return false;
    *mean_repair_hours = repair_days * kHoursPerDay;
    if (!std::isfinite(*mean_repair_hours)) {
      return Fail(LineOf(*days), "mean_repair_days is too large");
    }
  }
  if (rate != nullptr) {
    if (!Number(*rate, "forced_outage_rate", outage_rate)) return false;
    if (!(*outage_rate >= 0.0 && *outage_rate < 1.0)) {
      return Fail(LineOf(*rate),
                  "forced_outage_rate must be at least 0 and below 1, not " +
                      Shown(*outage_rate));
    }
    return true;
  }
  double& mttf = *mean_time_to_failure_hours;
  if (!Positive(*failure, "mean_time_to_failure_hours", &mttf)) return false;
  // The long-run share of hours down, rounded once.
  *outage_rate = *mean_repair_hours / (mttf + *mean_repair_hours);
  return true;
}

bool Reader::ReadStorage(const toml::table& root, System* system) {
  const toml::node* node = root.get("storage");
  if (node == nullptr) return true;
  const toml::array* devices = node->as_array();
  if (devices == nullptr || !devices->is_array_of_tables()) {
    return Fail(LineOf(*node),
                "storage must be [[storage]] tables, not " + TypeName(*node));
  }
  int index = 0;
  for (const toml::node& entry : *devices) {
    StorageDevice device;
    if (!ReadDevice(*entry.as_table(), ++index, &device)) return false;
    system->storage.push_back(std::move(device));
  }
  return true;
}

bool Reader::AtLeastZero(const toml::table& table, std::string_view key,
                         double* out) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return true;
  if (!Number(*node, key, out)) return false;
  if (!(*out >= 0.0)) {
    return Fail(LineOf(*node),
                std::string(key) + " must be at least 0, not " + Shown(*out));
  }
  return true;
}

bool Reader::Share(const toml::table& table, std::string_view key,
                   bool zero_allowed, double* out) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return true;
  if (!Number(*node, key, out)) return false;
  if (!(zero_allowed ? *out >= 0.0 : *out > 0.0) || !(*out <= 1.0)) {
    return Fail(LineOf(*node), std::string(key) + " must be " +
                                   (zero_allowed ? "from 0" : "above 0") +
                                   " to 1, not " + Shown(*out));
  }
  return true;
}

bool Reader::ReadDevice(const toml::table& table, int index,
                        StorageDevice* device) {
  const std::string where = " in [[storage]] " + std::to_string(index);
  if (!OnlyKeys(table,
                {"name", "count", "power_mw", "charge_mw", "discharge_mw",
                 "energy_mwh", "round_trip_efficiency", "charge_efficiency",
                 "discharge_efficiency", "initial_share", "forced_outage_rate",
                 "mean_time_to_failure_hours", "mean_repair_hours",
                 "mean_repair_days", "area"},
                where)) {
    return false;
  }
  if (!AreaOf(table, where, &device->area)) return false;
  device->name = "storage " + std::to_string(index);
  if (const toml::node* name = table.get("name")) {
    if (!Text(*name, "name", &device->name)) return false;
  }
  if (const toml::node* count = table.get("count")) {
    if (!Whole(*count, "count", 1, kMostDevices, "", &device->count)) {
      return false;
    }
  }
  // Either one power for both ways, or each way's.
  const bool power = table.get("power_mw") != nullptr;
  const bool each =
      table.get("charge_mw") != nullptr || table.get("discharge_mw") != nullptr;
  if (power == each || (each && (table.get("charge_mw") == nullptr ||
                                 table.get("discharge_mw") == nullptr))) {
    return Fail(LineOf(table),
                "give power_mw, or charge_mw and discharge_mw" + where);
  }
  if (power) {
    if (!AtLeastZero(table, "power_mw", &device->charge_mw)) return false;
    device->discharge_mw = device->charge_mw;
  } else if (!AtLeastZero(table, "charge_mw", &device->charge_mw) ||
             !AtLeastZero(table, "discharge_mw", &device->discharge_mw)) {
    return false;
  }
  if (table.get("energy_mwh") == nullptr) {
    return Fail(LineOf(table), "no energy_mwh" + where);
  }
  if (!AtLeastZero(table, "energy_mwh", &device->energy_mwh)) return false;
  const bool round_trip = table.get("round_trip_efficiency") != nullptr;
  if (round_trip && (table.get("charge_efficiency") != nullptr ||
                     table.get("discharge_efficiency") != nullptr)) {
    return Fail(LineOf(table),
                "give round_trip_efficiency, or charge_efficiency and "
                "discharge_efficiency" +
                    where + ", not both");
  }
  if (round_trip) {
    double r = 1.0;
    if (!Share(table, "round_trip_efficiency", false, &r)) return false;
    device->charge_efficiency = device->discharge_efficiency = std::sqrt(r);
  } else if (!Share(table, "charge_efficiency", false,
                    &device->charge_efficiency) ||
             !Share(table, "discharge_efficiency", false,
                    &device->discharge_efficiency)) {
    return false;
  }
  return Share(table, "initial_share", true, &device->initial_share) &&
         ReadOutage(
             table, where, /*optional=*/true, &device->forced_outage_rate,
             &device->mean_time_to_failure_hours, &device->mean_repair_hours);
}

bool Reader::ReadProfiles(const toml::table& root, System* system) {
  const toml::node* node = root.get("profiles");
  if (node == nullptr) return true;
  const toml::array* profiles = node->as_array();
  if (profiles == nullptr || !profiles->is_array_of_tables()) {
    return Fail(LineOf(*node),
                "profiles must be [[profiles]] tables, not " + TypeName(*node));
  }
  int index = 0;
  for (const toml::node& entry : *profiles) {
    const toml::table& table = *entry.as_table();
    const std::string where = " in [[profiles]] " + std::to_string(++index);
    if (!OnlyKeys(table, {"name", "file", "column", "year_column", "area"},
                  where)) {
      return false;
    }
    Profile profile;
    profile.name = "profile " + std::to_string(index);
    if (const toml::node* name = table.get("name")) {
      if (!Text(*name, "name", &profile.name)) return false;
    }
    if (!AreaOf(table, where, &profile.area)) return false;
    const toml::node* file = table.get("file");
    if (file == nullptr) return Fail(LineOf(table), "no file" + where);
    std::string shown;
    std::vector<WeatherYear> years;
    const toml::node* year_column = table.get("year_column");
    if (!ReadSeriesFile(*file, table.get("column"), year_column, &profile.mw,
                        &years, &shown) ||
        (year_column != nullptr &&
         !SameYears(years, *system, *year_column, shown))) {
      return false;
    }
    if (profile.mw.size() != system->load.size()) {
      return Fail(LineOf(*file),
                  "'" + shown + "' holds " +
                      Hours(static_cast<int64_t>(profile.mw.size())) +
                      "; the load holds " +
                      Hours(static_cast<int64_t>(system->load.size())));
    }
    system->profiles.push_back(std::move(profile));
  }
  return true;
}

bool Reader::CheckFleetSize(const toml::table& root, const System& system) {
  if (InstalledWithinLimits(system.unit_kinds()) >= 0) return true;
  double units = 0.0;
  double installed = 0.0;
  for (const UnitGroup& group : system.units) {
    units += static_cast<double>(group.count);
    installed += static_cast<double>(group.count) * group.capacity_mw;
  }
  return Fail(LineOf(*root.get("units")),
              "the fleet is too large: " + WholeText(units) + " units of " +
                  WholeText(installed) +
                  " MW in all; the availability table takes at most " +
                  std::to_string(kMaxInstalledMw) +
                  " MW (16 bytes a megawatt), and units times MW of at most " +
                  std::to_string(kMaxConvolutionSteps));
}

}  // namespace

bool ParseSystem(std::string_view text, const std::string& path, System* system,
                 InputError* error) {
  *system = System();
  return Reader(path, error).Read(text, system);
}

bool ReadAdditionsFile(const std::string& path, const System& base,
                       System* additions, InputError* error) {
  *additions = System();
  std::string text;
  std::string reason;
  if (!ReadTextFile(path, &text, &reason)) {
    *error = {path, 0, "cannot read: " + reason};
    return false;
  }
  return Reader(path, error).ReadAdditions(text, base, additions);
}

bool ReadSystemFile(const std::string& path, System* system,
                    InputError* error) {
  std::string text;
  std::string reason;
  if (!ReadTextFile(path, &text, &reason)) {
    *error = {path, 0, "cannot read: " + reason};
    return false;
  }
  return ParseSystem(text, path, system, error);
}

}  // namespace adequacy
