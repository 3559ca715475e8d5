// The main window's source-input and dimension editors, driven as a user drives them: typed keys, Tab,
// clicks on another editor, and code making another control active.
#include "app/TF_Main.h"

#include "app/SpinEdit.h"
#include "core/CurvedPorts.h"
#include "core/Dimensions.h"
#include "core/Numbers.h"
#include "RecordingDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <tuple>

namespace {

// The window with a decimal separator of the test's choosing: the system locale cannot be switched
// inside a running program, and everything in the window asks this one function.
class SeparatorMain : public TF_Main {
public:
    char sep = '.';
    char decimalSeparator() const override { return sep; }
};

enum class Leave { Tab, ClickOther, ActiveControl };

const char* leaveName(Leave l)
{
    switch (l) {
    case Leave::Tab:
        return "Tab";
    case Leave::ClickOther:
        return "Click";
    case Leave::ActiveControl:
        return "Code";
    }
    return "";
}

QString q(const char* s) { return QString::fromUtf8(s); }

// Tables of rows run with each way of leaving the editor, named by row and way.
const auto kEveryLeave = testing::Values(Leave::Tab, Leave::ClickOther, Leave::ActiveControl);

struct RowAndLeaveName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<std::tuple<Row, Leave>>& info) const
    {
        return std::string(std::get<0>(info.param).name) + "_" + leaveName(std::get<1>(info.param));
    }
};


class WindowTest {
public:
    vx::test::RecordingDialogs dialogs;
    std::unique_ptr<SeparatorMain> w;

    explicit WindowTest(char sep = '.')
    {
        w = std::make_unique<SeparatorMain>();
        w->sep = sep;
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        // Whatever start-up reported is not the business of these tests.
        dialogs.boxes.clear();
    }

