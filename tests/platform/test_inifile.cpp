// The settings-file layer: the text of the file before and after each operation, reads, batches, files
// that refuse writes, and saves killed at random moments.
#include "platform/IniFile.h"
#include "platform/FileReplace.h"

#include "ChildProcess.h"
#include "FileBytes.h"
#include "ScratchDataFolder.h"
#include "Utf16Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>
#include <optional>

using vx::IniFile;
using vx::test::ChildSetup;
using vx::test::kNoOrdinaryUser;
using vx::test::readAll;
using vx::test::writeAll;
using vx::test::runInChild;
using vx::test::kUtf16Forms;
using vx::test::utf16File;

namespace {

struct EditRow {
    const char* name;
    std::optional<QByteArray> before; // nullopt: no file yet
    std::function<bool(IniFile&)> op;
    bool result;
    QByteArray after;
};

void PrintTo(const EditRow& row, std::ostream* os)
{
    *os << row.name;
}

const EditRow kEditRows[] = {
    {"NewFile", std::nullopt, [](IniFile& f) { return f.writeString("S", "K", "V"); }, true, "[S]\nK=V\n"},
    {"NewSectionAtEnd", QByteArray("[A]\nx=1\n"), [](IniFile& f) { return f.writeString("B", "y", "2"); }, true,
     "[A]\nx=1\n[B]\ny=2\n"},
    {"NewKeyAtEndOfItsSection", QByteArray("[A]\nx=1\n\n[B]\ny=2\n"),
     [](IniFile& f) { return f.writeString("A", "z", "3"); }, true, "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
    {"NewKeyInLastSection", QByteArray("[A]\nx=1\n[B]\ny=2\n"), [](IniFile& f) { return f.writeString("B", "z", "3"); },
     true, "[A]\nx=1\n[B]\ny=2\nz=3\n"},
    {"ReplaceInPlace", QByteArray("[A]\nx=1\ny=2\nz=3\n"), [](IniFile& f) { return f.writeString("A", "y", "9"); },
     true, "[A]\nx=1\ny=9\nz=3\n"},
    {"CaseInsensitiveMatch", QByteArray("[Proj]\nFb=30\n"), [](IniFile& f) { return f.writeString("PROJ", "fB", "31"); },
     true, "[Proj]\nFb=31\n"},
    {"EraseSectionWhole", QByteArray("[A]\nx=1\n[B]\ny=2\n; inside B\n[C]\n"),
     [](IniFile& f) { return f.eraseSection("b"); }, true, "[A]\nx=1\n[C]\n"},
    // Two sections of one name: reads and writes go to the first, and so does an erase; the next one then
    // comes forward and can be erased in its turn.
    {"EraseTakesTheFirstOfTwoSectionsOfOneName", QByteArray("[BOX]\nx=1\n[A]\n[box]\nx=2\n"),
     [](IniFile& f) { return f.eraseSection("Box") && f.readString("box", "x") == "2"; }, true, "[A]\n[box]\nx=2\n"},
    {"EraseTakesTwoSectionsOfOneNameInTurn", QByteArray("[BOX]\nx=1\n[A]\n[box]\nx=2\n"),
     [](IniFile& f) { return f.eraseSection("Box") && f.eraseSection("BOX"); }, true, "[A]\n"},
    {"EraseTakesTheFirstOfOneNameInTwoEncodings", QByteArray("[Бокс]\nx=1\n[\xC1\xEE\xEA\xF1]\nx=2\n"),
     [](IniFile& f) { return f.eraseSection(QString::fromUtf8("бокс")); }, true, "[\xC1\xEE\xEA\xF1]\nx=2\n"},
    {"EraseMissingSectionChangesNothing", QByteArray("[A]\nx=1\n"), [](IniFile& f) { return f.eraseSection("Z"); },
     true, "[A]\nx=1\n"},
    {"CommentsAndBlankLinesKept", QByteArray("; top\n\n[A]\n; note\nx=1\n\n"),
     [](IniFile& f) { return f.writeString("A", "x", "2"); }, true, "; top\n\n[A]\n; note\nx=2\n\n"},
    {"TextBeforeFirstSectionKept", QByteArray("free text\n[A]\nx=1\n"),
     [](IniFile& f) { return f.writeString("B", "y", "2"); }, true, "free text\n[A]\nx=1\n[B]\ny=2\n"},
    {"CyrillicSectionCreated", QByteArray("[A]\nx=1\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Проект"), "Fb", "30"); }, true,
     QByteArray("[A]\nx=1\n[Проект]\nFb=30\n")},
    {"CyrillicCaseInsensitive", QByteArray("[ПРОЕКТ]\nFb=30\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("проект"), "Fb", "31"); }, true,
     QByteArray("[ПРОЕКТ]\nFb=31\n")},
    {"WindowsLineEndsKept", QByteArray("[A]\r\nx=1\r\n"), [](IniFile& f) { return f.writeString("A", "y", "2"); }, true,
     "[A]\r\nx=1\r\ny=2\r\n"},
    {"OneWindowsLineEndStaysOnItsLine", QByteArray("[A]\nx=1\ny=2\r\n"),
     [](IniFile& f) { return f.writeString("B", "z", "3"); }, true, "[A]\nx=1\ny=2\r\n[B]\nz=3\n"},
    {"ReplacedLineKeepsItsLineEnd", QByteArray("[A]\nx=1\r\ny=2\n"),
     [](IniFile& f) { return f.writeString("A", "x", "5"); }, true, "[A]\nx=5\r\ny=2\n"},
    {"NewLinesTakeTheFirstLinesLineEnd", QByteArray("[A]\r\nx=1\ny=2\n"),
     [](IniFile& f) { return f.writeString("A", "z", "3"); }, true, "[A]\r\nx=1\ny=2\nz=3\r\n"},
    // Files from old Mac editors end their lines with a lone CR.
    {"LoneCarriageReturnsEndLines", QByteArray("[A]\rx=1\r[B]\ry=2\r"),
     [](IniFile& f) { return f.writeString("a", "x", "5") && f.writeString("B", "z", "3"); }, true,
     "[A]\rx=5\r[B]\ry=2\rz=3\r"},
    {"EveryLineEndStaysOnItsLine", QByteArray("[A]\rx=1\ny=2\r\n[B]\r\nz=1\n"),
     [](IniFile& f) { return f.writeString("A", "y", "7") && f.writeString("C", "w", "4"); }, true,
     "[A]\rx=1\ny=7\r\n[B]\r\nz=1\n[C]\rw=4\r"},
    {"CarriageReturnBeforeAWindowsLineEnd", QByteArray("[A]\r\r\nx=1\r\n"),
     [](IniFile& f) { return f.writeString("A", "x", "2"); }, true, "[A]\r\r\nx=2\r\n"},
    // A file brought from Windows: Cyrillic names in the code page Windows-1251 ("Бокс", "Ящик").
    {"Windows1251ValueReplacedInItsCodePage", QByteArray("[\xC1\xEE\xEA\xF1]\r\nFb=30\r\nname=\xDF\r\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Бокс"), "Fb", "31"); }, true,
     "[\xC1\xEE\xEA\xF1]\r\nFb=31\r\nname=\xDF\r\n"},
    {"Windows1251NewSectionInItsCodePage", QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Ящик"), "LastProject", QString::fromUtf8("Ящик")); },
     true, "[\xC1\xEE\xEA\xF1]\nFb=30\n[\xDF\xF9\xE8\xEA]\nLastProject=\xDF\xF9\xE8\xEA\n"},
    {"Windows1251CaseInsensitive", QByteArray("[\xC1\xCE\xCA\xD1]\nFb=30\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("бокс"), "fb", "31"); }, true,
     "[\xC1\xCE\xCA\xD1]\nFb=31\n"},
    {"Windows1251SectionErased", QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n[\xDF\xF9\xE8\xEA]\nFb=40\n"),
     [](IniFile& f) { return f.eraseSection(QString::fromUtf8("Бокс")); }, true, "[\xDF\xF9\xE8\xEA]\nFb=40\n"},
    {"Windows1251RefusesANameItCannotHold", QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("箱子"), "Fb", "30"); }, false,
     "[\xC1\xEE\xEA\xF1]\nFb=30\n"},
    {"Windows1251RefusesAValueItCannotHold", QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n"),
     [](IniFile& f) { return f.writeString("DEFAULT", "LastProject", QString::fromUtf8("箱子")); }, false,
     "[\xC1\xEE\xEA\xF1]\nFb=30\n"},
    {"Windows1251BatchFailsAtAValueItCannotHold", QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n"),
     [](IniFile& f) {
         IniFile::Batch batch(f);
         f.writeString(QString::fromUtf8("Бокс"), "Fb", "31");
         f.writeString("DEFAULT", "LastProject", QString::fromUtf8("箱子"));
         f.writeString(QString::fromUtf8("Бокс"), "Vb", "50"); // after the refusal nothing more is taken
         return batch.commit();
     },
     false, "[\xC1\xEE\xEA\xF1]\nFb=31\n"},
    // Each line is read in its own encoding; new and changed lines take the encoding of most non-ASCII
    // lines ("Бокс" and "Ящик" in UTF-8 and in Windows-1251).
    {"Windows1251NoteInAUtf8File", QByteArray("; \xE7\xE0\xEC\xE5\xF2\xEA\xE0\n[Бокс]\nFb=30\n[Ящик]\nFb=40\n"),
     [](IniFile& f) {
         return f.writeString(QString::fromUtf8("бокс"), "Fb", "31") &&
                f.writeString(QString::fromUtf8("Куб"), "Name", QString::fromUtf8("Куб"));
     },
     true, "; \xE7\xE0\xEC\xE5\xF2\xEA\xE0\n[Бокс]\nFb=31\n[Ящик]\nFb=40\n[Куб]\nName=Куб\n"},
    {"Windows1251SectionInAUtf8FileMatches", QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n[Ящик]\nFb=40\n[Куб]\n"),
     [](IniFile& f) {
         return f.writeString(QString::fromUtf8("Бокс"), "Fb", "31") &&
                f.writeString(QString::fromUtf8("Бокс"), "Name", QString::fromUtf8("Бокс"));
     },
     true, "[\xC1\xEE\xEA\xF1]\nFb=31\nName=Бокс\n[Ящик]\nFb=40\n[Куб]\n"},
    {"ChangedLineTakesTheEncodingOfMostLines", QByteArray("[Бокс]\nName=\xC1\xEE\xEA\xF1\nOld=\xDF\n[Ящик]\n[Куб]\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Бокс"), "name", QString::fromUtf8("Бокс 2")); },
     true, "[Бокс]\nName=Бокс 2\nOld=\xDF\n[Ящик]\n[Куб]\n"},
    {"MostLinesInWindows1251", QByteArray("[Бокс]\nName=\xC1\xEE\xEA\xF1\nOld=\xDF\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Ящик"), "Fb", "40"); }, true,
     "[Бокс]\nName=\xC1\xEE\xEA\xF1\nOld=\xDF\n[\xDF\xF9\xE8\xEA]\nFb=40\n"},
    {"OneLineOfEachIsATieForUtf8", QByteArray("[Бокс]\nOld=\xDF\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Ящик"), "Fb", "40"); }, true,
     "[Бокс]\nOld=\xDF\n[Ящик]\nFb=40\n"},
    {"SameValueInAnotherEncodingTouchesNothing", QByteArray("[Бокс]\nName=\xDF\xF9\xE8\xEA\n"),
     [](IniFile& f) { return f.writeString(QString::fromUtf8("Бокс"), "Name", QString::fromUtf8("Ящик")); }, true,
     "[Бокс]\nName=\xDF\xF9\xE8\xEA\n"},
    {"ByteOrderMarkKept", QByteArray("\xEF\xBB\xBF[A]\nx=1\n"), [](IniFile& f) { return f.writeString("A", "x", "5"); },
     true, "\xEF\xBB\xBF[A]\nx=5\n"},
    {"UndecodableBytesKept", QByteArray("; \xE0\xF2\xEE\n[A]\nx=1\n"),
     [](IniFile& f) { return f.writeString("A", "x", "2"); }, true, "; \xE0\xF2\xEE\n[A]\nx=2\n"},
    {"LastLineWithoutLineEnd", QByteArray("[A]\nx=1"), [](IniFile& f) { return f.writeString("A", "y", "2"); }, true,
     "[A]\nx=1\ny=2\n"},
    // A last line without a line end gains one only when something comes after it.
    {"LastLineWithoutLineEndStaysSoAtAWriteElsewhere", QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2"),
     [](IniFile& f) { return f.writeString("A", "x", "5") && f.writeString("A", "z", "6"); }, true,
     "[A]\r\nx=5\r\nz=6\r\n[B]\r\ny=2"},
    {"LastLineWithoutLineEndReplacedStaysSo", QByteArray("[A]\nx=1\ny=2"),
     [](IniFile& f) { return f.writeString("A", "y", "3"); }, true, "[A]\nx=1\ny=3"},
    {"LastLineWithoutLineEndAfterAnErase", QByteArray("[A]\nx=1\n[B]\ny=2\n[C]\nz=3"),
     [](IniFile& f) { return f.eraseSection("B"); }, true, "[A]\nx=1\n[C]\nz=3"},
    {"ValueWithLineBreakRefused", QByteArray("[A]\nx=1\n"),
     [](IniFile& f) { return f.writeString("A", "x", "1\n[B]"); }, false, "[A]\nx=1\n"},
    {"SectionNameWithBracketRefused", QByteArray("[A]\nx=1\n"),
     [](IniFile& f) { return f.writeString("A]B", "x", "1"); }, false, "[A]\nx=1\n"},
    {"KeyWithEqualsRefused", QByteArray("[A]\nx=1\n"), [](IniFile& f) { return f.writeString("A", "a=b", "1"); }, false,
     "[A]\nx=1\n"},
    {"BatchOfOneOperation", QByteArray("[DEFAULT]\nFb=30\n[P]\nFb=1\n"),
     [](IniFile& f) {
         IniFile::Batch batch(f);
         f.eraseSection("DEFAULT");
         f.writeString("DEFAULT", "id", "Lkd_a<<<");
         f.writeString("DEFAULT", "Us", "344");
         return batch.commit() && f.diskWrites() == 1;
     },
     true, "[P]\nFb=1\n[DEFAULT]\nid=Lkd_a<<<\nUs=344\n"},
    {"BatchKeepsWritesBeforeARefusal", QByteArray("[A]\nx=1\n"),
     [](IniFile& f) {
         IniFile::Batch batch(f);
         f.writeString("A", "x", "2");
         f.writeString("A", "bad\nkey", "3");
         f.writeString("A", "y", "4"); // after the refusal nothing more is taken
         return batch.commit();
     },
     false, "[A]\nx=2\n"},
    {"BatchLeftWithoutCommitDropsItsWrites", QByteArray("[A]\nx=1\n"),
     [](IniFile& f) {
         {
             IniFile::Batch batch(f);
             f.writeString("A", "x", "2");
         }
         return f.readString("A", "x") == "1";
     },
     true, "[A]\nx=1\n"},
};

