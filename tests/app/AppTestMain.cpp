// The widget tests share one application object, created before any test runs, and no network: the
// windows' web requests fail at once, as on a machine without one.
#include "OfflineHttp.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs the executable outside ctest's environment: stay headless there too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vx::test::OfflineHttp offline;
    vx::setHttp(&offline);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    vx::setHttp(nullptr);
    return result;
}
