#include "app/SpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

// A window with the spin editor and a plain editor to move the focus to.
struct SpinWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    vx::SpinEdit* spin = new vx::SpinEdit(window.get());
    QLineEdit* other = new QLineEdit(window.get());

    SpinWindow(int min, int max)
    {
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(spin);
        layout->addWidget(other);
        spin->setRange(min, max);
        spin->setValue(min);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        spin->editor()->setFocus(Qt::OtherFocusReason);
    }

    void type(const QString& text)
    {
        QLineEdit* e = spin->editor();
        e->selectAll();
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(e, &del);
        typeOn(text);
    }
    // Keystrokes where the caret or the selection stands now.
    void typeOn(const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(spin->editor(), &press);
        }
    }
    // The raise of the round curved port: a value below 10 is taken tenfold.
    void raiseBelowTen()
    {
        QObject::connect(spin, &vx::SpinEdit::changed, spin, [this] {
            if (spin->value() < 10)
                spin->setValue(spin->value() * 10);
        });
    }
    void key(int k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(spin->editor(), &press);
    }
    void leave() { QTest::keyClick(spin->editor(), Qt::Key_Tab); }
};

struct TypedRow {
    const char* name;
    int min, max;
    const char* typed;
    int valueWhileEditing;
    const char* textAfterLeaving;
    int valueAfterLeaving;
};

const TypedRow kTypedRows[] = {
    {"PortsInRange", 1, 1000, "3", 3, "3", 3},
    {"PortsZeroUntilLeaving", 1, 1000, "0", 0, "1", 1},
    {"PortsNegative", 1, 1000, "-3", -3, "1", 1},
    {"PortsAboveRange", 1, 1000, "1500", 1500, "1000", 1000},
    {"PortsTextCountsAsMinimum", 1, 1000, "abc", 1, "abc", 1},
    {"PortsDecimalIsNoInteger", 1, 1000, "2.5", 1, "2.5", 1},
    {"MultiplierBelow", 10, 50, "5", 5, "10", 10},
    {"MultiplierAbove", 10, 50, "60", 60, "50", 50},
    {"MultiplierInRange", 10, 50, "31", 31, "31", 31},
    {"MultiplierEmpty", 10, 50, "", 10, "", 10},
};

class SpinTyped : public testing::TestWithParam<TypedRow> {};