class IniFileEdit : public testing::TestWithParam<EditRow> {};

TEST_P(IniFileEdit, FileTextAfterTheOperation)
{
    const EditRow& row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Vornalex.ini");
    if (row.before)
        writeAll(path, *row.before);
    IniFile ini(path);
    EXPECT_EQ(row.op(ini), row.result);
    EXPECT_EQ(readAll(path), row.after);
}

INSTANTIATE_TEST_SUITE_P(Rows, IniFileEdit, testing::ValuesIn(kEditRows),
                         [](const testing::TestParamInfo<EditRow>& info) { return std::string(info.param.name); });

struct ReadRow {
    const char* name;
    QByteArray file;
    QString section, key, def, expected;
};

void PrintTo(const ReadRow& row, std::ostream* os)
{
    *os << row.name;
}

const ReadRow kReadRows[] = {
    {"PlainValue", "[A]\nFb=30\n", "A", "Fb", "d", "30"},
    {"SectionOtherCase", "[PROJ]\nFb=30\n", "proj", "Fb", "d", "30"},
    {"KeyOtherCase", "[A]\nFb=30\n", "A", "FB", "d", "30"},
    {"BlanksAroundKeyAndValue", "[A]\n  Fb =  30 \n", "A", "Fb", "d", "30"},
    {"MissingKey", "[A]\nFb=30\n", "A", "Vb", "d", "d"},
    {"MissingSection", "[A]\nFb=30\n", "B", "Fb", "d", "d"},
    {"EmptyValue", "[A]\nFb=\n", "A", "Fb", "d", ""},
    {"CommentIsNoKey", "[A]\n;Fb=30\n", "A", ";Fb", "d", "d"},
    {"FirstOfTwoSectionsOfOneName", "[A]\nx=1\n[a]\nx=2\n", "A", "x", "d", "1"},
    {"ValueWithEquals", "[A]\nlink=a=b\n", "A", "link", "d", "a=b"},
    {"KeyBeforeAnySectionIsNotInOne", "x=1\n[A]\n", "A", "x", "d", "d"},
    {"CyrillicValue", "[A]\nname=Проект\n", "A", "name", "d", QString::fromUtf8("Проект")},
    {"CyrillicSectionOtherCase", "[ПРОЕКТ]\nFb=31\n", QString::fromUtf8("проект"), "Fb", "d", "31"},
    {"Windows1251Value", "[A]\nname=\xCF\xF0\xEE\xE5\xEA\xF2\n", "A", "name", "d", QString::fromUtf8("Проект")},
    {"Windows1251SectionOtherCase", "[\xCF\xD0\xCE\xC5\xCA\xD2]\nFb=31\n", QString::fromUtf8("проект"), "Fb", "d",
     "31"},
    {"LoneCarriageReturns", "[A]\rx=1\rFb=30\r", "A", "Fb", "d", "30"},
    {"Windows1251LineInAUtf8File", "[Бокс]\nname=Проект\nold=\xCF\xF0\xEE\n", QString::fromUtf8("Бокс"), "old", "d",
     QString::fromUtf8("Про")},
    {"Utf8LineInAWindows1251File", "[\xC1\xEE\xEA\xF1]\nname=\xDF\nnew=Проект\n", QString::fromUtf8("Бокс"), "new",
     "d", QString::fromUtf8("Проект")},
};

