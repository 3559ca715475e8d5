#include "projects/TF_Quest.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/DialogService.h"
#include "platform/IniFile.h"
#include "projects/DialogPlacement.h"
#include "projects/ProjectNames.h"

#include "ui_TF_Quest.h"

#include <QKeyEvent>
#include <QShowEvent>

namespace {

// The section a save under `name` would write into, as the file spells it; empty when there is none.
QString takenSection(const vx::IniFile& file, const QString& name)
{
    if (!file.hasSection(name))
        return {};
    for (const QString& section : file.sections()) {
        if (section.compare(name, Qt::CaseInsensitive) == 0)
            return section;
    }
    return name;
}

} // namespace

TF_Quest::TF_Quest(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
    , ui(new Ui::TF_Quest)
{
    ui->setupUi(this);
    setFixedSize(size());
    connect(ui->ButYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->ButNo, &QPushButton::clicked, this, &QDialog::reject);
}

TF_Quest::~TF_Quest() = default;

void TF_Quest::clearName() { ui->EditNewPrjName->clear(); }

void TF_Quest::FormShow()
{
    vx::centreOverMain(this, F_Main);
    ui->EditNewPrjName->setFocus(Qt::OtherFocusReason);
}

bool TF_Quest::FormClose(int result)
{
    m_made = false;
    const QString typed = ui->EditNewPrjName->text();
    if (result != QDialog::Accepted || typed.isEmpty() || !F_Main)
        return true;
    TF_Main& main = *F_Main;
    if (const QString problem = vx::nameProblem(typed, *main.projectIni()); !problem.isEmpty()) {
        vx::dialogs().show(vx::MsgType::Warning, problem, vx::MsgButtons::Ok, this);
        ui->EditNewPrjName->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // The new project is saved over a project of that name: the user says so first, or picks another
    // name with the typed one still in the editor.
    if (const QString taken = takenSection(*main.projectIni(), vx::upperAsciiName(typed)); !taken.isEmpty()) {
        const QString question = QStringLiteral("Проект [") + taken + QStringLiteral("] уже существует. Заменить его?");
        if (vx::dialogs().show(vx::MsgType::Confirmation, question, vx::MsgButtons::YesNo, this) != vx::MsgAnswer::Yes) {
            ui->EditNewPrjName->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }

    main.calc().ClearMins();
    main.setCurrentProject(vx::upperAsciiName(typed));
    // The reset design is new whatever the flag says (the inputs may have held their defaults already),
    // and a name that happens to be the start-up project's must be written too.
    main.setProjectModified(true);
    // After a failed save (already reported) the new design stays unsaved, and closing or the next save
    // still writes it.
    const bool saved = main.SaveProject(main.currentProject());
    main.setProjectModified(!saved);
    main.setWindowTitle(QStringLiteral("Vornalex + [") + main.currentProject() + QLatin1Char(']'));
    main.setText("EditSd", "");
    main.setActiveControl("EditFb");
    m_made = true;
    return true;
}

void TF_Quest::done(int result)
{
    if (FormClose(result))
        QDialog::done(result);
}

void TF_Quest::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TF_Quest::keyPressEvent(QKeyEvent* event)
{
    // No default and no cancel button: Enter and Escape do nothing here.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
