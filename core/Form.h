#pragma once
// What the calculation needs of the main window. The window implements it over its widgets, found by
// their component names (which are also their object names); tests implement it over memory.
//
// Event rules the calculation relies on, and every implementation must keep:
//  - setText runs the field's change handler when the text differs from the one it holds, and runs
//    nothing when it is the same text;
//  - setActiveControl moves the focus, so the exit handler of the editor that loses it runs first;
//  - setSpinValue sets the value into the spin editor's range at once and runs its change handler;
//  - setSelectorIndex runs no handler (only a user's pick does).
//
// Nesting: a change handler that setText or setSpinValue runs may itself compute (the curved pages'
// multiplier editors run Calc::RecalcRes), so a calculation can run whole inside another one's call
// into this interface. The round curved page relies on it when it raises a multiplier below 10; the
// guard against raising again inside, and the count of warnings that keeps the inner run's warning
// from being repeated by the outer one, belong to the Calc (Calc::CurvedNesting), not to the Form.

#include <string>
#include <string_view>

namespace vx {

using Field = std::string_view; // a component name: "EditFb", "EditTubD", "SEdDiv", "ComboPortType", ...

enum class Colour { WindowText, Red, Fuchsia };

// Typed boxes are centred on the screen; Plain is the box without a type (calculator, missing files);
// Error is the framework's default error box (an uncaught conversion).
enum class MsgType { Warning, Information, Confirmation, Error, Plain };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

class Form {
public:
    virtual ~Form() = default;

    virtual char decimalSeparator() const = 0;

    virtual std::string text(Field f) const = 0;
    virtual void setText(Field f, const std::string& s) = 0;
    virtual void setFontColour(Field f, Colour c) = 0;
    virtual void setVisible(Field f, bool visible) = 0;  // pictures and patches ("Image4")
    virtual void setActiveControl(Field f) = 0;
    virtual MsgAnswer message(MsgType type, const std::string& text, MsgButtons buttons = MsgButtons::Ok) = 0;

    virtual int spinValue(Field f) const = 0;            // the integer of its text; no integer: its minimum
    virtual void setSpinValue(Field f, int value) = 0;
    virtual int selectorIndex(Field f) const = 0;
    virtual void setSelectorIndex(Field f, int index) = 0;

    virtual int shapeButtonDown() const = 0;             // 1..6, the one of SBut1..SBut6 that is down

    // The exit handler of the cone-diameter editor, which commits a pending diameter or area edit;
    // the geometry button runs it before it computes.
    virtual void EditDdExit() = 0;
};

} // namespace vx