class IniFileRead : public testing::TestWithParam<ReadRow> {};

TEST_P(IniFileRead, ValueOfTheKey)
{
    const ReadRow& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, row.file);
    IniFile ini(path);
    EXPECT_EQ(ini.readString(row.section, row.key, row.def), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, IniFileRead, testing::ValuesIn(kReadRows),
                         [](const testing::TestParamInfo<ReadRow>& info) { return std::string(info.param.name); });

TEST(IniFile, SectionsInFileOrderAsSpelt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, QByteArray("; c\n[zeta]\nx=1\n[DEFAULT]\n[Проект]\n[alpha]\n"));
    IniFile ini(path);
    EXPECT_EQ(ini.sections(), (QStringList{"zeta", "DEFAULT", QString::fromUtf8("Проект"), "alpha"}));
    EXPECT_TRUE(ini.hasSection("default"));
    EXPECT_FALSE(ini.hasSection("beta"));
}

// Two Cyrillic projects written on Windows keep their own names; neither is taken for the other.
TEST(IniFile, Windows1251SectionsKeepTheirNames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, QByteArray("[\xC1\xEE\xEA\xF1]\nFb=30\n[\xDF\xF9\xE8\xEA]\nFb=40\n"));
    IniFile ini(path);
    EXPECT_EQ(ini.sections(), (QStringList{QString::fromUtf8("Бокс"), QString::fromUtf8("Ящик")}));
    EXPECT_EQ(ini.readString(QString::fromUtf8("Ящик"), "Fb"), "40");
    EXPECT_FALSE(ini.hasSection(QString::fromUtf8("����")));
}

