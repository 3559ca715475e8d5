// Ports with rounded ends: not computed yet; the branches refuse until their solvers arrive.
#include "Branches.h"

namespace vx {

bool branchFlareTube(Calc&) { return false; }
bool branchFlareFlat(Calc&) { return false; }

} // namespace vx
