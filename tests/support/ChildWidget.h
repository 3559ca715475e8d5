#pragma once
// A window's widget found by its object name, the name its form gives it; a window without one of that
// name and type fails the test.

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace vx::test {

template <typename W>
W* child(const QObject& window, const char* name)
{
    W* found = window.findChild<W*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no widget ") + name + " in " + window.objectName().toStdString());
    return found;
}

} // namespace vx::test
