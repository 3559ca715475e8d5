// Saves of the settings file meeting the world outside the program: another program writing the file
// while a save is on its way, what stands under the file's name, access lists and attributes, syncs, a
// rename the folder refuses, and what saves and downloads killed at any moment leave for the next start.
#include "platform/FileMoments.h"
#include "platform/FileReplace.h"
#include "platform/IniFile.h"
#include "platform/NewFile.h"

#include "FileBytes.h"
#include "KilledAtMoment.h"
#include "ScratchDataFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <ostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

using vx::FileMoment;
using vx::IniFile;
using vx::test::killedAt;
using vx::test::readAll;
using vx::test::writeAll;

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// The watch of the file layer's moments, for as long as the object lives.
class Watch {
public:
    explicit Watch(vx::FileMomentWatch watch) { vx::watchFileMoments(std::move(watch)); }
    ~Watch() { vx::watchFileMoments({}); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
};

void secondName(const QString& path)
{
    ASSERT_EQ(::link(native(path).constData(), native(path + ".link").constData()), 0);
}

QStringList backupFolderEntries()
{
    return QDir(vx::backupFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Rows print as their names.
template <class Row>
    requires requires(const Row& r) { r.name; }
void PrintTo(const Row& r, std::ostream* os)
{
    *os << r.name;
}

const auto rowName = [](const auto& info) { return std::string(info.param.name); };

// ---- another program writes the file while a save is on its way ---------------------------------

// The other program adds a project of its own at the row's moment: once, or at every attempt of the save.
struct OtherWriterRow {
    const char* name;
    bool inPlace; // the file has a second name, so the save writes it in place
    FileMoment moment;
    bool everyAttempt;
    bool saved;
};

const OtherWriterRow kOtherWriterRows[] = {
    // Between the reading and the replacing: the save is made again on the file as the other left it.
    {"WhileTheTemporaryCopyIsWrittenAndSynced", false, FileMoment::TempSynced, false, true},
    {"WhileTheBackupOfAWriteInPlaceIsMade", true, FileMoment::BackupSynced, false, true},
    // After the replacing, while the folder is synced: kept, and seen by the next read of the same run.
    {"WhileTheFolderIsSynced", false, FileMoment::FolderSyncing, false, true},
    // A file that changes at every attempt: the save fails rather than undo the other's change.
    {"AtEveryAttemptOfTheSave", false, FileMoment::TempSynced, true, false},
    {"AtEveryAttemptOfAWriteInPlace", true, FileMoment::BackupSynced, true, false},
};

class OtherWriterDuringTheSave : public testing::TestWithParam<OtherWriterRow> {};

TEST_P(OtherWriterDuringTheSave, ItsChangeIsKeptAndSeen)
{
    const OtherWriterRow& row = GetParam();
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n");
    if (row.inPlace)
        secondName(path);
    IniFile ini(path);
    ASSERT_EQ(ini.readString("A", "x"), "1");

    int edits = 0;
    bool saving = true;
    const Watch watch([&](FileMoment moment, const QString&) {
        if (saving && moment == row.moment && (row.everyAttempt || edits == 0)) {
            ++edits;
            QByteArray text = readAll(path);
            text.truncate(text.indexOf("[OTHER]") < 0 ? text.size() : text.indexOf("[OTHER]"));
            text += "[OTHER]\nn=" + QByteArray::number(edits) + "\n";
            writeAll(path, text);
        }
        return 0;
    });
    const bool written = ini.writeString("A", "x", "2");
    saving = false;
    EXPECT_EQ(written, row.saved);
    const QByteArray other = "[OTHER]\nn=" + QByteArray::number(edits) + "\n";
    EXPECT_TRUE(readAll(path).endsWith(other)) << readAll(path).constData();
    EXPECT_EQ(IniFile(path).readString("A", "x"), row.saved ? "2" : "1");
    EXPECT_EQ(ini.readString("OTHER", "n"), QString::number(edits));
    if (row.everyAttempt)
        EXPECT_GT(edits, 1);
    // The next save of the run keeps the other's project too.
    ASSERT_TRUE(ini.writeString("A", "y", "3"));
    EXPECT_EQ(IniFile(path).readString("OTHER", "n"), QString::number(edits));
    EXPECT_EQ(backupFolderEntries(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Rows, OtherWriterDuringTheSave, testing::ValuesIn(kOtherWriterRows),
                         rowName);

// Another program rewrites the file in place at the same size and sets its old modification time back:
// only the change time tells, and the next read sees the change.
TEST(FileStamp, SameSizeRewriteWithTheOldModificationTimeIsSeen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("A", "x", "1"));
    ASSERT_EQ(ini.readString("A", "x"), "1");
    struct stat before {};
    ASSERT_EQ(::stat(native(path).constData(), &before), 0);
    struct stat after {};
    for (int tries = 0; tries < 200; ++tries) {
        writeAll(path, "[A]\nx=2\n");
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, native(path).constData(), times, 0), 0);
        ASSERT_EQ(::stat(native(path).constData(), &after), 0);
        if (after.st_ctim.tv_sec != before.st_ctim.tv_sec || after.st_ctim.tv_nsec != before.st_ctim.tv_nsec)
            break;
        QThread::usleep(500); // the clock of change times has not moved on yet
    }
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ini.readString("A", "x"), "2");
}

// ---- what stands under the file's name -----------------------------------------------------------

struct NameRow {
    const char* name;
    std::function<void(const QString& dir)> lay; // puts something under dir/Vornalex.ini
    bool written;
    // Checks what stands under the name after a save of `bytes`.
    std::function<void(const QString& dir, const QByteArray& bytes)> check;
};

const QByteArray kNew = "[A]\nx=2\n";

const NameRow kNameRows[] = {
    {"LinkToAFile",
     [](const QString& dir) {
         writeAll(dir + "/real.ini", "[A]\nx=1\n");
         ASSERT_EQ(::symlink("real.ini", native(dir + "/Vornalex.ini").constData()), 0);
     },
     true,
     [](const QString& dir, const QByteArray& bytes) {
         struct stat st {};
         ASSERT_EQ(::lstat(native(dir + "/Vornalex.ini").constData(), &st), 0);
         EXPECT_TRUE(S_ISLNK(st.st_mode));
         EXPECT_EQ(readAll(dir + "/real.ini"), bytes);
     }},
    {"LinkToALinkToAFileInAnotherFolder",
     [](const QString& dir) {
         ASSERT_TRUE(QDir(dir).mkdir("elsewhere"));
         writeAll(dir + "/elsewhere/real.ini", "[A]\nx=1\n");
         ASSERT_EQ(::symlink("elsewhere/real.ini", native(dir + "/middle.ini").constData()), 0);
         ASSERT_EQ(::symlink("middle.ini", native(dir + "/Vornalex.ini").constData()), 0);
     },
     true,
     [](const QString& dir, const QByteArray& bytes) {
         struct stat st {};
         ASSERT_EQ(::lstat(native(dir + "/Vornalex.ini").constData(), &st), 0);
         EXPECT_TRUE(S_ISLNK(st.st_mode));
         ASSERT_EQ(::lstat(native(dir + "/middle.ini").constData(), &st), 0);
         EXPECT_TRUE(S_ISLNK(st.st_mode));
         EXPECT_EQ(readAll(dir + "/elsewhere/real.ini"), bytes);
     }},
    {"NamedPipe", [](const QString& dir) { ASSERT_EQ(::mkfifo(native(dir + "/Vornalex.ini").constData(), 0644), 0); },
     false,
     [](const QString& dir, const QByteArray&) {
         struct stat st {};
         ASSERT_EQ(::lstat(native(dir + "/Vornalex.ini").constData(), &st), 0);
         EXPECT_TRUE(S_ISFIFO(st.st_mode));
     }},
    {"Folder", [](const QString& dir) { ASSERT_TRUE(QDir(dir).mkdir("Vornalex.ini")); }, false,
     [](const QString& dir, const QByteArray&) { EXPECT_TRUE(QFileInfo(dir + "/Vornalex.ini").isDir()); }},
};

class WhatStandsUnderTheName : public testing::TestWithParam<NameRow> {};

TEST_P(WhatStandsUnderTheName, SaveWritesOnlyAPlainFile)
{
    const NameRow& row = GetParam();
    QTemporaryDir dir;
    row.lay(dir.path());
    const QString path = dir.filePath("Vornalex.ini");
    // Names only: opening a pipe to read what it holds would wait for a writer.
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    EXPECT_EQ(vx::replaceFile(path, kNew).result == vx::Replacement::Written, row.written);
    row.check(dir.path(), kNew);
    // Through the settings file too; a pipe is neither waited on nor replaced.
    IniFile ini(path);
    EXPECT_EQ(ini.readString("A", "x"), row.written ? "2" : "");
    EXPECT_EQ(ini.writeString("A", "x", "3"), row.written);
    if (!row.written)
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    row.check(dir.path(), "[A]\nx=3\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, WhatStandsUnderTheName, testing::ValuesIn(kNameRows),
                         rowName);

// ---- access lists and attributes -----------------------------------------------------------------

// An access control list as the kernel keeps it in the attribute system.posix_acl_*: a version, then
// entries of a tag, permissions and an id, sorted by tag.
QByteArray accessList(std::initializer_list<std::array<uint32_t, 3>> entries)
{
    QByteArray out;
    const auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += char((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);
    for (const auto& e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
    }
    return out;
}

constexpr uint32_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;
constexpr uint32_t kNoId = 0xFFFFFFFF;

// Shared with the user "nobody", read and write, through the list; the group itself may only read.
const QByteArray kSharedList = accessList({{kUserObj, 6, kNoId},
                                           {kUser, 6, 65534},
                                           {kGroupObj, 4, kNoId},
                                           {kMask, 6, kNoId},
                                           {kOther, 4, kNoId}});
const QByteArray kOpenDefault =
    accessList({{kUserObj, 7, kNoId}, {kUser, 7, 65534}, {kGroupObj, 7, kNoId}, {kMask, 7, kNoId}, {kOther, 7, kNoId}});

using Attributes = std::map<QByteArray, QByteArray>;

Attributes attributesOf(const QString& path)
{
    Attributes out;
    char names[4096];
    const ssize_t n = ::listxattr(native(path).constData(), names, sizeof names);
    for (ssize_t at = 0; at < n; at += ssize_t(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t size = ::getxattr(native(path).constData(), names + at, value, sizeof value);
        out[names + at] = size < 0 ? QByteArray("(unreadable)") : QByteArray(value, size);
    }
    return out;
}

struct AttributeRow {
    const char* name;
    Attributes attributes; // given to the file
    mode_t mode;           // the file's mode
    QByteArray folderDefault; // the folder's default access list, handed to files made in it
    bool inPlace;
};

const AttributeRow kAttributeRows[] = {
    {"AccessListSharingTheFile", {{"system.posix_acl_access", kSharedList}}, 0644, {}, false},
    {"UserAttribute", {{"user.vornalex.origin", "typed by hand"}}, 0640, {}, false},
    {"BothInAFolderThatHandsOutAnOpenList",
     {{"system.posix_acl_access", kSharedList}, {"user.vornalex.origin", "typed by hand"}}, 0644, kOpenDefault, false},
    {"NoListInAFolderThatHandsOutAnOpenList", {}, 0640, kOpenDefault, false},
    {"BothOnAFileWrittenInPlace",
     {{"system.posix_acl_access", kSharedList}, {"user.vornalex.origin", "typed by hand"}}, 0644, {}, true},
};

class AccessListsAndAttributes : public testing::TestWithParam<AttributeRow> {};

TEST_P(AccessListsAndAttributes, KeptAfterASaveAndTheGroupGainsNothing)
{
    const AttributeRow& row = GetParam();
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n");
    ASSERT_EQ(::chmod(native(path).constData(), row.mode), 0);
    for (const auto& [name, value] : row.attributes) {
        if (::setxattr(native(path).constData(), name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            GTEST_SKIP() << "the file system takes no " << name.constData() << ": " << std::strerror(errno);
    }
    if (!row.folderDefault.isEmpty() &&
        ::setxattr(native(dir.path()).constData(), "system.posix_acl_default", row.folderDefault.constData(),
                   size_t(row.folderDefault.size()), 0) != 0)
        GTEST_SKIP() << "the file system takes no default access list";
    if (row.inPlace)
        secondName(path);
    struct stat before {};
    ASSERT_EQ(::stat(native(path).constData(), &before), 0);
    const Attributes attributes = attributesOf(path);
    ASSERT_EQ(attributes.size(), row.attributes.size());

    ASSERT_TRUE(IniFile(path).writeString("A", "x", "2"));
    EXPECT_EQ(readAll(path), "[A]\nx=2\n");
    EXPECT_EQ(attributesOf(path), attributes);
    struct stat after {};
    ASSERT_EQ(::stat(native(path).constData(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino == before.st_ino, row.inPlace);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), row.inPlace ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, AccessListsAndAttributes, testing::ValuesIn(kAttributeRows),
                         rowName);

// ---- syncs, a refused rename, where the backup goes ----------------------------------------------

enum class Kind { Atomic, InPlace, Download };

struct SyncRow {
    const char* name;
    Kind kind;
    std::map<FileMoment, int> moments;
};

const SyncRow kSyncRows[] = {
    {"SaveByReplacement", Kind::Atomic, {{FileMoment::TempSynced, 1}, {FileMoment::Renaming, 1}, {FileMoment::FolderSyncing, 1}}},
    {"SaveInPlace", Kind::InPlace, {{FileMoment::BackupSynced, 1}, {FileMoment::InPlaceSynced, 1}}},
    {"Download", Kind::Download, {{FileMoment::DownloadSynced, 1}}},
};

class Syncs : public testing::TestWithParam<SyncRow> {};

// Every file is on the disk before it takes its name or its new contents are counted on; a finished
// save leaves no backup, whole or unfinished.
TEST_P(Syncs, EachFileIsSyncedBeforeItCounts)
{
    const SyncRow& row = GetParam();
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    std::map<FileMoment, int> seen;
    if (row.kind != Kind::Download) {
        writeAll(path, "[A]\nx=1\n");
        if (row.kind == Kind::InPlace)
            secondName(path);
    }
    {
        const Watch watch([&seen](FileMoment moment, const QString&) {
            ++seen[moment];
            return 0;
        });
        if (row.kind == Kind::Download) {
            vx::NewFile file(path);
            ASSERT_TRUE(file.open());
            file.device().write("[A]\nx=2\n");
            ASSERT_TRUE(file.place());
        } else {
            ASSERT_TRUE(IniFile(path).writeString("A", "x", "2"));
        }
    }
    EXPECT_EQ(seen, row.moments);
    EXPECT_EQ(readAll(path), "[A]\nx=2\n");
    EXPECT_EQ(backupFolderEntries(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Rows, Syncs, testing::ValuesIn(kSyncRows), rowName);

struct RenameRow {
    const char* name;
    int error; // with which the rename is refused
    bool writtenInPlace;
};

const RenameRow kRenameRows[] = {
    {"NotPermitted", EPERM, true},
    {"AccessDenied", EACCES, true},
    {"InputOutputError", EIO, false},
};

class RefusedRename : public testing::TestWithParam<RenameRow> {};

// A folder that takes the temporary copy but refuses its rename over the file (a security module, a
// sticky folder): the file is written in place instead; any other failure refuses the save.
TEST_P(RefusedRename, FallsBackToTheWriteInPlace)
{
    const RenameRow& row = GetParam();
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n");
    struct stat before {};
    ASSERT_EQ(::stat(native(path).constData(), &before), 0);
    bool written = false;
    {
        const Watch watch([&row](FileMoment moment, const QString&) { return moment == FileMoment::Renaming ? row.error : 0; });
        written = IniFile(path).writeString("A", "x", "2");
    }
    EXPECT_EQ(written, row.writtenInPlace);
    EXPECT_EQ(readAll(path), row.writtenInPlace ? "[A]\nx=2\n" : "[A]\nx=1\n");
    struct stat after {};
    ASSERT_EQ(::stat(native(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Vornalex.ini"});
    EXPECT_EQ(backupFolderEntries(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedRename, testing::ValuesIn(kRenameRows),
                         rowName);

// The backup of a write in place goes to "Vornalex/backups" in the user's data folder, under a name
// that holds the whole path of the settings file, and is gone once the write is done.
TEST(Backup, LandsInTheDataFolderUnderTheSettingsFilesName)
{
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n");
    secondName(path);
    QStringList backups;
    {
        const Watch watch([&backups](FileMoment moment, const QString& file) {
            if (moment == FileMoment::BackupSynced)
                backups << file;
            return 0;
        });
        ASSERT_TRUE(IniFile(path).writeString("A", "x", "2"));
    }
    ASSERT_EQ(backups.size(), 1);
    QString key = QFileInfo(path).canonicalFilePath();
    key.replace("/", "%2F");
    EXPECT_TRUE(backups[0].startsWith(data.path() + "/Vornalex/backups/" + key + ".")) << backups[0].toStdString();
    EXPECT_TRUE(backups[0].endsWith(".bak"));
    EXPECT_FALSE(QFileInfo::exists(backups[0]));
    EXPECT_EQ(backupFolderEntries(), QStringList());
}

// A write in place whose backup cannot be made says which folder refused it.
TEST(Backup, FolderThatTakesNoBackupIsNamed)
{
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n");
    secondName(path);
    // Where the backup folder should be stands a file.
    ASSERT_TRUE(QDir(data.path()).mkpath("Vornalex"));
    writeAll(data.path() + "/Vornalex/backups", "");
    IniFile ini(path);
    EXPECT_FALSE(ini.writeString("A", "x", "2"));
    EXPECT_EQ(ini.refusedBackupFolder(), data.path() + "/Vornalex/backups");
    EXPECT_EQ(readAll(path), "[A]\nx=1\n");
    const vx::Replacement r = vx::replaceFile(path, "[A]\nx=3\n");
    EXPECT_EQ(r.result, vx::Replacement::Refused);
    EXPECT_EQ(r.backupFolderRefused, data.path() + "/Vornalex/backups");
}

// ---- what killed saves and downloads leave for the next start ------------------------------------

// Files of the user beside the settings file that look like the program's temporary ones and are not
// (a name of another form, a folder, a link): no start removes them.
void layLookAlikes(const QString& dir)
{
    writeAll(dir + "/.Vornalex.ini.mine.new", "the user's");
    writeAll(dir + "/.Vornalex.ini.my-copy-01.new", "the user's");
    writeAll(dir + "/.vornalex-download-notes.txt", "the user's");
    ASSERT_TRUE(QDir(dir).mkdir(".Vornalex.ini.abcdefabcdef.new"));
    ASSERT_EQ(::symlink("Vornalex.ini", native(dir + "/.vornalex-download-abc123").constData()), 0);
}

const QStringList kLookAlikes = {".Vornalex.ini.abcdefabcdef.new", ".Vornalex.ini.mine.new",
                                 ".Vornalex.ini.my-copy-01.new", ".vornalex-download-abc123",
                                 ".vornalex-download-notes.txt"};

QStringList folderNames(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return names;
}

// What the next start does, at the file layer.
QStringList nextStart(const QString& dir)
{
    vx::NewFile::removeAbandoned(dir);
    return vx::tidyAfterKilledSaves(dir + "/Vornalex.ini");
}

void saveOneOfTwo(IniFile& ini, int version)
{
    IniFile::Batch batch(ini);
    for (int k = 0; k < 45; ++k)
        ini.writeString("PROJECT", QString("K%1").arg(k), QString::number(version * 1000 + k));
    batch.commit();
}

// kill -9 at random moments of saves that replace the file: after the next start nothing but the file
// and the user's own look-alikes stands beside it.
TEST(KilledSaves, LeaveNoTemporaryCopyAfterTheNextStart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    {
        IniFile ini(path);
        IniFile::Batch batch(ini);
        for (int k = 0; k < 100; ++k)
            ini.writeString("ARCHIVE", QString("Old%1").arg(k), "a value kept from an earlier design");
        ASSERT_TRUE(batch.commit());
        saveOneOfTwo(ini, 0);
    }
    layLookAlikes(dir.path());
    QStringList expected = kLookAlikes;
    expected << "Vornalex.ini";
    expected.sort();
    auto* rng = QRandomGenerator::global();
    int leftBehind = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile ini(path);
            ini.readString("PROJECT", "K0");
            (void)!::write(ready[1], "s", 1);
            for (int i = 0;; ++i)
                saveOneOfTwo(ini, i % 2);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        QThread::usleep(rng->bounded(100, 1500));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        if (folderNames(dir.path()) != expected)
            ++leftBehind;
        EXPECT_EQ(nextStart(dir.path()), QStringList());
        ASSERT_EQ(folderNames(dir.path()), expected);
        EXPECT_EQ(IniFile(path).sections(), (QStringList{"ARCHIVE", "PROJECT"}));
    }
    EXPECT_GT(leftBehind, 0) << "no kill came while a temporary copy stood: the rounds tested nothing";
}

// A temporary file that a running process writes (a save of another copy of the program, a download) is
// left to it; once that process is killed, the next start removes it.
struct WriterRow {
    const char* name;
    std::function<void(const QString& dir)> write; // runs in a child until it is killed
};

int g_ready = -1;

void tellReadyAndWait()
{
    (void)!::write(g_ready, "r", 1);
    for (;;)
        ::pause();
}

const WriterRow kWriterRows[] = {
    {"SaveByReplacement",
     [](const QString& dir) {
         vx::watchFileMoments([](FileMoment moment, const QString&) {
             if (moment == FileMoment::TempSynced)
                 tellReadyAndWait();
             return 0;
         });
         IniFile(dir + "/Vornalex.ini").writeString("A", "x", "2");
     }},
    {"Download",
     [](const QString& dir) {
         vx::NewFile file(dir + "/setup.zip");
         if (!file.open())
             ::_exit(1);
         file.device().write(QByteArray(100000, 'z'));
         file.device().flush();
         tellReadyAndWait();
     }},
};

class RunningWriter : public testing::TestWithParam<WriterRow> {};

TEST_P(RunningWriter, ItsFileIsLeftToItAndRemovedOnceItIsKilled)
{
    const WriterRow& row = GetParam();
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    writeAll(dir.filePath("Vornalex.ini"), "[A]\nx=1\n");
    layLookAlikes(dir.path());
    const QStringList before = folderNames(dir.path());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        g_ready = ready[1];
        row.write(dir.path());
        ::_exit(2);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    const QStringList writing = folderNames(dir.path());
    EXPECT_EQ(writing.size(), before.size() + 1);
    EXPECT_EQ(nextStart(dir.path()), QStringList());
    EXPECT_EQ(folderNames(dir.path()), writing);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(nextStart(dir.path()), QStringList());
    EXPECT_EQ(folderNames(dir.path()), before);
    EXPECT_EQ(readAll(dir.filePath("Vornalex.ini")), "[A]\nx=1\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, RunningWriter, testing::ValuesIn(kWriterRows),
                         rowName);

// A write in place killed at a chosen moment, and what the next start makes of its backup: unfinished,
// or of a file that still holds the old contents, it is removed without a word; of a file that may hold
// the new contents or a mix, it is kept under a name of its own and named once.
struct KilledInPlaceRow {
    const char* name;
    FileMoment moment; // the kill comes right after it
    bool reported;
};

const KilledInPlaceRow kKilledInPlaceRows[] = {
    {"WhileTheBackupIsUnfinished", FileMoment::BackupSynced, false},
    {"AfterTheFileWasWritten", FileMoment::InPlaceSynced, true},
};

class KilledWriteInPlace : public testing::TestWithParam<KilledInPlaceRow> {};

TEST_P(KilledWriteInPlace, NextStartRemovesOrNamesTheBackup)
{
    const KilledInPlaceRow& row = GetParam();
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    const QByteArray old = "[A]\nx=1\n";
    writeAll(path, old);
    secondName(path);
    killedAt(row.moment, [&path] { IniFile(path).writeString("A", "x", "2"); });
    ASSERT_EQ(backupFolderEntries().size(), 1u);

    const QStringList reported = nextStart(dir.path());
    if (row.reported) {
        ASSERT_EQ(reported.size(), 1);
        EXPECT_TRUE(reported[0].startsWith(vx::backupFolder() + "/"));
        EXPECT_EQ(readAll(reported[0]), old);
        EXPECT_EQ(backupFolderEntries(), QStringList{QFileInfo(reported[0]).fileName()});
    } else {
        EXPECT_EQ(reported, QStringList());
        EXPECT_EQ(backupFolderEntries(), QStringList());
    }
    // Said once: the start after it says nothing, and keeps the backup the user was told of.
    EXPECT_EQ(nextStart(dir.path()), QStringList());
    EXPECT_EQ(backupFolderEntries().size(), row.reported ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, KilledWriteInPlace, testing::ValuesIn(kKilledInPlaceRows),
                         rowName);

// The backups of another settings file are not this one's: a start leaves them alone.
TEST(KilledWriteInPlace, BackupsOfAnotherSettingsFileAreLeftAlone)
{
    const vx::test::ScratchDataFolder data;
    QTemporaryDir one, other;
    for (const QTemporaryDir* d : {&one, &other}) {
        writeAll(d->filePath("Vornalex.ini"), "[A]\nx=1\n");
        secondName(d->filePath("Vornalex.ini"));
    }
    const QString path = other.filePath("Vornalex.ini");
    killedAt(FileMoment::InPlaceSynced, [&path] { IniFile(path).writeString("A", "x", "2"); });
    const QStringList left = backupFolderEntries();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(nextStart(one.path()), QStringList());
    EXPECT_EQ(backupFolderEntries(), left);
    EXPECT_EQ(nextStart(other.path()).size(), 1);
}

} // namespace
