#pragma once
// The moments of the file layer at which a test may act as another program would (write the settings
// file while a save is on its way), count what happened (every sync to the disk), or have the next step
// refused as a file system would refuse it. The program itself never watches them.

#include <QString>

#include <functional>

namespace vx {

enum class FileMoment {
    TempSynced,     // the temporary copy of a save is written and on the disk, not yet checked nor renamed
    Renaming,       // the temporary copy is about to take the file's name
    FolderSyncing,  // the copy took the name; the folder's names are about to be synced
    BackupSynced,   // the backup of a write in place is whole on the disk
    InPlaceSynced,  // a write in place is on the disk
    DownloadSynced, // a download is on the disk, not yet under its name
};

// Told the moment and the file concerned. At Renaming, a non-zero result is the error (errno) with which
// the rename is refused; it is ignored at the other moments.
using FileMomentWatch = std::function<int(FileMoment, const QString& path)>;

// Installs the watch (an empty one removes it).
void watchFileMoments(FileMomentWatch watch);

// Called by the file layer.
int fileMoment(FileMoment moment, const QString& path);

// fsync() of `fd`, told as `moment` when it worked.
bool syncToDisk(int fd, FileMoment moment, const QString& path);

} // namespace vx
