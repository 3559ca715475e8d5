#pragma once
// Rows that every shape's tests share, each run through the geometry operation as the window runs it:
// a design (page texts before, field texts after) and a refusal (one message box, the focus on the
// editor concerned, no figures). The tests themselves are in test_geometry_driver.cpp; each shape's
// file instantiates them with its own rows.

#include "CalcRig.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>
#include <vector>

namespace vx::test {

// The warnings of the page sizes, as the user reads them.
inline constexpr const char* kDiameterText = "Неверное значение диаметра порта";
inline constexpr const char* kWidthText = "Неверное значение ширины порта";
inline constexpr const char* kHeightText = "Неверное значение высоты порта";
inline constexpr const char* kAngleText = "Неверное значение угла наклона образующей";

struct DesignRow {
    const char* name;
    int shape;
    Texts given;    // page texts before the calculation (dotted)
    Texts expected; // field texts afterwards (dotted)
    int ports = 1;
};

inline void PrintTo(const DesignRow& r, std::ostream* os) { *os << r.name; }

class PortDesign : public ::testing::TestWithParam<std::tuple<DesignRow, char>> {};

struct RefusalRow {
    const char* name;
    int shape;
    Texts given;          // page texts of the refused calculation (dotted)
    MsgType type;
    const char* message;  // the message, or its first part when a number follows
    const char* focus;    // the editor that keeps the focus
    std::vector<const char*> emptied = {}; // the shape's own result fields, empty afterwards
    const char* number = nullptr;          // a number that ends the message (dotted)
    const char* focusBefore = nullptr;     // the control that had the focus just before
    Texts before = {};                     // page texts of a design computed first, if any
};

inline void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class PortRefusal : public ::testing::TestWithParam<std::tuple<RefusalRow, char>> {};

} // namespace vx::test