    QLineEdit* edit(const char* name) const
    {
        auto* e = qobject_cast<QLineEdit*>(w->component(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    vx::SpinEdit* spin(const char* name) const
    {
        auto* s = qobject_cast<vx::SpinEdit*>(w->component(name));
        EXPECT_NE(s, nullptr) << name;
        return s;
    }
    QString textOf(const char* name) const { return QString::fromStdString(w->text(name)); }
    bool shown(const char* name) const { return !w->component(name)->isHidden(); }

    // A click into an editor, as the user moves there with the mouse.
    void clickInto(QLineEdit* e)
    {
        QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(4, e->height() / 2));
        EXPECT_TRUE(e->hasFocus()) << e->objectName().toStdString();
    }
    void clickInto(const char* name)
    {
        clickInto(textEditor(name));
    }
    // The line editor that takes the typing: the editor itself, or the text of a spin editor.
    QLineEdit* textEditor(const char* name) const
    {
        QWidget* c = w->component(name);
        auto* s = qobject_cast<vx::SpinEdit*>(c);
        return s ? s->editor() : qobject_cast<QLineEdit*>(c);
    }

    // The page of a shape, then a click into one of its editors.
    void clickIntoPage(int shape, const char* name)
    {
        choose(shape);
        clickInto(name);
    }

    // Replaces the editor's text keystroke by keystroke, as a user does over a selected text: the first
    // character replaces the selection, an empty text is a Delete of it.
    void typeInto(QLineEdit* e, const QString& text)
    {
        keys(e, text);
        EXPECT_EQ(e->text(), text);
    }
    // The same keystrokes, for editors whose handlers rewrite the text while it is typed.
    void keys(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        if (text.isEmpty()) {
            QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
            QApplication::sendEvent(e, &del);
        }
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(e, &press);
        }
    }
    // A paste over the whole text: one change.
    void paste(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        e->insert(text);
    }
    void type(const char* name, const char* text)
    {
        clickInto(name);
        typeInto(textEditor(name), q(text));
    }

    // Picks a shape as the user does: the section selector, then the shape button of its pair.
    void choose(int shape)
    {
        const bool slot = (shape >= vx::BOX && shape <= vx::PRISMBOXPRISM) || shape == vx::CURVEFLAT ||
                          shape == vx::FLAREFLAT;
        const int button = shape <= vx::PRISMBOXPRISM ? shape % 4 + 1 : shape <= vx::CURVEFLAT ? 5 : 6;
        auto* section = qobject_cast<QComboBox*>(w->component("ComboPortType"));
        ASSERT_NE(section, nullptr);
        if (section->currentIndex() != (slot ? 1 : 0)) {
            section->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(section, slot ? Qt::Key_Down : Qt::Key_Up);
        }
        QTest::mouseClick(w->component("SBut" + std::to_string(button)), Qt::LeftButton);
        ASSERT_EQ(w->state().SBut, shape);
    }

    // Leaves the focused editor for another control of the window.
    void leave(Leave how)
    {
        QWidget* from = QApplication::focusWidget();
        ASSERT_NE(from, nullptr);
        switch (how) {
        case Leave::Tab:
            QTest::keyClick(from, Qt::Key_Tab);
            break;
        case Leave::ClickOther:
            // The speed-of-sound editor has no exit handler of its own.
            clickInto(from == edit("EditVs") ? edit("EditFb") : edit("EditVs"));
            break;
        case Leave::ActiveControl:
            w->setActiveControl(from == edit("EditVs") ? "EditFb" : "EditVs");
            break;
        }
        EXPECT_NE(QApplication::focusWidget(), from);
    }
};

// ---- floating-point source editors -------------------------------------------------------------------

struct FloatRow {
    const char* name;
    const char* editor;
    char sep;
    const char* typed;
    const char* shown;
    double value;
    double vx::CalcState::*input;
};

const FloatRow kFloatRows[] = {
    {"VbCommaUnderComma", "EditVb", ',', "45,0", "45", 45, &vx::CalcState::Vb},
    {"VbCommaUnderPoint", "EditVb", '.', "45,0", "45", 45, &vx::CalcState::Vb},
    {"VbPointUnderPoint", "EditVb", '.', "52.50", "52.5", 52.5, &vx::CalcState::Vb},
    {"VbPointUnderComma", "EditVb", ',', "52.5", "45", 45, &vx::CalcState::Vb},
    {"VbBelowOne", "EditVb", ',', "0,99", "45", 45, &vx::CalcState::Vb},
    {"FbHalf", "EditFb", '.', "0.5", "30", 30, &vx::CalcState::Fb},
    {"FbHalfComma", "EditFb", ',', "0,5", "30", 30, &vx::CalcState::Fb},
    {"FbOneStays", "EditFb", '.', "1", "1", 1, &vx::CalcState::Fb},
    {"FbOneStaysComma", "EditFb", ',', "1", "1", 1, &vx::CalcState::Fb},
    {"FbText", "EditFb", '.', "abc", "30", 30, &vx::CalcState::Fb},
    {"FbNegative", "EditFb", ',', "-35", "30", 30, &vx::CalcState::Fb},
    {"FbEmpty", "EditFb", '.', "", "30", 30, &vx::CalcState::Fb},
    {"FbFraction", "EditFb", ',', "32,25", "32,25", 32.25, &vx::CalcState::Fb},
    {"XmaxText", "EditXmax", '.', "abc", "7", 7, &vx::CalcState::Xmax},
    {"XmaxTextComma", "EditXmax", ',', "x", "7", 7, &vx::CalcState::Xmax},
    {"XmaxZero", "EditXmax", '.', "0", "7", 7, &vx::CalcState::Xmax},
    {"XmaxZeroComma", "EditXmax", ',', "0", "7", 7, &vx::CalcState::Xmax},
    {"XmaxValue", "EditXmax", ',', "12,5", "12,5", 12.5, &vx::CalcState::Xmax},
};

class FloatExit : public testing::TestWithParam<std::tuple<FloatRow, Leave>> {};

TEST_P(FloatExit, FallsBackAndWritesBack)
{
    const auto& [r, how] = GetParam();
    WindowTest t(r.sep);
    t.type(r.editor, r.typed);
    // Nothing happens while the editor holds the focus.
    EXPECT_EQ(t.textOf(r.editor), q(r.typed));
    t.leave(how);
    EXPECT_EQ(t.textOf(r.editor), q(r.shown));
    EXPECT_DOUBLE_EQ(t.w->state().*r.input, r.value);
    EXPECT_TRUE(t.dialogs.boxes.empty()) << "a fallback shows no message";
}

INSTANTIATE_TEST_SUITE_P(Rows, FloatExit,
                         testing::Combine(testing::ValuesIn(kFloatRows), kEveryLeave), RowAndLeaveName());

// ---- the exit rule: what does not end an edit ----------------------------------------------------------

TEST(ExitRule, ReturnEndsNoEdit)
{
    WindowTest t;
    t.type("EditFb", "0.5");
    QTest::keyClick(t.edit("EditFb"), Qt::Key_Return);
    EXPECT_EQ(t.textOf("EditFb"), "0.5");
    EXPECT_TRUE(t.edit("EditFb")->hasFocus());
}

TEST(ExitRule, AnotherWindowEndsNoEditAndComingBackEndsNone)
{
    WindowTest t;
    t.type("EditVb", "0.5");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(t.textOf("EditVb"), "0.5");
    t.w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(t.w.get()));
    EXPECT_EQ(t.textOf("EditVb"), "0.5");
    EXPECT_TRUE(t.edit("EditVb")->hasFocus());
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf("EditVb"), "45");
}

