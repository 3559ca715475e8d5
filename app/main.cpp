// The program's entry: one copy per user, the seven windows created once, the splash window shown once,
// then the message loop until the main window closes.
#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/InstanceLock.h"

#if __has_include("projects/TF_RWPrj.h")
#include "projects/TF_RWPrj.h"
#endif
#if __has_include("projects/TF_Quest.h")
#include "projects/TF_Quest.h"
#endif
#if __has_include("tools/TF_About.h")
#include "tools/TF_About.h"
#endif
#if __has_include("tools/TF_Calc.h")
#include "tools/TF_Calc.h"
#endif
#if __has_include("tools/TF_Print.h")
#include "tools/TF_Print.h"
#endif
#if __has_include("web/TF_Pic.h")
#include "web/TF_Pic.h"
#endif

#include <QApplication>

int main(int argc, char** argv)
{
    // Another copy running: end at once, silently, before anything is shown or any file is touched.
    auto lock = vx::InstanceLock::tryAcquire(QStringLiteral("VN_07"));
    if (!lock)
        return 0;

    QApplication app(argc, argv);

    // In this order; creating the main window runs its whole start-up.
    F_Main = new TF_Main;
#if __has_include("projects/TF_RWPrj.h")
    F_RWPrj = new TF_RWPrj();
#endif
#if __has_include("tools/TF_About.h")
    F_About = new TF_About();
#endif
#if __has_include("tools/TF_Calc.h")
    F_Calc = new TF_Calc();
#endif
#if __has_include("web/TF_Pic.h")
    F_Pic = new TF_Pic();
#endif
#if __has_include("tools/TF_Print.h")
    F_Print = new TF_Print();
#endif
#if __has_include("projects/TF_Quest.h")
    F_Quest = new TF_Quest();
#endif

    if (F_Main->EndRequested) {
        // Start-up asked to end (no sprite sheet): the splash is dismissed unseen and the program ends
        // without entering normal use; the closing handler does not run.
    } else {
#if __has_include("tools/TF_About.h")
        F_About->exec();
#endif
        F_Main->show();
        app.exec();
    }
#if __has_include("tools/TF_About.h")
    delete F_About;
    F_About = nullptr;
#endif
    // Side windows first: their handlers reach into the main window.
#if __has_include("projects/TF_Quest.h")
    delete F_Quest;
#endif
#if __has_include("tools/TF_Print.h")
    delete F_Print;
#endif
#if __has_include("web/TF_Pic.h")
    delete F_Pic;
#endif
#if __has_include("tools/TF_Calc.h")
    delete F_Calc;
#endif
#if __has_include("projects/TF_RWPrj.h")
    delete F_RWPrj;
#endif
    delete F_Main;
    return 0;
}
