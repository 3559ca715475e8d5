// Start-up and closing of the main window, and the loading and saving of projects in the settings file.
#include "app/TF_Main.h"

#include "core/Dimensions.h"
#include "core/Numbers.h"
#include "core/Shapes.h"
#include "core/Version.h"
#include "platform/BuiltinImage.h"
#include "projects/ClientId.h"
#include "projects/ProgramFolder.h"
#include "projects/ProjectNames.h"
#include "projects/ProjectTransfer.h"
#include "projects/SaveTrouble.h"

#include "ui_TF_Main.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QStackedWidget>

namespace {

const QString kDefault = QStringLiteral("DEFAULT");
constexpr double kDefaultUs = 344;
constexpr double kMinUs = 330;
constexpr double kMaxUs = 350;
constexpr const char* kSaveFailed = "Сеанс не удалось сохранить";
constexpr const char* kSpriteMissing = "Файл Vornalex.BMP не найден, проргама будет завершена.";

// The warning that a project was not saved; a save refused for want of a backup says where the backup
// could not be written.
std::string saveFailedText(const vx::IniFile& file)
{
    const QString backup = vx::SaveTrouble::backupFolderRefusal(file);
    return backup.isEmpty() ? std::string(kSaveFailed) : (QString::fromUtf8(kSaveFailed) + ".\n" + backup).toStdString();
}

} // namespace

void TF_Main::IniWriteRefused()
{
    // The settings file takes no writes (a folder without write access, a full disk, a file that cannot
    // be read and so must not be overwritten): the user hears of it once per run, and the program goes
    // on with what it could read. Project saves still report their own failure.
    if (IniRefusalShown)
        return;
    IniRefusalShown = true;
    const QString backup = vx::SaveTrouble::backupFolderRefusal(*ProjectIni);
    message(vx::MsgType::Warning, (backup.isEmpty() ? "Не удаётся записать файл настроек " + IniPath +
                                                          ": проекты и положение окна не будут сохранены."
                                                    : backup + " Проекты и положение окна не будут сохранены.")
                                      .toStdString());
}

void TF_Main::FormCreate()
{
    LoadAdv();
    FillSGBrands();

    m_state.Us = kDefaultUs;
    ui->Panel5->resize(ui->Panel2->width(), ui->Panel5->height());
    ui->Panel12->resize(ui->Panel2->width(), ui->Panel12->height());
    // The flared shapes start from their wall angles; every other size starts missing.
    for (const vx::DimensionKey& k : vx::kDimensionKeys) {
        if (k.real && k.key != "CurveFlatL" && k.key != "CurveFlatH")
            m_state.*k.real = vx::startingDimension(k.shape, k.real);
    }
    CurrentProject = kDefault;

    const QString folder = vx::programFolder();
    IniPath = folder + QStringLiteral("Vornalex.ini");
    const QString sheetPath = folder + QStringLiteral("Vornalex.BMP");
    QPixmap sheet = vx::builtinPixmap(sheetPath);
    // A sheet that is no BMP inside is left to Qt to recognise, through all its readers.
    if (sheet.isNull() && !sheet.load(sheetPath)) {
        message(vx::MsgType::Plain, kSpriteMissing);
        EndRequested = true;
    } else {
        ui->PDraw->setPixmap(sheet);
    }

    ProjectIni = std::make_unique<vx::IniFile>(IniPath);
    ProjectIni->setBackupWarning([this](const QString& backup) {
        message(vx::MsgType::Warning, ("Файл настроек " + IniPath +
                                       " не удалось ни записать, ни вернуть к прежнему виду. Его прежнее "
                                       "содержимое сохранено в файле " + backup + ".").toStdString());
    });
    for (const QString& warning : vx::SaveTrouble::tidyAtStart(IniPath, folder))
        message(vx::MsgType::Warning, warning.toStdString());
    vx::ProjectTransfer io(*ProjectIni, *this, m_state);
    if (!io.hasDefaultProject()) {
        vx::IniFile::Batch firstRun(*ProjectIni);
        const bool written = io.writeFirstRun(GetId(), x(), y());
        if (!firstRun.commit() || !written)
            IniWriteRefused();
    }
    if (ProjectIni->readString(kDefault, QStringLiteral("id")).isEmpty() &&
        !ProjectIni->writeString(kDefault, QStringLiteral("id"), GetId()))
        IniWriteRefused();
    ClientId = ProjectIni->readString(kDefault, QStringLiteral("id"), QStringLiteral("default"));

    m_calc.ClearMins();
    const QString last = ProjectIni->readString(kDefault, QStringLiteral("LastProject"));
    LoadProject(last.isEmpty() ? kDefault : last);

    move(io.readInt(kDefault, QStringLiteral("FormLeft"), 0), y());
    move(x(), io.readInt(kDefault, QStringLiteral("FormTop"), 0));
    StartLeft = x();
    StartupProject = CurrentProject;
    StartTop = y();

    m_calc.RecalcMins();
    ProjectModified = false;
    m_calc.ClearRes();
    setActiveControl("EditFb");
}