TEST(ExitRule, FlatButtonsTakeNoFocusAndEndNoEdit)
{
    WindowTest t;
    // Leaving would write "45"; the recalculation itself reads 45.0 as it stands.
    t.type("EditVb", "45.0");
    for (const char* flat : {"SBut1", "SBut2", "SBut3", "SBut4", "SBut5", "SBut6", "SbRecalcMins"}) {
        auto* b = qobject_cast<QToolButton*>(t.w->component(flat));
        ASSERT_NE(b, nullptr) << flat;
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << flat;
    }
    QTest::mouseClick(t.w->component("SbRecalcMins"), Qt::LeftButton);
    EXPECT_TRUE(t.edit("EditVb")->hasFocus());
    EXPECT_EQ(t.textOf("EditVb"), "45.0");
}

TEST(ExitRule, ActiveControlSetByCodeEndsTheEdit)
{
    WindowTest t;
    t.type("EditFb", "abc");
    t.w->setActiveControl("EditTubD");
    EXPECT_EQ(t.textOf("EditFb"), "30");
}

// ---- cone diameter and cone area ------------------------------------------------------------------------

struct ConeRow {
    const char* name;
    const char* areaBefore; // what EditSd holds when the diameter is typed
    const char* typed;      // typed into EditDd
    const char* diameter;   // EditDd after leaving
    const char* area;       // EditSd after leaving
};

const ConeRow kDiameterRows[] = {
    {"Usual", "", "210", "210", "346"},
    {"Larger", "", "250", "250", "491"},
    {"Negative", "", "-100", "210", "346"},
    {"EmptiedWithArea", "346", "", "210", "346"},
    {"EmptiedWithoutArea", "", "", "210", "346"},
    {"EmptiedWithZeroArea", "0", "", "210", "346"},
    {"ZeroTakesTheArea", "200", "0", "160", "201"},
    {"TextTakesTheArea", "491", "abc", "250", "491"},
    {"FractionIsNoInteger", "346", "250.5", "210", "346"},
    // Left to us: a negative area says nothing about the cone, so the usual diameter stands in.
    {"EmptiedWithNegativeArea", "-50", "", "210", "346"},
    {"ZeroWithNegativeArea", "-1", "0", "210", "346"},
    {"TenMillimetres", "", "10", "10", "1"},
    {"OneMillimetre", "", "1", "1", "0"},
};

class DiameterExit : public testing::TestWithParam<std::tuple<ConeRow, Leave>> {};

TEST_P(DiameterExit, KeepsDiameterAndAreaConsistent)
{
    const auto& [r, how] = GetParam();
    WindowTest t;
    t.clickInto("EditFb");
    t.w->setText("EditSd", r.areaBefore);
    t.type("EditDd", r.typed);
    t.leave(how);
    EXPECT_EQ(t.textOf("EditDd"), q(r.diameter));
    EXPECT_EQ(t.textOf("EditSd"), q(r.area));
    EXPECT_EQ(t.w->state().Dd, t.textOf("EditDd").toInt());
    EXPECT_GE(t.w->state().Dd, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, DiameterExit,
                         testing::Combine(testing::ValuesIn(kDiameterRows), kEveryLeave), RowAndLeaveName());

struct AreaRow {
    const char* name;
    const char* typed;    // typed into EditSd while EditDd holds 210
    const char* area;     // EditSd after leaving it
    const char* diameter; // EditDd after leaving it
    const char* areaAfterDiameterExit;
};

const AreaRow kAreaRows[] = {
    {"AreaGivesDiameter", "200", "200", "160", "201"},
    {"AreaOfTheDiameter", "346", "346", "210", "346"},
    {"TextBecomesZero", "abc", "0", "210", "346"},
    {"EmptyBecomesZero", "", "0", "210", "346"},
    {"NegativeKeepsDiameter", "-5", "-5", "210", "346"},
    {"Padded", "0200", "200", "160", "201"},
};

class AreaExit : public testing::TestWithParam<AreaRow> {};

TEST_P(AreaExit, AreaDrivesDiameterUntilTheDiameterIsLeft)
{
    const AreaRow& r = GetParam();
    WindowTest t;
    t.type("EditDd", "210");
    t.type("EditSd", r.typed); // leaving EditDd wrote "346"
    t.leave(Leave::ClickOther);
    EXPECT_EQ(t.textOf("EditSd"), q(r.area));
    EXPECT_EQ(t.textOf("EditDd"), q(r.diameter));
    EXPECT_EQ(t.w->state().Dd, q(r.diameter).toInt());

    t.clickInto("EditDd");
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf("EditSd"), q(r.areaAfterDiameterExit));
}

