#pragma once
// The size a picture is shown at within bounds: its own when it fits (or there are no bounds), else
// scaled down into them with its proportions, never below one pixel a side (a picture one pixel wide
// and very tall stays one pixel wide).

#include <QSize>

namespace vx {

inline QSize fitInto(QSize size, QSize bounds)
{
    if (bounds.isEmpty() || (size.width() <= bounds.width() && size.height() <= bounds.height()))
        return size;
    return size.scaled(bounds, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace vx
