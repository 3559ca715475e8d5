#pragma once
// The controls of the two curved pages, named here once: the length (and the slot's height) editor,
// the spin editor of the profile multiplier and the base-function selector, each with the value of the
// calculation state it shows, and the results the section print reads. The page check, the page
// defaults, the solver, the editors' handlers, the page show handler, the project load and save and
// the section print all take the names from these rows.

#include "CalcState.h"
#include "Form.h"

#include <array>

namespace vx {

struct CurvePage {
    PortType shape;
    Field length;     // L, given
    Field height;     // h, given on the slot page only (empty: round section)
    Field multiplier; // spin editor of the profile multiplier, percent (10 .. 50)
    Field selector;   // base-function selector (Cosh, Circle)
    double CalcState::*lengthValue;
    double CalcState::*heightValue; // null on the round page
    int CalcState::*division;       // the stored multiplier
    int CalcState::*function;       // the stored base function
    // What the last computation kept for the section print (mm): the throat and the size at the mouths.
    double CalcState::*keptThroat;
    double CalcState::*keptOutlet;
};

inline constexpr CurvePage kRoundCurvePage{CURVECONE,
                                           "EditCurveConL",
                                           "",
                                           "SEdDiv",
                                           "CBCurveType",
                                           &CalcState::CurveConL,
                                           nullptr,
                                           &CalcState::CurveConDiv,
                                           &CalcState::CurveConFunc,
                                           &CalcState::CurveConD1,
                                           &CalcState::CurveConD};
inline constexpr CurvePage kSlotCurvePage{CURVEFLAT,
                                          "EditCurveFlatL",
                                          "EditCurveFlatH",
                                          "SEFdiv",
                                          "CBFcurveType",
                                          &CalcState::CurveFlatL,
                                          &CalcState::CurveFlatH,
                                          &CalcState::CurveFlatDiv,
                                          &CalcState::CurveFlatFunc,
                                          &CalcState::CurveFlatW1,
                                          &CalcState::CurveFlatW};

inline constexpr std::array<CurvePage, 2> kCurvePages{kRoundCurvePage, kSlotCurvePage};

// The curved page whose section the print draws while `shape`'s page is shown: the slot's for the
// curved slot, the round one for every other page.
constexpr const CurvePage& curvePageOf(int shape)
{
    return shape == CURVEFLAT ? kCurvePages[1] : kCurvePages[0];
}

} // namespace vx
