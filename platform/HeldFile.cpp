#include "platform/HeldFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr int kRandomLetters = 12;
constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";

QString randomLetters()
{
    QString out;
    auto* rng = QRandomGenerator::global();
    for (int i = 0; i < kRandomLetters; ++i)
        out += QLatin1Char(kLetters[rng->bounded(int(sizeof kLetters - 1))]);
    return out;
}

// The random part of a name: letters and digits, as many as makeHeldFile() gives or as few as mkstemp()
// gave (the names of earlier versions are taken too).
bool madeName(const QString& name, const QString& prefix, const QString& suffix)
{
    constexpr qsizetype kFewest = 6;
    constexpr qsizetype kMost = 13;
    const qsizetype letters = name.size() - prefix.size() - suffix.size();
    if (letters < kFewest || letters > kMost || !name.startsWith(prefix) || !name.endsWith(suffix))
        return false;
    for (const QChar c : QStringView(name).sliced(prefix.size(), letters)) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

HeldFile makeHeldFile(const QString& folder, const QString& prefix, const QString& suffix, unsigned mode)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString path = QDir(folder).filePath(prefix + randomLetters() + suffix);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return {fd, path};
        // A start that sweeps the folder took it in the instant before the lock and removes it.
        ::close(fd);
    }
    errno = EEXIST;
    return {};
}

void forEachAbandoned(const QString& folder, const QString& prefix, const QString& suffix,
                      const std::function<void(const QString& path, int fd)>& act)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!madeName(name, prefix, suffix))
            continue;
        const QString path = dir.filePath(name);
        const QByteArray native = QFile::encodeName(path);
        struct stat named {};
        if (::lstat(native.constData(), &named) != 0 || !S_ISREG(named.st_mode))
            continue;
        const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {};
        // Held by no one, and still the file under that name: a writer that has just given it its final
        // name let go of it, and what stands under that name now is the user's.
        if (::fstat(fd, &opened) == 0 && sameFile(named, opened) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(native.constData(), &named) == 0 && sameFile(named, opened))
            act(path, fd);
        ::close(fd);
    }
}

QStringList removeAbandoned(const QString& folder, const QString& prefix, const QString& suffix)
{
    QStringList removed;
    forEachAbandoned(folder, prefix, suffix, [&removed](const QString& path, int) {
        if (::unlink(QFile::encodeName(path).constData()) == 0)
            removed << path;
    });
    return removed;
}

} // namespace vx
