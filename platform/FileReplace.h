#pragma once
// Puts new contents in place of a file so that a write that cannot complete never costs the old contents.
//
// Normally the contents go to a temporary file beside the target, which takes the target's owner, group,
// mode, access control list and extended attributes and replaces it only when every byte has been written
// and synced to disk: a crash or a full disk leaves either the old file or the new one.
//
// Some files cannot be replaced that way and are written in place instead:
// - a file with more than one hard link (a replacement would leave the other names on the old contents);
// - a file in a folder that takes no new file from this user (no room for the temporary copy);
// - a file whose owner, group, access list or attributes the temporary copy cannot take (another user's
//   writable file, a file system that refuses an attribute);
// - a file the folder does not let this user replace (a sticky folder, another user's file).
// Before such a write, the old contents are copied to a backup in the user's data folder and synced to
// disk; no backup, no write. The new contents are then written and synced; when that fails, the old
// contents are written back and read back to check them. Whenever a process is killed, the file holds its
// old contents or its new ones, or the backup holds the old ones whole. Backups of writes that completed,
// or were undone, are removed.
//
// Just before the file is replaced or written over, the caller is asked whether it is still as the caller
// read it: another program may have written it meanwhile, and replacing it then would undo that write.
//
// A file the user may not write (no write permission for him; the superuser included, who could override
// it), and anything but a plain file (a named pipe, a device), is never written.
//
// The temporary copies and the backups are held by the process writing them (platform/HeldFile.h), so a
// start can tell the ones a killed process left from those another running copy is writing.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace vx {

struct Replacement {
    enum Result {
        Written, // the file holds the new contents
        Changed, // the file was not as the caller read it: nothing was written
        Refused, // the file holds what it held before (but see strandedBackup)
    } result = Refused;
    QByteArray stamp; // Written: the stamp (see fileStamp) of the file as this write left it
    // Refused after a failed write in place that could not put the old contents back: the backup copy,
    // which holds them whole.
    QString strandedBackup;
    // Refused because the backup a write in place needs could not be made in this folder.
    QString backupFolderRefused;
};

// Writes `data` to the file at `path` (a link is followed). `unchanged`, when given, is asked right
// before the file is replaced or written over.
Replacement replaceFile(const QString& path, const QByteArray& data, const std::function<bool()>& unchanged = {});

// What identifies the file's state: device, inode, size, modification and change time. A replacement
// brings a new inode, and a write in place a new change time, which no program can set back.
QByteArray fileStamp(const QString& path);

// The folder the backups of writes in place go to: "Vornalex/backups" in the user's data folder.
QString backupFolder();

// At start, what killed saves of the file at `path` left behind. Temporary copies beside it that no
// running process writes are removed; so are unfinished backups and backups whose file holds what they
// hold. A backup of an interrupted write in place is kept under a name the next start leaves alone; the
// paths of those are given, for the user to hear of each once.
QStringList tidyAfterKilledSaves(const QString& path);

} // namespace vx