// What a file can hold follows its encoding: UTF-8 (and a new file) holds every name.
TEST(IniFile, WhatTheFileCanHold)
{
    const struct {
        const char* name;
        std::optional<QByteArray> file;
        bool cyrillic, chinese;
    } rows[] = {
        {"new file", std::nullopt, true, true},
        {"UTF-8", QByteArray("[Бокс]\n"), true, true},
        {"ASCII", QByteArray("[A]\n"), true, true},
        {"Windows-1251", QByteArray("[\xC1\xEE\xEA\xF1]\n"), true, false},
        // A file of mixed lines holds what its new lines can: those take the encoding of most lines.
        {"mostly Windows-1251", QByteArray("[Бокс]\nName=\xC1\xEE\xEA\xF1\nOld=\xDF\n"), true, false},
        {"one Windows-1251 line among UTF-8", QByteArray("[Бокс]\n[Ящик]\nOld=\xDF\n"), true, true},
        {"UTF-16", utf16File(kUtf16Forms[0], QString::fromUtf8("[Бокс]\r\n")), true, true},
    };
    for (const auto& row : rows) {
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        if (row.file)
            writeAll(path, *row.file);
        IniFile ini(path);
        EXPECT_EQ(ini.canHold(QString::fromUtf8("Ящик ё")), row.cyrillic) << row.name;
        EXPECT_EQ(ini.canHold(QString::fromUtf8("箱子")), row.chinese) << row.name;
    }
}

TEST(IniFile, MissingFileReadsDefaultsAndListsNothing)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("Vornalex.ini"));
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_EQ(ini.readString("DEFAULT", "Fb", "0"), "0");
    EXPECT_FALSE(QFile::exists(dir.filePath("Vornalex.ini")));
}

TEST(IniFile, NamesOfEveryScriptRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    const QStringList names{QString::fromUtf8("Проект"), QString::fromUtf8("Ёлка ящик"), QString::fromUtf8("Κουτί"),
                            QString::fromUtf8("箱子"), QString::fromUtf8("Büro ß")};
    {
        IniFile ini(path);
        for (const QString& n : names)
            ASSERT_TRUE(ini.writeString(n, "LastProject", n));
    }
    IniFile again(path);
    EXPECT_EQ(again.sections(), names);
    for (const QString& n : names)
        EXPECT_EQ(again.readString(n, "LastProject"), n);
}

TEST(IniFile, SeesChangesMadeByAnotherWriter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    IniFile first(path), second(path);
    ASSERT_TRUE(first.writeString("A", "x", "1"));
    EXPECT_EQ(second.readString("A", "x"), "1");
    ASSERT_TRUE(second.writeString("A", "x", "2"));
    EXPECT_EQ(first.readString("A", "x"), "2");
    writeAll(path, "[A]\nx=3\n"); // rewritten in place by someone else, same size
    EXPECT_EQ(first.readString("A", "x"), "3");
}

TEST(IniFile, BatchReachesTheDiskOnceAndOnlyAtCommit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("P", "Us", "344"));
    const int before = ini.diskWrites();
    IniFile::Batch batch(ini);
    for (int i = 0; i < 45; ++i)
        ASSERT_TRUE(ini.writeString("P", QString("K%1").arg(i), QString::number(i)));
    EXPECT_EQ(ini.readString("P", "K44"), "44"); // the batch reads its own writes
    EXPECT_EQ(IniFile(path).readString("P", "K44", "none"), "none");
    EXPECT_EQ(ini.diskWrites(), before);
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(ini.diskWrites(), before + 1);
    EXPECT_EQ(IniFile(path).readString("P", "K44", "none"), "44");
}

TEST(IniFile, WritingTheValueAlreadyThereTouchesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("P", "Us", "344"));
    const int before = ini.diskWrites();
    ASSERT_TRUE(ini.writeString("p", "us", "344"));
    EXPECT_EQ(ini.diskWrites(), before);
}

// Files that cannot be written: a folder that does not exist, and a folder standing where the file
// should be (which refuses even the superuser). Every write says so; reads give their defaults.
TEST(IniFile, RefusedWritesAreReported)
{
    QTemporaryDir dir;
    const QStringList paths{dir.filePath("missing/Vornalex.ini"), dir.filePath("Vornalex.ini")};
    ASSERT_TRUE(QDir(dir.path()).mkdir("Vornalex.ini"));
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        IniFile ini(path);
        EXPECT_FALSE(ini.writeString("A", "x", "1"));
        EXPECT_EQ(ini.readString("A", "x", "d"), "d");
        IniFile::Batch batch(ini);
        ini.writeString("A", "x", "1");
        EXPECT_FALSE(batch.commit());
        EXPECT_EQ(ini.diskWrites(), 0);
    }
}

const QFileDevice::Permissions kReadOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
const QFileDevice::Permissions kOpenFolder = kReadOnlyFolder | QFileDevice::WriteOwner | QFileDevice::WriteOther;
const QFileDevice::Permissions kWritableFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther | QFileDevice::WriteOther;

