#include "projects/ProgramFolder.h"

#include <QCoreApplication>

namespace vx {

namespace {
QString& chosenFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolder()
{
    QString folder = chosenFolder().isEmpty() ? QCoreApplication::applicationDirPath() : chosenFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void setProgramFolder(const QString& folder)
{
    chosenFolder() = folder;
}

} // namespace vx
