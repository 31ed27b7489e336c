#include "app/simulation_options.h"

namespace adequacy {

void SimulationFlags::Add(CLI::App* app, SimulationOptions* options) {
  years_ = app->add_option("--years", options->years);
  precision_ = app->add_option("--precision", options->precision);
  max_years_ = app->add_option("--max-years", options->max_years);
  app->add_option("--seed", options->seed);
  threads_ = app->add_option("--threads", options->threads);
}

std::string SimulationFlags::Fault(const SimulationOptions& options,
                                   int64_t least_max_years,
                                   bool max_years_needs_precision) const {
  const bool years = years_->count() > 0;
  const bool precision = precision_->count() > 0;
  if (years && options.years < 1) return "--years must be 1 or more";
  if (precision && !(options.precision > 0.0 && options.precision < 1.0)) {
    return "--precision must lie between 0 and 1, such as 0.01";
  }
  if (years && precision) return "--years and --precision cannot both be given";
  if (max_years_->count() > 0) {
    if (max_years_needs_precision &&
        (!precision || options.max_years < least_max_years)) {
      return "--max-years, " + std::to_string(least_max_years) +
             " or more, goes with --precision";
    }
    if (options.max_years < least_max_years) {
      return "--max-years must be at least " + std::to_string(least_max_years);
    }
  }
  if (threads_->count() > 0 && options.threads < 1) {
    return "--threads must be 1 or more";
  }
  return "";
}

}  // namespace adequacy