INSTANTIATE_TEST_SUITE_P(Rows, AreaExit, testing::ValuesIn(kAreaRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConeSize, FormExitCommitsThePendingDiameter)
{
    WindowTest t;
    t.type("EditDd", "250");
    t.w->EditDdExit();
    EXPECT_EQ(t.textOf("EditSd"), "491");
    EXPECT_EQ(t.w->state().Dd, 250);
}

// ---- woofers and ports ------------------------------------------------------------------------------------

struct WooferRow {
    const char* typed;
    const char* shown;
    bool patch;
};

const WooferRow kWooferRows[] = {
    {"0", "1", true}, {"-3", "1", true}, {"abc", "1", true}, {"", "1", true},
    {"1", "1", true}, {"3", "3", false}, {"2", "2", false},
};

class WooferExit : public testing::TestWithParam<WooferRow> {};

TEST_P(WooferExit, FewWoofersShowThePatch)
{
    const WooferRow& r = GetParam();
    WindowTest t;
    t.type("EditNd", r.typed);
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf("EditNd"), q(r.shown));
    EXPECT_EQ(t.shown("Image4"), r.patch);
    EXPECT_EQ(t.w->state().Nd, q(r.shown).toInt());
}

INSTANTIATE_TEST_SUITE_P(Rows, WooferExit, testing::ValuesIn(kWooferRows));

struct PortRow {
    const char* typed;
    bool image2, image3;
    const char* caption;
};

const char* const kOnePort = "Внутренний объём порта, л";
const char* const kAllPorts = "Суммарный внутренний объём портов, л";

const PortRow kPortRows[] = {
    {"1", true, true, kOnePort},     {"2", false, true, kAllPorts},   {"3", false, false, kAllPorts},
    {"1000", false, false, kAllPorts}, {"0", false, false, kAllPorts}, {"x", true, true, kOnePort},
};

class PortsTyped : public testing::TestWithParam<PortRow> {};

TEST_P(PortsTyped, PatchesAndCaptionFollowTheCount)
{
    const PortRow& r = GetParam();
    WindowTest t;
    t.w->setSpinValue("SpinEdNPorts", 5);
    t.type("SpinEdNPorts", r.typed);
    EXPECT_EQ(t.shown("Image2"), r.image2);
    EXPECT_EQ(t.shown("Image3"), r.image3);
    EXPECT_EQ(t.textOf("Label128"), q(r.caption));
}

INSTANTIATE_TEST_SUITE_P(Rows, PortsTyped, testing::ValuesIn(kPortRows));

TEST(Ports, ZeroIsKeptUntilTheFocusLeaves)
{
    WindowTest t;
    t.type("SpinEdNPorts", "0");
    EXPECT_FALSE(t.shown("Image2"));
    EXPECT_FALSE(t.shown("Image3"));
    EXPECT_EQ(t.textOf("Label128"), q(kAllPorts));
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf("SpinEdNPorts"), "1");
    EXPECT_TRUE(t.shown("Image2"));
    EXPECT_TRUE(t.shown("Image3"));
    EXPECT_EQ(t.textOf("Label128"), q(kOnePort));
}

TEST(Ports, ZeroNotYetLeftIsRefusedOnTheCount)
{
    WindowTest t;
    const QString dpmin = t.textOf("EditDpmin");
    t.type("SpinEdNPorts", "0");
    QTest::mouseClick(t.w->component("SbRecalcMins"), Qt::LeftButton);
    ASSERT_EQ(t.dialogs.boxes.size(), 1u);
    EXPECT_EQ(t.dialogs.boxes[0].type, vx::MsgType::Warning);
    EXPECT_EQ(t.dialogs.boxes[0].text, q("Неверное значение количества портов"));
    EXPECT_TRUE(t.textEditor("SpinEdNPorts")->hasFocus());
    EXPECT_EQ(t.textOf("SpinEdNPorts"), "0");
    EXPECT_EQ(t.textOf("EditDpmin"), dpmin);
}

TEST(Ports, CalledDirectlyAfterLoading)
{
    WindowTest t;
    t.w->setSpinValue("SpinEdNPorts", 2);
    t.w->setText("Label128", "Суммарный внутренний объём портов");
    t.w->setProjectModified(false);
    t.w->SpinEdNPortsChange();
    EXPECT_EQ(t.textOf("Label128"), q(kAllPorts));
    EXPECT_FALSE(t.shown("Image2"));
    EXPECT_TRUE(t.shown("Image3"));
    EXPECT_TRUE(t.w->projectModified());
}

