#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

enum class OpenToOthers { Refuse, Tighten };

// A folder we may keep a lock in: a real directory (not a symbolic link), owned by us, with no access for
// anyone else. Our own fallback folder, when others may enter it, is tightened rather than refused; the
// session's runtime folder is never changed behind the session's back.
bool isPrivateFolder(const QByteArray& path, OpenToOthers open)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(path.constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 077) == 0)
        return true;
    return open == OpenToOthers::Tighten && ::chmod(path.constData(), 0700) == 0;
}

QString fallbackFolder()
{
    const QByteArray path = QFile::encodeName(QDir::tempPath() + "/vornalex-" + QString::number(::getuid()));
    // mkdir is atomic: either we make the folder with our mode, or it was there and is checked below.
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(path, OpenToOthers::Tighten) ? QFile::decodeName(path) : QString();
}

// A lock name becomes a file name: keep it to one harmless path component.
QString fileNameFor(const QString& name)
{
    QString safe;
    for (const QChar c : name)
        safe += (c.isLetterOrNumber() || c == '_' || c == '-') ? c : QChar('_');
    return safe + ".lock";
}

} // namespace

QString InstanceLock::runtimeFolder()
{
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (isPrivateFolder(xdg, OpenToOthers::Refuse))
        return QFile::decodeName(xdg);
    return fallbackFolder();
}

std::unique_ptr<InstanceLock> InstanceLock::tryAcquire(const QString& name)
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return std::unique_ptr<InstanceLock>(new InstanceLock(-1, {}));

    const QString path = folder + '/' + fileNameFor(name);
    const QByteArray native = QFile::encodeName(path);
    // O_CLOEXEC: a program we start (the browser, a downloaded installer) must not inherit the lock and
    // keep it after we end. O_NOFOLLOW: never lock through a link planted in place of the file.
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return std::unique_ptr<InstanceLock>(new InstanceLock(-1, {}));

    // Taking the lock is the one atomic step: of two copies started at the same instant exactly one
    // wins; the file itself may exist from an earlier run, which means nothing.
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = (errno == EWOULDBLOCK);
        ::close(fd);
        if (held)
            return nullptr;
        // A file system without flock: run unguarded, as when no file could be made.
        return std::unique_ptr<InstanceLock>(new InstanceLock(-1, {}));
    }
    return std::unique_ptr<InstanceLock>(new InstanceLock(fd, path));
}

InstanceLock::InstanceLock(int fd, QString path)
    : m_fd(fd)
    , m_path(std::move(path))
{
}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it here would let a copy that opened the old file and a copy that makes a
    // new one both hold "the" lock. Closing the descriptor releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vx
