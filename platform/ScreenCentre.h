#pragma once
// Where the program's boxes appear: in the middle of the screen's available area (the screen less its
// panels), placed by the size they really have once shown, so a box that grows while Qt settles its
// layout is still centred, and wholly on the area where it fits.

class QWidget;

namespace vx {

// Centres a top-level window, frame included, on the available area of its screen; a window larger
// than the area keeps its top-left corner on it. Call it once the window has its final size: from its
// show handler, after the base class has settled the layout.
void centreOnScreen(QWidget& window);

} // namespace vx
