// The source-input editors, the dimension editors of the shape pages and the curve controls: what a
// change of their text marks or stores, and what leaving a source editor normalises.

#include "app/TF_Main.h"

#include "app/SpinEdit.h"
#include "core/Dimensions.h"
#include "core/Numbers.h"

#include <QComboBox>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using vx::CalcState;
using vx::Field;

// The floating-point source editors share one rule on leaving: an unreadable text or a value below 1
// becomes the fallback, silently, and the value is written back in the general format.
struct FloatInput {
    Field editor;
    double CalcState::*value;
    double fallback;
};
constexpr FloatInput kFloatInputs[] = {
    {"EditFb", &CalcState::Fb, 30},
    {"EditVb", &CalcState::Vb, 45},
    {"EditXmax", &CalcState::Xmax, 7},
};

// Editors whose change only marks the project. The woofer count is among them: it is saved with the
// project like every other source input, so an edit of it alone must not be lost at closing. The
// cone area is not: it is a view of the diameter, and marks once its exit rewrites the diameter.
constexpr Field kMarkingEditors[] = {"EditFb", "EditVb", "EditDd", "EditNd", "EditXmax", "EditVs"};

// Dimensions whose editors only mark: the curved-port solver reads and stores these itself.
constexpr std::string_view kMarkOnlyDimensions[] = {"CurveConL", "CurveFlatL", "CurveFlatH"};

// The two curved pages' multipliers and base-function selectors.
struct CurveControls {
    Field multiplier;
    int CalcState::*division;
    Field selector;
    int CalcState::*function;
};
constexpr CurveControls kCurveControls[] = {
    {"SEdDiv", &CalcState::CurveConDiv, "CBCurveType", &CalcState::CurveConFunc},
    {"SEFdiv", &CalcState::CurveFlatDiv, "CBFcurveType", &CalcState::CurveFlatFunc},
};

constexpr int kDefaultConeDiameterMm = 210;

// Area of a cone of d mm in whole cm².
std::int64_t coneAreaCm2(long double d) { return vx::Round(d * vx::kPi * d / 100 / 4); }

bool isMarkOnly(std::string_view key)
{
    for (std::string_view k : kMarkOnlyDimensions) {
        if (k == key)
            return true;
    }
    return false;
}

} // namespace

void TF_Main::connectEditors()
{
    for (Field editor : kMarkingEditors)
        addChangeHandler(editor, [this] { ProjectModified = true; });

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

    // The cone diameter and the cone area are two views of one input: leaving the diameter derives it
    // from the area when it is missing and rewrites the area; leaving the area rewrites the diameter.
    addExitHandler("EditDd", [this] {
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
    });

    addExitHandler("EditSd", [this] {
        const int area = vx::parseInt(text("EditSd")).value_or(0);
        setText("EditSd", vx::formatInt(area));
        // The typed area stays until the diameter is left again and recomputes it from the rounded
        // diameter (200 cm² gives 160 mm, which gives back 201 cm²).
        if (area > 0)
            setText("EditDd", vx::formatInt(vx::Round(std::sqrt(static_cast<long double>(area) * 4 / vx::kPi) * 10)));
        if (const auto dd = vx::parseInt(text("EditDd")))
            m_state.Dd = *dd;
    });

    addExitHandler("EditNd", [this] {
        m_calc.EditNdChange();
        // The editor then shows one woofer, and the input says so too.
        if (m_state.Nd < 2) {
            setText("EditNd", "1");
            m_state.Nd = 1;
        }
    });

    addChangeHandler("SpinEdNPorts", [this] {
        const int ports = spinValue("SpinEdNPorts");
        // Each patch covers one port of the box sketch, so it shows as many ports as there are.
        setVisible("Image2", ports == 1);
        setVisible("Image3", ports == 1 || ports == 2);
        setText("Label128", ports == 1 ? "Внутренний объём порта, л" : "Суммарный внутренний объём портов, л");
        ProjectModified = true;
    });

    // Every stored dimension follows its editor keystroke by keystroke; the calculation checks the texts
    // itself when it runs. An empty text keeps the value, so a page shown again writes it back.
    for (const vx::DimensionKey& key : vx::kDimensionKeys) {
        if (!key.real)
            continue;
        const std::string editor = "Edit" + std::string(key.key);
        if (isMarkOnly(key.key)) {
            addChangeHandler(editor, [this] { ProjectModified = true; });
            continue;
        }
        addChangeHandler(editor, [this, editor, &key] {
            ProjectModified = true;
            const std::string typed = text(editor);
            if (typed.empty())
                return;
            if (const auto v = vx::parseFloat(typed, decimalSeparator()))
                m_state.*key.real = *v;
            else
                message(vx::MsgType::Error, "'" + typed + "' is not a valid floating point value");
        });
    }

    for (const CurveControls& curve : kCurveControls) {
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
