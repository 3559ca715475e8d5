#pragma once
// A file that was not there before: a download beside the program takes a name only when nothing at all
// (no file, no folder, no link, not even one that points nowhere) stands under it, and never writes
// through a link.
//
// The bytes go to a temporary file of its own beside the name, created new (never through a link), with
// the mode 0644. Only once every byte is written, flushed and on the disk does it take the name, and only
// when the name is still free: a name taken meanwhile is left as it is. A file that never took its name is
// removed, also when the transfer is stopped or fails; nothing of it stays behind. A process killed in the
// middle of a download leaves its temporary file, which the next start removes.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace vx {

class NewFile {
public:
    explicit NewFile(QString path);
    ~NewFile(); // removes the temporary file unless it took its name
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Whether a file may be made under this name: the name holds no control character (a NUL would cut
    // it short in the file layer, so it would name another file), no format character (a direction mark
    // would show it under another name) and nothing stands under it yet.
    static bool mayCreate(const QString& path);
    // Something stands under the name, a link counted as itself and not as what it points to.
    static bool taken(const QString& path);

    // Makes the temporary file; false when the name may not be made (see mayCreate) or the folder takes
    // no new file.
    bool open();
    // Where the bytes go while they arrive.
    QFile& device() { return m_temp; }
    // The written file takes its name: false when a write, the final flush or the sync to the disk
    // failed, or the name was taken meanwhile; the temporary file is then gone.
    bool place();
    // Drops what was written.
    void discard();

    // Removes the temporary files of downloads into `folder` that a process killed in the middle of a
    // download left behind (the ones a running download writes are left to it); gives their paths.
    static QStringList removeAbandoned(const QString& folder);

private:
    QString m_path;
    QString m_tempPath; // empty when there is no temporary file
    QFile m_temp;
};

// The bytes of the plain file under the name, when it holds at most maxBytes; none for a link (also one
// to a plain file), a folder, a device or a file that cannot be read.
std::optional<QByteArray> readPlainFile(const QString& path, qint64 maxBytes);

} // namespace vx
