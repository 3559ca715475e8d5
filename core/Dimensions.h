#pragma once
// The stored dimensions of the twelve shapes in the order of a project section (keys 10 to 45), each
// tied to its value in the calculation state. One table serves the editors' change handlers, project
// loading and saving.

#include "CalcState.h"

#include <array>
#include <string_view>

namespace vx {

struct DimensionKey {
    std::string_view key;          // settings key; the editor is "Edit" + key where it has one
    int shape;                     // PortType of the page it stands on
    double CalcState::*real;       // float keys
    int CalcState::*whole;         // the four curve integers (real is null for them)
};

inline constexpr std::array<DimensionKey, 36> kDimensionKeys{{
    {"TubD", TUB, &CalcState::TubD, nullptr},
    {"ConA", CONE, &CalcState::ConA, nullptr},
    {"ConD1", CONE, &CalcState::ConD1, nullptr},
    {"TubConA", TUBCONE, &CalcState::TubConA, nullptr},
    {"TubConD1", TUBCONE, &CalcState::TubConD1, nullptr},
    {"TubConL1", TUBCONE, &CalcState::TubConL1, nullptr},
    {"ConTubConA", CONETUBCONE, &CalcState::ConTubConA, nullptr},
    {"ConTubConD1", CONETUBCONE, &CalcState::ConTubConD1, nullptr},
    {"ConTubConL1", CONETUBCONE, &CalcState::ConTubConL1, nullptr},
    {"BoxW", BOX, &CalcState::BoxW, nullptr},
    {"BoxH", BOX, &CalcState::BoxH, nullptr},
    {"PriW1", PRISM, &CalcState::PriW1, nullptr},
    {"PriA", PRISM, &CalcState::PriA, nullptr},
    {"PriH", PRISM, &CalcState::PriH, nullptr},
    {"BoxPriW1", BOXPRISM, &CalcState::BoxPriW1, nullptr},
    {"BoxPriA", BOXPRISM, &CalcState::BoxPriA, nullptr},
    {"BoxPriL1", BOXPRISM, &CalcState::BoxPriL1, nullptr},
    {"BoxPriH", BOXPRISM, &CalcState::BoxPriH, nullptr},
    {"PriBoxPriW1", PRISMBOXPRISM, &CalcState::PriBoxPriW1, nullptr},
    {"PriBoxPriA", PRISMBOXPRISM, &CalcState::PriBoxPriA, nullptr},
    {"PriBoxPriL1", PRISMBOXPRISM, &CalcState::PriBoxPriL1, nullptr},
    {"PriBoxPriH", PRISMBOXPRISM, &CalcState::PriBoxPriH, nullptr},
    {"FlaTubD", FLARETUBE, &CalcState::FlaTubD, nullptr},
    {"FlaTubR1", FLARETUBE, &CalcState::FlaTubR1, nullptr},
    {"FlaTubR2", FLARETUBE, &CalcState::FlaTubR2, nullptr},
    {"FlaBoxW", FLAREFLAT, &CalcState::FlaBoxW, nullptr},
    {"FlaBoxH", FLAREFLAT, &CalcState::FlaBoxH, nullptr},
    {"FlaBoxR1", FLAREFLAT, &CalcState::FlaBoxR1, nullptr},
    {"FlaBoxR2", FLAREFLAT, &CalcState::FlaBoxR2, nullptr},
    {"CurveConL", CURVECONE, &CalcState::CurveConL, nullptr},
    {"CurveConDiv", CURVECONE, nullptr, &CalcState::CurveConDiv},
    {"CurveConFunc", CURVECONE, nullptr, &CalcState::CurveConFunc},
    {"CurveFlatL", CURVEFLAT, &CalcState::CurveFlatL, nullptr},
    {"CurveFlatH", CURVEFLAT, &CalcState::CurveFlatH, nullptr},
    {"CurveFlatDiv", CURVEFLAT, nullptr, &CalcState::CurveFlatDiv},
    {"CurveFlatFunc", CURVEFLAT, nullptr, &CalcState::CurveFlatFunc},
}};

} // namespace vx