// A settings file that may be written, in a folder where the user may not create files: there is no room
// for the temporary copy of an atomic replace, so the file is written in place. The writes run as an
// ordinary user, whom the folder refuses.
TEST(IniFile, WritableFileInAFolderWithoutWriteAccessIsWrittenInPlace)
{
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n[OLD]\nfrom=an earlier run with a long line\n");
    ASSERT_TRUE(QFile::setPermissions(path, kWritableFile));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), kReadOnlyFolder));
    const int code = runInChild(
        [&path] {
            IniFile ini(path);
            bool ok = ini.writeString("A", "y", "2");
            {
                IniFile::Batch batch(ini);
                ini.writeString("B", "z", "3");
                ok = batch.commit() && ok;
            }
            ok = ini.eraseSection("OLD") && ok; // a shorter file: nothing of the old one stays at its end
            return ok ? 0 : 1;
        },
        ChildSetup{.ordinaryUser = true, .maxFileBytes = std::nullopt});
    QFile::setPermissions(dir.path(), kOpenFolder);
    if (code == kNoOrdinaryUser)
        GTEST_SKIP() << "the superuser could not become an ordinary user, whom the folder would refuse";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readAll(path), QByteArray("[A]\nx=1\ny=2\n[B]\nz=3\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Vornalex.ini"});
    EXPECT_EQ(data.backups(), QStringList()); // each write completed, and its backup went
}

// A file that exists but cannot be read is never written over: its content would be lost. Read rights do
// not bind the superuser, so the check runs as an ordinary user, in a folder that takes new files.
TEST(IniFile, UnreadableFileIsNotWrittenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[A]\nx=1\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), kOpenFolder));
    const int code = runInChild(
        [&path] {
            IniFile ini(path);
            const bool readDefault = ini.readString("A", "x", "d") == "d";
            const bool refused = !ini.writeString("A", "y", "2") && !ini.eraseSection("A");
            return readDefault && refused ? 0 : 1;
        },
        ChildSetup{.ordinaryUser = true, .maxFileBytes = std::nullopt});
    QFile::setPermissions(path, kWritableFile);
    if (code == kNoOrdinaryUser)
        GTEST_SKIP() << "the superuser could not become an ordinary user, whom the file would refuse";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readAll(path), QByteArray("[A]\nx=1\n"));
}

// Writes that cannot complete, as on a full disk: the child may write files only as long as the old one,
// so its writes fail part way with EFBIG. Each is reported as refused, and the old file stays byte for
// byte: replaced atomically, the temporary copy is dropped; written in place (a folder without write
// access), the old contents are written back. A file of some 40 kB (a few dozen projects) is larger than
// any buffer the write may go through, so only a check of every write's count finds it cut short.
TEST(IniFile, WriteThatCannotCompleteIsRefusedAndLeavesTheOldFile)
{
    const QByteArray small = "[A]\r\nx=1\r\n[\xC1\xEE\xEA\xF1]\r\nFb=30\r\n";
    QByteArray large = small;
    for (int i = 0; large.size() < 40000; ++i)
        large += "[P" + QByteArray::number(i) + "]\r\nFb=30\r\nVb=45\r\nDd=210\r\nNote=kept from an earlier run\r\n";
    const struct {
        const char* name;
        bool inPlace;
        const QByteArray& old;
    } rows[] = {{"atomic replace", false, small},
                {"in place", true, small},
                {"atomic replace of 40 kB", false, large},
                {"in place, 40 kB", true, large}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray& old = row.old;
        const vx::test::ScratchDataFolder data;
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, old);
        ASSERT_TRUE(QFile::setPermissions(path, kWritableFile));
        ASSERT_TRUE(QFile::setPermissions(dir.path(), row.inPlace ? kReadOnlyFolder : kOpenFolder));
        // Room for the old file, not for any longer one.
        const int code = runInChild(
            [&path] {
                IniFile ini(path);
                int refused = 0;
                refused += !ini.writeString("A", "y", "2");
                refused += !ini.writeString("A", "x", "1234567890");
                IniFile::Batch batch(ini);
                ini.writeString("NEW", "Fb", "30");
                refused += !batch.commit();
                const bool oldStillRead = ini.readString(QString::fromUtf8("Бокс"), "Fb") == "30" &&
                                          ini.readString("A", "y", "none") == "none";
                return refused == 3 && oldStillRead ? 0 : 1;
            },
            ChildSetup{.ordinaryUser = row.inPlace, .maxFileBytes = rlim_t(old.size())});
        QFile::setPermissions(dir.path(), kOpenFolder);
        if (code == kNoOrdinaryUser)
            GTEST_SKIP() << "the superuser could not become an ordinary user, whom the folder would refuse";
        EXPECT_EQ(code, 0);
        EXPECT_EQ(readAll(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Vornalex.ini"});
        EXPECT_EQ(data.backups(), QStringList()); // the old contents were put back, so no copy is kept
    }
}

// Two versions of one project: the writer flips between them; after a kill the section must hold one of
// them whole.
constexpr int kKeys = 45;

QString valueOf(int version, int key)
{
    return QString("%1.%2").arg(version == 0 ? 100 + key : 900 + key).arg(version == 0 ? 25 : 75);
}

void saveVersion(IniFile& ini, int version)
{
    IniFile::Batch batch(ini);
    for (int k = 0; k < kKeys; ++k)
        ini.writeString("PROJECT", QString("K%1").arg(k), valueOf(version, k));
    ini.writeString("DEFAULT", "LastProject", "PROJECT");
    batch.commit();
}

TEST(IniFile, KilledSavesLeaveOldOrNewProject)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    {
        IniFile ini(path);
        ASSERT_TRUE(ini.writeString("DEFAULT", "Us", "344"));
        saveVersion(ini, 0);
        ASSERT_TRUE(ini.writeString("OTHER", "Fb", "42"));
    }
    auto* rng = QRandomGenerator::global();
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        // The child saves the project over and over until it is killed.
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile ini(path);
            ::close(started[0]);
            ::close(started[1]); // saving from now on
            for (int i = 0;; ++i)
                saveVersion(ini, i % 2);
        }
        ::close(started[1]);
        char none = 0;
        ASSERT_EQ(::read(started[0], &none, 1), 0);
        ::close(started[0]);
        QThread::usleep(rng->bounded(200, 30000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        IniFile ini(path);
        ASSERT_EQ(ini.sections(), (QStringList{"DEFAULT", "PROJECT", "OTHER"}));
        EXPECT_EQ(ini.readString("OTHER", "Fb"), "42");
        EXPECT_EQ(ini.readString("DEFAULT", "Us"), "344");
        const int version = ini.readString("PROJECT", "K0") == valueOf(0, 0) ? 0 : 1;
        for (int k = 0; k < kKeys; ++k)
            ASSERT_EQ(ini.readString("PROJECT", QString("K%1").arg(k)), valueOf(version, k)) << "key " << k;
    }
}

