#include "platform/FileMoments.h"

#include <unistd.h>

namespace vx {

namespace {

FileMomentWatch& watcher()
{
    static FileMomentWatch w;
    return w;
}

} // namespace

void watchFileMoments(FileMomentWatch watch)
{
    watcher() = std::move(watch);
}

int fileMoment(FileMoment moment, const QString& path)
{
    const FileMomentWatch& w = watcher();
    return w ? w(moment, path) : 0;
}

bool syncToDisk(int fd, FileMoment moment, const QString& path)
{
    if (::fsync(fd) != 0)
        return false;
    fileMoment(moment, path);
    return true;
}

} // namespace vx
