#include "projects/ProjectNames.h"

#include "platform/IniFile.h"

#include <QStringList>

#include <algorithm>

namespace vx {

namespace {

// A section begins with the line "[name]": the name ends at the first "]", a line break ends the line,
// and the settings file trims blanks around section names and values ("LastProject" holds the name as
// a value too), so a name with blanks at either end would come back as another name.
struct NameRule {
    bool (*breaks)(const QString&);
    const char* warning;
};

bool hasBracket(const QString& s) { return s.contains(u']'); }
bool hasLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); }
bool hasOuterBlank(const QString& s) { return s.front().isSpace() || s.back().isSpace(); }

constexpr NameRule kNameRules[] = {
    {hasLineBreak, "Имя проекта не может содержать перевод строки"},
    {hasBracket, "Имя проекта не может содержать символ \"]\""},
    {hasOuterBlank, "Имя проекта не может начинаться или заканчиваться пробелом"},
};

// The characters of the name that `picked` takes, each once, in the order they first stand in it.
template <class Pick>
QList<char32_t> charactersOnce(const QString& name, Pick picked)
{
    QList<char32_t> found;
    for (const char32_t c : name.toUcs4()) {
        if (picked(c) && !found.contains(c))
            found << c;
    }
    return found;
}

// Code points that show nothing wherever they stand (Unicode's default-ignorable code points): the
// combining grapheme joiner, the Hangul fillers, variation selectors, tags and the like.
struct CodeRange {
    char32_t first, last;
};

constexpr CodeRange kDefaultIgnorable[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160}, {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F}, {0x3164, 0x3164},
    {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

// A character that shows as nothing: a format character (U+FEFF, which some editors paste in front of
// copied text, the zero-width joiners, the soft hyphen, ...), any other default-ignorable code point,
// or a control character (U+0000 among them).
bool invisible(char32_t c)
{
    const auto category = QChar::category(c);
    if (category == QChar::Other_Format || category == QChar::Other_Control)
        return true;
    for (const CodeRange& r : kDefaultIgnorable) {
        if (c >= r.first && c <= r.last)
            return true;
    }
    return false;
}

// A character that shows as blank space and nothing else: the braille blank stands for none in any
// name of its own.
bool blank(char32_t c) { return invisible(c) || QChar::isSpace(c) || c == 0x2800; }

// A name holding an invisible character shows as another name without it, and a name made only of blank
// characters shows as no name: the list would show two projects of one name, or an empty line, and the
// user could not tell which is which. The invisible characters, or for a blank name all of its
// characters, each once, as U+XXXX.
QString invisibleCharacters(const QString& name)
{
    const QList<uint> all = name.toUcs4();
    const bool onlyBlank = std::all_of(all.begin(), all.end(), [](uint c) { return blank(char32_t(c)); });
    QStringList codes;
    for (const char32_t c : charactersOnce(name, [onlyBlank](char32_t c) { return onlyBlank || invisible(c); }))
        codes << QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    return codes.join(QStringLiteral(", "));
}

} // namespace

QString upperAsciiName(const QString& name)
{
    QString out = name;
    for (QChar& c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return out;
}

QString nameProblem(const QString& name, const IniFile& file)
{
    if (name.isEmpty())
        return {};
    for (const NameRule& rule : kNameRules) {
        if (rule.breaks(name))
            return QString::fromUtf8(rule.warning);
    }
    if (const QString invisible = invisibleCharacters(name); !invisible.isEmpty())
        return QString::fromUtf8("Имя проекта не может содержать невидимые символы (%1)").arg(invisible);
    // A settings file brought from Windows keeps its code page, Windows-1251, which has no letters of
    // most other scripts: such a name could not be written, or would come back as another name.
    if (!file.canHold(name)) {
        const auto outsideCodePage = [&file](char32_t c) { return !file.canHold(QString::fromUcs4(&c, 1)); };
        const QList<char32_t> outside = charactersOnce(name, outsideCodePage);
        return QString::fromUtf8("Имя проекта не может содержать символы «%1»: файл настроек Vornalex.ini "
                                 "записан в кодировке Windows-1251, в которой их нет")
            .arg(QString::fromUcs4(outside.constData(), outside.size()));
    }
    return {};
}

} // namespace vx
