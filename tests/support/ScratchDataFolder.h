#pragma once
// The user's data folder (XDG_DATA_HOME), where writes in place keep their backups, moved to a temporary
// folder for as long as the object lives, so a test never writes into the real one. The folder is open to
// every user, as a child process dropped to an ordinary user writes its backups there too.

#include "platform/FileReplace.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace vx::test {

class ScratchDataFolder {
public:
    ScratchDataFolder()
        : m_hadOld(qEnvironmentVariableIsSet("XDG_DATA_HOME")), m_old(qgetenv("XDG_DATA_HOME"))
    {
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0777);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
    }
    ~ScratchDataFolder()
    {
        if (m_hadOld)
            qputenv("XDG_DATA_HOME", m_old);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    ScratchDataFolder(const ScratchDataFolder&) = delete;
    ScratchDataFolder& operator=(const ScratchDataFolder&) = delete;

    QString path() const { return m_dir.path(); }

    // The complete backups now in the backup folder (a backup still being written has another name): the
    // ones of writes under way, and the ones kept for the user.
    QStringList backups() const
    {
        QStringList out;
        for (QDirIterator it(vx::backupFolder(), {"*.bak", "*.kept"}, QDir::Files | QDir::Hidden); it.hasNext();)
            out << it.next();
        return out;
    }

private:
    QTemporaryDir m_dir;
    bool m_hadOld;
    QByteArray m_old;
};

} // namespace vx::test
