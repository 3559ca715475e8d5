// Stand-ins for handlers of the main window that other files take over. Whoever writes one of these
// in its own file deletes the definition here in the same commit (the build fails on the duplicate).
#include "app/TF_Main.h"

#include "core/Dimensions.h"

#include "ui_TF_Main.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPixmap>

// ---- projects/TF_MainProjects.cpp (projects)
// Start-up until the settings file exists: first-run inputs, the sprite sheet, the boundary values.
void TF_Main::FormCreate()
{
    m_state.Us = 344;
    setText("EditVs", "344");
    for (const auto& k : vx::kDimensionKeys) {
        if (!k.real || k.key == "CurveFlatL" || k.key == "CurveFlatH")
            continue;
        const bool angle = k.key == "ConA" || k.key == "TubConA" || k.key == "ConTubConA";
        const bool slotAngle = k.key == "PriA" || k.key == "BoxPriA" || k.key == "PriBoxPriA";
        m_state.*k.real = angle ? 4 : slotAngle ? 8 : 0;
    }
    CurrentProject = QStringLiteral("DEFAULT");
    const QString dir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    IniPath = dir + QStringLiteral("Vornalex.ini");
    QPixmap sheet;
    if (!QFile::exists(dir + QStringLiteral("Vornalex.BMP")) || !sheet.load(dir + QStringLiteral("Vornalex.BMP"))) {
        message(vx::MsgType::Plain, "Файл Vornalex.BMP не найден, проргама будет завершена.");
        EndRequested = true;
    } else {
        ui->PDraw->setPixmap(sheet);
    }
    m_calc.ClearMins();
    // What loading the first-run project does to the shape: its button, its section's glyphs, its picture.
    SBut1Click();
    ComboPortTypeChange();
    StartupProject = CurrentProject;
    m_calc.RecalcMins();
    ProjectModified = false;
    m_calc.ClearRes();
    setActiveControl("EditFb");
}
void TF_Main::FormClose() {}
void TF_Main::LoadProject(const QString&) {}
void TF_Main::SaveProject(const QString&) {}

// ---- window frame, printing, banner, side windows, web content
void TF_Main::BoButPrintClick() {}
void TF_Main::BoButCalcClick() {}
void TF_Main::BoButHlpClick() {}
void TF_Main::Button1Click() {}
void TF_Main::EnableButtons(bool) {}
void TF_Main::BoButAdvClick() {}
void TF_Main::SBCarSoundClick() {}
void TF_Main::ButP12CloceClick() {}
void TF_Main::SBConePrintClick() {}
void TF_Main::SBFConePrintClick() {}
void TF_Main::FormShow() {}
void TF_Main::FormActivate() {}
void TF_Main::Timer1Timer() {}
void TF_Main::Timer2Timer() {}
void TF_Main::Timer3Timer() {}
