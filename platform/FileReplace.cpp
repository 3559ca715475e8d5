#include "platform/FileReplace.h"

#include <QFile>
#include <QSaveFile>

namespace vx {

namespace {

// Every byte written and flushed before the file is committed. QSaveFile::commit() flushes its buffer
// itself but (Qt 6.4) still renames the temporary file into place when that final flush fails, e.g. on
// a full disk, which would put an empty or cut-off file over the user's projects. A small file sits
// wholly in the buffer, so the flush is where every such failure shows.
bool writeAndCommit(QSaveFile& f, const QByteArray& data)
{
    if (f.write(data) != data.size() || !f.flush() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool writeInPlace(const QString& path, const QByteArray& data)
{
    // Kept to be written back: the in-place write truncates the file before the new contents are on disk.
    QFile current(path);
    if (!current.open(QIODevice::ReadOnly))
        return false;
    const QByteArray old = current.readAll();
    if (current.error() != QFileDevice::NoError)
        return false;
    current.close();
    {
        QSaveFile f(path);
        f.setDirectWriteFallback(true);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        if (writeAndCommit(f, data))
            return true;
    }
    // The blocks of the old contents were freed by the truncation, so they fit where the new ones did not.
    QFile back(path);
    if (back.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        back.write(old);
        back.flush();
    }
    return false;
}

} // namespace

bool replaceFile(const QString& path, const QByteArray& data)
{
    {
        QSaveFile f(path);
        if (f.open(QIODevice::WriteOnly))
            return writeAndCommit(f, data);
    }
    // No temporary file could be made beside it (a folder the user may not write): only a file that
    // exists and may be written is written in place; QSaveFile falls back only for a refused temporary
    // file, and refuses a file it may not write.
    if (!QFile::exists(path))
        return false;
    return writeInPlace(path, data);
}

} // namespace vx
