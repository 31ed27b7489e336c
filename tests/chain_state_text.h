// The whole state of the chain as one line of text, exact to the bit, for
// the plain loop's states kept as goldens.
#ifndef ADEQUACY_TESTS_CHAIN_STATE_TEXT_H_
#define ADEQUACY_TESTS_CHAIN_STATE_TEXT_H_

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "montecarlo/chain.h"

namespace adequacy {

// "years seed events deficit_hours unserved_mwh event_free_years states":
// the doubles in hexadecimal, the unit states as 110 digits.
inline std::string StateLine(const ChainState& state) {
  char line[512];
  std::snprintf(line, sizeof(line), "%a %u %lld %a %a %a ", state.totals.years,
                state.seed, static_cast<long long>(state.totals.events),
                state.totals.deficit_hours, state.totals.unserved_mwh,
                state.totals.event_free_years);
  std::string text = line;
  for (int32_t unit : state.unit_state) text += static_cast<char>('0' + unit);
  return text;
}

// The state of a line written by StateLine; false if it is not one.
inline bool ParseStateLine(const std::string& line, ChainState* state) {
  std::istringstream in(line);
  std::string years, deficit, unserved, free_years, units;
  long long events = 0;
  in >> years >> state->seed >> events >> deficit >> unserved >> free_years >>
      units;
  if (!in || units.size() != state->unit_state.size()) return false;
  state->totals.years = std::strtod(years.c_str(), nullptr);
  state->totals.events = events;
  state->totals.deficit_hours = std::strtod(deficit.c_str(), nullptr);
  state->totals.unserved_mwh = std::strtod(unserved.c_str(), nullptr);
  state->totals.event_free_years = std::strtod(free_years.c_str(), nullptr);
  for (size_t unit = 0; unit < units.size(); ++unit) {
    state->unit_state[unit] = units[unit] - '0';
  }
  return true;
}

}  // namespace adequacy

#endif  // ADEQUACY_TESTS_CHAIN_STATE_TEXT_H_
