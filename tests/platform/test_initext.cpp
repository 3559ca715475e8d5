// Settings files in the forms editors leave them in: UTF-16 with a byte-order mark, text whose last
// character was cut off, and the per-piece decision between UTF-8 and Windows-1251.
#include "platform/IniCodec.h"
#include "platform/IniFile.h"

#include "FileBytes.h"
#include "Utf16Files.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using vx::IniCodec;
using vx::IniFile;
using vx::test::kUtf16Forms;
using vx::test::readAll;
using vx::test::Utf16Form;
using vx::test::utf16File;
using vx::test::writeAll;

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

TEST(IniFileText, Utf16FileIsReadAndWrittenInUtf16)
{
    const QString before =
        q("; заметка\r\n[DEFAULT]\r\nFb=30\r\nLastProject=Бокс\r\n[Бокс]\r\nFb=42\r\n\r\n[Ящик]\r\nFb=40");
    const QString after = q("; заметка\r\n[DEFAULT]\r\nFb=30\r\nLastProject=Ящик\r\n[Бокс]\r\nFb=43\r\nVb=60\r\n\r\n"
                            "[Ящик]\r\nFb=40\r\n[箱子]\r\nFb=35\r\n");
    for (const Utf16Form& row : kUtf16Forms) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, utf16File(row, before));
        IniFile ini(path);
        EXPECT_EQ(ini.sections(), (QStringList{"DEFAULT", q("Бокс"), q("Ящик")}));
        EXPECT_EQ(ini.readString("default", "LastProject"), q("Бокс"));
        EXPECT_EQ(ini.readString(q("ЯЩИК"), "Fb"), "40");
        EXPECT_TRUE(ini.canHold(q("箱子")));

        IniFile::Batch batch(ini);
        ini.writeString("DEFAULT", "LastProject", q("Ящик"));
        ini.writeString(q("Бокс"), "Fb", "43");
        ini.writeString(q("Бокс"), "Vb", "60");
        ini.writeString(q("箱子"), "Fb", "35");
        ASSERT_TRUE(batch.commit());
        EXPECT_EQ(readAll(path), utf16File(row, after));
        EXPECT_EQ(IniFile(path).readString(q("箱子"), "Fb"), "35");
    }
}

// An odd byte at the end of a UTF-16 file is no character; it stays where it was.
TEST(IniFileText, OddByteAtTheEndOfAUtf16FileIsKept)
{
    const Utf16Form& row = kUtf16Forms[0];
    QTemporaryDir dir;
    const QString path = dir.filePath("Vornalex.ini");
    writeAll(path, utf16File(row, q("[Бокс]\r\nFb=42\r\n[Z]")) + '\x41');
    IniFile ini(path);
    EXPECT_EQ(ini.readString(q("Бокс"), "Fb"), "42");
    ASSERT_TRUE(ini.writeString(q("Бокс"), "Fb", "43"));
    EXPECT_EQ(readAll(path), utf16File(row, q("[Бокс]\r\nFb=43\r\n[Z]")) + '\x41');
}

// A line added after the last line of a UTF-16 file starts on a whole code unit with a whole line end
// before it, so it reads back as written, and the bytes before it stay as they were: after an odd byte,
// and after a file of one line without a line end (whose line end new lines cannot copy).
TEST(IniFileText, LineAddedAfterTheLastLineOfAUtf16FileReadsBack)
{
    const struct {
        const char* name;
        QString text;
        QByteArray oddByte;
        QStringList sections;
    } files[] = {
        {"an odd byte at the end", q("[Бокс]\r\nFb=42\r\n[Z]"), "\x41", {q("Бокс"), "Z"}},
        {"one line without a line end", q("[Z]"), "", {"Z"}},
    };
    const struct {
        const char* name;
        QString section, key;
    } rows[] = {
        {"a new section", q("Ящик"), "Fb"},
        {"a new key in the last section", "Z", "Vb"},
    };
    for (const Utf16Form& form : kUtf16Forms) {
        for (const auto& file : files) {
            for (const auto& row : rows) {
                SCOPED_TRACE(std::string(form.name) + ", " + file.name + ", " + row.name);
                QTemporaryDir dir;
                const QString path = dir.filePath("Vornalex.ini");
                const QByteArray before = utf16File(form, file.text) + file.oddByte;
                writeAll(path, before);
                ASSERT_TRUE(IniFile(path).writeString(row.section, row.key, q("箱子")));
                EXPECT_TRUE(readAll(path).startsWith(before));
                IniFile again(path);
                EXPECT_EQ(again.readString(row.section, row.key), q("箱子"));
                EXPECT_EQ(again.sections(), row.section == "Z" ? file.sections : file.sections + QStringList{row.section});
            }
        }
    }
}

