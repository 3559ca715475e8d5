#pragma once
// What the program tells the user about saves of the settings file that went wrong, and what the start
// clears of the saves and downloads of a copy of the program that was killed.

#include <QString>
#include <QStringList>

namespace vx {

class IniFile;

class SaveTrouble {
public:
    // At start, before the settings file at `settingsPath` is read: temporary copies of it and downloads
    // into `programFolder` that no running copy writes are removed, so are backups no longer needed. One
    // warning for each backup of an interrupted write in place, naming it; the next start says nothing of
    // it again.
    static QStringList tidyAtStart(const QString& settingsPath, const QString& programFolder);

    // Why the last write of `file` was refused when that is the backup folder: the file had to be
    // written in place and no backup of it could be made. Empty for any other refusal.
    static QString backupFolderRefusal(const IniFile& file);
};

} // namespace vx
