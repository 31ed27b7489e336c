#include "montecarlo/areas/areas_simulation.h"

#include <algorithm>
#include <span>

#include "system/load_change.h"

namespace adequacy {

std::vector<AreaLoads> AreasModel::loads() const {
  std::vector<AreaLoads> years(system_loads.size());
  const size_t areas = area_loads.size() / system_loads.size();
  for (size_t w = 0; w < years.size(); ++w) {
    for (size_t a = 0; a < areas; ++a) {
      years[w].areas.push_back(area_loads[w * areas + a].get());
    }
    years[w].system = system_loads[w].get();
    years[w].first_hour =
        w == 0 ? 0 : years[w - 1].first_hour + system_loads[w - 1]->hours();
  }
  return years;
}

int64_t AreasModel::series_hours() const {
  int64_t hours = 0;
  for (const auto& load : system_loads) hours += load->hours();
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
  // Each weather year's hours of each net load, built year by year.
  const std::vector<std::vector<double>> nets = AreaNetLoads(system);
  const std::vector<double> total = NetLoad(system.load, system.profiles);
  model->area_loads.clear();
  model->system_loads.clear();
  for (const WeatherYear& year : system.years()) {
    const auto first = static_cast<size_t>(year.first_hour);
    const auto hours = static_cast<size_t>(year.hours);
    for (const std::vector<double>& net : nets) {
      model->area_loads.push_back(std::make_unique<YearLoad>(
          std::span<const double>(net.data() + first, hours)));
    }
    model->system_loads.push_back(std::make_unique<YearLoad>(
        std::span<const double>(total.data() + first, hours)));
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
        model_.devices, model_.device_areas));
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
