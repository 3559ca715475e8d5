#pragma once
// The settings file: "[section]" lines and "key=value" lines, read and written one key at a time with
// the rules of the classic private-profile functions. Section and key names match without regard to
// case; a new section goes to the end of the file, a new key to the end of its section, and an existing
// key is replaced where it stands. Everything else in the file (comments, blank lines, text before the
// first section) is kept byte for byte, and so is every line a write does not touch, its line end
// included. How lines end and which encoding each line and each new line is in: platform/IniText.h.
//
// Every write replaces the whole file through replaceFile() (platform/FileReplace.h): a write that
// cannot complete is refused and leaves the old file as it was. A Batch gathers the writes of one
// operation and puts them on disk once.
//
// Other programs may write the file while this one runs (a text editor, projects pasted in by hand).
// Every operation starts from the file as it is now: it is read again whenever it changed since it was
// last read. A write, or a batch of them, changes only the keys and sections it wrote: when the file
// changed between the reading and the writing, the writes are made again on the file as it then is, so
// another writer's changes anywhere else are kept. A value the file as it then is cannot hold fails the
// batch at that write, as it would have failed on that file from the start. Just before the file is
// replaced it must still be as it was read; when it is not, the writes are made again on it, a few times
// at most, and then the operation fails instead of undoing the other writer's change.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vx {

class IniFile {
public:
    explicit IniFile(QString path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const { return m_path; }

    // The value of a key, `def` when the file, the section or the key is missing.
    QString readString(const QString& section, const QString& key, const QString& def = QString()) const;
    // Section names in file order, as they are spelt in the file.
    QStringList sections() const;
    bool hasSection(const QString& section) const;
    // Whether the encoding the file's new lines take can hold this text (a file mostly in Windows-1251
    // holds no Chinese, for one); writes of names or values it cannot hold are refused.
    bool canHold(const QString& text) const;

    // Outside a batch each of these reaches the disk at once; inside one it is kept until commit().
    // False when the file cannot be written (or, inside a batch, when the batch can no longer succeed).
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool eraseSection(const QString& section);

    // The writes of one operation. commit() writes them all in one replacement of the file and reports
    // whether that worked; a batch left without commit() drops what it gathered. Batches nest: only
    // the outermost one touches the disk.
    class Batch {
    public:
        explicit Batch(IniFile& file);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        bool commit();

    private:
        IniFile& m_file;
        bool m_done = false;
    };

    // How many times the file was replaced on disk by this object (for tests and measurements).
    int diskWrites() const { return m_diskWrites; }

    // Called when a write that failed could not put the file's old contents back either: the file may
    // now be cut short, and its old contents are whole only in the backup copy at the given path.
    void setBackupWarning(std::function<void(const QString& backupPath)> warn) { m_backupWarning = std::move(warn); }
    // The backup folder, when the last write was refused because the file had to be written in place and
    // no backup of it could be made there; empty otherwise.
    const QString& refusedBackupFolder() const { return m_refusedBackupFolder; }

private:
    struct Document;
    // A write or an erasure gathered and not yet on disk, to be made again on a file that changed.
    struct Edit {
        QString section, key, value;
        bool erase = false;
    };
    Document& document() const; // the file as it is on disk now (re-read only when it changed)
    // The file's stamp, then its bytes (none for a missing file); false when it exists but cannot be read.
    bool readFile(QByteArray& stamp, QByteArray& bytes) const;
    bool store();                  // puts the document on disk
    bool refuse();                 // a write refused: false, and the batch it is in fails
    void dropPending();

    QString m_path;
    mutable std::unique_ptr<Document> m_doc;
    mutable QByteArray m_stamp; // identity of the file the document was read from
    mutable QByteArray m_read;  // the bytes the document was read from
    std::vector<Edit> m_edits;  // what the document holds beyond those bytes
    std::function<void(const QString&)> m_backupWarning;
    QString m_refusedBackupFolder;
    mutable bool m_unreadable = false;
    int m_batchDepth = 0;
    bool m_batchFailed = false;
    int m_diskWrites = 0;
};

} // namespace vx
