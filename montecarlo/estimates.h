// The Monte Carlo estimates reported at a checkpoint.
#ifndef ADEQUACY_MONTECARLO_ESTIMATES_H_
#define ADEQUACY_MONTECARLO_ESTIMATES_H_

namespace adequacy {

struct Estimates {
  double yrs;     // Years simulated since the phase began.
  double lolh;    // Deficit hours per year.
  double lolev;   // Loss-of-load events per year.
  double alolp;   // Share of years with at least one deficit hour.
  double mwheue;  // Unserved energy, MWh per year.
};

}  // namespace adequacy

#endif  // ADEQUACY_MONTECARLO_ESTIMATES_H_