// ---- what marks the project modified ----------------------------------------------------------------------

struct MarkRow {
    const char* editor;
    const char* typed;
    bool marks;
    int shape = vx::TUB; // the shape whose page shows the editor
};

const MarkRow kMarkRows[] = {
    {"EditFb", "35", true},
    {"EditVb", "50", true},
    {"EditDd", "250", true},
    {"EditXmax", "9", true},
    {"EditVs", "340", true},
    {"SpinEdNPorts", "2", true},
    // Left to us: the woofer count is saved with the project, so its edit marks like the others.
    {"EditNd", "2", true},
    {"EditSd", "200", false},
    {"EditTubD", "12", true},
    {"EditCurveFlatH", "12", true, vx::CURVEFLAT},
    {"EditCurveConL", "120", true, vx::CURVECONE},
    {"EditPriBoxPriL1", "120", true, vx::PRISMBOXPRISM},
};

class TypedMarks : public testing::TestWithParam<MarkRow> {};

TEST_P(TypedMarks, TypingMarksTheProject)
{
    const MarkRow& r = GetParam();
    WindowTest t;
    t.clickIntoPage(r.shape, r.editor);
    t.w->setProjectModified(false);
    t.dialogs.boxes.clear();
    t.typeInto(t.textEditor(r.editor), q(r.typed));
    EXPECT_EQ(t.w->projectModified(), r.marks);
}

INSTANTIATE_TEST_SUITE_P(Rows, TypedMarks, testing::ValuesIn(kMarkRows),
                         [](const auto& info) { return std::string(info.param.editor); });

TEST(Marks, AreaMarksOnlyWhenItsExitChangesTheDiameter)
{
    WindowTest t;
    t.type("EditDd", "160");
    t.type("EditSd", "201");
    t.w->setProjectModified(false);
    t.leave(Leave::Tab); // 201 cm² is the 160 mm cone: the diameter text stays
    EXPECT_FALSE(t.w->projectModified());
    t.type("EditSd", "346");
    t.w->setProjectModified(false);
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf("EditDd"), "210");
    EXPECT_TRUE(t.w->projectModified());
}

TEST(Marks, WritingResultsMarksNothing)
{
    WindowTest t;
    int results = 0;
    for (QLineEdit* e : t.w->findChildren<QLineEdit*>()) {
        if (!e->isReadOnly())
            continue;
        ++results;
        t.w->setProjectModified(false);
        t.w->setText(e->objectName().toStdString(), "12,5");
        EXPECT_FALSE(t.w->projectModified()) << e->objectName().toStdString();
        EXPECT_TRUE(t.dialogs.boxes.empty()) << e->objectName().toStdString();
    }
    EXPECT_GT(results, 0);
    for (const char* name : {"EditCurveCond1", "EditCurveConD", "EditCurveFlatW1", "EditCurveFlatW", "EditTubL",
                             "EditConL", "EditConD", "EditFlaTubL"})
        EXPECT_TRUE(t.edit(name)->isReadOnly()) << name;
}

// ---- dimension editors -------------------------------------------------------------------------------------

// Every stored dimension with an editor follows it, under either separator; the curved lengths and the
// curved slot height only mark.
class DimensionWrite : public testing::TestWithParam<char> {};

TEST_P(DimensionWrite, EveryEditorStoresItsNumber)
{
    const char sep = GetParam();
    WindowTest t(sep);
    const std::string typed = sep == ',' ? "12,5" : "12.5";
    const std::string other = sep == ',' ? "12.5" : "12,5";
    int followed = 0;
    for (const vx::DimensionKey& key : vx::kDimensionKeys) {
        if (!key.real)
            continue;
        const std::string editor = "Edit" + std::string(key.key);
        const bool markOnly = key.key == "CurveConL" || key.key == "CurveFlatL" || key.key == "CurveFlatH";
        t.w->state().*key.real = 3;
        t.w->setProjectModified(false);
        t.dialogs.boxes.clear();
        t.w->setText(editor, typed);
        EXPECT_TRUE(t.w->projectModified()) << editor;
        EXPECT_DOUBLE_EQ(t.w->state().*key.real, markOnly ? 3 : 12.5) << editor;
        EXPECT_TRUE(t.dialogs.boxes.empty()) << editor;

        // The other separator is no number here: the error names the text, the value stays.
        t.w->setText(editor, other);
        EXPECT_DOUBLE_EQ(t.w->state().*key.real, markOnly ? 3 : 12.5) << editor;
        if (markOnly) {
            EXPECT_TRUE(t.dialogs.boxes.empty()) << editor;
        } else {
            ++followed;
            ASSERT_EQ(t.dialogs.boxes.size(), 1u) << editor;
            EXPECT_EQ(t.dialogs.boxes[0].type, vx::MsgType::Error);
            EXPECT_EQ(t.dialogs.boxes[0].text,
                      QString::fromStdString("'" + other + "' is not a valid floating point value"));
        }
        EXPECT_EQ(t.w->text(editor), other) << "the editor keeps the text as typed";
    }
    EXPECT_EQ(followed, 29);
}

