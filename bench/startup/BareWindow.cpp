// The yardstick of the start-up benchmark: the least a Qt Widgets program does to put a window on
// screen, an empty top-level window with the main window's client area of 688 x 478 pixels.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(688, 478);
    window.show();
    return app.exec();
}
