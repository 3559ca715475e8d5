#pragma once
// Puts new contents in place of a file so that a write that cannot complete never costs the old contents.
//
// Normally the contents go to a temporary file beside the target, which takes the target's owner, group
// and mode and replaces it only when every byte has been written and synced to disk: a crash or a full
// disk leaves either the old file or the new one.
//
// Some files cannot be replaced that way and are written in place instead:
// - a file with more than one hard link (a replacement would leave the other names on the old contents);
// - a file in a folder that takes no new file from this user (no room for the temporary copy);
// - a file whose owner or group the temporary copy cannot take (another user's writable file);
// - a file the folder does not let this user replace (a sticky folder, another user's file).
// Before such a write, the old contents are copied to a backup in the user's data folder and synced to
// disk. The new contents are then written and synced; when that fails, the old contents are written back
// and read back to check them. Whenever a process is killed, the file holds its old contents or its new
// ones, or the backup holds the old ones whole. Backups of writes that completed, or were undone, are
// removed.
//
// A file the user may not write (no write permission for him; the superuser included, who could override
// it) is never written.

#include <QByteArray>
#include <QString>

namespace vx {

// True when `path` now holds `data`; false when the write was refused. After a refusal the file holds
// what it held before, except when a failed write in place could not put the old contents back: then
// `strandedBackup` (when given) receives the path of the backup copy, which holds them whole.
bool replaceFile(const QString& path, const QByteArray& data, QString* strandedBackup = nullptr);

// The folder the backups of writes in place go to: "Vornalex/backups" in the user's data folder.
QString backupFolder();

} // namespace vx
