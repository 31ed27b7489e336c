// The hours a unit's chain is out in a simulated year, drawn two ways that
// are the same chain in distribution: by sojourns, one draw a change of
// state (the event engines), or by a draw every hour (their reference).
// Each span goes to a callback as it is drawn, in order, so that an engine
// puts it where it needs it with nothing kept between.
#ifndef ADEQUACY_MONTECARLO_EVENTS_UNIT_SPANS_H_
#define ADEQUACY_MONTECARLO_EVENTS_UNIT_SPANS_H_

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "montecarlo/events/unit_draws.h"
#include "montecarlo/events/unit_rates.h"

namespace adequacy {

// The hours [first, end) a chain is down in a year of `hours` hours, each
// span given to `span`, in order.  From its sojourns, one draw a change of
// state: the state before the year's first hour as in the long run, each
// state holding from the hour it began for a geometric number of hours.
// Each draw's logarithm is taken as soon as the sojourn before it is
// known to end within the year, so that it is computed while that span is
// handed on.
template <class Span>
void SojournSpans(UnitDraws* draws, const UnitRates& chain, int64_t hours,
                  const Span& span) {
  bool down = draws->Uniform() < chain.down_share;
  int64_t began = -1;
  double log_u = std::log(draws->Uniform());
  for (;;) {
    const int64_t end = began + SojournOfLog(log_u, down ? chain.log_stay_down
                                                         : chain.log_stay_up);
    const bool last = end >= hours;
    if (!last) log_u = std::log(draws->Uniform());
    if (down) span(std::max<int64_t>(began, 0), std::min(end, hours));
    if (last) break;
    began = end;
    down = !down;
  }
}

// The same from a draw every hour: a chain that changes state in an hour
// is in its new state for that hour.
template <class Span>
void HourlySpans(UnitDraws* draws, const UnitRates& chain, int64_t hours,
                 const Span& span) {
  bool down = draws->Uniform() < chain.down_share;
  int64_t since = 0;
  for (int64_t hour = 0; hour < hours; ++hour) {
    const double u = draws->Uniform();
    if (down ? u < chain.repair : u < chain.fail) {
      if (down) span(since, hour);
      down = !down;
      since = hour;
    }
  }
  if (down) span(since, hours);
}

// The state of a unit with derates from `u`, drawn over its long-run
// shares: -1 for up, else its outage state.
inline int StateFromShare(const UnitRates& unit, double u) {
  double below = 0.0;
  for (size_t k = 0; k < unit.outages.size(); ++k) {
    below += unit.outages[k].share;
    if (u < below) return static_cast<int>(k);
  }
  return -1;
}

// The outage state an up unit enters, from `v` uniform in [0, 1), each
// with its share of the unit's probability of leaving up: the first state
// whose running sum of entries passes the target, the last if none does.
// Counted without an early exit, as the sums only grow: the state is a
// coin toss, and a branch on it would be mispredicted as often as not.
inline int StateEntered(const UnitRates& unit, double v) {
  double below = 0.0;
  const double target = v * unit.fail;
  int state = 0;
  for (size_t k = 0; k + 1 < unit.outages.size(); ++k) {
    below += unit.outages[k].enter;
    state += target < below ? 0 : 1;
  }
  return state;
}

// The spans of a unit with derates, `span(first, end, lost_mw)`, by its
// sojourns, one draw a change of state: the draw of an up sojourn also
// picks the state it ends in, from where it fell within its hours' share
// of the geometric law, which is uniform and independent of the hours.
// Logarithms as soon as they are known to be needed, as above.
template <class Span>
void StatesSojournSpans(UnitDraws* draws, const UnitRates& unit, int64_t hours,
                        const Span& span) {
  int state = StateFromShare(unit, draws->Uniform());
  int64_t began = -1;
  double u = draws->Uniform();
  double log_u = std::log(u);
  for (;;) {
    int64_t end;
    int next = -1;
    if (state < 0) {
      const int64_t stay = SojournOfLog(log_u, unit.log_stay_up);
      end = began + stay;
      // The state it enters matters only within the year.
      if (end < hours) {
        const double was = u;
        u = draws->Uniform();
        log_u = std::log(u);
        // `was` lies in ((1 - L)^stay, (1 - L)^(stay - 1)], L = unit.fail.
        const double top =
            std::exp(static_cast<double>(stay - 1) * unit.log_stay_up);
        const double v = std::clamp((was / top - (1.0 - unit.fail)) / unit.fail,
                                    0.0, std::nextafter(1.0, 0.0));
        next = StateEntered(unit, v);
      }
    } else {
      const OutageRates& o = unit.outages[static_cast<size_t>(state)];
      end = began + SojournOfLog(log_u, o.log_stay);
      if (end < hours) {
        u = draws->Uniform();
        log_u = std::log(u);
      }
      span(std::max<int64_t>(began, 0), std::min(end, hours), o.lost_mw);
    }
    if (end >= hours) break;
    began = end;
    state = next;
  }
}

// The same from a draw every hour, which also picks the state entered.
template <class Span>
void StatesHourlySpans(UnitDraws* draws, const UnitRates& unit, int64_t hours,
                       const Span& span) {
  int state = StateFromShare(unit, draws->Uniform());
  int64_t since = 0;
  for (int64_t hour = 0; hour < hours; ++hour) {
    const double u = draws->Uniform();
    if (state < 0) {
      if (u < unit.fail) {
        state = StateEntered(unit, u / unit.fail);
        since = hour;
      }
    } else if (u < unit.outages[static_cast<size_t>(state)].leave) {
      span(since, hour, unit.outages[static_cast<size_t>(state)].lost_mw);
      state = -1;
    }
  }
  if (state >= 0) {
    span(since, hours, unit.outages[static_cast<size_t>(state)].lost_mw);
  }
}

// A unit's spans out, `span(first, end, lost_mw)`, of either kind of chain,
// by sojourns or hour by hour.
template <class Span>
void UnitSpans(UnitDraws* draws, const UnitRates& unit, int64_t hours,
               bool by_sojourns, const Span& span) {
  if (!unit.outages.empty()) {
    if (by_sojourns) {
      StatesSojournSpans(draws, unit, hours, span);
    } else {
      StatesHourlySpans(draws, unit, hours, span);
    }
    return;
  }
  const auto whole = [&](int64_t first, int64_t end) {
    span(first, end, unit.capacity_mw);
  };
  if (by_sojourns) {
    SojournSpans(draws, unit, hours, whole);
  } else {
    HourlySpans(draws, unit, hours, whole);
  }
}

// A unit's loss of `lost` MW over hours [first, end) less its hours on
// maintenance, which are lost whole by MaintainSpans, as `change(hour, mw)`
// at each piece's two ends.
template <class Change>
void LoseAroundMaintenance(const UnitRates& unit, int64_t first, int64_t end,
                           int32_t lost, const Change& change) {
  for (const HourSpan& gap : unit.maintenance) {
    if (gap.end <= first) continue;
    if (gap.first >= end) break;
    if (gap.first > first) {
      change(first, -lost);
      change(gap.first, lost);
    }
    first = std::max(first, gap.end);
  }
  if (first < end) {
    change(first, -lost);
    change(end, lost);
  }
}

// A unit's hours on maintenance within a year of `hours` hours, the whole
// unit lost, as `change(hour, mw)`.
template <class Change>
void MaintainSpans(const UnitRates& unit, int64_t hours, const Change& change) {
  for (const HourSpan& gap : unit.maintenance) {
    if (gap.first >= hours) break;
    change(gap.first, -unit.capacity_mw);
    change(std::min(gap.end, hours), unit.capacity_mw);
  }
}

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_EVENTS_UNIT_SPANS_H_
