#pragma once
// Everything the program knows of a port shape, one constant row per shape: the button it sits on and
// its twin of the other section, the air velocity that button allows, its glyph, tooltip and picture,
// its result fields, the page check, the default wall angle, the default-size rules of its page and its
// geometry branch. The shape buttons, the section switch, the project loader, the boundary values, the
// page check, the result handling, the calculation, the page handlers and the picture all read these
// rows, so a shape's facts change here and nowhere else. The rows stand in PortType order, one for each
// shape; the compiler refuses a table that is short, out of order or missing a rule.

#include "Branches.h"
#include "CalcState.h"
#include "CurvePages.h"
#include "Form.h"
#include "PageDefaults.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace vx {

// Messages of the page check, shared with the branches that refuse the same editors.
inline constexpr std::string_view kBadDiameter = "Неверное значение диаметра порта";
inline constexpr std::string_view kBadWidth = "Неверное значение ширины порта";
inline constexpr std::string_view kBadHeight = "Неверное значение высоты порта";
inline constexpr std::string_view kBadAngle = "Неверное значение угла наклона образующей";
inline constexpr std::string_view kBadLength = "Неверное значение длины порта";
inline constexpr std::string_view kBadThroatLength = "Неверное значение длины горловины";
inline constexpr std::string_view kBadTubeLength = "Неверное значение длины трубки";
inline constexpr std::string_view kBadRadius = "Неверное значение радиуса скругления";

// One editor the page check reads, with the warning for a text that is no number. An empty field ends
// a shape's list.
struct PageCheck {
    Field field;
    std::string_view message;
};

// Where the shape's picture lies on the sprite sheet.
struct SpriteRect {
    int left, top, width, height;
};

// One size a page writes into its editor after the defaults, in the page's order. An empty field ends
// the list.
struct ShownSize {
    Field field;
    double CalcState::*value;
    Shown how;
};

struct ShapeRow {
    PortType type;
    std::string_view name; // the resource name of its glyph ("TUB")
    PortSection section;
    PortType twin;         // the same button's shape in the other section
    int button;            // 1..6: SBut1..SBut6
    int allowedVelocity;   // m/s, behind the boundary values while its button is down
    std::string_view tooltip;
    SpriteRect sprite;
    std::array<Field, 2> results; // its own computed fields; the second may be empty
    std::array<PageCheck, 4> checks;
    // The wall angle a missing angle takes, in degrees, and the dimension that holds it; 0 and null
    // for the shapes without a flare of straight walls.
    double wallAngle;
    double CalcState::*angle;
    // The page's default-size rules, and what it then shows.
    PageDefaultsRule defaults;
    std::array<ShownSize, 4> shown;
    bool curved; // a curved profile: its settings and the section print belong to it
    // The geometry branch that Calc::RecalcRes runs while the shape is chosen (Branches.h).
    bool (*branch)(Calc& calc);
};

inline constexpr double kConeAngle = 4;  // degrees, the round flares
inline constexpr double kWedgeAngle = 8; // degrees, the slot flares

