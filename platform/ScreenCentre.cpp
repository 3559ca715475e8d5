#include "platform/ScreenCentre.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vx {

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame as the window system will draw it; without one yet, the window itself.
    QRect frame(QPoint(), window.frameGeometry().size());
    frame.moveCenter(area.center());
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    window.move(frame.topLeft()); // a window's position is that of its frame
}

} // namespace vx