// ---- another writer ------------------------------------------------------------------------------

// Another program writes the file between this program's reading and its writing (a text editor, a
// project pasted in by hand). The program's writes land on the file as that writer left it: its keys and
// sections are kept, and the program's own writes win only where they were made.
struct OtherWriterRow {
    const char* name;
    QByteArray before;
    QByteArray other; // the file as the other writer leaves it
    // Runs the program's operation; `another` lets the other writer in at the row's chosen moment.
    std::function<bool(IniFile&, const std::function<void()>& another)> op;
    QByteArray after;
    bool result = true;
};

void PrintTo(const OtherWriterRow& row, std::ostream* os)
{
    *os << row.name;
}

const QByteArray kTwoProjects = "[P1]\nFb=42\nVb=50\n[P2]\nFb=42\n";
const QByteArray kChangedByHand = "[P1]\nFb=42\nVb=55\n[P2]\nFb=43\n[P3]\nFb=30\n";

const OtherWriterRow kOtherWriterRows[] = {
    {"BatchAfterTheChange", kTwoProjects, kChangedByHand,
     [](IniFile& f, const std::function<void()>& another) {
         f.sections();
         another();
         IniFile::Batch batch(f);
         f.writeString("P1", "Fb", "44");
         f.writeString("DEFAULT", "LastProject", "P1");
         return batch.commit();
     },
     "[P1]\nFb=44\nVb=55\n[P2]\nFb=43\n[P3]\nFb=30\n[DEFAULT]\nLastProject=P1\n"},
    {"ChangeWhileTheBatchGathers", kTwoProjects, kChangedByHand,
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.writeString("P1", "Fb", "44");
         another();
         f.writeString("P1", "Xmax", "7");
         return batch.commit();
     },
     "[P1]\nFb=44\nVb=55\nXmax=7\n[P2]\nFb=43\n[P3]\nFb=30\n"},
    {"SameSizeSameMomentChange", "[P1]\nFb=42\n[P2]\nFb=42\n", "[P1]\nFb=42\n[P2]\nFb=43\n",
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.writeString("P1", "Fb", "44");
         another();
         return batch.commit();
     },
     "[P1]\nFb=44\n[P2]\nFb=43\n"},
    {"TheBatchsOwnKeyWins", kTwoProjects, kChangedByHand,
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.writeString("P1", "Vb", "50"); // the value it read: still the batch's write
         f.writeString("P1", "Fb", "44");
         another();
         return batch.commit();
     },
     "[P1]\nFb=44\nVb=50\n[P2]\nFb=43\n[P3]\nFb=30\n"},
    {"ErasureAndNewSection", kTwoProjects, kChangedByHand,
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.eraseSection("P2");
         f.writeString("P4", "Fb", "25");
         another();
         return batch.commit();
     },
     "[P1]\nFb=42\nVb=55\n[P3]\nFb=30\n[P4]\nFb=25\n"},
    {"KeyTheOtherWriterRemoved", kTwoProjects, "[P2]\nFb=42\n[P1]\nFb=42\n",
     [](IniFile& f, const std::function<void()>& another) {
         f.readString("P1", "Vb");
         another();
         return f.writeString("P1", "Vb", "60");
     },
     "[P2]\nFb=42\n[P1]\nFb=42\nVb=60\n"},
    {"SingleWriteAfterTheChange", kTwoProjects, kChangedByHand,
     [](IniFile& f, const std::function<void()>& another) {
         f.readString("P1", "Vb");
         another();
         return f.writeString("P2", "Vb", "20");
     },
     "[P1]\nFb=42\nVb=55\n[P2]\nFb=43\nVb=20\n[P3]\nFb=30\n"},
    // The other writer leaves the file in another form: the writes take the form of the file as it then is.
    {"SavedAsUtf16", kTwoProjects, utf16File(kUtf16Forms[1], QString::fromUtf8("[P1]\r\nFb=42\r\n[P2]\r\nFb=43\r\n")),
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.writeString("P1", "Fb", "44");
         another();
         f.writeString(QString::fromUtf8("箱子"), "Fb", "30");
         return batch.commit();
     },
     utf16File(kUtf16Forms[1], QString::fromUtf8("[P1]\r\nFb=44\r\n[P2]\r\nFb=43\r\n[箱子]\r\nFb=30\r\n"))},
    {"LoneCarriageReturnsAndWindows1251", kTwoProjects, "[P1]\rFb=42\r[\xC1\xEE\xEA\xF1]\rFb=30\r",
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.writeString("P1", "Fb", "44");
         f.writeString(QString::fromUtf8("Ящик"), "Name", QString::fromUtf8("Ящик"));
         another();
         return batch.commit();
     },
     "[P1]\rFb=44\r[\xC1\xEE\xEA\xF1]\rFb=30\r[\xDF\xF9\xE8\xEA]\rName=\xDF\xF9\xE8\xEA\r"},
    // A value the file's code page holds no more fails the batch there, as it would have failed on a file
    // read in that code page: what the batch wrote before it still reaches the disk.
    {"ValueTheChangedFileCannotHold", kTwoProjects, "[P1]\nFb=42\n[\xC1\xEE\xEA\xF1]\nFb=30\n",
     [](IniFile& f, const std::function<void()>& another) {
         IniFile::Batch batch(f);
         f.writeString("P1", "Fb", "44");
         f.writeString("DEFAULT", "LastProject", QString::fromUtf8("箱子"));
         f.writeString("P1", "Vb", "60");
         another();
         return batch.commit();
     },
     "[P1]\nFb=44\n[\xC1\xEE\xEA\xF1]\nFb=30\n", false},
};