inline constexpr std::array<ShapeRow, kPortTypeCount> kShapes{{
    {TUB, "TUB", Round_Section, BOX, 1, 9, "Порт \"труба\"", {0, 0, 152, 107}, {"EditTubL", ""},
     {{{"EditTubD", kBadDiameter}}}, 0, nullptr, defaultsTub,
     {{{"EditTubD", &CalcState::TubD, Shown::Plain}}}, false, branchTub},
    {CONE, "CONE", Round_Section, PRISM, 2, 12, "Порт \"конус\"", {152, 0, 176, 114}, {"EditConL", "EditConD"},
     {{{"EditConD1", kBadDiameter}, {"EditConA", kBadAngle}}}, kConeAngle, &CalcState::ConA, defaultsCone,
     {{{"EditConD1", &CalcState::ConD1, Shown::Cents}, {"EditConA", &CalcState::ConA, Shown::Plain}}}, false,
     branchCone},
    {TUBCONE, "TUBCONE", Round_Section, BOXPRISM, 3, 12, "Порт \"труба-конус\"", {328, 0, 180, 123},
     {"EditTubConL", "EditTubConD"},
     {{{"EditTubConD1", kBadDiameter}, {"EditTubConA", kBadAngle}, {"EditTubConL1", kBadThroatLength}}},
     kConeAngle, &CalcState::TubConA, defaultsTubCone,
     {{{"EditTubConD1", &CalcState::TubConD1, Shown::Cents},
       {"EditTubConL1", &CalcState::TubConL1, Shown::Cents},
       {"EditTubConA", &CalcState::TubConA, Shown::Plain}}},
     false, branchTubCone},
    {CONETUBCONE, "CONETUBCONE", Round_Section, PRISMBOXPRISM, 4, 16, "Порт \"песочные часы\"", {508, 0, 174, 110},
     {"EditConTubConL", "EditConTubConD"},
     {{{"EditConTubConD1", kBadDiameter}, {"EditConTubConA", kBadAngle}, {"EditConTubConL1", kBadTubeLength}}},
     kConeAngle, &CalcState::ConTubConA, defaultsConeTubCone,
     {{{"EditConTubConD1", &CalcState::ConTubConD1, Shown::Cents},
       {"EditConTubConL1", &CalcState::ConTubConL1, Shown::Cents},
       {"EditConTubConA", &CalcState::ConTubConA, Shown::Plain}}},
     false, branchConeTubCone},
    {BOX, "BOX", Slot_Section, TUB, 1, 9, "Порт \"бокс\"", {0, 123, 144, 155}, {"EditBoxL", ""},
     {{{"EditBoxW", kBadWidth}, {"EditBoxH", kBadHeight}}}, 0, nullptr, defaultsBox,
     {{{"EditBoxW", &CalcState::BoxW, Shown::Cents}, {"EditBoxH", &CalcState::BoxH, Shown::Cents}}}, false,
     branchBox},
    {PRISM, "PRISM", Slot_Section, CONE, 2, 12, "Порт \"призма\"", {152, 123, 171, 159}, {"EditPriL", "EditPriW"},
     {{{"EditPriW1", kBadWidth}, {"EditPriH", kBadHeight}, {"EditPriA", kBadAngle}}}, kWedgeAngle, &CalcState::PriA,
     defaultsPrism,
     {{{"EditPriA", &CalcState::PriA, Shown::Plain},
       {"EditPriW1", &CalcState::PriW1, Shown::Cents},
       {"EditPriH", &CalcState::PriH, Shown::Cents}}},
     false, branchPrism},
    // the wedge length of the tube-wedge is not checked: its branch reads a bad text as missing
    {BOXPRISM, "BOXPRISM", Slot_Section, TUBCONE, 3, 12, "Порт \"бокс-призма\"", {328, 123, 174, 173},
     {"EditBoxPriL", "EditBoxPriW"},
     {{{"EditBoxPriW1", kBadWidth}, {"EditBoxPriH", kBadHeight}, {"EditBoxPriA", kBadAngle}}}, kWedgeAngle,
     &CalcState::BoxPriA, defaultsBoxPrism,
     {{{"EditBoxPriA", &CalcState::BoxPriA, Shown::Plain},
       {"EditBoxPriW1", &CalcState::BoxPriW1, Shown::Cents},
       {"EditBoxPriH", &CalcState::BoxPriH, Shown::Cents},
       {"EditBoxPriL1", &CalcState::BoxPriL1, Shown::Cents}}},
     false, branchBoxPrism},
    {PRISMBOXPRISM, "PRISMBOXPRISM", Slot_Section, CONETUBCONE, 4, 16, "Порт \"песочные часы\"",
     {508, 123, 169, 159}, {"EditPriBoxPriL", "EditPriBoxPriW"},
     {{{"EditPriBoxPriW1", kBadWidth},
       {"EditPriBoxPriH", kBadHeight},
       {"EditPriBoxPriA", kBadAngle},
       {"EditPriBoxPriL1", kBadThroatLength}}},
     kWedgeAngle, &CalcState::PriBoxPriA, defaultsPrismBoxPrism,
     {{{"EditPriBoxPriA", &CalcState::PriBoxPriA, Shown::Plain},
       {"EditPriBoxPriW1", &CalcState::PriBoxPriW1, Shown::Cents},
       {"EditPriBoxPriH", &CalcState::PriBoxPriH, Shown::Cents},
       {"EditPriBoxPriL1", &CalcState::PriBoxPriL1, Shown::Cents}}},
     false, branchPrismBoxPrism},
    {CURVECONE, "CURVECONE", Round_Section, CURVEFLAT, 5, 16, "Порт с криволинейной образующей",
     {682, 0, 153, 111}, {"EditCurveCond1", "EditCurveConD"}, {{{kRoundCurvePage.length, kBadLength}}}, 0,
     nullptr, defaultsCurveCone, {{{kRoundCurvePage.length, kRoundCurvePage.lengthValue, Shown::Cents}}}, true,
     branchCurveCone},
    {CURVEFLAT, "CURVEFLAT", Slot_Section, CURVECONE, 5, 16, "Порт с криволинейной образующей",
     {677, 123, 153, 160}, {"EditCurveFlatW1", "EditCurveFlatW"},
     {{{kSlotCurvePage.length, kBadLength}, {kSlotCurvePage.height, kBadHeight}}}, 0, nullptr, defaultsCurveFlat,
     {{{kSlotCurvePage.length, kSlotCurvePage.lengthValue, Shown::Cents},
       {kSlotCurvePage.height, kSlotCurvePage.heightValue, Shown::Cents}}},
     true, branchCurveFlat},
    {FLARETUBE, "FLARETUBE", Round_Section, FLAREFLAT, 6, 9, "Порт \"труба со скруглениями\"", {836, 0, 137, 105},
     {"EditFlaTubL", ""},
     {{{"EditFlaTubD", kBadDiameter}, {"EditFlaTubR1", kBadRadius}, {"EditFlaTubR2", kBadRadius}}}, 0, nullptr,
     defaultsFlareTube,
     {{{"EditFlaTubD", &CalcState::FlaTubD, Shown::Cents},
       {"EditFlaTubR1", &CalcState::FlaTubR1, Shown::Cents},
       {"EditFlaTubR2", &CalcState::FlaTubR2, Shown::Cents}}},
     false, branchFlareTube},
    {FLAREFLAT, "FLAREFLAT", Slot_Section, FLARETUBE, 6, 9, "Порт \"бокс со скруглениями\"", {830, 123, 141, 159},
     {"EditFlaBoxL", ""},
     {{{"EditFlaBoxW", kBadWidth},
       {"EditFlaBoxH", kBadHeight},
       {"EditFlaBoxR1", kBadRadius},
       {"EditFlaBoxR2", kBadRadius}}},
     0, nullptr, defaultsFlareFlat,
     {{{"EditFlaBoxW", &CalcState::FlaBoxW, Shown::Cents},
       {"EditFlaBoxH", &CalcState::FlaBoxH, Shown::Cents},
       {"EditFlaBoxR1", &CalcState::FlaBoxR1, Shown::Cents},
       {"EditFlaBoxR2", &CalcState::FlaBoxR2, Shown::Cents}}},
     false, branchFlareFlat},
}};

