#pragma once
// One geometry branch per port shape, named in the shape's row (Shapes.h) and run by Calc::RecalcRes for
// the chosen PortType. A branch reads its
// page's editors, fills missing sizes with defaults (written back), solves, writes its own result fields
// and leaves SInTotal, SOutTotal, Vtot and calc.Lorf; it returns false when it stopped after a message,
// and the common result block is then skipped.

namespace vx {

class Calc;

bool branchTub(Calc& calc);
bool branchCone(Calc& calc);
bool branchTubCone(Calc& calc);
bool branchConeTubCone(Calc& calc);
bool branchBox(Calc& calc);
bool branchPrism(Calc& calc);
bool branchBoxPrism(Calc& calc);
bool branchPrismBoxPrism(Calc& calc);
bool branchCurveCone(Calc& calc);
bool branchCurveFlat(Calc& calc);
bool branchFlareTube(Calc& calc);
bool branchFlareFlat(Calc& calc);

} // namespace vx
