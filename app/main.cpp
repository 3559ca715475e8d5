// The program's entry: one copy per user, then the run of its windows.
#include "app/ProgramStart.h"
#include "platform/InstanceLock.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Another copy running: end at once, silently, before anything is shown or any file is touched.
    const auto lock = vx::InstanceLock::tryAcquire(QStringLiteral("VN_07"));
    if (!lock)
        return 0;

    QApplication app(argc, argv);
    return vx::runProgram(app);
}