// A table one row short would still compile, its last row empty (a TUB without rules or branch, a null
// call at run time): every shape has its own complete row, at the index of its PortType.
constexpr bool everyShapeInItsRow()
{
    for (int i = 0; i < kPortTypeCount; ++i) {
        const ShapeRow& r = kShapes[static_cast<std::size_t>(i)];
        if (r.type != i || r.name.empty() || !r.defaults || !r.branch || r.button < 1 || r.button > 6)
            return false;
    }
    return true;
}
static_assert(everyShapeInItsRow(), "one complete row per shape, in PortType order");

constexpr bool isShape(int type)
{
    return type >= 0 && type < kPortTypeCount;
}

// The row of a shape; `type` must be one of the twelve.
constexpr const ShapeRow& shapeRow(int type)
{
    return kShapes[static_cast<std::size_t>(type)];
}

// The shape of button n (1..6) in the section.
constexpr int shapeOfButton(int n, int section)
{
    for (const ShapeRow& r : kShapes)
        if (r.button == n && r.section == (section == Slot_Section ? Slot_Section : Round_Section))
            return r.type;
    return TUB;
}

// The same button's shape in the section; a value that is no shape stays as it is.
constexpr int shapeInSection(int type, int section)
{
    if (!isShape(type))
        return type;
    const ShapeRow& r = shapeRow(type);
    return r.section == section ? type : r.twin;
}

// The allowed air velocity while button n (1..6) is down; 16 m/s when none is.
constexpr int velocityOfButton(int n)
{
    for (const ShapeRow& r : kShapes)
        if (r.button == n)
            return r.allowedVelocity;
    return 16;
}

// The value a stored dimension starts from where a project starts without sizes: the wall angle of the
// shape it belongs to when it is that shape's angle, otherwise 0 (missing, so the page fills it).
constexpr double startingDimension(int shape, double CalcState::*value)
{
    return isShape(shape) && value && shapeRow(shape).angle == value ? shapeRow(shape).wallAngle : 0;
}

} // namespace vx
