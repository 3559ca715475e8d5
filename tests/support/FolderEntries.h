#pragma once
// What a folder holds, for tests that check a change touched nothing but its own files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <map>

namespace vx::test {

// Entry name -> what it holds. Hidden entries count too: files with their bytes, links with where they
// point (whether that exists or not), folders as "folder".
using FolderEntries = std::map<QString, QByteArray>;

inline FolderEntries folderEntries(const QString& path)
{
    FolderEntries out;
    const QDir dir(path);
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& name : dir.entryList(all)) {
        const QFileInfo info(dir.filePath(name));
        if (info.isSymLink()) {
            out[name] = "link to " + QFile::encodeName(info.symLinkTarget());
        } else if (info.isDir()) {
            out[name] = "folder";
        } else {
            QFile f(info.filePath());
            out[name] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
        }
    }
    return out;
}

} // namespace vx::test
