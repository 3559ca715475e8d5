// The source-input editors, the dimension editors of the shape pages and the curve controls: what a
// change of their text marks or stores, and what leaving a source editor normalises.

#include "app/TF_Main.h"

#include "app/SpinEdit.h"
#include "core/CurvePages.h"
#include "core/Dimensions.h"
#include "core/Numbers.h"

#include <QComboBox>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace {

using vx::CalcState;
using vx::Field;

// The floating-point source editors share one rule on leaving: an unreadable text or a value below 1
// becomes the fallback, silently, and the value is written back in the general format.
struct FloatInput {
    const char* handler;
    Field editor;
    double CalcState::*value;
    double fallback;
};
constexpr FloatInput kFloatInputs[] = {
    {"EditFbExit", "EditFb", &CalcState::Fb, 30},
    {"EditVbExit", "EditVb", &CalcState::Vb, 45},
    {"EditXmaxExit", "EditXmax", &CalcState::Xmax, 7},
};

// Editors whose change only marks the project. The woofer count is among them: it is saved with the
// project like every other source input, so an edit of it alone must not be lost at closing. The
// cone area is not (EditSdChange does nothing and is not attached): it is a view of the diameter, and
// marks once its exit rewrites the diameter.
struct MarkingEditor {
    const char* handler;
    Field editor;
};
constexpr MarkingEditor kMarkingEditors[] = {
    {"EditFbChange", "EditFb"},
    {"EditVbChange", "EditVb"},
    {"EditDdChange", "EditDd"},
    {nullptr, "EditNd"}, // the woofer count has no change handler of its own design; it marks all the same
    {"EditXmaxChange", "EditXmax"},
    {"EditVsChange", "EditVs"},
};

// The change handler of each dimension editor, "Edit" + key: one rule for all, but for the three whose
// dimension the curved-port solver reads and stores itself, which only mark.
struct DimensionEditor {
    const char* handler;
    std::string_view key;
    bool markOnly;
};
constexpr DimensionEditor kDimensionEditors[] = {
    {"EditTubDChange", "TubD", false},
    {"EditConAChange", "ConA", false},
    {"EditConD1Change", "ConD1", false},
    {"EditTubConAChange", "TubConA", false},
    {"EditTubConD1Change", "TubConD1", false},
    {"EditTubConL1Change", "TubConL1", false},
    {"EditConTubConAChange", "ConTubConA", false},
    {"EditConTubConD1Change", "ConTubConD1", false},
    {"EditConTubConL1Change", "ConTubConL1", false},
    {"EditBoxWChange", "BoxW", false},
    {"EditBoxHChange", "BoxH", false},
    {"EditPriW1Change", "PriW1", false},
    {"EditPriAChange", "PriA", false},
    {"EditPriHChange", "PriH", false},
    {"EditBoxPriW1Change", "BoxPriW1", false},
    {"EditBoxPriAChange", "BoxPriA", false},
    {"EditBoxPriL1Change", "BoxPriL1", false},
    {"EditBoxPriHChange", "BoxPriH", false},
    {"EditPriBoxPriW1Change", "PriBoxPriW1", false},
    {"EditPriBoxPriAChange", "PriBoxPriA", false},
    {"EditPriBoxPriL1Change", "PriBoxPriL1", false},
    {"EditPriBoxPriHChange", "PriBoxPriH", false},
    {"EditFlaTubDChange", "FlaTubD", false},
    {"EditFlaTubR1Change", "FlaTubR1", false},
    {"EditFlaTubR2Change", "FlaTubR2", false},
    {"EditFlaBoxWChange", "FlaBoxW", false},
    {"EditFlaBoxHChange", "FlaBoxH", false},
    {"EditFlaBoxR1Change", "FlaBoxR1", false},
    {"EditFlaBoxR2Change", "FlaBoxR2", false},
    {"EditCurveConLChange", "CurveConL", true},
    {"EditCurveFlatLChange", "CurveFlatL", true},
    {"EditCurveFlatHChange", "CurveFlatH", true},
};

// The rows above are the floating-point dimensions of the project, each once.
constexpr bool coversEveryDimension()
{
    std::size_t real = 0;
    for (const vx::DimensionKey& k : vx::kDimensionKeys) {
        if (!k.real)
            continue;
        ++real;
        std::size_t rows = 0;
        for (const DimensionEditor& e : kDimensionEditors)
            rows += e.key == k.key ? 1 : 0;
        if (rows != 1)
            return false;
    }
    return real == std::size(kDimensionEditors);
}
static_assert(coversEveryDimension(), "one change handler per floating-point dimension");

constexpr int kDefaultConeDiameterMm = 210;

// Area of a cone of d mm in whole cm².
std::int64_t coneAreaCm2(long double d) { return vx::Round(d * vx::kPi * d / 100 / 4); }