TEST_P(SpinTyped, KeepsTypedValueUntilFocusLeaves)
{
    const TypedRow& r = GetParam();
    SpinWindow w(r.min, r.max);
    w.type(QString::fromUtf8(r.typed));
    EXPECT_EQ(w.spin->editor()->text(), QString::fromUtf8(r.typed));
    EXPECT_EQ(w.spin->value(), r.valueWhileEditing);

    QSignalSpy spy(w.spin, &vx::SpinEdit::changed);
    w.leave();
    EXPECT_TRUE(w.other->hasFocus());
    EXPECT_EQ(w.spin->editor()->text(), QString::fromUtf8(r.textAfterLeaving));
    EXPECT_EQ(w.spin->value(), r.valueAfterLeaving);
    // Setting the typed value into the range is one more change; a kept text is none.
    EXPECT_EQ(spy.count(), QString::fromUtf8(r.typed) == QString::fromUtf8(r.textAfterLeaving) ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, SpinTyped, testing::ValuesIn(kTypedRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct SetRow {
    const char* name;
    int min, max, set;
    const char* text;
};

const SetRow kSetRows[] = {
    {"PortsZero", 1, 1000, 0, "1"},
    {"PortsTooMany", 1, 1000, 5000, "1000"},
    {"PortsTwo", 1, 1000, 2, "2"},
    {"MultiplierStoredZero", 10, 50, 0, "10"},
    {"MultiplierAbove", 10, 50, 51, "50"},
    {"MultiplierInRange", 10, 50, 37, "37"},
};

class SpinSet : public testing::TestWithParam<SetRow> {};

TEST_P(SpinSet, CodeValueIsBoundedAtOnce)
{
    const SetRow& r = GetParam();
    vx::SpinEdit spin;
    spin.setRange(r.min, r.max);
    spin.setValue(r.set);
    EXPECT_EQ(spin.editor()->text(), QString::fromUtf8(r.text));
    EXPECT_EQ(spin.value(), QString::fromUtf8(r.text).toInt());
}

INSTANTIATE_TEST_SUITE_P(Rows, SpinSet, testing::ValuesIn(kSetRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpinEdit, ChangedOnEveryNewTextOnly)
{
    vx::SpinEdit spin;
    spin.setRange(1, 1000);
    spin.setValue(1);
    QSignalSpy spy(&spin, &vx::SpinEdit::changed);
    spin.setValue(1);
    EXPECT_EQ(spy.count(), 0);
    spin.setValue(0); // bounded to the shown 1: the same text
    EXPECT_EQ(spy.count(), 0);
    spin.setValue(7);
    EXPECT_EQ(spy.count(), 1);
    spin.editor()->setText("12");
    EXPECT_EQ(spy.count(), 2);
}

TEST(SpinEdit, TypingEmitsPerCharacter)
{
    SpinWindow w(1, 1000);
    QSignalSpy spy(w.spin, &vx::SpinEdit::changed);
    w.type("25");
    // Clearing the selection, then "2", then "25".
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(w.spin->value(), 25);
}

// A change handler that raises a typed value below 10 tenfold, as the round curved port does: the
// digits the raise adds stay selected, so typing on replaces them; a value set outside a keystroke, by
// the arrows or by code, leaves no selection behind.
struct RaiseRow {
    const char* name;
    const char* typed;
    const char* shown;
};

const RaiseRow kRaiseRows[] = {
    {"ThreeThenZero", "30", "30"}, {"OneThenFive", "15", "15"},   {"FourThenFive", "45", "45"},
    {"LoneFour", "4", "40"},       {"SixIsBounded", "60", "50"}, {"ZeroIsBounded", "0", "10"},
};

class SpinRaise : public testing::TestWithParam<RaiseRow> {};

TEST_P(SpinRaise, TypedDigitReplacesTheRaisedOnes)
{
    SpinWindow w(10, 50);
    w.raiseBelowTen();
    w.type(QString::fromLatin1(GetParam().typed));
    EXPECT_EQ(w.spin->editor()->text().toStdString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, SpinRaise, testing::ValuesIn(kRaiseRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpinEdit, ValueSetOutsideAKeystrokeSelectsNothing)
{
    SpinWindow w(10, 50);
    w.type("1"); // the arrow's 10 begins with the typed 1: still nothing is selected
    w.key(Qt::Key_Up);
    EXPECT_EQ(w.spin->editor()->text(), QStringLiteral("10"));
    EXPECT_FALSE(w.spin->editor()->hasSelectedText());
    w.spin->setValue(400);
    EXPECT_EQ(w.spin->editor()->text(), QStringLiteral("50"));
    EXPECT_FALSE(w.spin->editor()->hasSelectedText());
}

// A digit typed, then an arrow, then a digit typed again. The raise that answers the keystroke leaves
// its added digits selected; once an arrow has set a value, nothing typed is being answered any more:
// a raise of the arrow's value selects nothing, and the next digit goes after the text.
struct TypeArrowTypeRow {
    const char* name;
    int min, max;
    const char* first;
    int key;
    const char* shownAfterArrow;
    const char* second;
    const char* shown;
};

const TypeArrowTypeRow kTypeArrowTypeRows[] = {
    {"MultiplierUpThenDigit", 10, 50, "1", Qt::Key_Up, "11", "2", "112"},
    {"ArrowValueRaisedSelectsNothing", 2, 50, "1", Qt::Key_Down, "50", "5", "505"},
};

void PrintTo(const TypeArrowTypeRow& r, std::ostream* os) { *os << r.name; }

class SpinTypeArrowType : public testing::TestWithParam<TypeArrowTypeRow> {};

TEST_P(SpinTypeArrowType, OnlyTheRaiseOfAKeystrokeLeavesDigitsSelected)
{
    const TypeArrowTypeRow& r = GetParam();
    SpinWindow w(r.min, r.max);
    w.raiseBelowTen();
    // Typed over the whole text, which shows the minimum.
    w.spin->editor()->selectAll();
    w.typeOn(QString::fromLatin1(r.first));
    EXPECT_EQ(w.spin->editor()->selectedText(), QStringLiteral("0")) << "the digit the raise added";
    w.key(r.key);
    EXPECT_EQ(w.spin->editor()->text().toStdString(), r.shownAfterArrow);
    w.typeOn(QString::fromLatin1(r.second));
    EXPECT_EQ(w.spin->editor()->text().toStdString(), r.shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, SpinTypeArrowType, testing::ValuesIn(kTypeArrowTypeRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct StepRow {
    const char* name;
    int min, max, start, key;
    int expected;
};

const StepRow kStepRows[] = {
    {"UpInRange", 1, 1000, 4, Qt::Key_Up, 5},
    {"DownInRange", 1, 1000, 4, Qt::Key_Down, 3},
    {"UpAtMaximum", 10, 50, 50, Qt::Key_Up, 50},
    {"DownAtMinimum", 10, 50, 10, Qt::Key_Down, 10},
};

class SpinStep : public testing::TestWithParam<StepRow> {};

TEST_P(SpinStep, KeysStepWithinRange)
{
    const StepRow& r = GetParam();
    SpinWindow w(r.min, r.max);
    w.spin->setValue(r.start);
    w.key(r.key);
    EXPECT_EQ(w.spin->value(), r.expected);
}

// The arrows themselves never hold the focus; a click on them focuses the spin editor's own text, as a
// click on any part of the spin editor does.
TEST_P(SpinStep, ArrowButtonsStepWithinRangeAndFocusTheEditor)
{
    const StepRow& r = GetParam();
    SpinWindow w(r.min, r.max);
    w.spin->setValue(r.start);
    w.other->setFocus(Qt::OtherFocusReason);
    const auto buttons = w.spin->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    const Qt::ArrowType arrow = r.key == Qt::Key_Up ? Qt::UpArrow : Qt::DownArrow;
    for (QToolButton* b : buttons) {
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
        if (b->arrowType() == arrow)
            QTest::mouseClick(b, Qt::LeftButton);
    }
    EXPECT_EQ(w.spin->value(), r.expected);
    EXPECT_TRUE(w.spin->editor()->hasFocus());
}

INSTANTIATE_TEST_SUITE_P(Rows, SpinStep, testing::ValuesIn(kStepRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A step from a typed value outside the range moves the reported value by one and puts the result into
// the range, as a value set by code is.
struct OutOfRangeStepRow {
    const char* name;
    int min, max;
    const char* typed;
    int key;
    int expected;
};

const OutOfRangeStepRow kOutOfRangeStepRows[] = {
    {"UpFromBelow", 10, 50, "5", Qt::Key_Up, 10},
    {"DownFromBelow", 10, 50, "5", Qt::Key_Down, 10},
    {"DownFromAbove", 10, 50, "60", Qt::Key_Down, 50},
    {"UpFromAbove", 10, 50, "60", Qt::Key_Up, 50},
    {"UpFromJustBelow", 10, 50, "9", Qt::Key_Up, 10},
    {"UpFromText", 10, 50, "abc", Qt::Key_Up, 11},
    {"PortsDownFromZero", 1, 1000, "0", Qt::Key_Down, 1},
};

class SpinStepOutOfRange : public testing::TestWithParam<OutOfRangeStepRow> {};

TEST_P(SpinStepOutOfRange, StepsTheReportedValueIntoTheRange)
{
    const OutOfRangeStepRow& r = GetParam();
    SpinWindow w(r.min, r.max);
    w.type(QString::fromLatin1(r.typed));
    w.key(r.key);
    EXPECT_EQ(w.spin->value(), r.expected);
    EXPECT_EQ(w.spin->editor()->text(), QString::number(r.expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, SpinStepOutOfRange, testing::ValuesIn(kOutOfRangeStepRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpinEdit, WindowDeactivationKeepsTypedValue)
{
    SpinWindow w(1, 1000);
    w.type("0");
    QWidget another;
    another.show();
    another.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&another));
    EXPECT_EQ(w.spin->editor()->text(), "0");
    w.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    EXPECT_TRUE(w.spin->editor()->hasFocus());
    w.leave();
    EXPECT_EQ(w.spin->editor()->text(), "1");
}

} // namespace
