#include "web/InputWatch.h"

#include <QEvent>

namespace vx {

InputWatch::InputWatch(std::function<void()> stamp, QObject* parent)
    : QObject(parent)
    , m_stamp(std::move(stamp))
{
}

bool InputWatch::isInput(int eventType)
{
    switch (eventType) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false; // the frame's own pointer events (non-client area) are no input
    }
}

bool InputWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (isInput(event->type()))
        m_stamp();
    return QObject::eventFilter(watched, event);
}

} // namespace vx