INSTANTIATE_TEST_SUITE_P(Separators, DimensionWrite, testing::Values('.', ','),
                         [](const auto& info) { return info.param == ',' ? "Comma" : "Point"; });

struct DimensionPage {
    int page;
    const char* editor;
};

TEST(Dimensions, TypedDiameterIsStoredAtOnceWithoutCalculation)
{
    WindowTest t;
    t.clickIntoPage(vx::TUB, "EditTubD");
    t.w->setText("EditTubL", "");
    t.w->setProjectModified(false);
    t.dialogs.boxes.clear();
    t.typeInto(t.edit("EditTubD"), "12.5");
    EXPECT_DOUBLE_EQ(t.w->state().TubD, 12.5);
    EXPECT_TRUE(t.w->projectModified());
    EXPECT_EQ(t.textOf("EditTubL"), "") << "typing computes nothing";
    EXPECT_TRUE(t.dialogs.boxes.empty());
}

TEST(Dimensions, NonNumberRaisesOneErrorPerChangeAndKeepsTheValue)
{
    WindowTest t;
    t.clickIntoPage(vx::CONE, "EditConA");
    t.typeInto(t.edit("EditConA"), "6");
    ASSERT_DOUBLE_EQ(t.w->state().ConA, 6);
    t.dialogs.boxes.clear();
    // Appending two letters: two changes, two errors, each naming the text as it then stood.
    for (const char* key : {"x", "y"}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, q(key));
        QApplication::sendEvent(t.edit("EditConA"), &press);
    }
    ASSERT_EQ(t.dialogs.boxes.size(), 2u);
    EXPECT_EQ(t.dialogs.boxes[0].text, "'6x' is not a valid floating point value");
    EXPECT_EQ(t.dialogs.boxes[1].text, "'6xy' is not a valid floating point value");
    for (const auto& box : t.dialogs.boxes)
        EXPECT_EQ(box.type, vx::MsgType::Error);
    EXPECT_DOUBLE_EQ(t.w->state().ConA, 6);
    EXPECT_EQ(t.textOf("EditConA"), "6xy");
    // The program goes on: the next readable text is stored.
    t.typeInto(t.edit("EditConA"), "7");
    EXPECT_DOUBLE_EQ(t.w->state().ConA, 7);
}

TEST(Dimensions, LoneMinusWhileTypingANegativeNumber)
{
    WindowTest t;
    t.clickIntoPage(vx::FLARETUBE, "EditFlaTubR1");
    t.typeInto(t.edit("EditFlaTubR1"), "5");
    t.dialogs.boxes.clear();
    t.typeInto(t.edit("EditFlaTubR1"), "-1");
    ASSERT_EQ(t.dialogs.boxes.size(), 1u);
    EXPECT_EQ(t.dialogs.boxes[0].text, "'-' is not a valid floating point value");
    EXPECT_DOUBLE_EQ(t.w->state().FlaTubR1, -1);
}

TEST(Dimensions, EmptiedEditorKeepsItsValueForTheNextPageShow)
{
    WindowTest t(',');
    t.clickIntoPage(vx::BOX, "EditBoxW");
    t.typeInto(t.edit("EditBoxW"), "40,5");
    t.typeInto(t.edit("EditBoxW"), "");
    EXPECT_DOUBLE_EQ(t.w->state().BoxW, 40.5);
    EXPECT_TRUE(t.dialogs.boxes.empty()) << t.dialogs.texts().join("|").toStdString();
    t.choose(vx::PRISM);
    t.choose(vx::BOX);
    EXPECT_EQ(t.textOf("EditBoxW"), "40,5");
}

// ---- curve multipliers and base functions -------------------------------------------------------------

// The curved pages, reached as the user reaches them: the fifth shape button, with the section selector
// on round or rectangular.
struct CurvePage {
    const char* name;
    int section;
    const char* multiplier;
    int vx::CalcState::*division;
    const char* selector;
    int vx::CalcState::*function;
    const char* result; // a read-only field the geometry fills
};