const vx::DimensionKey& dimensionOf(std::string_view key)
{
    for (const vx::DimensionKey& k : vx::kDimensionKeys) {
        if (k.key == key)
            return k;
    }
    return vx::kDimensionKeys.front(); // not reached: the rows are checked against the keys
}

} // namespace

void TF_Main::connectEditors()
{
    for (const MarkingEditor& marking : kMarkingEditors)
        addChangeHandler(marking.editor, [this] { ProjectModified = true; });

    for (const FloatInput& input : kFloatInputs) {
        addExitHandler(input.editor, [this, &input] {
            const auto parsed = vx::parseFloat(text(input.editor), decimalSeparator());
            double& value = m_state.*input.value;
            value = parsed ? *parsed : input.fallback;
            if (!(value >= 1))
                value = input.fallback;
            setText(input.editor, vx::formatFloat(value, decimalSeparator()));
        });
    }

    addExitHandler("EditDd", [this] { EditDdExit(); });
    addExitHandler("EditSd", [this] { EditSdExit(); });
    addExitHandler("EditNd", [this] { EditNdExit(); });
    addChangeHandler("SpinEdNPorts", [this] { SpinEdNPortsChange(); });

    // Every stored dimension follows its editor keystroke by keystroke; the calculation checks the texts
    // itself when it runs. An empty text keeps the value, so a page shown again writes it back.
    for (const DimensionEditor& dimension : kDimensionEditors) {
        const std::string editor = "Edit" + std::string(dimension.key);
        if (dimension.markOnly) {
            addChangeHandler(editor, [this] { ProjectModified = true; });
            continue;
        }
        addChangeHandler(editor, [this, editor, value = dimensionOf(dimension.key).real] {
            ProjectModified = true;
            const std::string typed = text(editor);
            if (typed.empty())
                return;
            if (const auto v = vx::parseFloat(typed, decimalSeparator()))
                m_state.*value = *v;
            else
                message(vx::MsgType::Error, "'" + typed + "' is not a valid floating point value");
        });
    }

    // The curved pages' multipliers (SEdDivChange, SEFDivChange) and base-function selectors (both
    // CBCurveTypeChange).
    for (const vx::CurvePage& curve : vx::kCurvePages) {
        addChangeHandler(curve.multiplier, [this, &curve] {
            ProjectModified = true;
            m_state.*curve.division = spinValue(curve.multiplier);
            m_calc.RecalcRes(true);
        });
        // Only a user's pick runs this; code selecting an item does not. The pick is kept as the
        // shape's base function, so it is what the page shows the next time it is shown.
        auto* selector = qobject_cast<QComboBox*>(component(curve.selector));
        if (!selector)
            continue;
        connect(selector, &QComboBox::activated, this, [this, &curve](int index) {
            ProjectModified = true;
            if (index >= 0)
                m_state.*curve.function = index;
            m_calc.RecalcRes(true);
        });
    }
}

// The cone diameter and the cone area are two views of one input: leaving the diameter derives it from
// the area when it is missing and rewrites the area; leaving the area rewrites the diameter.
void TF_Main::EditDdExit()
{
    int dd = vx::parseInt(text("EditDd")).value_or(0);
    if (dd == 0) {
        const int area = vx::parseInt(text("EditSd")).value_or(0);
        // An area of zero or less says nothing about the cone: the usual diameter stands in.
        if (area > 0)
            dd = static_cast<int>(vx::Round(std::sqrt(static_cast<long double>(area) * 4 / vx::kPi * 100)));
        else
            dd = kDefaultConeDiameterMm;
    }
    if (dd < 1)
        dd = kDefaultConeDiameterMm;
    m_state.Dd = dd;
    setText("EditDd", vx::formatInt(dd));
    setText("EditSd", vx::formatInt(coneAreaCm2(dd)));
}

void TF_Main::EditSdExit()
{
    const int area = vx::parseInt(text("EditSd")).value_or(0);
    setText("EditSd", vx::formatInt(area));
    // The typed area stays until the diameter is left again and recomputes it from the rounded
    // diameter (200 cm² gives 160 mm, which gives back 201 cm²).
    if (area > 0)
        setText("EditDd", vx::formatInt(vx::Round(std::sqrt(static_cast<long double>(area) * 4 / vx::kPi) * 10)));
    if (const auto dd = vx::parseInt(text("EditDd")))
        m_state.Dd = *dd;
}

void TF_Main::EditNdExit()
{
    m_calc.EditNdChange();
    // The editor then shows one woofer, and the input says so too.
    if (m_state.Nd < 2) {
        setText("EditNd", "1");
        m_state.Nd = 1;
    }
}

void TF_Main::SpinEdNPortsChange()
{
    const int ports = spinValue("SpinEdNPorts");
    // Each patch covers one port of the box sketch, so it shows as many ports as there are.
    setVisible("Image2", ports == 1);
    setVisible("Image3", ports == 1 || ports == 2);
    setText("Label128", ports == 1 ? "Внутренний объём порта, л" : "Суммарный внутренний объём портов, л");
    ProjectModified = true;
}