// A file cut inside its last character (…"Note=" and the first byte of a two-byte letter): the cut line
// reads as Windows-1251, every other line as the UTF-8 it is, before a write and after it.
TEST(IniFileText, CharacterCutOffAtTheEndLeavesTheNamesReadable)
{
    const struct {
        const char* name;
        QByteArray file;
    } rows[] = {
        {"cut at the end of the file", "[DEFAULT]\nLastProject=Бокс\n[Бокс]\nFb=30\nNote=\xD0"},
        {"cut at the end of a line", "[DEFAULT]\nLastProject=Бокс\n[Бокс]\nNote=\xD0\nFb=30\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, row.file);
        for (int write = 0; write < 3; ++write) {
            IniFile ini(path);
            EXPECT_EQ(ini.sections(), (QStringList{"DEFAULT", q("Бокс")})) << write;
            EXPECT_EQ(ini.readString("DEFAULT", "LastProject"), q("Бокс")) << write;
            EXPECT_EQ(ini.readString(q("Бокс"), "Fb"), QString::number(30 + write)) << write;
            ASSERT_TRUE(ini.writeString(q("Бокс"), "Fb", QString::number(31 + write)));
            ASSERT_TRUE(ini.writeString(q("Бокс"), QString("K%1").arg(write), q("Ящик")));
        }
        EXPECT_TRUE(readAll(path).contains("\nNote=\xD0\n"));
        EXPECT_TRUE(readAll(path).contains("K2=Ящик"));
    }
}

QByteArray windows1251(const QString& text)
{
    const auto bytes = IniCodec(IniCodec::Encoding::Windows1251).encode(text);
    EXPECT_TRUE(bytes) << text.toStdString();
    return bytes.value_or(QByteArray());
}

// A file mostly in Windows-1251. A name whose Windows-1251 bytes are valid UTF-8 ("В№1" is C2 B9 31, which
// reads as "¹1") is written in UTF-8, its section and "LastProject" alike, and reads back as typed; a name
// whose bytes are no UTF-8 stays in the file's code page. The project already there keeps its bytes.
TEST(IniFileText, NamesInAWindows1251FileReadBackAsWritten)
{
    const QByteArray before = windows1251(q("[DEFAULT]\r\nLastProject=Бокс\r\n[Бокс]\r\nFb=30\r\n"));
    const struct {
        const char* name;
        IniCodec::Encoding writtenIn;
    } rows[] = {
        {"В№1", IniCodec::Encoding::Utf8},    {"ЛЁ", IniCodec::Encoding::Utf8},
        {"Я»", IniCodec::Encoding::Utf8},     {"ВЁ", IniCodec::Encoding::Utf8},
        {"ВЉ", IniCodec::Encoding::Utf8},     {"Бокс №1", IniCodec::Encoding::Windows1251},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = q(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, before);
        {
            IniFile ini(path);
            IniFile::Batch batch(ini);
            ini.writeString(name, "Fb", "31");
            ini.writeString("DEFAULT", "LastProject", name);
            ASSERT_TRUE(batch.commit());
        }
        IniFile fresh(path);
        EXPECT_EQ(fresh.sections(), (QStringList{"DEFAULT", q("Бокс"), name}));
        EXPECT_EQ(fresh.readString(name, "Fb"), "31");
        EXPECT_EQ(fresh.readString("DEFAULT", "LastProject"), name);
        const QByteArray written = *IniCodec(row.writtenIn).encode(name);
        const QByteArray after = readAll(path);
        EXPECT_TRUE(after.contains("\r\nLastProject=" + written + "\r\n"));
        EXPECT_TRUE(after.endsWith(windows1251(q("[Бокс]\r\nFb=30\r\n[")) + written + "]\r\nFb=31\r\n"));
    }
}

// The encoding of new lines is taken from the file as the program's own write left it, in the same run
// as at a new start: either way round.
TEST(IniFileText, NewLinesFollowTheFileAsTheProgramsOwnWriteLeftIt)
{
    const struct {
        const char* name;
        QByteArray file;
        std::function<bool(IniFile&)> write;
        bool holdsChinese;
        const char* newSection;
        QByteArray newLines;
    } rows[] = {
        {"its only Windows-1251 line made ASCII", "[DEFAULT]\nLastProject=\xDF\xF9\xE8\xEA\n[A]\nFb=30\n",
         [](IniFile& f) { return f.writeString("DEFAULT", "LastProject", "A"); }, true, "中文", "\n[中文]\nFb=1\n"},
        {"its only UTF-8 section erased", "[\xC1\xEE\xEA\xF1]\nFb=30\n[Ящик]\nFb=40\n",
         [](IniFile& f) { return f.eraseSection(q("Ящик")); }, false, "Куб", "\n[\xCA\xF3\xE1]\nFb=1\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, row.file);
        IniFile ini(path);
        EXPECT_EQ(ini.canHold(q("中文")), !row.holdsChinese);
        ASSERT_TRUE(row.write(ini));
        EXPECT_EQ(ini.canHold(q("中文")), row.holdsChinese);
        EXPECT_EQ(IniFile(path).canHold(q("中文")), row.holdsChinese); // as a new start sees it
        ASSERT_TRUE(ini.writeString(q(row.newSection), "Fb", "1"));
        EXPECT_TRUE(readAll(path).endsWith(row.newLines));
    }
}

// A U+FEFF at the start of a line (two files, each with its mark, put together by `cat`) is no character:
// the section or key on that line is what it is in an editor, the section above keeps its own keys, an
// erase of it leaves the next one, and the untouched lines keep their bytes, the mark included.
TEST(IniFileText, MarkAtTheStartOfALineIsNoCharacter)
{
    const QByteArray mark = "\xEF\xBB\xBF";
    struct Row {
        std::string name;
        QByteArray head, first, rest; // the file: head + first + rest; an erase of P1 leaves head + rest
        QString second;               // the name of the section after P1
    };
    std::vector<Row> rows = {
        {"before a section line", mark, "[P1]\nFb=1\n", mark + "[P2]\nFb=2\n", "P2"},
        {"before a key line", "", "[P1]\nFb=1\n", "[P2]\n" + mark + "Fb=2\n", "P2"},
        {"before a Windows-1251 section line", "", "[P1]\nFb=1\n", mark + "[\xCF\x32]\nFb=2\n", q("П2")},
    };
    for (const Utf16Form& form : kUtf16Forms) {
        const QString feff(QChar(0xFEFF));
        const QByteArray file = utf16File(form, q("[P1]\r\nFb=1\r\n") + feff + q("[P2]\r\n") + feff + q("Fb=2\r\n"));
        const qsizetype restAt = utf16File(form, q("[P1]\r\nFb=1\r\n")).size();
        rows.push_back({std::string("UTF-16 ") + form.name + ", before a section and a key line", form.mark,
                        file.mid(form.mark.size(), restAt - form.mark.size()), file.mid(restAt), "P2"});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("Vornalex.ini");
        writeAll(path, row.head + row.first + row.rest);
        IniFile ini(path);
        EXPECT_EQ(ini.sections(), (QStringList{"P1", row.second}));
        EXPECT_EQ(ini.readString("P1", "Fb"), "1");
        EXPECT_EQ(ini.readString(row.second, "Fb"), "2");
        ASSERT_TRUE(ini.eraseSection("P1"));
        EXPECT_EQ(readAll(path), row.head + row.rest);
        ASSERT_TRUE(ini.writeString(row.second, "Fb", "3"));
        IniFile fresh(path);
        EXPECT_EQ(fresh.sections(), QStringList{row.second});
        EXPECT_EQ(fresh.readString(row.second, "Fb"), "3");
    }
}

TEST(IniCodec, EncodingOfEightBitText)
{
    const struct {
        QByteArray bytes;
        IniCodec::Encoding encoding;
    } rows[] = {
        {"", IniCodec::Encoding::Utf8},
        {"Fb=30", IniCodec::Encoding::Utf8},
        {"Бокс", IniCodec::Encoding::Utf8},
        {"\xC1\xEE\xEA\xF1", IniCodec::Encoding::Windows1251},
        {"\xD0", IniCodec::Encoding::Windows1251},         // the first of two bytes, cut off
        {"Бок\xD1", IniCodec::Encoding::Windows1251},      // the same at the end of a longer text
        {"\xE2\x82", IniCodec::Encoding::Windows1251},     // two of three bytes
        {"\xF0\x9F\x8E", IniCodec::Encoding::Windows1251}, // three of four bytes
        {"\xEF\xBB\xBF[A]", IniCodec::Encoding::Utf8},
    };
    for (const auto& row : rows)
        EXPECT_EQ(IniCodec::of(row.bytes).encoding(), row.encoding) << row.bytes.toHex().toStdString();
}

// A U+FEFF inside the text is a character of it, wherever it stands; the decoder does not eat it as a mark.
TEST(IniCodec, ByteOrderMarkInsideTheTextIsKept)
{
    const QString text = QChar(0xFEFF) + q("Бокс");
    for (const auto encoding : {IniCodec::Encoding::Utf8, IniCodec::Encoding::Utf16LE, IniCodec::Encoding::Utf16BE}) {
        const IniCodec codec(encoding);
        const auto bytes = codec.encode(text);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(codec.decode(*bytes), text);
    }
}

} // namespace
