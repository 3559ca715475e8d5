#include "platform/FileReplace.h"

#include "platform/FileMoments.h"
#include "platform/HeldFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

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
bool putContents(int fd, const QByteArray& data, const QString& path)
{
    if (!writeAll(fd, data, 0))
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (st.st_size > data.size() && ::ftruncate(fd, off_t(data.size())) != 0))
        return false;
    return syncToDisk(fd, FileMoment::InPlaceSynced, path);
}

// Makes the names in a folder (a file created, renamed or removed) last on disk. Not every file system
// can sync a folder; the data of the files themselves is synced on its own.
void syncFolder(const QString& folder)
{
    Fd dir(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// The file a link names, through every link; a link to nothing gives the file it would name.
QString followLinks(const QString& path)
{
    QString at = path;
    for (int hops = 0; hops < 40 && QFileInfo(at).isSymLink(); ++hops)
        at = QFileInfo(at).symLinkTarget();
    const QString canonical = QFileInfo(at).canonicalFilePath();
    return canonical.isEmpty() ? at : canonical;
}

// Whether the permissions let this user write the file. The superuser may write any file, but a file
// without any write permission was made read-only on purpose, and he is refused it too.
bool mayWrite(const QByteArray& path, const struct stat& st)
{
    if (::geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0;
}

// The stamp of a file's state: see fileStamp().
QByteArray stampOf(const struct stat& st)
{
    return QByteArray::number(qulonglong(st.st_dev)) + ':' + QByteArray::number(qulonglong(st.st_ino)) + ':' +
           QByteArray::number(qlonglong(st.st_size)) + ':' + QByteArray::number(qlonglong(st.st_mtim.tv_sec)) +
           '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) + ':' +
           QByteArray::number(qlonglong(st.st_ctim.tv_sec)) + '.' + QByteArray::number(qlonglong(st.st_ctim.tv_nsec));
}

bool sameContentsTime(const struct stat& a, const struct stat& b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The names of a file's extended attributes (its access control list is one of them); `list` is
// listxattr() or flistxattr() bound to the file. None on a file system without attributes.
std::optional<std::vector<QByteArray>> attributeNames(const std::function<ssize_t(char*, size_t)>& list)
{
    for (;;) {
        const ssize_t size = list(nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? std::make_optional(std::vector<QByteArray>()) : std::nullopt;
        QByteArray buf(size, '\0');
        const ssize_t n = size == 0 ? 0 : list(buf.data(), size_t(buf.size()));
        if (n < 0 && errno == ERANGE)
            continue; // an attribute was added meanwhile
        if (n < 0)
            return std::nullopt;
        std::vector<QByteArray> names;
        for (const QByteArray& name : buf.first(n).split('\0'))
            if (!name.isEmpty())
                names.push_back(name);
        return names;
    }
}

std::optional<QByteArray> attributeValue(const QByteArray& path, const QByteArray& name)
{
    for (;;) {
        const ssize_t size = ::getxattr(path.constData(), name.constData(), nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray value(size, '\0');
        const ssize_t n = size == 0 ? 0 : ::getxattr(path.constData(), name.constData(), value.data(), size_t(size));
        if (n < 0 && errno == ERANGE)
            continue;
        if (n < 0)
            return std::nullopt;
        value.truncate(n);
        return value;
    }
}

// The temporary copy takes the target's extended attributes, its access control list among them, and
// only those: one it was given by the folder's default list is taken away. The group bits of a file with
// a list are its mask, so the mode is set after the list, and the list keeps the group's own entry.
bool copyAttributes(const QByteArray& from, int to)
{
    const auto names = attributeNames([&from](char* buf, size_t size) { return ::listxattr(from.constData(), buf, size); });
    const auto given = attributeNames([to](char* buf, size_t size) { return ::flistxattr(to, buf, size); });
    if (!names || !given)
        return false;
    for (const QByteArray& name : *names) {
        const auto value = attributeValue(from, name);
        if (!value || ::fsetxattr(to, name.constData(), value->constData(), size_t(value->size()), 0) != 0)
            return false;
    }
    for (const QByteArray& name : *given) {
        if (std::find(names->begin(), names->end(), name) == names->end() && ::fremovexattr(to, name.constData()) != 0)
            return false;
    }
    return true;
}

enum class Outcome { Written, Changed, Failed, Refused };

// The temporary copy written beside the target and renamed over it. Refused when the folder takes no new
// file, the copy cannot take the target's owner, group or attributes, or the folder does not let the
// target be replaced: the caller may then write in place.
Outcome replaceAtomically(const QString& target, const QByteArray& data, const struct stat* old,
                          const std::function<bool()>& unchanged, QByteArray& stamp)
{
    const QFileInfo info(target);
    const HeldFile held = makeHeldFile(info.absolutePath(), QLatin1Char('.') + info.fileName() + QLatin1Char('.'),
                                       QStringLiteral(".new"), 0666);
    if (held.fd < 0)
        return Outcome::Refused;
    Fd fd(held.fd);
    const QByteArray tempName = native(held.path);
    const QByteArray targetName = native(target);
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
        if (!copyAttributes(targetName, fd.get()) || ::fchmod(fd.get(), old->st_mode & 07777) != 0)
            return drop(Outcome::Refused);
    }
    if (!writeAll(fd.get(), data, 0) || !syncToDisk(fd.get(), FileMoment::TempSynced, held.path))
        return drop(Outcome::Failed);
    // Some file systems report a failed write only when the file is closed. A second descriptor keeps the
    // copy held until it has taken the target's name, and tells what the file was as this write left it.
    Fd kept(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
    if (!kept.valid() || !fd.close())
        return drop(Outcome::Failed);
    if (unchanged && !unchanged())
        return drop(Outcome::Changed);
    struct stat written {};
    if (::fstat(kept.get(), &written) != 0)
        return drop(Outcome::Failed);
    int refusal = fileMoment(FileMoment::Renaming, target);
    if (refusal == 0) {
        // A file that was missing must still be missing: one made meanwhile is another program's.
        const bool renamed = old ? ::rename(tempName.constData(), targetName.constData()) == 0
                                 : ::renameat2(AT_FDCWD, tempName.constData(), AT_FDCWD, targetName.constData(),
                                               RENAME_NOREPLACE) == 0 ||
                                       (errno == EINVAL && ::rename(tempName.constData(), targetName.constData()) == 0);
        refusal = renamed ? 0 : errno;
    }
    if (refusal == EEXIST && !old)
        return drop(Outcome::Changed);
    if (refusal != 0)
        return drop(refusal == EPERM || refusal == EACCES ? Outcome::Refused : Outcome::Failed);
    // The rename gave the file a new change time. A write into it by another program since then shows
    // in its size or modification time: the stamp is then the one before, which the file no longer has.
    struct stat renamed {};
    stamp = ::fstat(kept.get(), &renamed) == 0 && sameContentsTime(renamed, written) ? stampOf(renamed)
                                                                                       : stampOf(written);
    fileMoment(FileMoment::FolderSyncing, target);
    syncFolder(info.absolutePath());
    return Outcome::Written;
}

// The backups of one settings file are named after its whole path, its "/" written "%2F" (and "%"
// "%25"), so that the name says which file a backup belongs to. A path too long for a file name keeps its
// end, after a digest of the whole.
QString backupKey(const QString& target)
{
    QString key = target;
    key.replace(QLatin1Char('%'), QLatin1String("%25")).replace(QLatin1Char('/'), QLatin1String("%2F"));
    constexpr qsizetype kMaxKeyBytes = 200;
    if (QFile::encodeName(key).size() <= kMaxKeyBytes)
        return key;
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(target), QCryptographicHash::Sha1).toHex().left(16);
    QString tail = key.right(100);
    while (QFile::encodeName(tail).size() > 150)
        tail.remove(0, 1);
    return QLatin1String(digest) + QLatin1Char('~') + tail;
}

QString backupPrefix(const QString& target)
{
    return backupKey(target) + QLatin1Char('.');
}

const QString kBackupSuffix = QStringLiteral(".bak");
const QString kUnfinishedSuffix = QStringLiteral(".bak.part");
const QString kReportedSuffix = QStringLiteral(".kept"); // a backup the user was told of: never removed

// The backup's own name after its contents were found needed: out of reach of any tidying.
QString keepForTheUser(const QString& backup)
{
    const QString kept = backup.chopped(kBackupSuffix.size()) + kReportedSuffix;
    return ::rename(native(backup).constData(), native(kept).constData()) == 0 ? kept : backup;
}

// The copy of a file's old contents that a write in place makes first, held by this process for as long
// as the write runs.
class Backup {
public:
    ~Backup()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // A copy of `contents` in the backup folder, on disk. Written under a passing name and renamed when
    // whole: a file of the final name is always complete. False when no copy could be made.
    bool make(const QString& target, const QByteArray& contents)
    {
        const QString folder = backupFolder();
        if (folder.isEmpty() || !makeFolder(folder))
            return false;
        HeldFile held = makeHeldFile(folder, backupPrefix(target), kUnfinishedSuffix, 0600);
        if (held.fd < 0)
            return false;
        m_fd = held.fd;
        const QString name = held.path.chopped(kUnfinishedSuffix.size()) + kBackupSuffix;
        if (!writeAll(m_fd, contents, 0) || !syncToDisk(m_fd, FileMoment::BackupSynced, name) ||
            ::rename(native(held.path).constData(), native(name).constData()) != 0) {
            ::unlink(native(held.path).constData());
            return false;
        }
        m_path = name;
        syncFolder(folder);
        return true;
    }

    void drop() { ::unlink(native(m_path).constData()); }
    QString keep() { return keepForTheUser(m_path); }

private:
    // Folders made for the backup must last too, or the backup is lost with them: each new folder's
    // name is synced in its parent.
    static bool makeFolder(const QString& folder)
    {
        QStringList made;
        for (QString p = folder; !QFileInfo::exists(p);) {
            made << p;
            const QString up = QFileInfo(p).absolutePath();
            if (up == p)
                break;
            p = up;
        }
        if (!made.isEmpty() && !QDir().mkpath(folder))
            return false;
        for (const QString& m : made)
            syncFolder(QFileInfo(m).absolutePath());
        return true;
    }

    int m_fd = -1;
    QString m_path;
};

Outcome writeInPlace(const QString& target, const QByteArray& data, const std::function<bool()>& unchanged,
                     Replacement& report)
{
    Fd fd(::open(native(target).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return Outcome::Failed;
    QByteArray old;
    if (!readWhole(fd.get(), old))
        return Outcome::Failed;
    struct stat st {};
    if (old == data) {
        if (!syncToDisk(fd.get(), FileMoment::InPlaceSynced, target) || ::fstat(fd.get(), &st) != 0)
            return Outcome::Failed;
        report.stamp = stampOf(st);
        return Outcome::Written;
    }
    Backup backup;
    if (!backup.make(target, old)) {
        report.backupFolderRefused = backupFolder();
        return Outcome::Failed;
    }
    if (unchanged && !unchanged()) {
        backup.drop();
        return Outcome::Changed;
    }
    // The new contents are written over the old ones without truncating the file first: the blocks of
    // the old contents stay the file's, so writing them back needs no new room on the disk.
    if (putContents(fd.get(), data, target) && ::fstat(fd.get(), &st) == 0 && fd.close()) {
        backup.drop();
        report.stamp = stampOf(st);
        return Outcome::Written;
    }
    QByteArray check;
    const bool restored =
        fd.valid() && putContents(fd.get(), old, target) && readWhole(fd.get(), check) && check == old;
    if (restored)
        backup.drop();
    else
        report.strandedBackup = backup.keep();
    return Outcome::Failed;
}

} // namespace

QString backupFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/Vornalex/backups");
}

QByteArray fileStamp(const QString& path)
{
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0 ? stampOf(st) : QByteArrayLiteral("missing");
}

Replacement replaceFile(const QString& path, const QByteArray& data, const std::function<bool()>& unchanged)
{
    Replacement report;
    const auto ended = [&report](Outcome outcome) {
        report.result = outcome == Outcome::Written ? Replacement::Written
                        : outcome == Outcome::Changed ? Replacement::Changed
                                                      : Replacement::Refused;
        return report;
    };
    const QString target = followLinks(path);
    struct stat st {};
    if (::stat(native(target).constData(), &st) != 0)
        return ended(errno == ENOENT ? replaceAtomically(target, data, nullptr, unchanged, report.stamp)
                                     : Outcome::Failed);
    if (!S_ISREG(st.st_mode) || !mayWrite(native(target), st))
        return ended(Outcome::Failed);
    if (st.st_nlink == 1) {
        const Outcome atomically = replaceAtomically(target, data, &st, unchanged, report.stamp);
        if (atomically != Outcome::Refused)
            return ended(atomically);
    }
    return ended(writeInPlace(target, data, unchanged, report));
}

QStringList tidyAfterKilledSaves(const QString& path)
{
    const QString target = followLinks(path);
    const QFileInfo info(target);
    removeAbandoned(info.absolutePath(), QLatin1Char('.') + info.fileName() + QLatin1Char('.'), QStringLiteral(".new"));
    const QString folder = backupFolder();
    if (folder.isEmpty())
        return {};
    const QString prefix = backupPrefix(target);
    removeAbandoned(folder, prefix, kUnfinishedSuffix);
    QByteArray now;
    {
        Fd fd(::open(native(target).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!fd.valid() || !readWhole(fd.get(), now))
            now = QByteArray();
    }
    QStringList kept;
    forEachAbandoned(folder, prefix, kBackupSuffix, [&](const QString& backup, int fd) {
        // A kill before the write in place began leaves the file as the backup holds it: nothing lost.
        QByteArray contents;
        if (readWhole(fd, contents) && contents == now)
            ::unlink(native(backup).constData());
        else
            kept << keepForTheUser(backup);
    });
    return kept;
}

} // namespace vx
