// The worst simulated event of a system of areas, hour by hour: the
// system's net load, available MW and unserved MW, each area's margin on
// its own and what each tie carried, its year simulated again.
#ifndef ADEQUACY_MONTECARLO_AREAS_AREAS_EVENT_HOURS_H_
#define ADEQUACY_MONTECARLO_AREAS_AREAS_EVENT_HOURS_H_

#include "montecarlo/areas/areas_simulation.h"
#include "montecarlo/events/event_hours.h"

namespace adequacy {

// The system's event with the most unserved energy in `simulation`.
EventHours WorstAreasEventHours(AreasSimulation* simulation);

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_AREAS_AREAS_EVENT_HOURS_H_
