// The direct solution of a system with areas joined by interfaces.
//
// Each area serves its own net load first; an area with a surplus sends it
// through a tie, within the tie's limit that way, to an area short.  For
// two areas the two margins of an hour are independent, so each area's
// risk follows from the two availability tables with no enumeration of
// joint states: north is short when its margin and what south can send,
// min(limit, max(south's margin, 0)), fall below zero, a sum over south's
// margins between 0 and the limit and two cumulative reads beyond.  Both
// are short only when neither has a surplus.  A tie that can fail is out
// with its outage rate, independent of the units.  For any number of
// areas two bounds are exact: every tie at 0 (islands, the most risk) and
// one copper plate (every unit against the summed net load, the least).
#ifndef ADEQUACY_DIRECT_AREAS_H_
#define ADEQUACY_DIRECT_AREAS_H_

#include <cstdint>
#include <vector>

#include "direct/study.h"
#include "model/capacity_table.h"
#include "system/system.h"

namespace adequacy {

struct AreaIndices {
  double lolh = 0.0;    // Expected hours short, h/yr.
  double lole = 0.0;    // Expected days short at the day's peak hour.
  double eue = 0.0;     // Expected unserved energy, MWh/yr.
  double energy = 0.0;  // Energy demanded, MWh.
  double ppm = 0.0;     // EUE per million MWh demanded.
};

// One hour of two areas: each one's loss-of-load probability and expected
// unserved MW, and the probability that some area is short.
struct TwoAreaHour {
  double lolp[2] = {0.0, 0.0};
  double unserved[2] = {0.0, 0.0};
  double system_lolp = 0.0;
};

// One hour's exact bounds, for any number of areas: each area's
// loss-of-load probability on its own, the probability that some area is
// short on its own (the islands'), and the copper plate's.
struct BoundsHour {
  std::vector<double> alone_lolp;
  double islands_lolp = 0.0;
  double copper_plate_lolp = 0.0;
};

struct AreasAssessment {
  bool exact = false;              // Two areas: each area's and the system's.
  std::vector<AreaIndices> areas;  // Each area's, where exact.
  AreaIndices system;              // Where exact.
  AreaIndices islands;             // Every tie at 0.
  AreaIndices copper_plate;        // Every unit against the summed load.
  std::vector<AreaIndices> island_areas;  // Each area alone.
  std::vector<TwoAreaHour> hours;  // Each hour's, of two areas, where asked.
  std::vector<BoundsHour> bounds;  // Each hour's, of more, where asked.
};

// The hour's risks of two areas with tables `first` and `second` and net
// loads `net[2]`, a tie carrying up to `into[a]` MW into area a.
TwoAreaHour TwoAreaRisk(const CapacityTable& first, const CapacityTable& second,
                        const double net[2], const double into[2]);

// The units of area `area` as the availability table takes them.
std::vector<UnitKind> AreaKinds(const System& system, size_t area);

// Each area's net load: its load less its profiles.
std::vector<std::vector<double>> AreaNetLoads(const System& system);

// The direct solution of `system`, which has areas; with `keep_hours`,
// each hour's risks too where there are two (or one).
AreasAssessment AssessAreas(const System& system, bool keep_hours = false);

// The same with each area's availability tables built once (one for each
// fleet its maintenance leaves in service), for loads that change between
// calls (a capacity search).
class AreasStudy {
 public:
  explicit AreasStudy(const System& system);
  // `system` is the one the study was built from, or it with other loads;
  // with an uncertain load, the probability-weighted sum over its
  // outcomes.
  AreasAssessment Assess(const System& system, bool keep_hours = false) const;
  // Area `area`'s indices alone, of a system of two areas: with
  // `lole_only` its LOLE alone, which looks at the day's peak hours only.
  AreaIndices OneArea(const System& system, size_t area, bool lole_only) const;

 private:
  // The same at the loads of `system` as they stand.
  AreasAssessment AssessLoads(const System& system, bool keep_hours) const;
  AreaIndices OneAreaLoads(const System& system, size_t area,
                           bool lole_only) const;

  // Area a's table in hour `hour` of the series.
  const CapacityTable& Table(size_t a, size_t hour) const {
    return areas_[a]->TableOfDay(day_in_year_[hour / 24]);
  }
  const CapacityTable& Whole(size_t hour) const {
    return whole_->TableOfDay(day_in_year_[hour / 24]);
  }

  std::vector<std::unique_ptr<DirectStudy>> areas_;  // Each area alone.
  std::unique_ptr<DirectStudy> whole_;  // Every unit: the copper plate.
  std::vector<size_t> day_in_year_;     // Of each day of the series.
};

}  // namespace adequacy

#endif  // ADEQUACY_DIRECT_AREAS_H_
