// The project commands of the main window's top bar: New, Open, Save as and Delete. Each prepares one of
// the two project dialogs and shows it modally; the dialogs do the work on the settings file when they
// close. Only the save prompt writes from here.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "core/Dimensions.h"
#include "core/Shapes.h"
#include "platform/IniFile.h"
#include "projects/TF_Quest.h"
#include "projects/TF_RWPrj.h"

namespace {

// What New starts a project from: no sizes at all, so each shape page fills its own defaults when it
// is shown, and the usual wall angles of the flared shapes. The curve settings are not here: a new
// project keeps those shown on the curved pages, as it keeps the shape and the speed of sound, since
// the save takes them from there.
void resetForNewProject(vx::CalcState& s)
{
    for (const auto& k : vx::kDimensionKeys) {
        if (k.real)
            s.*k.real = vx::startingDimension(k.shape, k.real);
    }
}

void restoreDimensions(vx::CalcState& s, const vx::CalcState& saved)
{
    for (const auto& k : vx::kDimensionKeys) {
        if (k.real)
            s.*k.real = saved.*k.real;
        else
            s.*k.whole = saved.*k.whole;
    }
}

// New, Open and Delete first offer to save unsaved changes; whatever the answer, the command goes on.
void offerToSave(TF_Main& main)
{
    if (!main.projectModified())
        return;
    const std::string question = "Сохранить проект [" + main.currentProject().toStdString() + "]?";
    if (main.message(vx::MsgType::Confirmation, question, vx::MsgButtons::YesNo) != vx::MsgAnswer::Yes)
        return;
    main.setText("StatusBar1", "  Сохраняю прект, ждите ...");
    if (QWidget* status = main.component("StatusBar1"))
        status->repaint(); // the save blocks the loop: show the text before it starts
    main.SaveProject(main.currentProject());
    main.setText("StatusBar1", "");
}

// Open and Delete show the list without the name editor, holding every section; the editor keeps its
// text while hidden.
void prepareListWithoutEditor(TF_RWPrj& dialog, const QString& caption, const QStringList& sections)
{
    dialog.setEntries({});
    dialog.setWindowTitle(caption);
    dialog.setNameEditorShown(false);
    dialog.setEntries(sections);
}

} // namespace

void TF_Main::BoButNewClick()
{
    offerToSave(*this);
    // The reset belongs to the project that New makes: a cancelled New gives the current project its own
    // values back, so no later save can store the reset values over its dimensions.
    const vx::CalcState before = m_state;
    resetForNewProject(m_state);
    F_Quest->clearName();
    F_Quest->exec();
    if (!F_Quest->projectMade())
        restoreDimensions(m_state, before);
}

void TF_Main::BoButOpenClick()
{
    offerToSave(*this);
    prepareListWithoutEditor(*F_RWPrj, QStringLiteral("Открыть проект"), ProjectIni->sections());
    F_RWPrj->selectEntry(CurrentProject);
    F_RWPrj->exec();
}

void TF_Main::BoButSaveClick()
{
    F_RWPrj->setWindowTitle(QStringLiteral("Сохранить проект"));
    F_RWPrj->setNameEditorShown(true);
    F_RWPrj->setEntries(ProjectIni->sections());
    F_RWPrj->editName(CurrentProject);
    F_RWPrj->exec();
}

void TF_Main::BoButDelClick()
{
    offerToSave(*this);
    prepareListWithoutEditor(*F_RWPrj, QStringLiteral("Удалить проект"), ProjectIni->sections());
    F_RWPrj->removeEntry(CurrentProject);
    if (F_RWPrj->entries().isEmpty()) {
        message(vx::MsgType::Information, "Текущий проект удалить нельзя");
        return;
    }
    F_RWPrj->DeleteMode = true;
    F_RWPrj->exec();
}
