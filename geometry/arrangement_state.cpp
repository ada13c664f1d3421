// Globals of the gear calculation and the module series.
#include "geometry/arrangement_state.h"

namespace kovrex {

int DisplayMode = 0;
std::vector<PairCombination> PairResultList;
int64_t PairSelectedRow = -1;
std::vector<InternalCombination> InternalResultList;
int64_t InternalSelectedRow = -1;
double PairCentreDistance = 0.0;
double InternalCentreDistance = 0.0;
double InternalDeltaX = 0.0;
double InternalPenetration = -1.0;
double RingTipLimitRadius = 0.0;

const double ModuleSeries[2][35] = {
    {0.05, 0.06, 0.08, 0.1, 0.12, 0.16, 0.2, 0.25, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1, 1.25, 1.5,
     2, 2.5, 3, 4, 5, 6, 8, 10, 12, 16, 20, 25, 32, 40, 50, 60, -1},
    {0.055, 0.07, 0.09, 0.11, 0.14, 0.18, 0.22, 0.28, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95, 1.125,
     1.375, 1.75, 2.25, 2.75, 3.5, 4.5, 5.5, 7, 9, 11, 14, 18, 22, 28, 36, 45, 55, 70, -1},
};

void ResetArrangementState() {
  DisplayMode = 0;
  PairResultList.clear();
  PairSelectedRow = -1;
  InternalResultList.clear();
  InternalSelectedRow = -1;
  PairCentreDistance = 0.0;
  InternalCentreDistance = 0.0;
  InternalDeltaX = 0.0;
  InternalPenetration = -1.0;
  RingTipLimitRadius = 0.0;
}

}  // namespace kovrex
