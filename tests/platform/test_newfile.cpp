// A download's file beside the program: made only under a free name, never through a link, 0644, and
// nothing left behind when it does not take its name.
#include "platform/NewFile.h"

#include "FolderEntries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Files = vx::test::FolderEntries;

const QByteArray kUsers = "the user's own bytes";
const QByteArray kSites = "the site's bytes";

class NewFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        write(QStringLiteral("own.txt"), kUsers);
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    Files entries() const { return vx::test::folderEntries(m_dir.path()); }

    QTemporaryDir m_dir;
};

// ---- the name: what stands under it before

enum class Before { Nothing, File, LinkToFile, LinkToNowhere, Folder };

struct NameRow {
    const char* label;
    QString name;
    Before before;
    bool made;
};
void PrintTo(const NameRow& r, std::ostream* os) { *os << r.label; }

const NameRow kNameRows[] = {
    {"FreeName", QStringLiteral("setup.zip"), Before::Nothing, true},
    {"PlainFile", QStringLiteral("setup.zip"), Before::File, false},
    {"LinkToAFile", QStringLiteral("setup.zip"), Before::LinkToFile, false},
    {"LinkToNowhere", QStringLiteral("setup.zip"), Before::LinkToNowhere, false},
    {"Folder", QStringLiteral("setup.zip"), Before::Folder, false},
    // The file layer would cut the name at the NUL and make "own.txt" or "free.txt".
    {"NulAfterATakenName", QStringLiteral("own.txt") + QChar(0), Before::Nothing, false},
    {"NulAfterAFreeName", QStringLiteral("free.txt") + QChar(0), Before::Nothing, false},
    {"ControlCharacter", QStringLiteral("set") + QChar(1) + QStringLiteral("up.zip"), Before::Nothing, false},
    {"Delete", QStringLiteral("setup") + QChar(0x7F) + QStringLiteral(".zip"), Before::Nothing, false},
    // Format characters: the direction override shows the file "setup_piz.exe" as "setup_exe.zip"; the
    // others are invisible, one of them outside the basic plane.
    {"DirectionOverride", QStringLiteral("setup_\u202Epiz.exe"), Before::Nothing, false},
    {"FormatCharacterOutsideTheBasicPlane", QStringLiteral("setup") + QString::fromUcs4(U"\U000E0041") +
     QStringLiteral(".zip"), Before::Nothing, false},
    {"ZeroWidthSpace", QStringLiteral("set\u200Bup.zip"), Before::Nothing, false},
    {"NoName", QString(), Before::Nothing, false},
};

class NewFileName : public NewFileTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(NewFileName, MadeOnlyUnderAFreeName)
{
    const NameRow& r = GetParam();
    switch (r.before) {
    case Before::Nothing:
        break;
    case Before::File:
        write(r.name, kUsers);
        break;
    case Before::LinkToFile:
        ASSERT_TRUE(QFile::link(QStringLiteral("own.txt"), path(r.name)));
        break;
    case Before::LinkToNowhere:
        ASSERT_TRUE(QFile::link(QStringLiteral("planted.sh"), path(r.name)));
        break;
    case Before::Folder:
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(r.name));
        break;
    }
    const Files before = entries();

    vx::NewFile file(path(r.name));
    EXPECT_EQ(vx::NewFile::mayCreate(path(r.name)), r.made);
    ASSERT_EQ(file.open(), r.made);
    if (!r.made) {
        EXPECT_EQ(entries(), before);
        return;
    }
    ASSERT_EQ(file.device().write(kSites), kSites.size());
    ASSERT_TRUE(file.place());
    Files after = before;
    after[r.name] = kSites;
    EXPECT_EQ(entries(), after);
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path(r.name)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0644));
}
INSTANTIATE_TEST_SUITE_P(Rows, NewFileName, ::testing::ValuesIn(kNameRows),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- what happens between the making and the placing

enum class Meanwhile { NameTakenByFile, NameTakenByLink, Discarded, Dropped };

struct PlaceRow {
    const char* label;
    Meanwhile meanwhile;
};
void PrintTo(const PlaceRow& r, std::ostream* os) { *os << r.label; }

const PlaceRow kPlaceRows[] = {
    {"NameTakenByAFile", Meanwhile::NameTakenByFile},
    {"NameTakenByALink", Meanwhile::NameTakenByLink},
    {"Discarded", Meanwhile::Discarded},
    {"DroppedWithoutPlacing", Meanwhile::Dropped},
};

class NewFilePlace : public NewFileTest, public ::testing::WithParamInterface<PlaceRow> {};

TEST_P(NewFilePlace, LeavesNothingOfItsOwnWhenItDoesNotTakeItsName)
{
    const QString name = QStringLiteral("setup.zip");
    const Files before = entries();
    Files expected = before;
    {
        vx::NewFile file(path(name));
        ASSERT_TRUE(file.open());
        ASSERT_EQ(file.device().write(kSites), kSites.size());
        switch (GetParam().meanwhile) {
        case Meanwhile::NameTakenByFile:
            write(name, kUsers);
            expected[name] = kUsers;
            EXPECT_FALSE(file.place());
            break;
        case Meanwhile::NameTakenByLink:
            ASSERT_TRUE(QFile::link(QStringLiteral("own.txt"), path(name)));
            expected[name] = "link to " + QFile::encodeName(path(QStringLiteral("own.txt")));
            EXPECT_FALSE(file.place());
            break;
        case Meanwhile::Discarded:
            file.discard();
            EXPECT_FALSE(file.place());
            break;
        case Meanwhile::Dropped:
            break;
        }
    }
    EXPECT_EQ(entries(), expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, NewFilePlace, ::testing::ValuesIn(kPlaceRows),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- reading what already stands under a name

TEST_F(NewFileTest, ReadsOnlyAPlainFileWithinItsCap)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("own.txt"), path(QStringLiteral("link.txt"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0644), 0);

    EXPECT_EQ(vx::readPlainFile(path(QStringLiteral("own.txt")), kUsers.size()), kUsers);
    EXPECT_EQ(vx::readPlainFile(path(QStringLiteral("own.txt")), kUsers.size() - 1), std::nullopt);
    EXPECT_EQ(vx::readPlainFile(path(QStringLiteral("link.txt")), 1024), std::nullopt);
    EXPECT_EQ(vx::readPlainFile(path(QStringLiteral("pipe")), 1024), std::nullopt);
    EXPECT_EQ(vx::readPlainFile(path(QStringLiteral("missing.txt")), 1024), std::nullopt);
    EXPECT_EQ(vx::readPlainFile(m_dir.path(), 1024), std::nullopt);
}

} // namespace