class IniFileOtherWriter : public testing::TestWithParam<OtherWriterRow> {};

TEST_P(IniFileOtherWriter, KeepsTheOtherWritersChanges)
{
    const OtherWriterRow& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, row.before);
    IniFile ini(path);
    const auto another = [&] {
        // Written in place with the old modification time, as a quick editor within one clock tick would.
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        writeAll(path, row.other);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    };
    EXPECT_EQ(row.op(ini, another), row.result);
    EXPECT_EQ(readAll(path), row.after);
    EXPECT_EQ(ini.readString("P1", "Fb"), IniFile(path).readString("P1", "Fb"));
}

INSTANTIATE_TEST_SUITE_P(Rows, IniFileOtherWriter, testing::ValuesIn(kOtherWriterRows),
                         [](const testing::TestParamInfo<OtherWriterRow>& info) { return std::string(info.param.name); });

// ---- writes in place -----------------------------------------------------------------------------

// Settings of many projects, some kilobytes of them: larger than any buffer a write may go through.
QByteArray manyProjects(int count, const char* value)
{
    QByteArray out = "[DEFAULT]\nLastProject=P0\n";
    for (int i = 0; i < count; ++i)
        out += "[P" + QByteArray::number(i) + "]\nFb=" + value + "\nVb=45\nDd=210\nNote=a project kept by hand\n";
    return out;
}

// A write in place that the disk refuses part way (a cap on the file size, as a full disk would): the
// old contents are written back and checked. When the disk refuses the write-back too (the cap shrinks
// at the first refusal, as when another program takes the freed room), the file may be lost, and the
// warning names the backup copy, which holds the old contents whole. A cap below the old file's size
// leaves no room for the backup copy: then nothing is written at all.
TEST(IniFile, FailedWriteInPlaceIsUndoneOrLeavesItsBackup)
{
    static const QByteArray old = manyProjects(120, "30");
    enum class Left { OldFile, BackupNamed };
    const struct {
        const char* name;
        rlim_t cap;
        std::optional<rlim_t> capAfterRefusal;
        Left left;
    } rows[] = {
        {"old contents written back", rlim_t(old.size() + 200), std::nullopt, Left::OldFile},
        {"write-back refused too", rlim_t(old.size() + 200), rlim_t(512), Left::BackupNamed},
        {"no room for the backup", rlim_t(old.size() / 2), std::nullopt, Left::OldFile},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const vx::test::ScratchDataFolder data;
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, old);
        ASSERT_TRUE(QFile::setPermissions(path, kWritableFile));
        ASSERT_TRUE(QFile::setPermissions(dir.path(), kReadOnlyFolder));
        const int code = runInChild(
            [&path, &row] {
                if (row.capAfterRefusal)
                    vx::test::shrinkCapAtFirstRefusal(*row.capAfterRefusal);
                IniFile ini(path);
                QStringList warned;
                ini.setBackupWarning([&warned](const QString& backup) { warned << backup; });
                IniFile::Batch batch(ini);
                for (int i = 0; i < 120; ++i)
                    ini.writeString(QString("P%1").arg(i), "Fb", "31.123456789"); // a longer file
                if (batch.commit())
                    return 1;
                if (row.left == Left::OldFile)
                    return warned.isEmpty() ? 0 : 2;
                if (warned.size() != 1 || !warned[0].startsWith(vx::backupFolder() + "/"))
                    return 3;
                return readAll(warned[0]) == old ? 0 : 4;
            },
            ChildSetup{.ordinaryUser = true, .maxFileBytes = row.cap});
        QFile::setPermissions(dir.path(), kOpenFolder);
        if (code == kNoOrdinaryUser)
            GTEST_SKIP() << "the superuser could not become an ordinary user, whom the folder would refuse";
        EXPECT_EQ(code, 0);
        if (row.left == Left::BackupNamed) {
            EXPECT_NE(readAll(path), old) << "the write-back did not fail: the row tests nothing";
            const QStringList backups = data.backups();
            ASSERT_EQ(backups.size(), 1);
            EXPECT_EQ(readAll(backups[0]), old);
        } else {
            EXPECT_EQ(readAll(path), old);
            EXPECT_EQ(data.backups(), QStringList());
        }
    }
}

// The two versions of the kill test below differ in length too, so a write in place either runs past
// the old end or has to cut the file after writing.
void saveSizedVersion(IniFile& ini, int version)
{
    IniFile::Batch batch(ini);
    for (int k = 0; k < kKeys; ++k)
        ini.writeString("PROJECT", QString("K%1").arg(k), valueOf(version, k));
    if (version == 1) {
        for (int k = 0; k < 40; ++k)
            ini.writeString("NOTES", QString("N%1").arg(k), "a longer note that only the second version has");
    } else {
        ini.eraseSection("NOTES");
    }
    batch.commit();
}