const CurvePage kCurvePages[] = {
    {"Round", vx::Round_Section, "SEdDiv", &vx::CalcState::CurveConDiv, "CBCurveType", &vx::CalcState::CurveConFunc,
     "EditCurveCond1"},
    {"Slot", vx::Slot_Section, "SEFdiv", &vx::CalcState::CurveFlatDiv, "CBFcurveType",
     &vx::CalcState::CurveFlatFunc, "EditCurveFlatW1"},
};

class CurveTest : public testing::TestWithParam<CurvePage> {
protected:
    WindowTest t;

    void SetUp() override
    {
        const CurvePage& p = GetParam();
        t.choose(p.section == vx::Slot_Section ? vx::CURVEFLAT : vx::CURVECONE);
        t.w->setSpinValue(p.multiplier, 30);
        ASSERT_EQ(t.w->state().*p.division, 30);
        t.dialogs.boxes.clear();
    }
    // Empties the result field so that a new calculation shows as its text coming back.
    void forgetResult()
    {
        t.w->setText(GetParam().result, "");
        t.w->setProjectModified(false);
    }
    bool recomputed() const { return !t.textOf(GetParam().result).isEmpty(); }
};

TEST_P(CurveTest, ArrowRecomputesAtOnce)
{
    const CurvePage& p = GetParam();
    forgetResult();
    t.clickInto(p.multiplier);
    QTest::keyClick(t.spin(p.multiplier)->editor(), Qt::Key_Up);
    EXPECT_EQ(t.w->state().*p.division, 31);
    EXPECT_TRUE(t.w->projectModified());
    EXPECT_TRUE(recomputed());
}

TEST_P(CurveTest, TypedAboveRangeIsUsedUntilTheFocusLeaves)
{
    const CurvePage& p = GetParam();
    t.clickInto(p.multiplier);
    forgetResult();
    // Pasted: typing "6" first would already be a multiplier below 10 for the round solver.
    t.paste(t.spin(p.multiplier)->editor(), "60");
    EXPECT_EQ(t.textOf(p.multiplier), "60");
    EXPECT_EQ(t.w->state().*p.division, 60);
    EXPECT_TRUE(recomputed());
    forgetResult();
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf(p.multiplier), "50");
    EXPECT_EQ(t.w->state().*p.division, 50);
    EXPECT_TRUE(recomputed());
}

TEST_P(CurveTest, UserPickRecomputesAndIsKept)
{
    const CurvePage& p = GetParam();
    auto* selector = qobject_cast<QComboBox*>(t.w->component(p.selector));
    ASSERT_NE(selector, nullptr);
    ASSERT_EQ(selector->currentIndex(), vx::Cosh);
    forgetResult();
    selector->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(selector, Qt::Key_Down);
    EXPECT_EQ(selector->currentText(), q("круг"));
    EXPECT_TRUE(t.w->projectModified());
    EXPECT_TRUE(recomputed());
    // Left to us: the pick is the shape's base function from now on, and the page shows it again after
    // another shape was chosen in between.
    EXPECT_EQ(t.w->state().*p.function, vx::Circle);
    const bool slot = p.section == vx::Slot_Section;
    t.choose(slot ? vx::BOX : vx::TUB);
    t.choose(slot ? vx::CURVEFLAT : vx::CURVECONE);
    EXPECT_EQ(selector->currentText(), q("круг"));
}

TEST_P(CurveTest, CodeSelectionRunsNothing)
{
    const CurvePage& p = GetParam();
    forgetResult();
    t.w->setSelectorIndex(p.selector, vx::Circle);
    EXPECT_FALSE(t.w->projectModified());
    EXPECT_FALSE(recomputed());
    EXPECT_EQ(t.w->state().*p.function, vx::Cosh);
}

INSTANTIATE_TEST_SUITE_P(Pages, CurveTest, testing::ValuesIn(kCurvePages),
                         [](const auto& info) { return std::string(info.param.name); });

// A multiplier typed below 10: the round curved solver raises it tenfold at once and sets it into the
// editor, which runs the multiplier's handler once more inside that calculation; the slot keeps the
// typed value until the focus leaves, which sets it into the range and recomputes again.
struct TypedMultiplierRow {
    const char* name;
    int shape;
    const char* multiplier;
    int vx::CalcState::*division;
    const char* result;
    const char* whileTyped;
    bool leave;
    const char* after;
};

const TypedMultiplierRow kTypedMultiplierRows[] = {
    {"RoundRaisedBySolver", vx::CURVECONE, "SEdDiv", &vx::CalcState::CurveConDiv, "EditCurveCond1", "50", false,
     "50"},
    {"SlotUsedUntilLeaving", vx::CURVEFLAT, "SEFdiv", &vx::CalcState::CurveFlatDiv, "EditCurveFlatW1", "5", true,
     "10"},
};

