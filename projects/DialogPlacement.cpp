#include "projects/DialogPlacement.h"

#include "core/Numbers.h"

#include <QWidget>

namespace vx {

namespace {

int half(int extent) { return static_cast<int>(Round(static_cast<long double>(extent) / 2)); }

} // namespace

QPoint centredOver(const QRect& mainFrame, const QSize& ownFrame)
{
    return {mainFrame.left() + half(mainFrame.width()) - half(ownFrame.width()),
            mainFrame.top() + half(mainFrame.height()) - half(ownFrame.height())};
}

void centreOverMain(QWidget* dialog, const QWidget* mainWindow)
{
    if (!dialog || !mainWindow)
        return;
    dialog->move(centredOver(mainWindow->frameGeometry(), dialog->frameGeometry().size()));
}

} // namespace vx