// kill -9 at random moments of saves in place (the file has a second name, a hard link, so it is never
// replaced): after each kill the file holds the old version or the new one, or the backup holds the old
// one whole. The file is set back to one version before each round. A large section no save touches
// makes each write of the file long enough to be cut by the kill.
TEST(IniFile, KilledSavesInPlaceLeaveOldOrNewFileOrAWholeBackup)
{
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    QByteArray versions[2];
    {
        IniFile ini(path);
        IniFile::Batch batch(ini);
        for (int k = 0; k < 1500; ++k)
            ini.writeString("ARCHIVE", QString("Old%1").arg(k), "a value kept from an earlier design");
        ASSERT_TRUE(batch.commit());
        saveSizedVersion(ini, 1);
        versions[1] = readAll(path);
        saveSizedVersion(ini, 0);
        versions[0] = readAll(path);
    }
    ASSERT_NE(versions[0].size(), versions[1].size());
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(dir.filePath("second name.ini")).constData()), 0);

    // How long one save takes here, so that the kills spread over the saves.
    qint64 saveUs = 0;
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile ini(path);
            QElapsedTimer t;
            t.start();
            for (int i = 1; i <= 10; ++i)
                saveSizedVersion(ini, i % 2);
            ::_exit(int(std::min<qint64>(t.nsecsElapsed() / 10 / 100000, 250))); // tenths of milliseconds
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        saveUs = qint64(std::max(WEXITSTATUS(status), 1)) * 100;
    }
    writeAll(path, versions[0]);

    auto* rng = QRandomGenerator::global();
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        writeAll(path, versions[0]);
        QDir(vx::backupFolder()).removeRecursively();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile ini(path);
            for (int i = 1;; ++i)
                saveSizedVersion(ini, i % 2);
        }
        // Every other kill comes at any moment of the saves; the others come just after a backup has
        // appeared, when the file itself is being written.
        if (round % 2 == 0) {
            QThread::usleep(rng->bounded(quint64(3 * saveUs + 50)));
        } else {
            QElapsedTimer waited;
            waited.start();
            while (data.backups().isEmpty() && waited.elapsed() < 200) {
            }
            QThread::usleep(rng->bounded(quint64(saveUs + 1)));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const QByteArray now = readAll(path);
        EXPECT_EQ(readAll(dir.filePath("second name.ini")), now);
        const bool whole = now == versions[0] || now == versions[1];
        const QStringList backups = data.backups();
        if (!whole) {
            ASSERT_EQ(backups.size(), 1) << "the file is cut, and no backup holds the old version";
            const QByteArray backup = readAll(backups[0]);
            EXPECT_TRUE(backup == versions[0] || backup == versions[1]) << "the backup is not whole";
        }
        // The next start: no unfinished backup is left, nor one that holds what the file holds; one that
        // holds other contents is kept whole and named.
        const QStringList named = vx::tidyAfterKilledSaves(path);
        const QStringList left = QDir(vx::backupFolder()).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(left.size(), named.size());
        for (const QString& backup : named) {
            EXPECT_TRUE(left.contains(QFileInfo(backup).fileName()));
            const QByteArray old = readAll(backup);
            EXPECT_TRUE(old == versions[0] || old == versions[1]) << "the backup is not whole";
            EXPECT_NE(old, now);
        }
        if (!whole)
            EXPECT_EQ(named.size(), 1);
    }
}

// ---- permissions, links and owners ---------------------------------------------------------------

// Whether a save writes the file, and what it leaves of its owner, group, mode and hard links. Rows run
// as the superuser or, in a child, as the ordinary user "nobody"; the parent, the superuser, gives the
// file its owner first.
struct PermissionRow {
    const char* name;
    bool ordinaryUser;
    mode_t folderMode;
    mode_t fileMode;
    uid_t owner; // and group
    bool hardLink;
    bool written;
};

void PrintTo(const PermissionRow& row, std::ostream* os)
{
    *os << row.name;
}

constexpr uid_t kRoot = 0;
constexpr uid_t kNobody = vx::test::kNobody;

const PermissionRow kPermissionRows[] = {
    {"ReadOnlyFileRefusesTheSuperuser", false, 0755, 0444, kRoot, false, false},
    {"ReadOnlyFileRefusesItsOwner", true, 0777, 0444, kNobody, false, false},
    {"HardLinkedFileSharesItsContentsAfterTheSave", false, 0755, 0644, kRoot, true, true},
    {"HardLinkedFileOfAnOrdinaryUser", true, 0777, 0644, kNobody, true, true},
    {"SuperuserKeepsOwnerGroupAndMode", false, 0755, 0640, kNobody, false, true},
    {"OwnerKeepsTheMode", true, 0777, 0604, kNobody, false, true},
    {"AnotherOwnersWritableFile", true, 0777, 0666, kRoot, false, true},
    {"AnotherOwnersWritableFileInAStickyFolder", true, 01777, 0666, kRoot, false, true},
};

class IniFilePermissions : public testing::TestWithParam<PermissionRow> {};

TEST_P(IniFilePermissions, SaveKeepsWhatTheFileIs)
{
    const PermissionRow& row = GetParam();
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the file its owner takes the superuser";
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    const QString link = dir.filePath("second name.ini");
    const QByteArray before = "[P1]\nFb=42\n";
    writeAll(path, before);
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::chown(native.constData(), row.owner, row.owner), 0);
    ASSERT_EQ(::chmod(native.constData(), row.fileMode), 0);
    if (row.hardLink) {
        ASSERT_EQ(::link(native.constData(), QFile::encodeName(link).constData()), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), row.folderMode), 0);
    struct stat old {};
    ASSERT_EQ(::stat(native.constData(), &old), 0);

    const int code = runInChild([&path] { return IniFile(path).writeString("P2", "Fb", "43") ? 0 : 1; },
                                ChildSetup{.ordinaryUser = row.ordinaryUser, .maxFileBytes = std::nullopt});
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    if (code == kNoOrdinaryUser)
        GTEST_SKIP() << "the superuser could not become an ordinary user";
    EXPECT_EQ(code, row.written ? 0 : 1);
    EXPECT_EQ(readAll(path), row.written ? before + "[P2]\nFb=43\n" : before);
    struct stat now {};
    ASSERT_EQ(::stat(native.constData(), &now), 0);
    EXPECT_EQ(now.st_uid, old.st_uid);
    EXPECT_EQ(now.st_gid, old.st_gid);
    EXPECT_EQ(now.st_mode, old.st_mode);
    if (row.hardLink) {
        EXPECT_EQ(now.st_ino, old.st_ino);
        EXPECT_EQ(readAll(link), readAll(path));
    }
    QStringList expected{"Vornalex.ini"};
    if (row.hardLink)
        expected << "second name.ini";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    EXPECT_EQ(data.backups(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Rows, IniFilePermissions, testing::ValuesIn(kPermissionRows),
                         [](const testing::TestParamInfo<PermissionRow>& info) { return std::string(info.param.name); });

// A write in place is not begun when its backup cannot be made (here the data folder is a file): the
// file keeps its old contents and the write is refused.
TEST(IniFile, WriteInPlaceWithoutItsBackupIsRefused)
{
    const vx::test::ScratchDataFolder data;
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, "[P1]\nFb=42\n");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(dir.filePath("second name.ini")).constData()), 0);
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    writeAll(dir.filePath("not a folder"), "");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("not a folder")));
    const bool written = IniFile(path).writeString("P2", "Fb", "43");
    qputenv("XDG_DATA_HOME", oldHome);
    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(path), QByteArray("[P1]\nFb=42\n"));
}

} // namespace