class TypedMultiplier : public testing::TestWithParam<TypedMultiplierRow> {};

TEST_P(TypedMultiplier, TypedFive)
{
    const TypedMultiplierRow& r = GetParam();
    WindowTest t;
    t.clickIntoPage(r.shape, r.multiplier);
    t.keys(t.textEditor(r.multiplier), "5");
    EXPECT_EQ(t.textOf(r.multiplier), r.whileTyped);
    EXPECT_EQ(t.w->state().*r.division, std::stoi(r.whileTyped));
    if (r.leave) {
        t.w->setText(r.result, "");
        t.leave(Leave::ClickOther);
    }
    EXPECT_EQ(t.textOf(r.multiplier), r.after);
    EXPECT_EQ(t.w->state().*r.division, std::stoi(r.after));
    EXPECT_FALSE(t.textOf(r.result).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Pages, TypedMultiplier, testing::ValuesIn(kTypedMultiplierRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A multiplier typed digit by digit on the round curved page. The first digit alone is below 10 and the
// solver raises it tenfold at once; the digit typed next takes the place of the 0 that the raise added,
// so a two-digit multiplier keeps its value. Every keystroke that changes the text recomputes the port:
// the throat on show is always the one of the multiplier in the editor at that moment. An arrow ('^' up,
// 'v' down) sets the value as code does: no typed digit is being answered after it, so what is typed
// next ('<' a backspace) edits the text as it stands.
struct RoundTypingRow {
    const char* name;
    const char* keys;
    int multiplier; // stored and shown once the focus has left the editor
};

const RoundTypingRow kRoundTypingRows[] = {
    {"Thirty", "30", 30},        {"Fifteen", "15", 15},        {"FortyFive", "45", 45},
    {"LoneFour", "4", 40},       {"SixtyBounded", "60", 50},   {"Zero", "0", 10},
    {"UpThenRetyped", "3^<5", 35}, {"DownThenRetyped", "4v<2", 32},
};

int keyOf(QChar c)
{
    switch (c.toLatin1()) {
    case '^':
        return Qt::Key_Up;
    case 'v':
        return Qt::Key_Down;
    case '<':
        return Qt::Key_Backspace;
    default:
        return Qt::Key_0 + c.digitValue();
    }
}

void PrintTo(const RoundTypingRow& r, std::ostream* os) { *os << r.name; }

class RoundTyping : public testing::TestWithParam<RoundTypingRow> {
protected:
    WindowTest t;

    // The throat the solver finds for this multiplier on the page as it stands, as the page shows it.
    QString throatFor(int multiplier) const
    {
        const vx::CalcState& s = t.w->state();
        const vx::ThroatFit fit = vx::fitCurvedThroat(t.w->calc().MassTarget(), s.CurveConL / 1000, 0,
                                                      multiplier / 100.0, static_cast<vx::CurveFunc>(s.CurveConFunc));
        EXPECT_TRUE(fit.found) << multiplier;
        return QString::fromStdString(vx::formatRounded(fit.throat * 1000.0L, 2, t.w->decimalSeparator()));
    }
};

TEST_P(RoundTyping, TwoDigitsKeepTheirValue)
{
    const RoundTypingRow& r = GetParam();
    t.clickIntoPage(vx::CURVECONE, "SEdDiv");
    QLineEdit* editor = t.textEditor("SEdDiv");
    editor->selectAll();
    for (const QChar c : q(r.keys)) {
        const QString before = editor->text();
        t.w->setText("EditCurveCond1", "");
        const QString typed = c.isDigit() ? QString(c) : QString();
        QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, typed);
        QApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, keyOf(c), Qt::NoModifier, typed);
        QApplication::sendEvent(editor, &release);
        ASSERT_TRUE(editor->hasFocus());
        EXPECT_EQ(t.w->state().CurveConDiv, t.spin("SEdDiv")->value()) << "after " << c.toLatin1();
        if (editor->text() != before) {
            EXPECT_EQ(t.textOf("EditCurveCond1").toStdString(), throatFor(t.w->state().CurveConDiv).toStdString())
                << "after " << c.toLatin1();
        }
    }
    t.leave(Leave::Tab);
    EXPECT_EQ(t.textOf("SEdDiv").toStdString(), std::to_string(r.multiplier));
    EXPECT_EQ(t.w->state().CurveConDiv, r.multiplier);
    EXPECT_EQ(t.textOf("EditCurveCond1").toStdString(), throatFor(r.multiplier).toStdString());
    EXPECT_TRUE(t.dialogs.boxes.empty()) << t.dialogs.texts().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Keys, RoundTyping, testing::ValuesIn(kRoundTypingRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
