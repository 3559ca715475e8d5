#pragma once
// Where a project dialog goes: over the centre of the main window, both taken by their outer frames.
// Nothing keeps the dialog on the screen, so a main window near an edge can put the dialog off the screen.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vx {

// Left = main Left + Round(main Width / 2) − Round(own Width / 2), halves to even; the same for Top.
QPoint centredOver(const QRect& mainFrame, const QSize& ownFrame);

// Moves the dialog there, over the main window (nothing happens without one).
void centreOverMain(QWidget* dialog, const QWidget* mainWindow);

} // namespace vx
