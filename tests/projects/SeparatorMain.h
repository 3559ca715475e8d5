#pragma once
// The main window with a decimal separator of the test's choosing: the system locale cannot be switched
// inside a running program, and everything in the window asks this one function. Its start-up runs
// inside the constructor, before the separator is chosen, so it reads with the system's separator;
// tests load again afterwards.

#include "app/TF_Main.h"

namespace vx::test {

class SeparatorMain : public TF_Main {
public:
    char sep = '.';
    char decimalSeparator() const override { return sep; }
};

} // namespace vx::test
