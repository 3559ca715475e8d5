#include "projects/TF_RWPrj.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/DialogService.h"
#include "platform/IniFile.h"
#include "projects/DialogPlacement.h"
#include "projects/ProjectNames.h"

#include "ui_TF_RWPrj.h"

#include <QEvent>
#include <QListWidgetItem>
#include <QShowEvent>

namespace {

constexpr char kWorking[] = "Работаю, ждите ...";
constexpr char kNothingPicked[] = "Проект не выбран: выберите его в списке";
constexpr char kEraseFailed[] = "Проект удалить не удалось";

// The list keeps itself in alphabetical order, letter case aside (the settings file matches names that
// way too): "Ё" stands with "Е" as in the alphabet, not after "Я" where its code puts it; names equal
// so far go by their letters, then by their exact text.
QString sortKey(const QString& name)
{
    QString key = name.toCaseFolded();
    key.replace(QChar(0x0451), QChar(0x0435)); // ё → е
    return key;
}

class ProjectEntry : public QListWidgetItem {
public:
    explicit ProjectEntry(const QString& name) : QListWidgetItem(name) {}
    bool operator<(const QListWidgetItem& other) const override
    {
        if (const int alphabet = sortKey(text()).compare(sortKey(other.text())); alphabet != 0)
            return alphabet < 0;
        if (const int letters = text().toCaseFolded().compare(other.text().toCaseFolded()); letters != 0)
            return letters < 0;
        return text() < other.text();
    }
};

} // namespace

TF_RWPrj::TF_RWPrj(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
    , ui(new Ui::TF_RWPrj)
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->LBPrj->setSortingEnabled(true);
    ui->StatusBar1->setSizeGripEnabled(false);

    connect(ui->ButYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->ButNo, &QPushButton::clicked, this, &QDialog::reject);
    // A click on an entry, or moving to one with the keys, picks it; filling by code picks nothing.
    connect(ui->LBPrj, &QListWidget::itemClicked, this, [this] { LBPrjClick(); });
    connect(ui->LBPrj, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            LBPrjClick();
    });
    connect(ui->LBPrj, &QListWidget::itemDoubleClicked, this, [this] { LBPrjDblClick(); });
    ui->ButYes->installEventFilter(this);
    FormCreate();
}

TF_RWPrj::~TF_RWPrj() = default;

void TF_RWPrj::setNameEditorShown(bool shown) { ui->EditPrjName->setVisible(shown); }

void TF_RWPrj::editName(const QString& name)
{
    ui->EditPrjName->setText(name);
    ui->EditPrjName->setFocus(Qt::OtherFocusReason);
}

void TF_RWPrj::FormCreate()
{
    vx::centreOverMain(this, F_Main);
}

void TF_RWPrj::FormShow()
{
    vx::centreOverMain(this, F_Main);
}

void TF_RWPrj::setEntries(const QStringList& names)
{
    m_filling = true;
    ui->LBPrj->clear();
    for (const QString& name : names)
        ui->LBPrj->addItem(new ProjectEntry(name));
    ui->LBPrj->setCurrentRow(-1);
    ui->LBPrj->clearSelection();
    m_filling = false;
}

void TF_RWPrj::selectEntry(const QString& name)
{
    m_filling = true;
    for (int row = 0; row < ui->LBPrj->count(); ++row) {
        if (ui->LBPrj->item(row)->text().compare(name, Qt::CaseInsensitive) == 0) {
            ui->LBPrj->setCurrentRow(row);
            break;
        }
    }
    m_filling = false;
}

void TF_RWPrj::removeEntry(const QString& name)
{
    m_filling = true;
    // Every entry of that name (letter case aside): an erase of any of them takes the first section of
    // the name, the one the current project is read from.
    for (int row = ui->LBPrj->count() - 1; row >= 0; --row) {
        if (ui->LBPrj->item(row)->text().compare(name, Qt::CaseInsensitive) == 0)
            delete ui->LBPrj->takeItem(row);
    }
    ui->LBPrj->setCurrentRow(-1);
    ui->LBPrj->clearSelection();
    m_filling = false;
}

QStringList TF_RWPrj::entries() const
{
    QStringList out;
    for (int row = 0; row < ui->LBPrj->count(); ++row)
        out << ui->LBPrj->item(row)->text();
    return out;
}

QString TF_RWPrj::selectedEntry() const
{
    const QList<QListWidgetItem*> picked = ui->LBPrj->selectedItems();
    return picked.isEmpty() ? QString() : picked.front()->text();
}

void TF_RWPrj::LBPrjClick()
{
    const QList<QListWidgetItem*> picked = ui->LBPrj->selectedItems();
    if (!picked.isEmpty())
        ui->EditPrjName->setText(picked.front()->text());
}

void TF_RWPrj::LBPrjDblClick()
{
    LBPrjClick();
    accept();
}

void TF_RWPrj::ButYesMouseDown()
{
    ui->StatusBar1->showMessage(QString::fromUtf8(kWorking));
    ui->StatusBar1->repaint();
}

bool TF_RWPrj::FormClose(int result)
{
    if (result != QDialog::Accepted || !F_Main) {
        DeleteMode = false;
        ui->StatusBar1->clearMessage();
        return true;
    }
    TF_Main& main = *F_Main;
    const bool saveAs = !DeleteMode && !ui->EditPrjName->isHidden();
    const QString picked = selectedEntry();
    if (!saveAs && picked.isEmpty()) {
        // Nothing to open or erase: say so and let the user pick an entry or cancel.
        vx::dialogs().show(vx::MsgType::Error, QString::fromUtf8(kNothingPicked), vx::MsgButtons::Ok, this);
        ui->StatusBar1->clearMessage();
        return false;
    }

    if (DeleteMode) {
        const bool erased = main.projectIni()->eraseSection(picked);
        DeleteMode = false;
        if (erased)
            reloadAfterErase();
        else
            vx::dialogs().show(vx::MsgType::Warning, QString::fromUtf8(kEraseFailed) + QStringLiteral(" [") + picked +
                                   QLatin1Char(']'), vx::MsgButtons::Ok, this);
    } else if (!saveAs) {
        main.LoadProject(picked);
    } else {
        const QString typed = ui->EditPrjName->text();
        if (const QString problem = vx::nameProblem(typed, *main.projectIni()); !problem.isEmpty()) {
            vx::dialogs().show(vx::MsgType::Warning, problem, vx::MsgButtons::Ok, this);
            ui->StatusBar1->clearMessage();
            ui->EditPrjName->setFocus(Qt::OtherFocusReason);
            return false;
        }
        if (!typed.isEmpty())
            main.SaveProject(typed);
    }
    ui->StatusBar1->clearMessage();
    return true;
}

void TF_RWPrj::reloadAfterErase()
{
    TF_Main& main = *F_Main;
    // The reload drops what the user declined to save and shows the project as its section holds it.
    // A current project that has no section of its own (taken out of the file meanwhile, or never
    // saved) would make the load fall back to another project and lose the design on screen: it stays
    // as it is instead, marked for saving, so the closing or the next save gives it its section.
    if (!main.projectIni()->hasSection(main.currentProject())) {
        main.setProjectModified(true);
        return;
    }
    main.LoadProject(main.currentProject());
}

void TF_RWPrj::done(int result)
{
    if (FormClose(result))
        QDialog::done(result);
}

void TF_RWPrj::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TF_RWPrj::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->ButYes && event->type() == QEvent::MouseButtonPress)
        ButYesMouseDown();
    return QDialog::eventFilter(watched, event);
}
