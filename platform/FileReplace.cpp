#include "platform/FileReplace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

// An open file descriptor, closed when it goes out of scope unless close() already reported on it.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Some file systems report a failed write only when the file is closed.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Every byte of `data` at `offset`. A write may take only part of what it is given (a full disk, a file
// size limit): the rest is written again, and only the whole counts as success.
bool writeAll(int fd, const QByteArray& data, off_t offset)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd, data.constData() + done, size_t(data.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return done == data.size();
}

bool readWhole(int fd, QByteArray& out)
{
    out.clear();
    char buf[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buf, n);
        at += n;
    }
}

// The file holds `data` and nothing after it, on disk. A file that was longer is cut after the write.
bool putContents(int fd, const QByteArray& data)
{
    if (!writeAll(fd, data, 0))
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (st.st_size > data.size() && ::ftruncate(fd, off_t(data.size())) != 0))
        return false;
    return ::fsync(fd) == 0;
}

// Makes the names in a folder (a file created, renamed or removed) last on disk. Not every file system
// can sync a folder; the data of the files themselves is synced on its own.
void syncFolder(const QString& folder)
{
    Fd dir(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// Whether the permissions let this user write the file. The superuser may write any file, but a file
// without any write permission was made read-only on purpose, and he is refused it too.
bool mayWrite(const QByteArray& path, const struct stat& st)
{
    if (::geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0;
}

// A name for a new file beside `path` that nobody else uses.
QString besideName(const QString& path, const char* suffix)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".") + info.fileName() + QLatin1Char('.') +
                               QString::number(QRandomGenerator::global()->generate64(), 36) +
                               QLatin1String(suffix));
}

enum class Outcome { Written, Failed, Refused };

// The temporary copy written beside the target and renamed over it. Refused when the folder takes no new
// file, the copy cannot take the target's owner or group, or the folder does not let the target be
// replaced: the caller may then write in place.
Outcome replaceAtomically(const QString& target, const QByteArray& data, const struct stat* old)
{
    QString temp;
    int raw = -1;
    for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
        temp = besideName(target, ".new");
        raw = ::open(native(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            return Outcome::Refused;
    }
    if (raw < 0)
        return Outcome::Refused;
    Fd fd(raw);
    const QByteArray tempName = native(temp);
    const auto drop = [&tempName](Outcome outcome) {
        ::unlink(tempName.constData());
        return outcome;
    };
    if (old) {
        struct stat mine {};
        if (::fstat(fd.get(), &mine) != 0)
            return drop(Outcome::Failed);
        if ((mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) &&
            ::fchown(fd.get(), old->st_uid, old->st_gid) != 0)
            return drop(Outcome::Refused);
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0)
            return drop(Outcome::Refused);
    }
    if (!writeAll(fd.get(), data, 0) || ::fsync(fd.get()) != 0 || !fd.close())
        return drop(Outcome::Failed);
    if (::rename(tempName.constData(), native(target).constData()) != 0)
        return drop(errno == EPERM || errno == EACCES ? Outcome::Refused : Outcome::Failed);
    syncFolder(QFileInfo(target).absolutePath());
    return Outcome::Written;
}

// A copy of `contents` in the backup folder, on disk, under a name of its own: an older backup that a
// killed write left behind is never written over. Empty when no copy could be made.
QString keepBackup(const QString& target, const QByteArray& contents)
{
    const QString folder = backupFolder();
    if (folder.isEmpty())
        return {};
    // Folders made for the backup must last too, or the backup is lost with them: each new folder's name
    // is synced in its parent.
    QStringList made;
    for (QString p = folder; !QFileInfo::exists(p);) {
        made << p;
        const QString up = QFileInfo(p).absolutePath();
        if (up == p)
            break;
        p = up;
    }
    if (!made.isEmpty() && !QDir().mkpath(folder))
        return {};
    for (const QString& m : made)
        syncFolder(QFileInfo(m).absolutePath());
    const QString name = QDir(folder).filePath(
        QFileInfo(target).fileName() + QLatin1Char('-') +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QLatin1Char('-') +
        QString::number(::getpid()) + QLatin1Char('-') + QString::number(QRandomGenerator::global()->bounded(1u << 30)) +
        QStringLiteral(".bak"));
    // Written under a passing name and renamed when whole: a file of the final name is always complete.
    const QString part = name + QStringLiteral(".part");
    Fd fd(::open(native(part).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.valid())
        return {};
    if (!writeAll(fd.get(), contents, 0) || ::fsync(fd.get()) != 0 || !fd.close() ||
        ::rename(native(part).constData(), native(name).constData()) != 0) {
        ::unlink(native(part).constData());
        return {};
    }
    syncFolder(folder);
    return name;
}

bool writeInPlace(const QString& target, const QByteArray& data, QString* strandedBackup)
{
    Fd fd(::open(native(target).constData(), O_RDWR | O_CLOEXEC));
    if (!fd.valid())
        return false;
    QByteArray old;
    if (!readWhole(fd.get(), old))
        return false;
    if (old == data)
        return ::fsync(fd.get()) == 0;
    const QString backup = keepBackup(target, old);
    if (backup.isEmpty())
        return false;
    const QByteArray backupName = native(backup);
    // The new contents are written over the old ones without truncating the file first: the blocks of
    // the old contents stay the file's, so writing them back needs no new room on the disk.
    if (putContents(fd.get(), data) && fd.close()) {
        ::unlink(backupName.constData());
        return true;
    }
    QByteArray check;
    const bool restored = fd.valid() && putContents(fd.get(), old) && readWhole(fd.get(), check) && check == old;
    if (restored) {
        ::unlink(backupName.constData());
    } else if (strandedBackup) {
        *strandedBackup = backup;
    }
    return false;
}

} // namespace

QString backupFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/Vornalex/backups");
}

bool replaceFile(const QString& path, const QByteArray& data, QString* strandedBackup)
{
    // A link is followed: the file it names is the one written, and the link stays a link.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString target = canonical.isEmpty() ? path : canonical;
    struct stat st {};
    if (::stat(native(target).constData(), &st) != 0)
        return errno == ENOENT && replaceAtomically(target, data, nullptr) == Outcome::Written;
    if (!S_ISREG(st.st_mode) || !mayWrite(native(target), st))
        return false;
    if (st.st_nlink == 1) {
        switch (replaceAtomically(target, data, &st)) {
        case Outcome::Written:
            return true;
        case Outcome::Failed:
            return false;
        case Outcome::Refused:
            break;
        }
    }
    return writeInPlace(target, data, strandedBackup);
}

} // namespace vx
