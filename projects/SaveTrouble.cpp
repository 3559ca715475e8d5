#include "projects/SaveTrouble.h"

#include "platform/FileReplace.h"
#include "platform/IniFile.h"
#include "platform/NewFile.h"

namespace vx {

QStringList SaveTrouble::tidyAtStart(const QString& settingsPath, const QString& programFolder)
{
    NewFile::removeAbandoned(programFolder);
    QStringList warnings;
    for (const QString& backup : tidyAfterKilledSaves(settingsPath)) {
        warnings << QStringLiteral("Запись файла настроек ") + settingsPath +
                        QStringLiteral(" была прервана, и файл может быть испорчен. Его прежнее содержимое "
                                       "сохранено в файле ") +
                        backup + QLatin1Char('.');
    }
    return warnings;
}

QString SaveTrouble::backupFolderRefusal(const IniFile& file)
{
    const QString folder = file.refusedBackupFolder();
    if (folder.isEmpty())
        return {};
    return QStringLiteral("Не удаётся записать в папку резервных копий ") + folder +
           QStringLiteral(": без резервной копии файл настроек ") + file.path() +
           QStringLiteral(" не может быть изменён.");
}

} // namespace vx
