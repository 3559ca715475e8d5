#pragma once
// The program's run once the single-instance guard has passed: Qt's own texts in the user's language,
// the seven windows created once in their order, the splash window shown and destroyed, then the message
// loop until the main window closes.

class QApplication;

namespace vx {

// Returns the process's exit code (0 on every path). When the main window's start-up asked to end,
// the splash window is dismissed unseen and no message loop runs.
int runProgram(QApplication& app);

} // namespace vx
