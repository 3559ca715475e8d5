// Settings files in the forms editors leave them in: UTF-16 with a byte-order mark, text whose last
// character was cut off, and the per-piece decision between UTF-8 and Windows-1251.
#include "platform/IniCodec.h"
#include "platform/IniFile.h"

#include "FileBytes.h"
#include "Utf16Files.h"

#include <QFile>
#include <QTemporaryDir>

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

// A line added after that odd byte starts on a whole code unit all the same, so it reads back as written,
// and the bytes before it stay as they were.
TEST(IniFileText, LineAddedAfterAnOddByteOfAUtf16FileReadsBack)
{
    const struct {
        const char* name;
        QString section, key;
    } rows[] = {
        {"a new section", q("Ящик"), "Fb"},
        {"a new key in the last section", "Z", "Vb"},
    };
    for (const Utf16Form& form : kUtf16Forms) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(form.name) + ", " + row.name);
            QTemporaryDir dir;
            const QString path = dir.filePath("Vornalex.ini");
            const QByteArray before = utf16File(form, q("[Бокс]\r\nFb=42\r\n[Z]")) + '\x41';
            writeAll(path, before);
            ASSERT_TRUE(IniFile(path).writeString(row.section, row.key, q("箱子")));
            EXPECT_TRUE(readAll(path).startsWith(before));
            IniFile again(path);
            EXPECT_EQ(again.readString(row.section, row.key), q("箱子"));
            EXPECT_EQ(again.readString(q("Бокс"), "Fb"), "42");
            EXPECT_TRUE(again.hasSection("Z"));
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
