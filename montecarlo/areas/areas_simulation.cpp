#include "montecarlo/areas/areas_simulation.h"

#include <algorithm>
#include <span>

#include "system/area_outcomes.h"
#include "system/load_change.h"

namespace adequacy {

std::vector<AreaLoads> AreasModel::loads() const {
  std::vector<AreaLoads> years(system_loads.size());
  const size_t areas = area_loads.size() / system_loads.size();
  const size_t outcomes = outcome_probabilities.size();
  int64_t first_hour = 0;
  for (size_t i = 0; i < years.size(); ++i) {
    for (size_t a = 0; a < areas; ++a) {
      years[i].areas.push_back(area_loads[i * areas + a].get());
    }
    years[i].system = system_loads[i].get();
    years[i].first_hour = first_hour;
    // The next weather year starts after this one's hours.
    if ((i + 1) % outcomes == 0) first_hour += system_loads[i]->hours();
  }
  return years;
}

int64_t AreasModel::series_hours() const {
  int64_t hours = 0;
  for (size_t i = 0; i < system_loads.size();
       i += outcome_probabilities.size()) {
    hours += system_loads[i]->hours();
  }
  return hours;
}

int64_t AreasModel::longest_hours() const {
  int64_t hours = 0;
  for (const auto& load : system_loads) hours = std::max(hours, load->hours());
  return hours;
}

bool AreasModelOf(const System& system, AreasModel* model, std::string* error) {
  if (!UnitRatesOf(system, &model->units, error)) return false;
  model->unit_areas.clear();
  for (const UnitGroup& group : system.units) {
    model->unit_areas.insert(model->unit_areas.end(),
                             static_cast<size_t>(group.count), group.area);
  }
  if (!DeviceRatesOf(system, &model->devices, error)) return false;
  model->device_areas.clear();
  for (const DeviceRates& device : model->devices) {
    model->device_areas.push_back(
        system.storage[static_cast<size_t>(device.entry)].area);
  }
  model->ties.clear();
  for (const Interface& given : system.interfaces) {
    TieRates tie;
    tie.limit = {given.first, given.second, given.forward_mw,
                 given.backward_mw};
    tie.can_fail = given.mean_repair_hours > 0.0;
    const std::string name = "interface " + system.areas[given.first].name +
                             " - " + system.areas[given.second].name;
    if (tie.can_fail &&
        !ChainRatesOf(name, given.forced_outage_rate,
                      given.mean_time_to_failure_hours, given.mean_repair_hours,
                      &tie.chain, error)) {
      return false;
    }
    model->ties.push_back(tie);
  }
  // Each weather year's hours of each net load at each outcome, built
  // year by year.
  const std::vector<AreaOutcome> outcomes = AreaOutcomes(system);
  const bool as_given = LoadsAsGiven(system);
  std::vector<std::vector<std::vector<double>>> nets;
  std::vector<std::vector<double>> totals;
  model->outcome_probabilities.clear();
  for (const AreaOutcome& outcome : outcomes) {
    const System at = as_given ? System() : AtOutcome(system, outcome);
    const System& loads = as_given ? system : at;
    nets.push_back(AreaNetLoads(loads));
    totals.push_back(NetLoad(loads.load, loads.profiles));
    model->outcome_probabilities.push_back(outcome.probability);
  }
  model->area_loads.clear();
  model->system_loads.clear();
  for (const WeatherYear& year : system.years()) {
    const auto first = static_cast<size_t>(year.first_hour);
    const auto hours = static_cast<size_t>(year.hours);
    for (size_t k = 0; k < outcomes.size(); ++k) {
      for (const std::vector<double>& net : nets[k]) {
        model->area_loads.push_back(std::make_unique<YearLoad>(
            std::span<const double>(net.data() + first, hours)));
      }
      model->system_loads.push_back(std::make_unique<YearLoad>(
          std::span<const double>(totals[k].data() + first, hours)));
    }
  }
  return true;
}

AreasControls ControlsOf(const AreasAssessment& exact) {
  const auto indices = [](const AreaIndices& i) {
    return ExactIndices{i.lolh, i.lole, i.eue};
  };
  AreasControls controls;
  controls.islands = indices(exact.islands);
  controls.copper_plate = indices(exact.copper_plate);
  for (const AreaIndices& alone : exact.island_areas) {
    controls.alone.push_back(indices(alone));
  }
  return controls;
}

AreasSimulation::AreasSimulation(const AreasModel& model, uint64_t seed,
                                 int threads, YearMethod method,
                                 const AreasControls& exact)
    : model_(model),
      loads_(model.loads()),
      seed_(seed),
      exact_(exact),
      pool_(std::max(1, threads)),
      years_(static_cast<size_t>(pool_.threads())),
      sample_(Fresh()) {
  for (int thread = 0; thread < pool_.threads(); ++thread) {
    simulators_.push_back(std::make_unique<AreasYearSimulator>(
        model_.units, model_.unit_areas, model_.ties, loads_, method,
        model_.devices, model_.device_areas, model_.outcome_probabilities));
  }
}

void AreasSimulation::KeepHours() {
  by_hour_ = true;
  sample_ = Fresh();
}

AreasSample AreasSimulation::Fresh() const {
  return AreasSample(loads_.front().areas.size(), model_.ties.size(),
                     model_.longest_hours(), by_hour_, model_.series_hours(),
                     model_.devices.size());
}

void AreasSimulation::Extend(int64_t end) {
  ExtendInRounds(
      pool_, end, &sample_, &batches_, [this] { return Fresh(); },
      [&](AreasSample* out, int64_t from, int64_t to, int thread) {
        const auto t = static_cast<size_t>(thread);
        for (int64_t year = from; year < to; ++year) {
          simulators_[t]->Simulate(seed_, year, &years_[t]);
          out->Add(years_[t]);
        }
      });
}

void AreasSimulation::RunTo(int64_t years, const SimulationProgress& progress) {
  RunInRounds(
      years, [this] { return sample_.years(); },
      [this](int64_t end) { Extend(end); }, progress);
}

SimulationStop AreasSimulation::RunToPrecision(
    double precision, int64_t max_years, const SimulationProgress& progress) {
  return RunInRoundsToPrecision(
      precision, max_years, [this] { return sample_.years(); },
      [this](double* lolh, double* eue) {
        const PairedSample& system = sample_.system();
        *lolh = system.RelativeError(SampleFigure::kDeficitHours,
                                     exact_.islands, &exact_.copper_plate);
        *eue = system.RelativeError(SampleFigure::kUnservedMwh, exact_.islands,
                                    &exact_.copper_plate);
      },
      [this](int64_t end) { Extend(end); }, progress);
}

}  // namespace adequacy
