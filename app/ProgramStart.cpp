#include "app/ProgramStart.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/QtTranslation.h"
#include "projects/TF_Quest.h"
#include "projects/TF_RWPrj.h"
#include "tools/TF_About.h"
#include "tools/TF_Calc.h"
#include "tools/TF_Print.h"
#include "web/TF_Pic.h"

#include <QApplication>
#include <QLocale>

namespace vx {

int runProgram(QApplication& app)
{
    // Qt's own dialogs and menus (the printer selection, an editor's context menu) in the user's
    // language, before any window exists.
    installQtTranslation(QLocale::system());

    // In this order; creating the main window runs its whole start-up, and the project-list dialog
    // places itself by the main window it finds.
    F_Main = new TF_Main;
    F_RWPrj = new TF_RWPrj(F_Main);
    F_About = new TF_About; // centred on the screen, not on the main window
    F_Calc = new TF_Calc(F_Main);
    F_Pic = new TF_Pic(F_Main);
    F_Print = new TF_Print(F_Main);
    F_Quest = new TF_Quest(F_Main);

    // Start-up asked to end (no sprite sheet): the splash is dismissed unseen and the program ends
    // without entering normal use; the closing handler does not run.
    if (!F_Main->endRequested()) {
        F_About->exec(); // its closing starts the banner timer
        delete F_About;
        F_About = nullptr;
        F_Main->show();
        app.exec();
    }
    delete F_About;
    F_About = nullptr;

    // Side windows first: their handlers reach into the main window.
    delete F_Quest;
    delete F_Print;
    delete F_Pic;
    delete F_Calc;
    delete F_RWPrj;
    delete F_Main;
    F_Quest = nullptr;
    F_Print = nullptr;
    F_Pic = nullptr;
    F_Calc = nullptr;
    F_RWPrj = nullptr;
    F_Main = nullptr;
    return 0;
}

} // namespace vx
