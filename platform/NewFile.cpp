#include "platform/NewFile.h"

#include "platform/FileMoments.h"
#include "platform/HeldFile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr mode_t kDownloadMode = 0644;
const QString kTempPrefix = QStringLiteral(".vornalex-download-");

// A control character (a NUL would cut the name short in the file layer, so it would name another file)
// or a format character (a direction override shows "x_exe.zip" for a file whose name ends in ".exe").
bool holdsControlOrFormatCharacter(const QString& name)
{
    for (const char32_t c : name.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            return true;
    }
    return false;
}

// The name takes the file at from, unless something already stands under it.
bool moveToFreeName(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system that cannot rename without replacing: a second link fails as well on a taken name.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

} // namespace

NewFile::NewFile(QString path) : m_path(std::move(path)) {}

NewFile::~NewFile() { discard(); }

bool NewFile::taken(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 || errno != ENOENT;
}

bool NewFile::mayCreate(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return !name.isEmpty() && !holdsControlOrFormatCharacter(name) && !QFile::encodeName(path).contains('\0') &&
           !taken(path);
}

bool NewFile::open()
{
    discard();
    if (!mayCreate(m_path))
        return false;
    // Created new under a name no one else has, with O_CREAT | O_EXCL, which never follows a link; held
    // while it is written, so a start that finds it tells whether a live download writes it.
    const HeldFile held = makeHeldFile(QFileInfo(m_path).path(), kTempPrefix, QString(), 0600);
    const int fd = held.fd;
    if (fd < 0)
        return false;
    m_tempPath = held.path;
    if (::fchmod(fd, kDownloadMode) != 0 || !m_temp.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        discard();
        return false;
    }
    return true;
}

bool NewFile::place()
{
    if (m_tempPath.isEmpty())
        return false;
    // A full disk may show only at the last flush, which the closing would not report.
    const bool written = m_temp.error() == QFileDevice::NoError && m_temp.flush() &&
                         syncToDisk(m_temp.handle(), FileMoment::DownloadSynced, m_tempPath);
    m_temp.close();
    if (!written || !moveToFreeName(QFile::encodeName(m_tempPath), QFile::encodeName(m_path))) {
        discard();
        return false;
    }
    m_tempPath.clear();
    return true;
}

QStringList NewFile::removeAbandoned(const QString& folder)
{
    return vx::removeAbandoned(folder, kTempPrefix, QString());
}

void NewFile::discard()
{
    if (m_temp.isOpen())
        m_temp.close();
    if (!m_tempPath.isEmpty())
        ::unlink(QFile::encodeName(m_tempPath).constData());
    m_tempPath.clear();
}

std::optional<QByteArray> readPlainFile(const QString& path, qint64 maxBytes)
{
    // Not blocking: a named pipe under the name must not hold the caller.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

} // namespace vx