void TF_Main::LoadProject(const QString& name)
{
    QString S = name;
    const QStringList sections = ProjectIni->sections();
    ui->ListBox1->clear();
    ui->ListBox1->addItems(sections);
    // A name that is no section opens the first one; in a file without any section the name stays and
    // every key reads as its default.
    if (!ProjectIni->hasSection(S) && !sections.isEmpty())
        S = sections.first();

    if (!ProjectIni->writeString(kDefault, QStringLiteral("LastProject"), S))
        IniWriteRefused();

    vx::ProjectTransfer io(*ProjectIni, *this, m_state);
    ui->PageCWork->setCurrentIndex(io.readSourceKeys(S));
    io.readDimensions(S);
    const int shape = ui->PageCWork->currentIndex();
    io.showShapeDimensions();
    SpinEdNPortsChange();
    io.showCurvedDimensions();
    shapeClick(vx::shapeRow(shape).button); // the click of the shape's button, SBut<n>Click
    m_state.SBut = shape;
    ComboPortTypeChange();
    m_calc.RecalcMins();
    setActiveControl("EditFb");

    CurrentProject = S;
    setWindowTitle(QString::fromStdString(vx::programTitle()) + QStringLiteral(" - [") + S + QLatin1Char(']'));
    ProjectModified = false;
    m_calc.ClearRes();
}

bool TF_Main::SaveProject(const QString& name)
{
    const QString S = vx::upperAsciiName(name);
    // Nothing to write when the window shows the start-up project unchanged. A design from another
    // project saved over the start-up project is new to that section and is written.
    const bool showsSection = CurrentProject.compare(S, Qt::CaseInsensitive) == 0;
    if (!ProjectModified && S == StartupProject && showsSection)
        return true;
    bool saved = false;
    {
        vx::IniFile::Batch batch(*ProjectIni);
        saved = vx::ProjectTransfer(*ProjectIni, *this, m_state).writeProject(S, m_state.Us, S);
        // Keys written before a failure stay written, so the batch goes to disk either way.
        saved = batch.commit() && saved;
    }
    if (!saved) {
        message(vx::MsgType::Warning, saveFailedText(*ProjectIni));
        return false;
    }
    LoadProject(S);
    return true;
}

void TF_Main::FormClose()
{
    DeleteAdvFile();
    if (focusWidget() == ui->EditDd)
        EditDdExit();
    else if (focusWidget() == ui->EditSd)
        EditSdExit();
    ui->StatusBar1->setText(QStringLiteral("  Заверщаю работу ..."));
    // A second close after the closing save has released the file has nothing left to write.
    if (!ProjectIni)
        return;

    // The position and the closing save are one operation on the file.
    const bool save = ProjectModified || CurrentProject != StartupProject;
    bool stored = false;
    bool written = true;
    {
        vx::IniFile::Batch batch(*ProjectIni);
        if (x() != StartLeft || y() != StartTop) {
            ProjectIni->writeString(kDefault, QStringLiteral("FormLeft"), QString::number(x()));
            ProjectIni->writeString(kDefault, QStringLiteral("FormTop"), QString::number(y()));
        }
        if (save) {
            double us = vx::parseFloat(text("EditVs"), decimalSeparator()).value_or(kDefaultUs);
            if (us < kMinUs || us > kMaxUs)
                us = kDefaultUs;
            written = vx::ProjectTransfer(*ProjectIni, *this, m_state).writeProject(CurrentProject, us, CurrentProject);
        }
        stored = batch.commit();
    }
    if (!save) {
        if (!stored)
            IniWriteRefused();
        return;
    }
    if (!stored || !written)
        message(vx::MsgType::Warning, saveFailedText(*ProjectIni));
    ProjectIni.reset();
}
