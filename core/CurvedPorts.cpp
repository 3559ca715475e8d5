// Curved-profile ports: not computed yet; the branches refuse until their solvers arrive.
#include "Branches.h"

namespace vx {

bool branchCurveCone(Calc&) { return false; }
bool branchCurveFlat(Calc&) { return false; }

} // namespace vx
